// The main window: start-up with and without a project, the menus and toolbar, EnDisMDI
// by project stage and while a window is open, New/Open/Close Project, the memory line,
// help, About, and the way later windows plug in.
#include "AppStartup.h"
#include "DialogPlacement.h"
#include "FormSplash.h"
#include "GuiTestSupport.h"
#include "GuiText.h"
#include "HelpViewer.h"
#include "diagram/DiagramEditor.h"
#include "fsm/AsfEdit.h"
#include "model/ProjectPaths.h"
#include "project/ProjectCommands.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QTextBrowser>
#include <QToolBar>

namespace kestrel::test {

namespace {

using C = AppCommand;

// The menu items that EnDisMDI(true) governs, and the toolbar buttons with a command.
struct Expected {
    std::vector<C> enabled;
    std::vector<C> disabled;
    std::vector<int> buttonsOn;
    std::vector<int> buttonsOff;
};

Expected AtStage(int stage) {
    Expected e;
    const std::vector<std::pair<C, int>> items = {
        {C::CloseProject, 1},     {C::TlmInterface, 1}, {C::RtlInterface, 1},
        {C::CodeSettings, 1},     {C::AddLibrary, 1},   {C::AsmlSpecification, 2},
        {C::FsmSpecification, 2}, {C::Generate, 3}};
    for (auto [command, minimum] : items)
        (stage >= minimum ? e.enabled : e.disabled).push_back(command);
    for (C always : {C::NewProject, C::OpenProject, C::Exit, C::HelpTopics, C::About})
        e.enabled.push_back(always);
    const std::vector<std::pair<int, int>> buttons = {{2, 0},  {3, 0},  {5, 1},  {6, 1},  {8, 1},
                                                      {10, 2}, {11, 2}, {13, 1}, {14, 3}, {16, 0}};
    for (auto [number, minimum] : buttons)
        (stage >= minimum ? e.buttonsOn : e.buttonsOff).push_back(number);
    return e;
}

void CheckStage(MainWindow& main, int stage) {
    const Expected e = AtStage(stage);
    QVERIFY(main.Menu("MenuFile")->menuAction()->isEnabled());
    QVERIFY(main.Menu("MenuTransactor")->menuAction()->isEnabled());
    QVERIFY(main.Menu("MenuHelp")->menuAction()->isEnabled());
    for (C command : e.enabled)
        QVERIFY2(main.MenuItem(command)->isEnabled(), Spec(command).menuName);
    for (C command : e.disabled)
        QVERIFY2(!main.MenuItem(command)->isEnabled(), Spec(command).menuName);
    for (int number : e.buttonsOn)
        QVERIFY2(main.ToolbarButton(number)->isEnabled(), qPrintable(QString::number(number)));
    for (int number : e.buttonsOff)
        QVERIFY2(!main.ToolbarButton(number)->isEnabled(), qPrintable(QString::number(number)));
    QVERIFY(main.MemoryTimer().isActive());
    QCOMPARE(main.MemoryTimer().interval(), 1000);
}

// What EnDisMDI(false) leaves: the Help menu and the Help button only.
void CheckWindowOpen(MainWindow& main) {
    QVERIFY(!main.Menu("MenuFile")->menuAction()->isEnabled());
    QVERIFY(!main.Menu("MenuTransactor")->menuAction()->isEnabled());
    QVERIFY(main.Menu("MenuHelp")->menuAction()->isEnabled());
    QVERIFY(main.MenuItem(C::HelpTopics)->isEnabled());
    QVERIFY(main.MenuItem(C::About)->isEnabled());
    for (C command :
         {C::CloseProject, C::AsmlSpecification, C::FsmSpecification, C::CodeSettings, C::Generate})
        QVERIFY2(!main.MenuItem(command)->isEnabled(), Spec(command).menuName);
    for (int number = 1; number <= 14; ++number)
        QVERIFY2(!main.ToolbarButton(number)->isEnabled(), qPrintable(QString::number(number)));
    QVERIFY(main.ToolbarButton(16)->isEnabled());
    QVERIFY(!main.MemoryTimer().isActive());
}

QDialog* OpenDialog(MainWindow& main, const char* name) {
    return main.findChild<QDialog*>(QString::fromLatin1(name));
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startWithoutProject_data() {
        QTest::addColumn<QString>("argument");
        QTest::newRow("empty") << QString();
        QTest::newRow("%1") << QStringLiteral("%1");
    }

    void startWithoutProject() {
        QFETCH(QString, argument);
        TestApp app;
        app.main->Start(argument);
        QCOMPARE(app.registrations, 1);
        QCOMPARE(app.main->windowTitle(), QStringLiteral("[none] - Kestrel v1.1"));
        QCOMPARE(app.main->StatusPanel(1)->text(), QStringLiteral("No Transactor Project Opened"));
        // 512 MiB of 1024 MiB: 514.2 and 1028.5 of the window's megabytes, rounded.
        QCOMPARE(app.main->StatusPanel(2)->text(),
                 QStringLiteral("Physical Memory Available: 514 MB of 1028 MB  (50%)"));
        CheckStage(*app.main, 0);
        QVERIFY(app.ui.calls.isEmpty());
    }

    void menusAndToolbar() {
        TestApp app;
        const QStringList file = {
            "MenuNewProject", "MenuOpenProject", "MenuCloseProject", "", "MenuAddLibrary", "",
            "MenuExit"};
        const QStringList transactor = {"MenuTLM", "MenuRTL", "",           "MenuAsmL",
                                        "MenuFSM", "",        "MenuOption", "MenuGen"};
        const QStringList help = {"MenuHelpTopic", "", "MenuAbout"};
        auto names = [](QMenu* menu) {
            QStringList list;
            for (QAction* action : menu->actions())
                list << (action->isSeparator() ? QString() : action->objectName());
            return list;
        };
        QCOMPARE(names(app.main->Menu("MenuFile")), file);
        QCOMPARE(names(app.main->Menu("MenuTransactor")), transactor);
        QCOMPARE(names(app.main->Menu("MenuHelp")), help);
        QCOMPARE(app.main->Menu("MenuFile")->title(), QStringLiteral("&File"));
        QCOMPARE(app.main->Menu("MenuTransactor")->title(), QStringLiteral("&Transactor"));
        QCOMPARE(app.main->MenuItem(C::FsmSpecification)->text(),
                 QStringLiteral("Graphical FSM Specification"));
        QCOMPARE(app.main->MenuItem(C::Generate)->text(),
                 QStringLiteral("Generate SystemC Transactor"));

        auto* toolbar = Control<QToolBar>(app.main.get(), "ToolbarMain");
        QVERIFY(toolbar);
        QCOMPARE(toolbar->actions().size(), 16);
        const std::map<int, QString> tips = {{2, "Create New Project"},
                                             {3, "Open Existing Project"},
                                             {5, "TLM Interface"},
                                             {6, "RTL Interface"},
                                             {8, "Add Library"},
                                             {10, "AsmL Specification"},
                                             {11, "Graphical FSM Specification"},
                                             {13, "Code Settings"},
                                             {14, "Generate SystemC Transactor"},
                                             {16, "Help on SystemC Transactor Generation"}};
        for (int number = 1; number <= 16; ++number) {
            QAction* button = app.main->ToolbarButton(number);
            auto tip = tips.find(number);
            if (tip == tips.end()) {
                QVERIFY2(button->isSeparator(), qPrintable(QString::number(number)));
                continue;
            }
            QCOMPARE(button->toolTip(), tip->second);
            QVERIFY2(!button->icon().pixmap(24, 24).isNull(), qPrintable(tip->second));
        }
    }

    void startWithMovedProject() {
        QTemporaryDir dir;
        ProjectRecord made = MakeProject(dir.path() + "/old/", "Moved");
        SetStoredStage(made, 2);
        // Move the project folder: the .tp file still names the old folder.
        QVERIFY(QDir().mkpath(dir.path() + "/new"));
        QVERIFY(QDir().rename(dir.path() + "/old/Moved", dir.path() + "/new/Moved"));
        const QString tp = dir.path() + "/new/Moved/Moved.tp";

        TestApp app;
        app.main->Start(tp);
        QCOMPARE(app.main->windowTitle(), QStringLiteral("Moved - Kestrel v1.1"));
        QCOMPARE(app.main->StatusPanel(1)->text(), tp + QStringLiteral(" Opened"));
        QCOMPARE(FromCore(app.main->Project().projectFolder), dir.path() + "/new/Moved");
        ProjectRecord stored;
        QVERIFY(ReadProjectFile(ToCore(tp), stored).ok());
        QCOMPARE(FromCore(stored.projectFolder), dir.path() + "/new/Moved");
        CheckStage(*app.main, 2);
    }

    // A copy without its empty folders: they are made, and the status bar says so until
    // the project's status changes.
    void startWithCopiedProject() {
        QTemporaryDir dir;
        ProjectRecord made = MakeProject(dir.path() + "/", "Copied");
        QVERIFY(QDir(dir.path() + "/Copied/Temp").removeRecursively());
        const QString tp = dir.path() + "/Copied/Copied.tp";

        TestApp app;
        app.main->Start(tp);
        QVERIFY(QDir(dir.path() + "/Copied/Temp").exists());
        QCOMPARE(app.main->StatusPanel(1)->text(),
                 tp + QStringLiteral(" Opened  -  Created the missing project folder Temp"));
        QVERIFY(app.ui.Messages().isEmpty());
        CheckStage(*app.main, 1);
    }

    void startWithMissingProject() {
        QTemporaryDir dir;
        TestApp app;
        app.main->Start(dir.path() + "/Nope/Nope.tp");
        QCOMPARE(app.ui.Messages().size(), 1);
        const UiCall message = app.ui.Messages().first();
        QCOMPARE(message.icon, MessageIcon::Critical);
        QVERIFY2(message.text.contains(QStringLiteral("Nope.tp")), qPrintable(message.text));
        QCOMPARE(app.main->windowTitle(), QStringLiteral("[none] - Kestrel v1.1"));
        CheckStage(*app.main, 0);
    }

    void newProjectCreatesAndEnables() {
        QTemporaryDir dir;
        TestApp app;
        app.main->Start(QString());
        app.main->RunCommand(C::NewProject);
        QDialog* dialog = OpenDialog(*app.main, "FormNewProject");
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        CheckWindowOpen(*app.main);
        auto* name = Control<QLineEdit>(dialog, "TextPName");
        auto* location = Control<QLineEdit>(dialog, "TextWD");
        QCOMPARE(location->text(), QDir::homePath() + QLatin1Char('/'));

        // A location without its final separator gives the same folder.
        name->setText(QStringLiteral("  Alpha "));
        location->setText(dir.path());
        Click(dialog, "CommandOK");
        QVERIFY(app.ui.calls.isEmpty());
        QTRY_VERIFY(!OpenDialog(*app.main, "FormNewProject"));
        QCOMPARE(FromCore(app.main->Project().projectFolder), dir.path() + "/Alpha");
        QCOMPARE(app.main->Project().projectStage, 1);
        QVERIFY(QFile::exists(dir.path() + "/Alpha/Alpha.tp"));
        QVERIFY(QFile::exists(dir.path() + "/Alpha/Input/option.dat"));
        QCOMPARE(app.main->windowTitle(), QStringLiteral("Alpha - Kestrel v1.1"));
        QCOMPARE(app.main->StatusPanel(1)->text(),
                 dir.path() + QStringLiteral("/Alpha/Alpha.tp Opened"));
        CheckStage(*app.main, 1);
    }

    void newProjectRefusals() {
        QTemporaryDir dir;
        MakeProject(dir.path(), "Taken");
        TestApp app;
        app.main->Start(QString());
        app.main->RunCommand(C::NewProject);
        QDialog* dialog = OpenDialog(*app.main, "FormNewProject");
        auto* name = Control<QLineEdit>(dialog, "TextPName");
        auto* location = Control<QLineEdit>(dialog, "TextWD");

        auto expectRefusal = [&](const QString& text, const QString& title, const char* focus) {
            QCOMPARE(app.ui.Messages().size(), 1);
            const UiCall message = app.ui.Messages().first();
            QCOMPARE(message.text, text);
            QCOMPARE(message.title, title);
            QCOMPARE(message.icon, MessageIcon::Critical);
            QCOMPARE(dialog->focusWidget(), Control<QWidget>(dialog, focus));
            QVERIFY(OpenDialog(*app.main, "FormNewProject"));
            app.ui.calls.clear();
        };

        name->setText(QString());
        Click(dialog, "CommandOK");
        expectRefusal("Please Enter Project Name", "Project Name", "TextPName");

        name->setText(QStringLiteral("Taken"));
        location->setText(QString());
        Click(dialog, "CommandOK");
        expectRefusal("Please Select Working Directory", "Working Directory", "CommandBrs");

        name->setText(QStringLiteral(" Taken  "));
        location->setText(QStringLiteral("  ") + dir.path());
        Click(dialog, "CommandOK");
        expectRefusal("Project " + dir.path() +
                          "/Taken already exists!\r\n"
                          "Please change Project Name or Location",
                      "Kestrel", "TextPName");
        // The fields were trimmed and the separator appended before the check.
        QCOMPARE(name->text(), QStringLiteral("Taken"));
        QCOMPARE(location->text(), dir.path() + QLatin1Char('/'));
        CheckWindowOpen(*app.main);

        // The folder browser: its title, and a cancelled browse empties the field.
        app.ui.folderAnswers << dir.path() + "/chosen";
        Click(dialog, "CommandBrs");
        QCOMPARE(app.ui.calls.last().kind, QStringLiteral("folder"));
        QCOMPARE(app.ui.calls.last().title, QStringLiteral("Please Choose a path"));
        QCOMPARE(location->text(), dir.path() + "/chosen");
        Click(dialog, "CommandBrs");
        QCOMPARE(location->text(), QString());

        Click(dialog, "CommandCancel");
        QTRY_VERIFY(!OpenDialog(*app.main, "FormNewProject"));
        CheckStage(*app.main, 0);
    }

    void openProjectByStage_data() {
        QTest::addColumn<int>("stage");
        QTest::newRow("created") << 1;
        QTest::newRow("declared") << 2;
        QTest::newRow("assigned") << 3;
    }

    void openProjectByStage() {
        QFETCH(int, stage);
        QTemporaryDir dir;
        ProjectRecord made = MakeProject(dir.path(), "Staged");
        SetStoredStage(made, stage);
        TestApp app;
        app.main->Start(QString());

        app.main->RunCommand(C::OpenProject); // cancelled: nothing happens
        QCOMPARE(app.ui.calls.size(), 1);
        const UiCall open = app.ui.calls.first();
        QCOMPARE(open.kind, QStringLiteral("open"));
        QCOMPARE(open.title, QStringLiteral("Open Transactor Project..."));
        QCOMPARE(open.filter, QStringLiteral("Transactor Project (*.tp)|*.tp"));
        CheckStage(*app.main, 0);

        app.ui.fileAnswers << TpPath(made);
        app.main->RunCommand(C::OpenProject);
        QCOMPARE(app.main->windowTitle(), QStringLiteral("Staged - Kestrel v1.1"));
        CheckStage(*app.main, stage);

        app.main->RunCommand(C::CloseProject);
        QCOMPARE(app.main->windowTitle(), QStringLiteral("[none] - Kestrel v1.1"));
        QCOMPARE(app.main->StatusPanel(1)->text(), QStringLiteral("No Transactor Project Opened"));
        QCOMPARE(FromCore(app.main->Project().projectName), QStringLiteral("[none]"));
        CheckStage(*app.main, 0);
    }

    // A project copied from another machine names output files in a folder that does not
    // exist here: opening asks once whether to point them at its own Output folder; Yes
    // does, with the library beside them, No leaves every name as it was.
    void openingACopyAsksToPointItsOutputsHere_data() {
        QTest::addColumn<int>("answer");
        QTest::newRow("yes") << int(kAnswerYes);
        QTest::newRow("no") << int(kAnswerNo);
    }

    void openingACopyAsksToPointItsOutputsHere() {
        QFETCH(int, answer);
        QTemporaryDir dir;
        ProjectRecord made = MakeProject(dir.path(), "Moved");
        const std::string folder = made.projectFolder;
        const std::string gone = ToCore(dir.path()) + "/elsewhere/Moved";
        if (!SaveGenerationSettings(folder, DefaultGenerationSettings(gone)).ok() ||
            !SaveOptions(folder, DefaultProjectOptions("Moved", gone, "ann")).ok())
            QFAIL("cannot store the other machine's names");
        const QByteArray storedSettings = FileBytes(FromCore(InputPath(folder, kGenerationFile)));
        const QByteArray storedOptions = FileBytes(FromCore(InputPath(folder, kOptionFile)));

        TestApp app;
        app.ui.messageAnswers << answer;
        app.main->Start(TpPath(made));
        QCOMPARE(app.ui.Messages().size(), 1);
        const UiCall question = app.ui.Messages().first();
        QCOMPARE(question.icon, MessageIcon::Question);
        QVERIFY2(question.text.startsWith(QStringLiteral("The generated files of the project in ") +
                                          FromCore(folder)),
                 qPrintable(question.text));
        QVERIFY(question.text.contains(FromCore(gone) + QStringLiteral("/Output/Tran.cpp")));
        QCOMPARE(app.main->windowTitle(), QStringLiteral("Moved - Kestrel v1.1"));

        GenerationSettings settings;
        ProjectOptions options;
        QVERIFY(LoadGenerationSettings(folder, settings).ok());
        QVERIFY(LoadOptions(folder, options).ok());
        if (answer == kAnswerYes) {
            QVERIFY(settings == DefaultGenerationSettings(folder));
            QCOMPARE(FromCore(options.libraryFile), FromCore(folder + "/Output/Moved.tlib"));
            QCOMPARE(FromCore(options.libraryFolder), FromCore(folder + "/Output"));
        } else {
            QCOMPARE(FileBytes(FromCore(InputPath(folder, kGenerationFile))), storedSettings);
            QCOMPARE(FileBytes(FromCore(InputPath(folder, kOptionFile))), storedOptions);
        }

        // Asked on opening only: opening again asks again only while the names are outside.
        app.ui.calls.clear();
        app.ui.messageAnswers << int(kAnswerNo);
        app.ui.fileAnswers << TpPath(made);
        app.main->RunCommand(C::OpenProject);
        QCOMPARE(app.ui.Messages().size(), answer == kAnswerYes ? 0 : 1);
    }

    void laterWindowsPlugIn() {
        QTemporaryDir dir;
        ProjectRecord made = MakeProject(dir.path(), "Plug");
        TestApp app;
        app.main->Start(TpPath(made));

        // A command whose window does not open (its opener told the user why) gives
        // control back.
        app.main->SetWindowOpener(C::TlmInterface, [](MainWindow& main) -> QDialog* {
            main.Context().ui.Message(&main,
                                      QStringLiteral("The TLM Interface window is not "
                                                     "available yet."),
                                      QStringLiteral("Kestrel"), MessageIcon::Information);
            return nullptr;
        });
        app.main->RunCommand(C::TlmInterface);
        QCOMPARE(app.ui.Messages().size(), 1);
        QCOMPARE(app.ui.Messages().first().text,
                 QStringLiteral("The TLM Interface window is not available yet."));
        CheckStage(*app.main, 1);

        // A window plugged in: commands are off while it is open; its OK raises the stage.
        app.main->SetWindowOpener(C::AsmlSpecification, [](MainWindow& main) -> QDialog* {
            auto* dialog = new QDialog(&main);
            dialog->setObjectName(QStringLiteral("FormAsmL"));
            QObject::connect(dialog, &QDialog::accepted, &main, [&main] {
                main.UpdateProject([](ProjectRecord& record) { MarkBehaviourAssigned(record); });
            });
            return dialog;
        });
        app.main->RunCommand(C::AsmlSpecification);
        QDialog* window = OpenDialog(*app.main, "FormAsmL");
        QVERIFY(window);
        CheckWindowOpen(*app.main);
        window->accept();
        CheckStage(*app.main, 3);
        ProjectRecord stored;
        QVERIFY(ReadProjectFile(ProjectFilePath(made), stored).ok());
        QCOMPARE(stored.projectStage, 3);
    }

    // Exit, the window's close button and Close Project ask each open diagram editor
    // first; Cancel on its question about unsaved changes keeps the main window, the
    // project and the editor with its changes; No lets them go on.
    void unsavedDiagramsCanCancelExitAndClose_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Exit") << QStringLiteral("Exit");
        QTest::newRow("close button") << QStringLiteral("close");
        QTest::newRow("Close Project") << QStringLiteral("Close Project");
    }

