#pragma once
// The program's start: the real seams, the splash (unless switched off), the main window
// with the command-line argument, and the hidden screenshot switch used to make the
// pictures of the documentation.
#include <QString>

class QApplication;

namespace kestrel {

struct StartOptions {
    QString projectArgument;  // "", "%1" or the path of a .tp file
    bool splash = true;       // off with --no-splash or KESTREL_NO_SPLASH=1
    QString screenshotWindow; // main, options, generate, generate-run, newproject, about, help
    QString screenshotFile;   // the PNG to write
};

// Reads the command line: one optional argument and the hidden switches
// --no-splash and --screenshot WINDOW --output FILE.
StartOptions ParseStartOptions(const QStringList& arguments);

// The folder of the help pages beside the program (../share/kestrel/help).
QString InstalledHelpFolder();

int RunKestrel(QApplication& app);

} // namespace kestrel
