// Start-up of the desktop program: the real seams (desktop dialogs, the machine, the
// clock), the file-type registration of every start, the splash and then the main window
// with the command-line argument, or only the diagram editor for an .asf file. A hidden switch
// opens one window without the splash, saves a picture of it and ends, for the documentation's
// screenshots.
#include "AppStartup.h"

#include "FormGenTran.h"
#include "FormSplash.h"
#include "FromRtlPanel.h"
#include "HelpViewer.h"
#include "MainWindow.h"
#include "QtUiServices.h"
#include "diagram/DiagramEditor.h"
#include "platform/FileTypeRegistration.h"
#include "platform/Process.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

#include <cstdlib>
#include <memory>

namespace kestrel {

namespace {

QString ShareFolder() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../share/kestrel"));
}

// The desktop registration of .tp files; a failure is only reported on the terminal.
void RegisterFileTypeForUser() {
    const QString icons = ShareFolder() + QStringLiteral("/icons/");
    FileTypeRegistration registration{
        UserDataHome(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")),
        QCoreApplication::applicationFilePath().toStdString(),
        (icons + QStringLiteral("tp.svg")).toStdString(),
        (icons + QStringLiteral("kestrel.svg")).toStdString()};
    bool changed = false;
    if (Status s = RegisterProjectFileType(registration, &changed); !s) {
        qWarning("kestrel: the .tp file type is not registered: %s", s.message().c_str());
        return;
    }
    // The databases are rebuilt only when the registration changed: at the first start and
    // after the program moved, not at every start.
    if (!changed) return;
    LinuxProcessRunner runner;
    RefreshDesktopDatabases(registration.dataHome, runner);
}

QWidget* ScreenshotTarget(MainWindow& main, const QString& window) {
    // The dialogs a menu command opens, by the name the switch gives them.
    const struct {
        const char* window;
        AppCommand command;
        const char* dialog;
    } dialogs[] = {{"options", AppCommand::CodeSettings, "FormOption"},
                   {"tlm", AppCommand::TlmInterface, "FormTLM"},
                   {"rtl", AppCommand::RtlInterface, "FormRTL"},
                   {"fsm", AppCommand::FsmSpecification, "FormAssignFSM"},
                   {"asml", AppCommand::AsmlSpecification, "FormAssignAsmL"},
                   {"library", AppCommand::AddLibrary, "FormAddLibrary"},
                   {"newproject", AppCommand::NewProject, "FormNewProject"},
                   {"newproject-rtl", AppCommand::NewProjectFromRtl, "FormNewProject"},
                   {"about", AppCommand::About, "FormAbout"}};
    if (window == QStringLiteral("main")) return &main;
    for (const auto& d : dialogs)
        if (window == QLatin1String(d.window)) {
            main.RunCommand(d.command);
            return main.findChild<QDialog*>(QString::fromLatin1(d.dialog));
        }
    if (window == QStringLiteral("generate") || window == QStringLiteral("generate-run")) {
        main.RunCommand(AppCommand::Generate);
        auto* generate = main.findChild<FormGenTran*>(QStringLiteral("FormGenTran"));
        if (generate && window == QStringLiteral("generate-run")) generate->RunGenerate();
        return generate;
    }
    if (window == QStringLiteral("help")) {
        main.RunCommand(AppCommand::HelpTopics);
        return main.Help().Window();
    }
    return nullptr;
}

// The picture of a window with a caption bar drawn above it (a picture taken without a
// window manager has none).
QImage WithCaption(QWidget* window) {
    const QPixmap content = window->grab();
    constexpr int kCaption = 30;
    QImage image(content.width(), content.height() + kCaption, QImage::Format_RGB32);
    image.fill(QColor(0x1f, 0x3a, 0x5f));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QIcon icon = window->windowIcon().isNull() ? QIcon(QStringLiteral(":/icons/kestrel.svg"))
                                                     : window->windowIcon();
    painter.drawPixmap(7, 7, icon.pixmap(16, 16));
    QFont font = window->font();
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(32, 0, content.width() - 40, kCaption), Qt::AlignVCenter | Qt::AlignLeft,
                     window->windowTitle());
    painter.drawPixmap(0, kCaption, content);
    return image;
}

} // namespace