    void unsavedDiagramsCanCancelExitAndClose() {
        QFETCH(QString, how);
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
        QVERIFY(app.ui.Messages().first().text.contains("Do you want to save the changes?"));
        QVERIFY(app.main->isVisible());
        QVERIFY(alive && editor->isVisible() && editor->IsModified());
        QCOMPARE(app.main->windowTitle(), QStringLiteral("Drawn - Kestrel v1.1"));

        app.ui.messageAnswers = {kAnswerNo};
        attempt();
        QVERIFY(!alive);
        QCOMPARE(app.main->isVisible(), how == QStringLiteral("Close Project"));
        if (how == QStringLiteral("Close Project"))
            QCOMPARE(app.main->windowTitle(), QStringLiteral("[none] - Kestrel v1.1"));
        QVERIFY(FileBytes(diagram) ==
                FileBytes(ExamplesFolder() + "/MemReqAck/Input/Write.asf")); // not saved
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
        QVERIFY(app.ui.calls.isEmpty());

        app.main->RunCommand(C::About);
        QDialog* about = OpenDialog(*app.main, "FormAbout");
        QVERIFY(about);
        QCOMPARE(Control<QLabel>(about, "LabelName")->text(), QStringLiteral("Kestrel"));
        QCOMPARE(Control<QLabel>(about, "LabelVersion")->text(), QStringLiteral("v1.1"));
        CheckWindowOpen(*app.main);
        auto* link = Control<QLabel>(about, "LabelLink");
        Q_EMIT link->linkActivated(QStringLiteral("https://example.org"));
        QCOMPARE(app.ui.calls.last().kind, QStringLiteral("document"));
        QCOMPARE(app.ui.calls.last().text, QStringLiteral("https://example.org"));
        Click(about, "CommandOK");
        CheckStage(*app.main, 0);

        // Closing the main window closes the help window.
        QPointer<QWidget> helpWindow = help;
        app.main->close();
        QVERIFY(!helpWindow);
    }

