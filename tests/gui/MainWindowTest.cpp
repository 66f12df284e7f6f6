// The main window: start-up, menus and toolbar by stage, New/Open/Close Project passing on
// the core's refusals and questions, help, About, the splash, the start options, dialog
// placement; and the Code Generation Settings window over tests/core/project's rules.
#include "AppStartup.h"
#include "DialogPlacement.h"
#include "FormGenTran.h"
#include "FormOption.h"
#include "FormSplash.h"
#include "GuiTestSupport.h"
#include "GuiText.h"
#include "HelpViewer.h"
#include "diagram/DiagramEditor.h"
#include "fsm/AsfEdit.h"
#include "model/ProjectOptions.h"
#include "model/ProjectPaths.h"
#include "project/ProjectCommands.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolBar>

namespace kestrel::test {

namespace {

using C = AppCommand;

// What the main window offers, + or - for each of: the File, Transactor and Help menus; the
// commands below; the toolbar's buttons (not its separators); then the memory line's timer.
QString Offered(MainWindow& main) {
    QString offered;
    auto mark = [&offered](bool on) { offered += QLatin1Char(on ? '+' : '-'); };
    for (const char* menu : {"MenuFile", "MenuTransactor", "MenuHelp"})
        mark(main.Menu(menu)->menuAction()->isEnabled());
    offered += ' ';
    for (C command : {C::CloseProject, C::TlmInterface, C::RtlInterface, C::CodeSettings,
                      C::AddLibrary, C::AsmlSpecification, C::FsmSpecification, C::Generate,
                      C::NewProject, C::OpenProject, C::About})
        mark(main.MenuItem(command)->isEnabled());
    offered += ' ';
    for (QAction* button : main.findChild<QToolBar*>()->actions())
        if (!button->isSeparator()) mark(button->isEnabled());
    return offered + (main.MemoryTimer().isActive() ? " memory" : "");
}

// By project stage 0 to 3 (EnDisMDI(true)), and while a window is open: the Help menu and
// the Help button only.
const char* const kStages[] = {
    "+++ --------+++ ++-------+ memory", "+++ +++++---+++ +++++--+-+ memory",
    "+++ +++++++-+++ ++++++++-+ memory", "+++ +++++++++++ ++++++++++ memory"};

void CheckStage(MainWindow& main, int stage) {
    QCOMPARE(Offered(main), QString::fromLatin1(kStages[stage]));
}
void CheckWindowOpen(MainWindow& main) {
    QCOMPARE(Offered(main), QStringLiteral("--+ --------+++ ---------+"));
}

QDialog* OpenDialog(MainWindow& main, const char* name) {
    return main.findChild<QDialog*>(QString::fromLatin1(name));
}

const QString kNone = QStringLiteral("[none] - Kestrel v1.1");

// A new project "Clocked" (its stage given) in the main window.
struct Project : ProjectFixture {
    explicit Project(int stage = 1) : ProjectFixture(QStringLiteral("Clocked"), {}, {}, stage) {}
    QDialog* Open() { return ProjectFixture::Open(AppCommand::CodeSettings); }
    QByteArray StoredOptions() const { return Stored("option.dat"); }
};

void SetClock(QWidget* dialog, const char* setup, int setupUnit, const char* period,
              int periodUnit) {
    Control<QLineEdit>(dialog, "TextSetup")->setText(QString::fromLatin1(setup));
    Control<QComboBox>(dialog, "ComboSetup")->setCurrentIndex(setupUnit);
    Control<QLineEdit>(dialog, "TextPeriod")->setText(QString::fromLatin1(period));
    Control<QComboBox>(dialog, "ComboPeriod")->setCurrentIndex(periodUnit);
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startWithoutProject() {
        TestApp app;
        app.main->Start(QStringLiteral("%1")); // the desktop's placeholder: no project
        QCOMPARE(app.registrations, 1);
        QCOMPARE(app.main->windowTitle(), kNone);
        QCOMPARE(app.main->StatusPanel(1)->text(), QStringLiteral("No Transactor Project Opened"));
        // 512 MiB of 1024 MiB: 514.2 and 1028.5 of the window's megabytes, rounded.
        QCOMPARE(app.main->StatusPanel(2)->text(),
                 QStringLiteral("Physical Memory Available: 514 MB of 1028 MB  (50%)"));
        CheckStage(*app.main, 0);
        QVERIFY(app.ui.calls.isEmpty());

        QCOMPARE(Control<QToolBar>(app.main.get(), "ToolbarMain")->actions().size(), 16);
        for (QAction* button : app.main->findChild<QToolBar*>()->actions())
            QVERIFY(button->isSeparator() ||
                    (!button->toolTip().isEmpty() && !button->icon().pixmap(24, 24).isNull()));
    }

    // A moved copy without its empty folders is opened where it is now, the status line
    // saying what the core did; a missing project is reported.
    void startWithAProject() {
        QTemporaryDir dir;
        ProjectRecord moved = MakeProject(dir.path() + "/old/", "Moved");
        SetStoredStage(moved, 2);
        QVERIFY(QDir().rename(dir.path() + "/old/Moved", dir.path() + "/Moved"));
        QVERIFY(QDir(dir.path() + "/Moved/Temp").removeRecursively());
        const QString tp = dir.path() + "/Moved/Moved.tp";
        TestApp app;
        app.main->Start(tp);
        QCOMPARE(app.main->windowTitle(), QStringLiteral("Moved - Kestrel v1.1"));
        QCOMPARE(app.main->StatusPanel(1)->text(),
                 tp + QStringLiteral(" Opened  -  Created the missing project folder Temp"));
        QCOMPARE(FromCore(app.main->Project().projectFolder), dir.path() + "/Moved");
        CheckStage(*app.main, 2);
        // A change of the project's state (as a window's OK makes it) is stored at once.
        QVERIFY(app.main->UpdateProject([](ProjectRecord& r) { MarkBehaviourAssigned(r); }));
        QCOMPARE(StoredState(app.main->Project()), QStringLiteral("TLM RTL stage 3"));
        QCOMPARE(app.main->Project().projectStage, 3);

        TestApp other;
        other.main->Start(dir.path() + "/Nope/Nope.tp");
        QCOMPARE(other.ui.Messages().size(), 1);
        QVERIFY(other.ui.calls.last().text.contains("Nope.tp"));
        QCOMPARE(other.main->windowTitle(), kNone);
        CheckStage(*other.main, 0);
    }

    void newProject() {
        QTemporaryDir dir;
        TestApp app;
        app.main->Start(QString());
        app.main->RunCommand(C::NewProject);
        QDialog* dialog = OpenDialog(*app.main, "FormNewProject");
        QVERIFY(dialog && dialog->isVisible());
        CheckWindowOpen(*app.main);
        auto* name = Control<QLineEdit>(dialog, "TextPName");
        auto* location = Control<QLineEdit>(dialog, "TextWD");
        QCOMPARE(location->text(), QDir::homePath() + QLatin1Char('/'));

        // A refusal of the core, with the focus on its field; the dialog stays.
        name->setText(QString());
        Click(dialog, "CommandOK");
        ExpectRefusedIn(app.ui, dialog, "Please Enter Project Name", "TextPName");

        // The folder browser: a choice fills the field, a cancelled browse empties it.
        app.ui.folderAnswers << dir.path() + "/chosen";
        Click(dialog, "CommandBrs");
        QCOMPARE(app.ui.calls.last().kind, QStringLiteral("folder"));
        QCOMPARE(location->text(), dir.path() + "/chosen");
        Click(dialog, "CommandBrs");
        QCOMPARE(location->text(), QString());

        app.ui.calls.clear();
        name->setText(QStringLiteral("  Alpha "));
        location->setText(dir.path());
        Click(dialog, "CommandOK");
        QVERIFY(app.ui.calls.isEmpty());
        QTRY_VERIFY(!OpenDialog(*app.main, "FormNewProject"));
        QCOMPARE(FromCore(app.main->Project().projectFolder), dir.path() + "/Alpha");
        QVERIFY(QFile::exists(dir.path() + "/Alpha/Alpha.tp"));
        QCOMPARE(app.main->windowTitle(), QStringLiteral("Alpha - Kestrel v1.1"));
        CheckStage(*app.main, 1);

        // Cancel leaves the project open.
        app.main->RunCommand(C::NewProject);
        Click(OpenDialog(*app.main, "FormNewProject"), "CommandCancel");
        QTRY_VERIFY(!OpenDialog(*app.main, "FormNewProject"));
        CheckStage(*app.main, 1);
    }

    void openAndCloseProjectByStage() {
        for (int stage = 1; stage <= 3; ++stage) {
            QTemporaryDir dir;
            ProjectRecord made = MakeProject(dir.path(), "Staged");
            SetStoredStage(made, stage);
            TestApp app;
            app.main->Start(QString());
            app.main->RunCommand(C::OpenProject); // cancelled: nothing happens
            QCOMPARE(app.ui.calls.last().filter, QStringLiteral("Transactor Project (*.tp)|*.tp"));
            CheckStage(*app.main, 0);

            app.ui.fileAnswers << TpPath(made);
            app.main->RunCommand(C::OpenProject);
            QCOMPARE(app.main->windowTitle(), QStringLiteral("Staged - Kestrel v1.1"));
            CheckStage(*app.main, stage);
            app.main->RunCommand(C::CloseProject);
            QCOMPARE(app.main->windowTitle(), kNone);
            CheckStage(*app.main, 0);
        }
    }

    // A project copied from another machine names output files in a folder that does not
    // exist here: opening asks once whether to point them at its own Output folder; Yes
    // does, No leaves every name as it was.
    void openingACopyAsksToPointItsOutputsHere() {
        for (int answer : {kAnswerYes, kAnswerNo}) {
            QTemporaryDir dir;
            ProjectRecord made = MakeProject(dir.path(), "Moved");
            const std::string folder = made.projectFolder;
            const std::string gone = ToCore(dir.path()) + "/elsewhere/Moved";
            if (!SaveGenerationSettings(folder, DefaultGenerationSettings(gone)).ok())
                QFAIL("cannot store the other machine's names");
            const QByteArray stored = FileBytes(FromCore(InputPath(folder, kGenerationFile)));

            TestApp app;
            app.ui.messageAnswers << answer;
            app.main->Start(TpPath(made));
            QCOMPARE(app.ui.Messages().size(), 1);
            ExpectMessage(app.ui, "The generated files of the project in ", MessageIcon::Question);
            GenerationSettings settings;
            QVERIFY(LoadGenerationSettings(folder, settings).ok());
            if (answer == kAnswerYes)
                QVERIFY(settings == DefaultGenerationSettings(folder));
            else
                QCOMPARE(FileBytes(FromCore(InputPath(folder, kGenerationFile))), stored);
        }
    }

    // Exit, the window's close button and Close Project ask each open diagram editor
    // first; Cancel on its question about unsaved changes keeps the main window, the
    // project and the editor with its changes; No lets them go on.
    void unsavedDiagramsCanCancelExitAndClose() {
        for (const QString how : {"Exit", "close", "Close Project"}) {
            QTemporaryDir dir;
            ProjectRecord made = MakeProject(dir.path(), "Drawn");
            const QString diagram = dir.path() + "/Write.asf";
            QVERIFY(QFile::copy(ExamplesFolder() + "/MemReqAck/Input/Write.asf", diagram));
            TestApp app;
            app.main->Start(TpPath(made));
            DiagramEditor* editor = DiagramEditor::Open(app.ui, diagram);
            QVERIFY(editor);
            QPointer<DiagramEditor> alive(editor);
            QVERIFY(editor->Change(QStringLiteral("Rename"),
                                   [](AsfDocument& d) { return RenameState(d, 26, "START"); }));
            auto attempt = [&] {
                if (how == QStringLiteral("Exit")) app.main->RunCommand(C::Exit);
                if (how == QStringLiteral("close")) app.main->close();
                if (how == QStringLiteral("Close Project")) app.main->RunCommand(C::CloseProject);
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            };
            app.ui.messageAnswers = {kAnswerCancel};
            attempt();
            QCOMPARE(app.ui.Messages().size(), 1);
            QVERIFY(app.main->isVisible());
            QVERIFY(alive && editor->isVisible() && editor->IsModified());

            app.ui.messageAnswers = {kAnswerNo};
            attempt();
            QVERIFY(!alive);
            QCOMPARE(app.main->isVisible(), how == QStringLiteral("Close Project"));
            QVERIFY(FileBytes(diagram) ==
                    FileBytes(ExamplesFolder() + "/MemReqAck/Input/Write.asf")); // not saved
        }
    }

    void helpAndAbout() {
        TestApp app;
        app.main->Start(QString());
        app.main->RunCommand(C::HelpTopics);
        QWidget* help = app.main->Help().Window();
        QVERIFY(help);
        auto* browser = Control<QTextBrowser>(help, "BrowserHelp");
        QVERIFY(browser->source().toLocalFile().endsWith(QStringLiteral("/Main.html")));
        QVERIFY(!browser->toPlainText().isEmpty());
        // It fits the screen at a size to read.
        QVERIFY(help->screen()->availableGeometry().contains(help->frameGeometry()));
        QVERIFY(help->width() >= 700 && help->height() >= 450);

        // About opens while another window is open (the Help menu stays usable); other
        // commands wait.
        app.main->RunCommand(C::NewProject);
        QDialog* newProject = OpenDialog(*app.main, "FormNewProject");
        app.main->RunCommand(C::OpenProject);
        QVERIFY(app.ui.calls.isEmpty());
        app.main->RunCommand(C::About);
        QDialog* about = OpenDialog(*app.main, "FormAbout");
        QVERIFY(about);
        Q_EMIT Control<QLabel>(about, "LabelLink")
            ->linkActivated(QStringLiteral("https://example.org"));
        QCOMPARE(app.ui.calls.last().kind, QStringLiteral("document"));
        QCOMPARE(app.ui.calls.last().text, QStringLiteral("https://example.org"));
        Click(about, "CommandOK");
        QTRY_VERIFY(!OpenDialog(*app.main, "FormAbout"));
        CheckWindowOpen(*app.main);
        Click(newProject, "CommandCancel");
        QTRY_VERIFY(!OpenDialog(*app.main, "FormNewProject"));
        CheckStage(*app.main, 0);

        // Closing the main window closes the help window.
        QPointer<QWidget> helpWindow = help;
        app.main->close();
        QVERIFY(!helpWindow);

        TestApp other; // a main window rebuilt with a help folder that does not exist
        other.context.helpFolder = QStringLiteral("/nonexistent/help");
        other.main = std::make_unique<MainWindow>(other.context);
        other.main->RunCommand(C::HelpTopics);
        QVERIFY(other.ui.calls.last().text.contains(QStringLiteral("/nonexistent/help/Main.html")));
        QVERIFY(!other.main->Help().Window());
    }

    void splashStartOptionsAndDialogPlacement() {
        bool loaded = false;
        auto* splash = new FormSplash([&loaded] { loaded = true; });
        QPointer<FormSplash> alive = splash;
        QCOMPARE(splash->Timer().interval(), 3500);
        QVERIFY(splash->Timer().isSingleShot());
        splash->Timer().setInterval(10);
        splash->Start();
        QTRY_VERIFY(loaded);
        QTRY_VERIFY(!alive); // it closed (and deleted) itself

        QCOMPARE(ParseStartOptions({"kestrel", "%1"}).projectArgument, QStringLiteral("%1"));
        StartOptions relative = ParseStartOptions({"kestrel", "--no-splash", "P/P.tp"});
        QCOMPARE(relative.projectArgument, QDir::current().absoluteFilePath("P/P.tp"));
        QVERIFY(!relative.splash);
        StartOptions shot = ParseStartOptions(
            {"kestrel", "--screenshot", "options", "--output", "o.png", "/p/P.tp"});
        QCOMPARE(shot.screenshotWindow, QStringLiteral("options"));
        QCOMPARE(shot.screenshotFile, QStringLiteral("o.png"));
        QCOMPARE(shot.projectArgument, QStringLiteral("/p/P.tp"));
        QVERIFY(!shot.splash);

        // 1000 twips are 66.7 pixels at 96 dots per inch and 100 at 144.
        QCOMPARE(TwipsToPixels(1000, 96), 67);
        QCOMPARE(TwipsToPixels(1000, 144), 100);
        QCOMPARE(DialogPosition(QRect(100, 50, 1000, 800), QSize(400, 300), 96),
                 QPoint(100 + 300, 50 + 250 - 67));
        // A dialog wider than the main window starts left of it.
        QCOMPARE(DialogPosition(QRect(0, 0, 300, 800), QSize(500, 300), 144), QPoint(-100, 150));

        // A window of its own: over the main window, shrunk to the screen's free part (a
        // panel at its top), moved inside it.
        const QRect area(0, 30, 1024, 738);
        const QMargins frame(4, 30, 4, 4);
        QCOMPARE(FrameWithin(area, QSize(400, 300), QRect(100, 100, 800, 600), frame),
                 QRect(296, 233, 408, 334));
        QCOMPARE(FrameWithin(area, QSize(760, 900), QRect(600, 500, 400, 200), frame),
                 QRect(1024 - 768, 30, 768, 738));
        QCOMPARE(FrameWithin(area, QSize(760, 640), QRect(), frame).size(), QSize(768, 674));
    }

    // The stored options shown, the enabling rules, the library browse button; a refusal
    // shows its message, turns to the tab of its field and focuses it, the window keeping
    // what was typed (the comment with its final line break) and storing nothing.
    void codeSettingsShowEnableAndRefuse() {
        Project o;
        QDialog* d = o.Open();
        QVERIFY(d);
        const QByteArray before = o.StoredOptions();
        const QString shown = Dump(d, o.dir.path());
        Control<QCheckBox>(d, "CheckSetup")->setChecked(false);
        Control<QCheckBox>(d, "CheckLib")->setChecked(true);
        Click(d, "CommandSaveAsLib"); // cancelled: the box stays
        ExpectGolden(shown + "== setup off, library on\n" + Dump(d, o.dir.path()) + "== calls\n" +
                         o.app.ui.Transcript(o.dir.path()),
                     "code-settings.txt");
        auto* library = Control<QLineEdit>(d, "TextLibFName");
        o.app.ui.fileAnswers << QStringLiteral("/libs/Other.tlib");
        Click(d, "CommandSaveAsLib");
        QCOMPARE(library->text(), QStringLiteral("/libs/Other.tlib"));

        Control<QRadioButton>(d, "OptionMethod3")->setChecked(true);
        Control<QPlainTextEdit>(d, "TextCom")->setPlainText(QStringLiteral("abc"));
        Click(d, "CommandOK");
        ExpectRefusedIn(o.app.ui, d, "Library cannot be created if generating Just", "CheckLib");
        QCOMPARE(Control<QTabWidget>(d, "SSTabOpt")->currentIndex(), 2);
        QCOMPARE(Control<QPlainTextEdit>(d, "TextCom")->toPlainText(), QStringLiteral("abc\n"));
        QCOMPARE(o.StoredOptions(), before);
    }

    void codeSettingsOkStoresCancelDoesNot() {
        Project o;
        QDialog* d = o.Open();
        const QByteArray before = o.StoredOptions();
        SetClock(d, "4", 2, "5", 2);
        Click(d, "CommandCancel");
        QTRY_VERIFY(!o.app.main->findChild<FormOption*>(QStringLiteral("FormOption")));
        QCOMPARE(o.StoredOptions(), before);
        QVERIFY(o.app.main->Menu("MenuFile")->menuAction()->isEnabled());

        d = o.Open();
        QVERIFY(!o.app.main->Menu("MenuTransactor")->menuAction()->isEnabled());
        SetClock(d, "2", 1, "10", 2);
        Control<QRadioButton>(d, "OptionClkNeg")->setChecked(true);
        Control<QRadioButton>(d, "OptionMethod1")->setChecked(true);
        Control<QCheckBox>(d, "CheckLib")->setChecked(true);
        Control<QLineEdit>(d, "TextLibFName")->setText(QStringLiteral("/libs/Bus.tlib"));
        Control<QPlainTextEdit>(d, "TextCom")->setPlainText(QStringLiteral("first\nsecond"));
        Control<QCheckBox>(d, "CheckH")->setChecked(true);
        Click(d, "CommandOK");
        QVERIFY(o.app.ui.calls.isEmpty());
        QTRY_VERIFY(!o.app.main->findChild<FormOption*>(QStringLiteral("FormOption")));
        QVERIFY(o.app.main->Menu("MenuTransactor")->menuAction()->isEnabled());

        ProjectOptions stored;
        QVERIFY(LoadOptions(o.project.projectFolder, stored).ok());
        QCOMPARE(stored.generationMethod, 1);
        QVERIFY(!stored.clockPositiveEdge && stored.makeLibrary && stored.useCommentInHeaders);
        QCOMPARE(stored.setupTime, 2);
        QCOMPARE(stored.clockPeriod, 10);
        QCOMPARE(QString::fromStdString(stored.libraryFile), QStringLiteral("/libs/Bus.tlib"));
        QCOMPARE(QString::fromStdString(stored.comment), QStringLiteral("first\r\nsecond\r\n"));
    }

    void codeSettingsFromGenerateReenableIt() {
        Project o(3);
        o.app.main->RunCommand(AppCommand::Generate);
        auto* generate = o.app.main->findChild<FormGenTran*>(QStringLiteral("FormGenTran"));
        QVERIFY(generate);
        Click(generate, "CommandSet");
        auto* options = generate->findChild<FormOption*>(QStringLiteral("FormOption"));
        QVERIFY(options && options->isVisible());
        QVERIFY(!generate->isEnabled());
        Control<QLineEdit>(options, "TextPeriod")->setText(QStringLiteral("20"));
        Click(options, "CommandOK");
        QTRY_VERIFY(!generate->findChild<FormOption*>(QStringLiteral("FormOption")));
        QVERIFY(generate->isEnabled());
        QVERIFY(!o.app.main->Menu("MenuTransactor")->menuAction()->isEnabled());
        ProjectOptions stored;
        QVERIFY(LoadOptions(o.project.projectFolder, stored).ok());
        QCOMPARE(stored.clockPeriod, 20);
    }

    void codeSettingsUnreadable() {
        Project o;
        ExpectUnreadableTable(o, "option.dat", AppCommand::CodeSettings);
    }
};

} // namespace kestrel::test

QTEST_MAIN(kestrel::test::MainWindowTest)
#include "MainWindowTest.moc"