StartOptions ParseStartOptions(const QStringList& arguments) {
    StartOptions options;
    if (qEnvironmentVariableIntValue("KESTREL_NO_SPLASH") != 0) options.splash = false;
    bool haveProject = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == QStringLiteral("--no-splash")) {
            options.splash = false;
        } else if (arg == QStringLiteral("--screenshot") && i + 1 < arguments.size()) {
            options.screenshotWindow = arguments[++i];
            options.splash = false;
        } else if (arg == QStringLiteral("--quit-when-shown")) {
            options.quitWhenShown = true;
            options.splash = false;
        } else if (arg == QStringLiteral("--output") && i + 1 < arguments.size()) {
            options.screenshotFile = arguments[++i];
        } else if (!haveProject) {
            haveProject = true;
            options.projectArgument = arg;
        }
    }
    // The desktop hands over full paths; a path typed in a terminal is taken from the
    // working folder.
    const QString& project = options.projectArgument;
    if (!project.isEmpty() && project != QStringLiteral("%1") && QFileInfo(project).isRelative())
        options.projectArgument = QFileInfo(project).absoluteFilePath();
    return options;
}

QString InstalledHelpFolder() {
    return ShareFolder() + QStringLiteral("/help");
}

namespace {

// A diagram on the command line opens just the diagram editor (with --screenshot, any
// window name, its picture is saved and the program ends).
int RunDiagramEditor(QApplication& app, UiServices& ui, const StartOptions& options) {
    DiagramEditor* editor = DiagramEditor::Open(ui, options.projectArgument);
    if (!editor) return 1;
    if (!options.screenshotWindow.isEmpty()) {
        QTimer::singleShot(800, &app, [&] {
            const bool saved = WithCaption(editor).save(options.screenshotFile, "PNG");
            editor->close();
            QCoreApplication::exit(saved ? 0 : 1);
        });
    }
    return app.exec();
}

// Saves the picture of the window the switch names and ends.
int RunScreenshot(QApplication& app, MainWindow& main, const StartOptions& options) {
    QWidget* target = ScreenshotTarget(main, options.screenshotWindow);
    if (!target) {
        qWarning("kestrel: no window \"%s\" to take a picture of",
                 qPrintable(options.screenshotWindow));
        return 2;
    }
    // The Verilog start shows the ports of the files KESTREL_SCREENSHOT_RTL names (separated
    // by ':') once they have been read.
    auto* fromRtl = target->findChild<FromRtlPanel*>();
    const QString rtlFiles = qEnvironmentVariable("KESTREL_SCREENSHOT_RTL");
    if (fromRtl && !rtlFiles.isEmpty()) fromRtl->SetFiles(rtlFiles.split(QLatin1Char(':')));
    // Give the windows time to lay out and paint before the picture is taken.
    auto* shoot = new QTimer(&app);
    shoot->setInterval(800);
    QObject::connect(shoot, &QTimer::timeout, &app, [&, fromRtl] {
        if (fromRtl && fromRtl->isVisible() && fromRtl->IsProbing()) return;
        const bool saved = WithCaption(target).save(options.screenshotFile, "PNG");
        if (!saved) qWarning("kestrel: cannot write \"%s\"", qPrintable(options.screenshotFile));
        main.Help().Close();
        QCoreApplication::exit(saved ? 0 : 1);
    });
    shoot->start();
    return app.exec();
}

// Once the event loop runs, paints the window completely and ends: the time from start
// to here is the start-up time.
int RunUntilShown(QApplication& app, MainWindow& main) {
    QTimer::singleShot(0, &app, [&] {
        main.repaint();
        main.Help().Close();
        QCoreApplication::exit(main.isVisible() ? 0 : 1);
    });
    return app.exec();
}

} // namespace

int RunKestrel(QApplication& app) {
    const StartOptions options = ParseStartOptions(QCoreApplication::arguments());
    QtUiServices ui;
    LinuxSystemInfo system;
    SystemClock clock;
    GenerationSession session;
    AppContext context{ui, system, clock, session, InstalledHelpFolder(), RegisterFileTypeForUser,
                       {}};
    if (options.projectArgument.endsWith(QStringLiteral(".asf"), Qt::CaseInsensitive))
        return RunDiagramEditor(app, ui, options);

    std::unique_ptr<MainWindow> main;
    auto loadMain = [&] {
        main = std::make_unique<MainWindow>(context);
        main->show();
        main->Start(options.projectArgument);
    };
    if (!options.screenshotWindow.isEmpty()) {
        loadMain();
        return RunScreenshot(app, *main, options);
    }
    if (options.quitWhenShown) {
        loadMain();
        return RunUntilShown(app, *main);
    }
    if (options.splash) {
        auto* splash = new FormSplash(loadMain);
        splash->Start();
    } else {
        loadMain();
    }
    return app.exec();
}

} // namespace kestrel
