// The AsmL assignment window: the label as loaded, Work with Template before and after a
// template, Generate AsmL Template (save dialog, blank refusal, the converter's command
// line, the question, a failing and a slow converter, the window kept alive meanwhile),
// Assign... and Unassign, OK (asml.dat, the copy in Input, stage 3) and Cancel.
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
    int StoredStage() const {
        ProjectRecord record;
        if (!ReadProjectFile(ProjectFilePath(project), record).ok()) qFatal("unreadable .tp");
        return record.projectStage;
    }
};

void WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
    file.write(bytes);
}

} // namespace

class FormAssignAsmLTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void opensOnTheStoredAssignment() {
        OpenedAsml a;
        QCOMPARE(a.dialog->windowTitle(),
                 QStringLiteral("Generate AsmL Template and Assign AsmL Specification"));
        QCOMPARE(a.Label(), QStringLiteral("<not assigned>"));
        QCOMPARE(a.Mark(), QStringLiteral("0"));
        QVERIFY(!Control<QLabel>(a.dialog, "LabelIsAssigned")->isVisible());
        const struct {
            const char* name;
            const char* caption;
        } buttons[] = {{"CommandGenTemp", "Generate AsmL Template"},
                       {"CommandMSWord", "Work with Template"},
                       {"CommandBrs", "Assign..."},
                       {"CommandUnAss", "Unassign"},
                       {"CommandOK", "OK"},
                       {"CommandCancel", "Cancel"}};
        for (const auto& b : buttons)
            QCOMPARE(Control<QAbstractButton>(a.dialog, b.name)->text(),
                     QString::fromLatin1(b.caption));

