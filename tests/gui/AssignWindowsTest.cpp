// The FSM and AsmL assignment windows and the Add Library window over the core's rules
// (tested in tests/core/assign, asml and library): their rows, browse and template buttons,
// the converter run through a fake, and what OK stores and Cancel does not.
#include "assign/AssignWindows.h"
#include "GuiTestSupport.h"
#include "GuiText.h"
#include "assign/FormAssignAsmL.h"
#include "assign/FormAssignFSM.h"
#include "diagram/DiagramEditor.h"
#include "model/Assignments.h"
#include "model/ProjectOptions.h"
#include "model/ProjectPaths.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "project/ProjectCommands.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QTimer>
#include <QTreeWidget>

#include <fstream>
#include <thread>
#include <tuple>

namespace kestrel::test {

namespace {

TlmFunction AssignedLibraryFunction() {
    TlmFunction libGet = TestFunction("libGet", 1, {}, true);
    libGet.fsmAssigned = true;
    libGet.asfFileName = "libGet.asf";
    return libGet;
}

// A declared project "Fsm" (stage 2) with the functions
//   1 "int ready ( )", 2 "void write (const char & b [], int  a )", 3 the library
//   function "bool libGet ( )" (stored as assigned), and one clock signal;
// the FSM window opened on it.
struct OpenedFsm : ProjectFixture {
    QDialog* dialog;
    QTreeWidget* list;

    OpenedFsm()
        : ProjectFixture(QStringLiteral("Fsm"),
                         {TestFunction("ready", 4, {}),
                          TestFunction("write", 0, {{2, true, "b", true, true}, {4, false, "a"}}),
                          AssignedLibraryFunction()},
                         {TestSignal("clk", 0, 2, 1, "1", true)}, 2),
          dialog(Open(AppCommand::FsmSpecification)),
          list(Control<QTreeWidget>(dialog, "ListViewAssign")) {}

    void Reopen() {
        dialog = Open(AppCommand::FsmSpecification);
        list = Control<QTreeWidget>(dialog, "ListViewAssign");
    }
    QString Cell(int row, int column) const { return list->topLevelItem(row)->text(column); }
    void Select(int row) { list->setCurrentItem(list->topLevelItem(row)); }
};

// Stands in for kestrel-docgen: writes the document it is asked for, fails, or takes its
// time. Called on the window's worker thread; read once the window has its result.
class FakeConverter final : public ProcessRunner {
public:
    enum class Mode { Write, Fail, TimeOut };
    Mode mode = Mode::Write;
    std::chrono::milliseconds delay{0};
    std::chrono::milliseconds timeout{0};
    std::string program;
    std::vector<std::string> arguments;
    int runs = 0;

    ProcessOutcome Run(const std::string& p, const std::vector<std::string>& a,
                       std::chrono::milliseconds t) override {
        std::tie(program, arguments, timeout) = std::tie(p, a, t);
        ++runs;
        std::this_thread::sleep_for(delay);
        ProcessOutcome outcome;
        outcome.started = true;
        outcome.timedOut = mode == Mode::TimeOut;
        if (mode == Mode::Write) std::ofstream(a.at(1), std::ios::binary) << "document";
        if (mode != Mode::TimeOut) outcome.exitCode = mode == Mode::Write ? 0 : 1;
        if (mode == Mode::Fail) outcome.errorOutput = "kestrel-docgen: cannot read the template\n";
        return outcome;
    }
};

// A declared project "Spec" (stage 2) with the AsmL window opened over the fake converter
// (which outlives the window: a base before the project's).
struct WithConverter {
    FakeConverter converter;
};
struct OpenedAsml : WithConverter, ProjectFixture {
    QDialog* dialog = nullptr;