    void theHelpWindowFitsASmallScreen() {
        if (!OnOtherDesktop()) {
            QCOMPARE(RunOnOtherDesktop("theHelpWindowFitsASmallScreen", {QSize(1024, 600), {}}), 0);
            return;
        }
        TestApp app;
        app.main->Start(QString());
        app.main->RunCommand(C::HelpTopics);
        QWidget* help = app.main->Help().Window();
        QVERIFY(help);
        const QRect screen = help->screen()->availableGeometry();
        QCOMPARE(screen.height(), 600);
        const QRect frame = help->frameGeometry();
        QVERIFY2(screen.contains(frame), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                        .arg(frame.x())
                                                        .arg(frame.y())
                                                        .arg(frame.width())
                                                        .arg(frame.height())));
        QVERIFY(help->width() >= 700 && help->height() >= 450);
    }

    void aboutWhileAWindowIsOpen() {
        TestApp app;
        app.main->Start(QString());
        app.main->RunCommand(C::NewProject);
        QDialog* newProject = OpenDialog(*app.main, "FormNewProject");
        QVERIFY(newProject);
        // Other commands wait; About, from the Help menu that stays usable, opens.
        app.main->RunCommand(C::OpenProject);
        app.main->RunCommand(C::CodeSettings);
        QVERIFY(app.ui.calls.isEmpty());
        QVERIFY(!OpenDialog(*app.main, "FormOption"));
        app.main->RunCommand(C::About);
        QDialog* about = OpenDialog(*app.main, "FormAbout");
        QVERIFY(about);
        Click(about, "CommandOK");
        QTRY_VERIFY(!OpenDialog(*app.main, "FormAbout"));
        CheckWindowOpen(*app.main); // New Project is still open
        Click(newProject, "CommandCancel");
        QTRY_VERIFY(!OpenDialog(*app.main, "FormNewProject"));
        CheckStage(*app.main, 0);
    }

