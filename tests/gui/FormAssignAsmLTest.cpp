// The AsmL assignment window: the label as loaded, Work with Template, Generate AsmL
// Template (save dialog, the core's refusals passed on, the converter's command line, the
// question, a failing and a slow converter, the window kept alive meanwhile), Assign... and
// Unassign, OK (asml.dat, the copy in Input, stage 3) and Cancel. The rules are tested in
// tests/core/assign and tests/core/asml.
#include "assign/FormAssignAsmL.h"
#include "GuiTestSupport.h"
#include "GuiText.h"
#include "assign/AssignWindows.h"
#include "model/Assignments.h"
#include "model/ProjectPaths.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "project/ProjectCommands.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

#include <fstream>
#include <mutex>
#include <thread>

namespace kestrel::test {

namespace {

// Stands in for kestrel-docgen: writes the document it is asked for, fails, or takes its
// time. Called on the window's worker thread.
class FakeConverter final : public ProcessRunner {
public:
    enum class Mode { Write, Fail, TimeOut };
    Mode mode = Mode::Write;
    std::chrono::milliseconds delay{0};

    ProcessOutcome Run(const std::string& program, const std::vector<std::string>& arguments,
                       std::chrono::milliseconds timeout) override {
        {
            std::lock_guard lock(mutex_);
            this->program = program;
            this->arguments = arguments;
            this->timeout = timeout;
            ++runs;
        }
        std::this_thread::sleep_for(delay);
        ProcessOutcome outcome;
        outcome.started = true;
        switch (mode) {
        case Mode::Write:
            std::ofstream(arguments.at(1), std::ios::binary) << "document";
            outcome.exitCode = 0;
            break;
        case Mode::Fail:
            outcome.exitCode = 1;
            outcome.errorOutput = "kestrel-docgen: cannot read the template\n";
            break;
        case Mode::TimeOut: outcome.timedOut = true; break;
        }
        return outcome;
    }

    std::string program;
    std::vector<std::string> arguments;
    std::chrono::milliseconds timeout{0};
    int runs = 0;

private:
    std::mutex mutex_;
};

// A declared project "Spec" (stage 2, one function) with the AsmL window opened over the
// fake converter.
struct OpenedAsml {
    QTemporaryDir dir;
    ProjectRecord project;
    QString folder;
    FakeConverter converter;
    TestApp app;
    QDialog* dialog = nullptr;

    OpenedAsml() {
        project = MakeProject(dir.path(), QStringLiteral("Spec"));
        folder = FromCore(project.projectFolder);
        SetStoredStage(project, 2);
        AssignSeams seams;
        seams.runner = &converter;
        seams.converterProgram = "/opt/docgen";
        seams.converterTimeout = std::chrono::milliseconds(5000);
        InstallAssignWindows(*app.main, seams);
        app.main->Start(TpPath(project));
        Open();
    }
    void Open() {
        app.main->RunCommand(AppCommand::AsmlSpecification);
        dialog = app.main->OpenWindow();
        if (!dialog || dialog->objectName() != QStringLiteral("FormAssignAsmL"))
            qFatal("the AsmL window did not open");
    }
    QString Label() const { return Control<QLabel>(dialog, "LabelAsmLFName")->text(); }
    QString Mark() const { return Control<QLabel>(dialog, "LabelIsAssigned")->text(); }
    QByteArray Stored() const { return FileBytes(folder + "/Input/asml.dat"); }
    AsmlAssignment Record() const {
        AsmlAssignment a;
        if (!LoadAsmlAssignment(project.projectFolder, a).ok()) qFatal("unreadable asml.dat");
        return a;
    }
};

} // namespace

class FormAssignAsmLTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void generateTemplateThenWorkWithIt() {
        OpenedAsml a;
        QCOMPARE(a.Label(), QStringLiteral("<not assigned>"));
        QVERIFY(!Control<QLabel>(a.dialog, "LabelIsAssigned")->isVisible());
        Click(a.dialog, "CommandMSWord");
        ExpectMessage(a.app.ui, a.folder + "/Temp/Spec.doc does not exists!");

        // Cancelled save dialog, then a path with a blank: the converter does not run.
        Click(a.dialog, "CommandGenTemp");
        const UiCall save = a.app.ui.calls.last();
        QCOMPARE(save.kind, QStringLiteral("save"));
        QCOMPARE(save.filter, QStringLiteral("MS Word Document  (*.doc)|*.doc"));
        QCOMPARE(save.folder, a.folder + "/Temp");
        a.app.ui.fileAnswers << a.dir.path() + "/my docs/T.doc";
        Click(a.dialog, "CommandGenTemp");
        QCOMPARE(a.app.ui.calls.last().text,
                 QStringLiteral("Please choose path without White Space."));
        QCOMPARE(a.converter.runs, 0);

        const QString chosen = a.dir.path() + "/docs/T.doc";
        WriteTestFile(chosen, "an older document");
        a.app.ui.fileAnswers << chosen;
        a.app.ui.messageAnswers << kAnswerYes;
        Click(a.dialog, "CommandGenTemp");
        QCOMPARE(a.converter.runs, 1);
        QCOMPARE(a.converter.program, std::string("/opt/docgen"));
        QCOMPARE(
            a.converter.arguments,
            (std::vector<std::string>{ToCore(a.folder + "/Temp/template.asml"), ToCore(chosen)}));
        QCOMPARE(a.converter.timeout, std::chrono::milliseconds(5000));
        QVERIFY(
            FileBytes(a.folder + "/Temp/template.asml").startsWith("<?xml version=\"1.0\"?>\r\n"));
        QCOMPARE(FileBytes(chosen), QByteArray("document"));
        QCOMPARE(a.app.ui.calls[a.app.ui.calls.size() - 2].title,
                 QStringLiteral("Open with MS Word?"));
        QCOMPARE(a.app.ui.calls.last().kind, QStringLiteral("document"));
        QCOMPARE(a.app.ui.calls.last().text, chosen);