    OpenedAsml()
        : ProjectFixture(QStringLiteral("Spec"), {TestFunction("go", 0, {})},
                         {TestSignal("clk", 0, 2, 1, "1", true)}, 2) {
        AssignSeams seams;
        seams.runner = &converter;
        seams.converterProgram = "/opt/docgen";
        seams.converterTimeout = std::chrono::milliseconds(5000);
        InstallAssignWindows(*app.main, seams);
        Reopen();
    }
    void Reopen() { dialog = Open(AppCommand::AsmlSpecification); }
    QString Label() const { return Control<QLabel>(dialog, "LabelAsmLFName")->text(); }
    QString Mark() const { return Control<QLabel>(dialog, "LabelIsAssigned")->text(); }
    AsmlAssignment Record() const {
        AsmlAssignment a;
        if (!LoadAsmlAssignment(project.projectFolder, a).ok()) qFatal("unreadable asml.dat");
        return a;
    }
};

// One library entry as stored: name, zero byte, size in decimal, zero byte, content.
QByteArray Entry(const std::string& name, const std::string& content) {
    std::string bytes = name + '\0' + std::to_string(content.size()) + '\0' + content;
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Mem.tlib: the library functions memRead and memWrite, the signal ready and the eight
// section files. Evil.tlib: a table entry followed by an entry that climbs out of Temp.
void MakeLibraries(const QString& folder) {
    const std::string functions = EncodeTlmFunction(TestFunction("memRead", 0, {}, true)) +
                                  EncodeTlmFunction(TestFunction("memWrite", 0, {}, true));
    const RtlSignal ready = TestSignal("ready", 0, 0, 1, "0", false, true);
    QByteArray mem =
        Entry("lib_tlm_func.dat", functions) + Entry("lib_rtl_sig.dat", EncodeRtlSignal(ready));
    for (const char* name : {"memRead", "memWrite"})
        for (const char* ext : {".dec", ".ini", ".asm", ".upd"})
            mem += Entry(std::string(name) + ext, std::string("// ") + name + ext + "\r\n");
    WriteTestFile(folder + "/Mem.tlib", mem);
    WriteTestFile(folder + "/Evil.tlib",
                  Entry("lib_tlm_func.dat", "") + Entry("../evil.dec", "evil"));
    WriteTestFile(folder + "/notes.txt", "not a library");
}

// A project "Host" with one function of its own and no signal (stage 1), the libraries
// in <dir>/libs, and the Add Library window opened.
struct OpenedAddLibrary : ProjectFixture {
    QString libs = dir.path() + "/libs";
    QDialog* dialog;

    OpenedAddLibrary()
        : ProjectFixture(QStringLiteral("Host"), {TestFunction("own", 0, {})}),
          dialog(Open(AppCommand::AddLibrary)) {
        MakeLibraries(libs);
    }

    QListWidget* Files() const { return Control<QListWidget>(dialog, "FileLib"); }
    void BrowseToLibs() {
        app.ui.folderAnswers << libs;
        Click(dialog, "CommandBrsLibFolder");
    }
    void Add(const QString& file) {
        auto items = Files()->findItems(file, Qt::MatchExactly);
        QVERIFY(!items.isEmpty());
        Files()->setCurrentItem(items.first());
        Click(dialog, "CommandAddLib");
    }
};

} // namespace

class AssignWindowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fsmBrowseAndUnassign() {
        OpenedFsm f;
        QVERIFY(f.list->isColumnHidden(2));
        ExpectGolden(Dump(f.dialog, f.dir.path()), "fsm-window.txt");
        QCOMPARE(f.list->topLevelItem(2)->foreground(0).color(), QColor(0x80, 0x80, 0xFF));

