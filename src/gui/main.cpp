// kestrel: the desktop program. Everything but the QApplication lives in kestrel_gui.
#include "AppStartup.h"

#include "diagram/DiagramPicture.h"

#include <QApplication>

#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    // kestrel --export-picture DIAGRAM PICTURE: a picture without a screen, for kestrel-cli.
    const bool exportPicture = argc == 4 && std::strcmp(argv[1], "--export-picture") == 0;
    if (exportPicture) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    if (exportPicture)
        return kestrel::RunPictureExport(QString::fromLocal8Bit(argv[2]),
                                         QString::fromLocal8Bit(argv[3]));
    QApplication::setApplicationName(QStringLiteral("Kestrel"));
    QApplication::setApplicationVersion(QStringLiteral("1.1"));
    return kestrel::RunKestrel(app);
}