        // Work with Template opens the new document; OK keeps its path in asml.dat.
        a.app.ui.calls.clear();
        Click(a.dialog, "CommandMSWord");
        QCOMPARE(a.app.ui.calls.last().kind, QStringLiteral("document"));
        QCOMPARE(a.app.ui.calls.last().text, chosen);
        Click(a.dialog, "CommandOK");
        QCOMPARE(FromCore(a.Record().asmlDocumentPath), chosen);
        QVERIFY(!a.Record().asmlAssigned);
        QCOMPARE(StoredStage(a.project), 3);
    }

    void failingOrSilentConverterEndsInAMessage() {
        OpenedAsml a;
        const QByteArray stored = a.Stored();
        const QString chosen = a.dir.path() + "/T.doc";
        for (auto [mode, says] : {std::pair{FakeConverter::Mode::Fail, "cannot read the template"},
                                  {FakeConverter::Mode::TimeOut, "within 5 seconds"}}) {
            a.converter.mode = mode;
            a.app.ui.fileAnswers << chosen;
            Click(a.dialog, "CommandGenTemp");
            const UiCall failed = a.app.ui.calls.last();
            QCOMPARE(failed.icon, MessageIcon::Critical);
            QVERIFY2(failed.text.contains(chosen) && failed.text.contains(says),
                     qPrintable(failed.text));
            QVERIFY(a.dialog->isEnabled());
        }
        // Cancel drops the template path remembered meanwhile.
        Click(a.dialog, "CommandCancel");
        QCOMPARE(a.Stored(), stored);
    }

    void windowKeepsRunningWhileTheConverterWorks() {
        OpenedAsml a;
        a.converter.delay = std::chrono::milliseconds(600);
        auto* wait = Control<QProgressBar>(a.dialog, "ProgressBarWait");
        int ticks = 0;
        bool busyShown = false;
        bool cancelHeld = true;
        QTimer timer;
        timer.setInterval(50);
        connect(&timer, &QTimer::timeout, [&] {
            ++ticks;
            if (a.dialog->isEnabled()) return;
            if (wait->maximum() == 0) busyShown = true;
            // Closing while the converter runs is held back.
            a.dialog->reject();
            if (!a.dialog->isVisible()) cancelHeld = false;
        });
        timer.start();
        a.app.ui.fileAnswers << a.dir.path() + "/T.doc";
        a.app.ui.messageAnswers << kAnswerNo;
        Click(a.dialog, "CommandGenTemp");
        timer.stop();
        QVERIFY2(ticks >= 5, qPrintable(QString::number(ticks)));
        QVERIFY(busyShown);
        QVERIFY(cancelHeld);
        QCOMPARE(wait->maximum(), 1);
        QCOMPARE(a.app.ui.calls.last().title, QStringLiteral("Open with MS Word?"));
    }

    void assignUnassignOkAndCancel() {
        OpenedAsml a;
        const QByteArray created = a.Stored();
        const QString spec = a.dir.path() + "/work/spec.doc";
        WriteTestFile(spec, "namespace nsA\r\n");
        Click(a.dialog, "CommandBrs"); // cancelled
        QCOMPARE(a.app.ui.calls.last().kind, QStringLiteral("open"));
        QCOMPARE(a.Label(), QStringLiteral("<not assigned>"));

        // Assign then Cancel: asml.dat unchanged, nothing copied.
        a.app.ui.fileAnswers << spec;
        Click(a.dialog, "CommandBrs");
        QCOMPARE(a.Label(), spec);
        QCOMPARE(a.Mark(), QStringLiteral("1"));
        Click(a.dialog, "CommandCancel");
        QCOMPARE(a.Stored(), created);
        QVERIFY(!QFile::exists(a.folder + "/Input/spec.doc"));
        QCOMPARE(StoredStage(a.project), 2);

        // Assign then OK; reopened, the label shows the copy in Input.
        a.Open();
        a.app.ui.fileAnswers << spec;
        Click(a.dialog, "CommandBrs");
        Click(a.dialog, "CommandOK");
        QCOMPARE(FileBytes(a.folder + "/Input/spec.doc"), QByteArray("namespace nsA\r\n"));
        QCOMPARE(FromCore(a.Record().asmlDocumentLabel), QStringLiteral("spec.doc"));
        QVERIFY(a.Record().asmlAssigned);
        QCOMPARE(StoredStage(a.project), 3);
        QVERIFY(a.app.main->MenuItem(AppCommand::Generate)->isEnabled());
        a.Open();
        QCOMPARE(a.Label(), a.folder + "/Input/spec.doc");

        // Unassign then OK: "<not assigned>", false, and still stage 3.
        Click(a.dialog, "CommandUnAss");
        QCOMPARE(a.Label(), QStringLiteral("<not assigned>"));
        QCOMPARE(a.Mark(), QStringLiteral("0"));
        Click(a.dialog, "CommandOK");
        QVERIFY(!a.Record().asmlAssigned);
        QCOMPARE(StoredStage(a.project), 3);
    }
};

} // namespace kestrel::test

QTEST_MAIN(kestrel::test::FormAssignAsmLTest)
#include "FormAssignAsmLTest.moc"
