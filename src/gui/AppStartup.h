#pragma once
// The program's start: the real seams, the splash (unless switched off), the main window
// with the command-line argument, and the hidden screenshot switch used to make the
// pictures of the documentation.
#include <QString>

class QApplication;

namespace kestrel {

struct StartOptions {
    QString projectArgument; // "", "%1", the path of a .tp file or of an .asf diagram
    bool splash = true;      // off with --no-splash or KESTREL_NO_SPLASH=1
    // main, options, generate, generate-run, tlm, rtl, fsm, asml, library, newproject,
    // about, help
    QString screenshotWindow;
    QString screenshotFile;     // the PNG to write
    bool quitWhenShown = false; // --quit-when-shown: end once the main window has painted
};

// Reads the command line: one optional argument and the hidden switches
// --no-splash, --screenshot WINDOW --output FILE and --quit-when-shown (start-up timing).
StartOptions ParseStartOptions(const QStringList& arguments);

// The folder of the help pages beside the program (../share/kestrel/help).
QString InstalledHelpFolder();

int RunKestrel(QApplication& app);

} // namespace kestrel
