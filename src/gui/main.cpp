// kestrel: the desktop program. Everything but the QApplication lives in kestrel_gui.
#include "AppStartup.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrel"));
    QApplication::setApplicationVersion(QStringLiteral("1.1"));
    return kestrel::RunKestrel(app);
}