        const QString asf = f.dir.path() + "/work/ready.asf";
        Click(f.dialog, "CommandBrsASF"); // cancelled
        QCOMPARE(f.app.ui.calls.last().title,
                 QStringLiteral("Select ASF File for Function: ready ()"));
        QCOMPARE(f.Cell(0, 1), QStringLiteral("<not assigned>"));
        f.app.ui.fileAnswers << asf << asf;
        Click(f.dialog, "CommandBrsASF");
        QCOMPARE(f.Cell(0, 1), asf);
        // A double click browses for the row clicked.
        const QRect cell = f.list->visualItemRect(f.list->topLevelItem(1));
        QTest::mouseClick(f.list->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(f.list->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(f.Cell(1, 1), asf);

        // A library function is neither browsed, unassigned, drawn nor edited.
        f.Select(2);
        for (const char* button :
             {"CommandBrsASF", "CommandUnAss", "CommandGenTemp", "CommandEditDiagram"}) {
            Click(f.dialog, button);
            ExpectMessage(f.app.ui, "libGet() is a Library function.", MessageIcon::Information);
        }
        QVERIFY(!TopLevel<DiagramEditor>());

        f.Select(0);
        Click(f.dialog, "CommandUnAss");
        QCOMPARE(f.Cell(0, 1), QStringLiteral("<not assigned>"));
        QCOMPARE(f.Cell(0, 2), QStringLiteral("0"));
        // A name the function table cannot hold is refused.
        f.app.ui.fileAnswers << f.dir.path() + "/" + QString(81, QLatin1Char('n'));
        Click(f.dialog, "CommandBrsASF");
        ExpectMessage(f.app.ui, "");
        QCOMPARE(f.Cell(0, 1), QStringLiteral("<not assigned>"));
    }

    // Cancel stores and copies nothing; OK copies one file assigned to two functions once,
    // and Edit Diagram opens the copy in the diagram editor.
    void fsmCancelThenOkThenEditDiagram() {
        OpenedFsm f;
        const QByteArray functions = f.Stored("tlm_func.dat");
        const QByteArray asfRecord = f.Stored("asf.dat");
        f.Select(1);
        Click(f.dialog, "CommandEditDiagram");
        ExpectMessage(f.app.ui, "write() has no ASF file assigned.", MessageIcon::Information);
        const QString asf = f.dir.path() + "/work/shared.asf";
        const QString example = ExamplesFolder() + "/MemReqAck/Input/Write.asf";
        WriteTestFile(asf, FileBytes(example));
        f.app.ui.fileAnswers << asf << f.folder + "/Temp/ready.asf";
        f.app.ui.messageAnswers << kAnswerNo;
        Click(f.dialog, "CommandBrsASF");
        Click(f.dialog, "CommandGenTemp");
        Click(f.dialog, "CommandCancel");
        QCOMPARE(f.Stored("tlm_func.dat"), functions);
        QCOMPARE(f.Stored("asf.dat"), asfRecord);
        QVERIFY(!QFile::exists(f.folder + "/Input/shared.asf"));
        QCOMPARE(StoredState(f.project), QStringLiteral("TLM RTL stage 2"));

        f.Reopen();
        f.app.ui.fileAnswers << asf << asf;
        for (int row : {0, 1}) {
            f.Select(row);
            Click(f.dialog, "CommandBrsASF");
        }
        Click(f.dialog, "CommandOK");
        QCOMPARE(FileBytes(f.folder + "/Input/shared.asf"), FileBytes(example));
        auto t = StoredFunctions(f.project);
        QVERIFY((*t)[1].fsmAssigned && (*t)[2].fsmAssigned && !(*t)[3].fsmAssigned);
        QCOMPARE(QString::fromStdString((*t)[2].asfFileName.Text()), QStringLiteral("shared.asf"));
        QCOMPARE(StoredState(f.project), QStringLiteral("TLM RTL stage 3"));
        QVERIFY(f.app.main->MenuItem(AppCommand::Generate)->isEnabled());

        // Opened again, the rows show the copies in Input; the editor opens one on its own.
        f.Reopen();
        QCOMPARE(f.Cell(1, 1), f.folder + "/Input/shared.asf");
        f.Select(1);
        Click(f.dialog, "CommandEditDiagram");
        DiagramEditor* editor = TopLevel<DiagramEditor>();
        QVERIFY(editor && editor->parentWidget() == nullptr && f.dialog->isVisible());
        QCOMPARE(editor->FilePath(), f.folder + "/Input/shared.asf");
        CloseTopLevels<DiagramEditor>();
    }

    void fsmTemplateAndWorkWithIt() {
        OpenedFsm f;
        // Before any template: the core's refusal.
        Click(f.dialog, "CommandAHDL");
        ExpectMessage(f.app.ui, f.folder + "/Temp/untitled.asf does not exists!");
        f.Select(1);
        Click(f.dialog, "CommandGenTemp"); // cancelled
        // A template that cannot be written is not reported: the question comes all the same.
        f.app.ui.fileAnswers << f.folder + "/Nowhere/write.asf";
        f.app.ui.messageAnswers << kAnswerNo;
        Click(f.dialog, "CommandGenTemp");

        // Written, then opened on Yes as the function's diagram.
        const QString chosen = f.folder + "/Temp/write.asf";
        f.app.ui.fileAnswers << chosen << chosen;
        f.app.ui.messageAnswers << kAnswerYes << kAnswerNo;
        Click(f.dialog, "CommandGenTemp");
        QVERIFY(FileBytes(chosen).startsWith("VERSION=1.19\r\nHEADER\r\nFILE=\"write.asf\"\r\n"));
        QVERIFY(TopLevel<DiagramEditor>());
        QCOMPARE(TopLevel<DiagramEditor>()->FilePath(), chosen);
        CloseTopLevels<DiagramEditor>();

        // No: nothing opened; Work with Template opens the template just written.
        Click(f.dialog, "CommandGenTemp");
        QVERIFY(!TopLevel<DiagramEditor>());
        Click(f.dialog, "CommandAHDL");
        QVERIFY(TopLevel<DiagramEditor>());
        QCOMPARE(TopLevel<DiagramEditor>()->FilePath(), chosen);
        CloseTopLevels<DiagramEditor>();
        QCOMPARE(f.Cell(1, 1), QStringLiteral("<not assigned>"));

        ExpectGolden(f.app.ui.Transcript(f.dir.path()), "fsm-template-calls.txt");
        // OK stores the template's path.
        Click(f.dialog, "CommandOK");
        QCOMPARE(f.Stored("asf.dat").mid(2, chosen.size()), chosen.toUtf8());
    }

    void asmlTemplateAndWorkWithIt() {
        OpenedAsml a;
        QVERIFY(!Control<QLabel>(a.dialog, "LabelIsAssigned")->isVisible());
        Click(a.dialog, "CommandMSWord");
        ExpectMessage(a.app.ui, a.folder + "/Temp/Spec.doc does not exists!");

        // Cancelled save dialog, then a path with a blank: the converter does not run.
        Click(a.dialog, "CommandGenTemp");
        a.app.ui.fileAnswers << a.dir.path() + "/my docs/T.doc";
        Click(a.dialog, "CommandGenTemp");
        QCOMPARE(a.converter.runs, 0);

        const QString chosen = a.dir.path() + "/docs/T.doc";
        WriteTestFile(chosen, "an older document");
        a.app.ui.fileAnswers << chosen;
        a.app.ui.messageAnswers << kAnswerYes;
        Click(a.dialog, "CommandGenTemp");
        QVERIFY(a.converter.runs == 1 && a.converter.program == "/opt/docgen");
        QCOMPARE(
            a.converter.arguments,
            (std::vector<std::string>{ToCore(a.folder + "/Temp/template.asml"), ToCore(chosen)}));
        QVERIFY(a.converter.timeout == std::chrono::milliseconds(5000));
        QCOMPARE(FileBytes(chosen), QByteArray("document"));
        // Work with Template opens the new document; OK keeps its path in asml.dat.
        Click(a.dialog, "CommandMSWord");
        ExpectGolden(a.app.ui.Transcript(a.dir.path()), "asml-template-calls.txt");
        Click(a.dialog, "CommandOK");
        QCOMPARE(FromCore(a.Record().asmlDocumentPath), chosen);
        QVERIFY(!a.Record().asmlAssigned);
        QCOMPARE(StoredState(a.project), QStringLiteral("TLM RTL stage 3"));
    }

    void asmlConverterFailsTimesOutOrTakesItsTime() {
        OpenedAsml a;
        const QByteArray stored = a.Stored("asml.dat");
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

        // The window keeps running while the converter works.
        a.converter.mode = FakeConverter::Mode::Write;
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
        a.app.ui.fileAnswers << chosen;
        a.app.ui.messageAnswers << kAnswerNo;
        Click(a.dialog, "CommandGenTemp");
        timer.stop();
        QVERIFY2(ticks >= 5, qPrintable(QString::number(ticks)));
        QVERIFY(busyShown && cancelHeld);
        QCOMPARE(wait->maximum(), 1);
        QCOMPARE(a.app.ui.calls.last().title, QStringLiteral("Open with MS Word?"));
        // Cancel drops the template path remembered meanwhile.
        Click(a.dialog, "CommandCancel");
        QCOMPARE(a.Stored("asml.dat"), stored);
    }

    void asmlAssignUnassignOkAndCancel() {
        OpenedAsml a;
        const QByteArray created = a.Stored("asml.dat");
        const QString spec = a.dir.path() + "/work/spec.doc";
        WriteTestFile(spec, "namespace nsA\r\n");
        // Assign then Cancel: asml.dat unchanged, nothing copied.
        a.app.ui.fileAnswers << spec;
        Click(a.dialog, "CommandBrs");
        QCOMPARE(a.Label() + " " + a.Mark(), spec + " 1");
        Click(a.dialog, "CommandCancel");
        QCOMPARE(a.Stored("asml.dat"), created);
        QVERIFY(!QFile::exists(a.folder + "/Input/spec.doc"));
        QCOMPARE(StoredState(a.project), QStringLiteral("TLM RTL stage 2"));

        // Assign then OK; reopened, the label shows the copy in Input.
        a.Reopen();
        a.app.ui.fileAnswers << spec;
        Click(a.dialog, "CommandBrs");
        Click(a.dialog, "CommandOK");
        QCOMPARE(FileBytes(a.folder + "/Input/spec.doc"), QByteArray("namespace nsA\r\n"));
        QCOMPARE(FromCore(a.Record().asmlDocumentLabel), QStringLiteral("spec.doc"));
        QVERIFY(a.Record().asmlAssigned);
        QCOMPARE(StoredState(a.project), QStringLiteral("TLM RTL stage 3"));
        QVERIFY(a.app.main->MenuItem(AppCommand::Generate)->isEnabled());
        a.Reopen();
        QCOMPARE(a.Label(), a.folder + "/Input/spec.doc");

        // Unassign then OK: "<not assigned>", false, and still stage 3.
        Click(a.dialog, "CommandUnAss");
        QCOMPARE(a.Label() + " " + a.Mark(), QStringLiteral("<not assigned> 0"));
        Click(a.dialog, "CommandOK");
        QVERIFY(!a.Record().asmlAssigned);
        QCOMPARE(StoredState(a.project), QStringLiteral("TLM RTL stage 3"));
    }

    // The folder browser and the list of libraries; Cancel drops what was added.
    void libraryFolderBrowseAndCancel() {
        OpenedAddLibrary a;
        const QByteArray functions = a.Stored("tlm_func.dat");
        const QByteArray tp = FileBytes(TpPath(a.project));
        // The library folder (Output) holds no file: the project folder is shown instead.
        const QString opened = Dump(a.dialog, a.dir.path());
        Click(a.dialog, "CommandBrsLibFolder"); // cancelled
        a.BrowseToLibs();
        const QString browsed = Dump(a.dialog, a.dir.path());
        a.app.ui.folderAnswers << a.folder + "/Output";
        Click(a.dialog, "CommandBrsLibFolder");
        ExpectGolden(opened + "== libs\n" + browsed + "== Output\n" + Dump(a.dialog, a.dir.path()) +
                         "== calls\n" + a.app.ui.Transcript(a.dir.path()),
                     "add-library-browse.txt");
        a.BrowseToLibs();
        a.Add(QStringLiteral("Mem.tlib"));
        Click(a.dialog, "CommandCancel");
        QCOMPARE(a.Stored("tlm_func.dat"), functions);
        QCOMPARE(FileBytes(TpPath(a.project)), tp);
    }

    void libraryRefusedThenAddedTwiceThenOk() {
        OpenedAddLibrary a;
        a.BrowseToLibs();
        a.Add(QStringLiteral("Evil.tlib"));
        ExpectMessage(a.app.ui, "Unable to Extract Transactor Library");
        QVERIFY(!QApplication::overrideCursor());

        a.Add(QStringLiteral("Mem.tlib"));
        ExpectMessage(a.app.ui, "Mem.tlib Added Successfully!", MessageIcon::Information);
        QVERIFY(!QApplication::overrideCursor() && a.dialog->isEnabled());
        ExpectGolden(Dump(a.dialog, a.dir.path()), "add-library-window.txt");
        a.Add(QStringLiteral("Mem.tlib"));
        Click(a.dialog, "CommandOK");

        auto t = StoredFunctions(a.project);
        QCOMPARE(int(t->count), 5);
        QCOMPARE(QString::fromStdString((*t)[5].functionName.Text()), QStringLiteral("memWrite"));
        QVERIFY((*t)[5].isLibrary && !(*t)[1].isLibrary);
        QCOMPARE(a.Stored("rtl_sig.dat").size(), qsizetype(2 * RtlSignal::kRecordSize));
        ProjectOptions options;
        QVERIFY(LoadOptions(a.project.projectFolder, options).ok());
        QCOMPARE(FromCore(options.libraryFolder), a.libs);
        // Functions and signals are now declared: stage 2 and its commands.
        QCOMPARE(StoredState(a.project), QStringLiteral("TLM RTL stage 2"));
        QVERIFY(a.app.main->MenuItem(AppCommand::AsmlSpecification)->isEnabled());
        // Opened again, the window starts in the folder it was left in.
        QCOMPARE(Control<QLabel>(a.Open(AppCommand::AddLibrary), "LabelLibFolder")->text(), a.libs);
    }
};

} // namespace kestrel::test

QTEST_MAIN(kestrel::test::AssignWindowsTest)
#include "AssignWindowsTest.moc"