    void missingHelpIsReported() {
        TestApp other; // a main window rebuilt with a help folder that does not exist
        other.context.helpFolder = QStringLiteral("/nonexistent/help");
        other.main = std::make_unique<MainWindow>(other.context);
        other.main->RunCommand(C::HelpTopics);
        QCOMPARE(other.ui.Messages().size(), 1);
        QVERIFY(other.ui.Messages().first().text.contains(
            QStringLiteral("/nonexistent/help/Main.html")));
        QVERIFY(!other.main->Help().Window());
    }

    void splashHandsOver() {
        bool loaded = false;
        auto* splash = new FormSplash([&loaded] { loaded = true; });
        QPointer<FormSplash> alive = splash;
        QCOMPARE(Control<QLabel>(splash, "LabelVersion")->text(), QStringLiteral("v1.1"));
        QCOMPARE(splash->Timer().interval(), 3500);
        QVERIFY(splash->Timer().isSingleShot());
        splash->Timer().setInterval(10);
        splash->Start();
        QTRY_VERIFY(loaded);
        QTRY_VERIFY(!alive); // it closed (and deleted) itself
    }

    void startOptions() {
        StartOptions none = ParseStartOptions({"kestrel"});
        QCOMPARE(none.projectArgument, QString());
        StartOptions literal = ParseStartOptions({"kestrel", "%1"});
        QCOMPARE(literal.projectArgument, QStringLiteral("%1"));
        StartOptions relative = ParseStartOptions({"kestrel", "--no-splash", "P/P.tp"});
        QCOMPARE(relative.projectArgument, QDir::current().absoluteFilePath("P/P.tp"));
        QVERIFY(!relative.splash);
        StartOptions shot = ParseStartOptions(
            {"kestrel", "--screenshot", "options", "--output", "o.png", "/p/P.tp"});
        QCOMPARE(shot.screenshotWindow, QStringLiteral("options"));
        QCOMPARE(shot.screenshotFile, QStringLiteral("o.png"));
        QCOMPARE(shot.projectArgument, QStringLiteral("/p/P.tp"));
        QVERIFY(!shot.splash);
    }

    void dialogPlacement() {
        // 1000 twips are 66.7 pixels at 96 dots per inch and 100 at 144.
        QCOMPARE(TwipsToPixels(1000, 96), 67);
        QCOMPARE(TwipsToPixels(1000, 144), 100);
        QCOMPARE(TwipsToPixels(1440, 96), 96);
        QCOMPARE(DialogPosition(QRect(100, 50, 1000, 800), QSize(400, 300), 96),
                 QPoint(100 + 300, 50 + 250 - 67));
        QCOMPARE(DialogPosition(QRect(0, 0, 1000, 800), QSize(400, 300), 144), QPoint(300, 150));
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
};

} // namespace kestrel::test

QTEST_MAIN(kestrel::test::MainWindowTest)
#include "MainWindowTest.moc"