        // An assigned document shows as its copy in Input.
        Click(a.dialog, "CommandCancel");
        QVERIFY(SaveAsmlAssignment(a.project.projectFolder,
                                   AsmlAssignment{"/t/x.doc", "spec.doc", true})
                    .ok());
        a.Open();
        QCOMPARE(a.Label(), a.folder + "/Input/spec.doc");
        QCOMPARE(a.Mark(), QStringLiteral("1"));
    }

    void generateTemplateThenWorkWithIt() {
        OpenedAsml a;
        const QString defaultPath = a.folder + "/Temp/Spec.doc";
        Click(a.dialog, "CommandMSWord");
        UiCall missing = a.app.ui.calls.last();
        QCOMPARE(missing.text, defaultPath +
                                   " does not exists! \r\n"
                                   "Create it by pressing the Generate AsmL Template button");
        QCOMPARE(missing.title, QStringLiteral("File not exists!"));
        QCOMPARE(missing.icon, MessageIcon::Critical);

        // Cancelled save dialog: the converter does not run.
        Click(a.dialog, "CommandGenTemp");
        UiCall save = a.app.ui.calls.last();
        QCOMPARE(save.kind, QStringLiteral("save"));
        QCOMPARE(save.title, QStringLiteral("Save AsmL Template As..."));
        QCOMPARE(save.filter, QStringLiteral("MS Word Document  (*.doc)|*.doc"));
        QCOMPARE(save.folder, a.folder + "/Temp");
        QCOMPARE(a.converter.runs, 0);

        // A path with a blank is refused before anything is written.
        a.app.ui.fileAnswers << a.dir.path() + "/my docs/T.doc";
        Click(a.dialog, "CommandGenTemp");
        QCOMPARE(a.app.ui.calls.last().text,
                 QStringLiteral("Please choose path without White Space."));
        QCOMPARE(a.app.ui.calls.last().title, QStringLiteral("White Space in path"));
        QCOMPARE(a.app.ui.calls.last().icon, MessageIcon::Critical);
        QCOMPARE(a.converter.runs, 0);

        const QString chosen = a.dir.path() + "/docs/T.doc";
        QDir().mkpath(a.dir.path() + "/docs");
        WriteFile(chosen, "an older document");
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
        const UiCall question = a.app.ui.calls[a.app.ui.calls.size() - 2];
        QCOMPARE(question.text,
                 QStringLiteral("Do you want to Open Generated AsmL Template with MS Word now?"));
        QCOMPARE(question.title, QStringLiteral("Open with MS Word?"));
        QCOMPARE(a.app.ui.calls.last().kind, QStringLiteral("document"));
        QCOMPARE(a.app.ui.calls.last().text, chosen);
        QVERIFY(a.dialog->isEnabled());

        // Work with Template opens the new document; OK keeps its path in asml.dat.
        Click(a.dialog, "CommandMSWord");
        QCOMPARE(a.app.ui.calls.last().kind, QStringLiteral("document"));
        QCOMPARE(a.app.ui.calls.last().text, chosen);
        QCOMPARE(a.Label(), QStringLiteral("<not assigned>"));
        Click(a.dialog, "CommandOK");
        QCOMPARE(FromCore(a.Record().asmlDocumentPath), chosen);
        QVERIFY(!a.Record().asmlAssigned);
        QCOMPARE(a.StoredStage(), 3);
    }

    void failingOrSilentConverterEndsInAMessage() {
        OpenedAsml a;
        const QByteArray stored = a.Stored();
        const QString chosen = a.dir.path() + "/T.doc";
        a.converter.mode = FakeConverter::Mode::Fail;
        a.app.ui.fileAnswers << chosen;
        Click(a.dialog, "CommandGenTemp");
        UiCall failed = a.app.ui.calls.last();
        QCOMPARE(failed.kind, QStringLiteral("message"));
        QCOMPARE(failed.icon, MessageIcon::Critical);
        QCOMPARE(failed.title, QStringLiteral("Kestrel"));
        QVERIFY2(failed.text.contains(chosen) && failed.text.contains("cannot read the template"),
                 qPrintable(failed.text));

        // A converter that never answers is stopped by the bounded wait: a message, no hang.
        a.converter.mode = FakeConverter::Mode::TimeOut;
        a.app.ui.fileAnswers << chosen;
        Click(a.dialog, "CommandGenTemp");
        failed = a.app.ui.calls.last();
        QVERIFY2(failed.text.contains(chosen) && failed.text.contains("within 5 seconds"),
                 qPrintable(failed.text));
        QVERIFY(a.dialog->isEnabled());
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
        WriteFile(spec, "namespace nsA\r\n");

        // Cancelled dialog: nothing changes.
        Click(a.dialog, "CommandBrs");
        QCOMPARE(a.app.ui.calls.last().kind, QStringLiteral("open"));
        QCOMPARE(a.app.ui.calls.last().title, QStringLiteral("Assign AsmL Specification..."));
        QCOMPARE(a.app.ui.calls.last().filter, QStringLiteral("MS Word Document  (*.doc)|*.doc"));
        QCOMPARE(a.Label(), QStringLiteral("<not assigned>"));

        // Assign then Cancel: asml.dat unchanged, nothing copied.
        a.app.ui.fileAnswers << spec;
        Click(a.dialog, "CommandBrs");
        QCOMPARE(a.Label(), spec);
        QCOMPARE(a.Mark(), QStringLiteral("1"));
        Click(a.dialog, "CommandCancel");
        QCOMPARE(a.Stored(), created);
        QVERIFY(!QFile::exists(a.folder + "/Input/spec.doc"));
        QCOMPARE(a.StoredStage(), 2);

        // Assign then OK.
        a.Open();
        a.app.ui.fileAnswers << spec;
        Click(a.dialog, "CommandBrs");
        Click(a.dialog, "CommandOK");
        QCOMPARE(FileBytes(a.folder + "/Input/spec.doc"), QByteArray("namespace nsA\r\n"));
        AsmlAssignment record = a.Record();
        QCOMPARE(FromCore(record.asmlDocumentPath), a.folder + "/Temp/Spec.doc");
        QCOMPARE(FromCore(record.asmlDocumentLabel), QStringLiteral("spec.doc"));
        QVERIFY(record.asmlAssigned);
        QCOMPARE(a.StoredStage(), 3);
        QVERIFY(a.app.main->MenuItem(AppCommand::Generate)->isEnabled());

        // Reopened and confirmed at once: the copy in Input stays as it is.
        a.Open();
        QCOMPARE(a.Label(), a.folder + "/Input/spec.doc");
        Click(a.dialog, "CommandOK");
        QCOMPARE(FileBytes(a.folder + "/Input/spec.doc"), QByteArray("namespace nsA\r\n"));
        QVERIFY(a.Record().asmlAssigned);

        // Unassign then OK: "<not assigned>", false, and still stage 3.
        a.Open();
        Click(a.dialog, "CommandUnAss");
        QCOMPARE(a.Label(), QStringLiteral("<not assigned>"));
        QCOMPARE(a.Mark(), QStringLiteral("0"));
        Click(a.dialog, "CommandOK");
        record = a.Record();
        QCOMPARE(FromCore(record.asmlDocumentLabel), QStringLiteral("<not assigned>"));
        QVERIFY(!record.asmlAssigned);
        QCOMPARE(a.StoredStage(), 3);
    }
};

} // namespace kestrel::test

QTEST_MAIN(kestrel::test::FormAssignAsmLTest)
#include "FormAssignAsmLTest.moc"
