// The FSM assignment window: its rows (signature, file, hidden mark, library rows),
// Browse (button and double click) and Unassign with their messages, Generate ASF
// Template with its save dialog, refusal and question (Yes opens the diagram editor),
// Work with Template before and after a template exists, Edit Diagram on the assigned
// file, OK (copies, flags, asf.dat, stage 3, Generate offered) and Cancel saving nothing.
#include "assign/FormAssignFSM.h"
#include "GuiTestSupport.h"
#include "GuiText.h"
#include "diagram/DiagramEditor.h"
#include "model/ProjectPaths.h"
#include "model/RtlSignal.h"
#include "model/TlmFunction.h"
#include "project/ProjectCommands.h"

#include <QAction>
#include <QFile>
#include <QHeaderView>
#include <QTreeWidget>

#include <memory>

namespace kestrel::test {

namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
    file.write(bytes);
}

// A declared project "Fsm" (stage 2) with the functions
//   1 "int ready ( )", 2 "void write (const char & b [], int  a )", 3 the library
//   function "bool libGet ( )" (stored as assigned), and one clock signal;
// the FSM window opened on it.
struct OpenedFsm {
    QTemporaryDir dir;
    ProjectRecord project;
    QString folder;
    TestApp app;
    FormAssignFSM* dialog = nullptr;
    QTreeWidget* list = nullptr;

    OpenedFsm() {
        project = MakeProject(dir.path(), QStringLiteral("Fsm"));
        folder = FromCore(project.projectFolder);
        auto functions = std::make_unique<TlmFunctionTable>();
        TlmFunctionTable& t = *functions;
        t.count = 3;
        t[1].functionName = "ready";
        t[1].returnTypeText = "int";
        t[1].returnTypeIndex = 4;
        t[2].functionName = "write";
        t[2].returnTypeText = "void";
        t[2].parameterCount = 2;
        t[2].parameters[1].typeText = "char";
        t[2].parameters[1].typeIndex = 2;
        t[2].parameters[1].passIndex = 1;
        t[2].parameters[1].passMarker = "&";
        t[2].parameters[1].parameterName = "b";
        t[2].parameters[1].isConst = true;
        t[2].parameters[1].isArray = true;
        t[2].parameters[2].typeText = "int";
        t[2].parameters[2].typeIndex = 4;
        t[2].parameters[2].passMarker = " ";
        t[2].parameters[2].parameterName = "a";
        t[3].functionName = "libGet";
        t[3].returnTypeText = "bool";
        t[3].returnTypeIndex = 1;
        t[3].isLibrary = true;
        t[3].fsmAssigned = true;
        t[3].asfFileName = "libGet.asf";
        auto signals = std::make_unique<RtlSignalTable>();
        RtlSignal& clk = (*signals)[++signals->count];
        clk.signalName = "clk";
        clk.directionText = "sc_in";
        clk.dataTypeText = "bool";
        clk.dataTypeIndex = 2;
        clk.isClock = true;
        if (!SaveTlmFunctions(project.projectFolder, t).ok() ||
            !SaveRtlSignals(project.projectFolder, *signals).ok())
            qFatal("cannot declare the test project");
        SetStoredStage(project, 2);
        app.main->Start(TpPath(project));
        app.main->RunCommand(AppCommand::FsmSpecification);
        dialog = app.main->findChild<FormAssignFSM*>(QStringLiteral("FormAssignFSM"));
        list = Control<QTreeWidget>(dialog, "ListViewAssign");
    }

    QString Cell(int row, int column) const { return list->topLevelItem(row)->text(column); }
    void Select(int row) { list->setCurrentItem(list->topLevelItem(row)); }
    QByteArray Stored(const char* file) const {
        return FileBytes(FromCore(InputPath(project.projectFolder, file)));
    }
    std::unique_ptr<TlmFunctionTable> Functions() const {
        auto t = std::make_unique<TlmFunctionTable>();
        if (!LoadTlmFunctions(project.projectFolder, *t).ok()) qFatal("unreadable table");
        return t;
    }
    int StoredStage() const {
        ProjectRecord record;
        if (!ReadProjectFile(ProjectFilePath(project), record).ok()) qFatal("unreadable .tp");
        return record.projectStage;
    }
};

} // namespace

class FormAssignFSMTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void showsOneRowPerFunction() {
        OpenedFsm f;
        QVERIFY(f.dialog);
        QVERIFY(f.dialog->isVisible());
        QCOMPARE(f.dialog->windowTitle(),
                 QStringLiteral("Assign FSM (*.ASF) File with TLM Functions"));
        QTreeWidgetItem* header = f.list->headerItem();
        QCOMPARE(header->text(0), QStringLiteral("Function Name"));
        QCOMPARE(header->text(1), QStringLiteral("FSM (*.ASF) File"));
        QCOMPARE(header->text(2), QStringLiteral("isAssigned"));
        QVERIFY(f.list->isColumnHidden(2));
        QCOMPARE(f.list->topLevelItemCount(), 3);
        QCOMPARE(f.Cell(0, 0), QStringLiteral("int ready ( )"));
        QCOMPARE(f.Cell(1, 0), QStringLiteral("void write (const char & b [], int  a )"));
        QCOMPARE(f.Cell(2, 0), QStringLiteral("bool libGet ( )"));
        QCOMPARE(f.Cell(0, 1), QStringLiteral("<not assigned>"));
        QCOMPARE(f.Cell(0, 2), QStringLiteral("0"));
        QCOMPARE(f.Cell(2, 1), QStringLiteral("[no need to assign]"));
        QCOMPARE(f.Cell(2, 2), QStringLiteral("0"));
        QCOMPARE(f.list->topLevelItem(2)->foreground(0).color(), QColor(0x80, 0x80, 0xFF));
        QVERIFY(f.list->topLevelItem(0)->foreground(0).color() != QColor(0x80, 0x80, 0xFF));
        QCOMPARE(f.list->currentItem(), f.list->topLevelItem(0));
        const struct {
            const char* name;
            const char* caption;
        } buttons[] = {{"CommandGenTemp", "Generate ASF Template"},
                       {"CommandAHDL", "Work with Template"},
                       {"CommandBrsASF", "Browse ASF File..."},
                       {"CommandUnAss", "Unassign ASF File"},
                       {"CommandEditDiagram", "Edit Diagram..."},
                       {"CommandOK", "OK"},
                       {"CommandCancel", "Cancel"}};
        for (const auto& b : buttons)
            QCOMPARE(Control<QAbstractButton>(f.dialog, b.name)->text(),
                     QString::fromLatin1(b.caption));
        // While the window is open the main window's commands wait.
        QVERIFY(!f.app.main->MenuItem(AppCommand::Generate)->isEnabled());
    }

    void browseAndUnassign() {
        OpenedFsm f;
        const QString asf = f.dir.path() + "/work/ready.asf";
        // Cancelled: nothing changes.
        Click(f.dialog, "CommandBrsASF");
        UiCall call = f.app.ui.calls.last();
        QCOMPARE(call.kind, QStringLiteral("open"));
        QCOMPARE(call.title, QStringLiteral("Select ASF File for Function: ready ()"));
        QCOMPARE(call.filter, QStringLiteral("Active HDL State Machine (*.asf)|*.asf"));
        QCOMPARE(f.Cell(0, 1), QStringLiteral("<not assigned>"));
        f.app.ui.fileAnswers << asf;
        Click(f.dialog, "CommandBrsASF");
        QCOMPARE(f.Cell(0, 1), asf);
        QCOMPARE(f.Cell(0, 2), QStringLiteral("1"));

        // A double click browses for the row clicked.
        f.app.ui.fileAnswers << asf;
        QTreeWidgetItem* write = f.list->topLevelItem(1);
        const QRect cell = f.list->visualItemRect(write);
        QTest::mouseClick(f.list->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(f.list->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(f.app.ui.calls.last().title,
                 QStringLiteral("Select ASF File for Function: write ()"));
        QCOMPARE(f.Cell(1, 1), asf);
        QCOMPARE(f.Cell(1, 2), QStringLiteral("1"));

        // A library function can be neither browsed nor unassigned.
        f.Select(2);
        const qsizetype before = f.app.ui.calls.size();
        Click(f.dialog, "CommandBrsASF");
        Click(f.dialog, "CommandUnAss");
        QCOMPARE(f.app.ui.calls.size(), before + 2);
        const UiCall browse = f.app.ui.calls[before];
        QCOMPARE(browse.kind, QStringLiteral("message"));
        QCOMPARE(browse.text, QStringLiteral("libGet() is a Library function.\r\n"
                                             "No need to assign FSM for this function."));
        QCOMPARE(browse.title, QStringLiteral("Kestrel"));
        QCOMPARE(browse.icon, MessageIcon::Information);
        const UiCall unassign = f.app.ui.calls[before + 1];
        QCOMPARE(unassign.text, QStringLiteral("libGet() is a Library function.\r\n"
                                               "Cannot unassign FSM for this function."));
        QCOMPARE(unassign.icon, MessageIcon::Information);
        QCOMPARE(f.Cell(2, 1), QStringLiteral("[no need to assign]"));

        f.Select(0);
        Click(f.dialog, "CommandUnAss");
        QCOMPARE(f.Cell(0, 1), QStringLiteral("<not assigned>"));
        QCOMPARE(f.Cell(0, 2), QStringLiteral("0"));

        // A name the function table cannot hold is refused.
        f.app.ui.fileAnswers << f.dir.path() + "/" + QString(81, QLatin1Char('n'));
        Click(f.dialog, "CommandBrsASF");
        QCOMPARE(f.app.ui.calls.last().kind, QStringLiteral("message"));
        QCOMPARE(f.app.ui.calls.last().icon, MessageIcon::Critical);
        QCOMPARE(f.Cell(0, 1), QStringLiteral("<not assigned>"));
    }

    void okCopiesOneFileForTwoFunctionsAndSetsStage3() {
        OpenedFsm f;
        const QString asf = f.dir.path() + "/work/shared.asf";
        WriteFile(asf, "diagram\r\n");
        f.app.ui.fileAnswers << asf << asf;
        Click(f.dialog, "CommandBrsASF");
        f.Select(1);
        Click(f.dialog, "CommandBrsASF");
        Click(f.dialog, "CommandOK");
        QVERIFY(!f.dialog || !f.dialog->isVisible());

        QCOMPARE(FileBytes(f.folder + "/Input/shared.asf"), QByteArray("diagram\r\n"));
        auto t = f.Functions();
        QVERIFY((*t)[1].fsmAssigned);
        QVERIFY((*t)[2].fsmAssigned);
        QCOMPARE(QString::fromStdString((*t)[1].asfFileName.Text()), QStringLiteral("shared.asf"));
        QCOMPARE(QString::fromStdString((*t)[2].asfFileName.Text()), QStringLiteral("shared.asf"));
        // The library function's row reads "0": it ends unassigned.
        QVERIFY(!(*t)[3].fsmAssigned);
        QCOMPARE(f.StoredStage(), 3);
        QCOMPARE(int(f.app.main->Project().projectStage), 3);
        QVERIFY(f.app.main->MenuItem(AppCommand::Generate)->isEnabled());

        // Opened again, the rows show the copies in Input.
        f.app.main->RunCommand(AppCommand::FsmSpecification);
        QWidget* again = f.app.main->OpenWindow();
        QVERIFY(again);
        QCOMPARE(again->objectName(), QStringLiteral("FormAssignFSM"));
        auto* list = Control<QTreeWidget>(again, "ListViewAssign");
        QCOMPARE(list->topLevelItem(1)->text(1), f.folder + "/Input/shared.asf");
        QCOMPARE(list->topLevelItem(1)->text(2), QStringLiteral("1"));
        Click(again, "CommandCancel");
    }

    void okWithoutChangesStillSetsStage3() {
        OpenedFsm f;
        const QByteArray asfRecord = f.Stored("asf.dat");
        QCOMPARE(f.StoredStage(), 2);
        Click(f.dialog, "CommandOK");
        QCOMPARE(f.StoredStage(), 3);
        QCOMPARE(f.Stored("asf.dat"), asfRecord);
        QVERIFY(f.app.main->MenuItem(AppCommand::Generate)->isEnabled());
    }

    void generateTemplateAndWorkWithIt() {
        OpenedFsm f;
        const QString untitled = f.folder + "/Temp/untitled.asf";
        // Before any template: the default path does not exist.
        Click(f.dialog, "CommandAHDL");
        UiCall missing = f.app.ui.calls.last();
        QCOMPARE(missing.kind, QStringLiteral("message"));
        QCOMPARE(missing.text, untitled + " does not exists! \r\n"
                                          "Create it by pressing the Generate ASF Template button");
        QCOMPARE(missing.title, QStringLiteral("File not exists!"));
        QCOMPARE(missing.icon, MessageIcon::Critical);

        // A library function gets no template and no save dialog.
        f.Select(2);
        Click(f.dialog, "CommandGenTemp");
        QCOMPARE(f.app.ui.calls.last().text,
                 QStringLiteral("libGet() is a Library function.\r\n"
                                "No need to draw FSM for this function."));
        QCOMPARE(f.app.ui.calls.last().icon, MessageIcon::Information);

        // The save dialog cancelled: nothing written.
        f.Select(1);
        Click(f.dialog, "CommandGenTemp");
        UiCall save = f.app.ui.calls.last();
        QCOMPARE(save.kind, QStringLiteral("save"));
        QCOMPARE(save.title, QStringLiteral("Save ASF Template for Function write(...) As..."));
        QCOMPARE(save.filter, QStringLiteral("Active HDL State Machine (*.asf)|*.asf"));
        QCOMPARE(save.folder, f.folder + "/Temp");

        // Written, then opened on Yes.
        const QString chosen = f.folder + "/Temp/write.asf";
        f.app.ui.fileAnswers << chosen;
        f.app.ui.messageAnswers << kAnswerYes;
        Click(f.dialog, "CommandGenTemp");
        const QByteArray text = FileBytes(chosen);
        QVERIFY(text.startsWith("VERSION=1.19\r\nHEADER\r\nFILE=\"write.asf\"\r\n"));
        QVERIFY(text.contains("\"public write (  b as Seq of Integer, a as Integer ) \"\r\n"));
        QVERIFY(text.contains("I 11 0 3 Builtin InPort | 20700,239700 \"\" \"\"\r\n"));
        QVERIFY(text.endsWith("\r\nEND\r\n"));
        const UiCall question = f.app.ui.calls.last();
        QCOMPARE(question.text,
                 QStringLiteral("Do you want to Open Generated ASF Template with Active HDL now?"));
        QCOMPARE(question.title, QStringLiteral("Open with Active HDL?"));
        QCOMPARE(question.icon, MessageIcon::None);
        // Yes opens the template in the diagram editor, as the function's diagram.
        DiagramEditor* editor = TopLevel<DiagramEditor>();
        QVERIFY(editor);
        QCOMPARE(editor->FilePath(), chosen);
        QVERIFY(editor->findChild<QWidget*>(QStringLiteral("TextBehaviour")));
        CloseTopLevels<DiagramEditor>();

        // No: nothing opened. Work with Template opens the template just written.
        f.app.ui.fileAnswers << chosen;
        f.app.ui.messageAnswers << kAnswerNo;
        Click(f.dialog, "CommandGenTemp");
        QCOMPARE(f.app.ui.calls.last().kind, QStringLiteral("message"));
        QVERIFY(!TopLevel<DiagramEditor>());
        Click(f.dialog, "CommandAHDL");
        QVERIFY(TopLevel<DiagramEditor>());
        QCOMPARE(TopLevel<DiagramEditor>()->FilePath(), chosen);
        CloseTopLevels<DiagramEditor>();
        // The template is not an assignment.
        QCOMPARE(f.Cell(1, 1), QStringLiteral("<not assigned>"));

        // OK stores the template path.
        Click(f.dialog, "CommandOK");
        QCOMPARE(f.Stored("asf.dat").left(2 + chosen.size()),
                 QByteArray(1, char(chosen.size())) + QByteArray(1, '\0') + chosen.toUtf8());
    }

    void editDiagramOpensTheAssignedFile() {
        OpenedFsm f;
        // Nothing assigned yet, and a library function: a message and no editor.
        f.Select(1);
        Click(f.dialog, "CommandEditDiagram");
        QCOMPARE(f.app.ui.calls.last().icon, MessageIcon::Information);
        QVERIFY(f.app.ui.calls.last().text.startsWith("write()"));
        f.Select(2);
        Click(f.dialog, "CommandEditDiagram");
        QVERIFY(f.app.ui.calls.last().text.startsWith("libGet() is a Library function."));
        QVERIFY(!TopLevel<DiagramEditor>());

        // Browsed and assigned: the editor opens on that file, beside the FSM window.
        const QString diagram = f.folder + "/Temp/w.asf";
        QFile::copy(ExamplesFolder() + "/MemReqAck/Input/Write.asf", diagram);
        f.Select(1);
        f.app.ui.fileAnswers << diagram;
        Click(f.dialog, "CommandBrsASF");
        Click(f.dialog, "CommandEditDiagram");
        DiagramEditor* editor = TopLevel<DiagramEditor>();
        QVERIFY(editor);
        QCOMPARE(editor->FilePath(), diagram);
        QCOMPARE(editor->objectName(), QStringLiteral("DiagramEditor"));
        QVERIFY(editor->isWindow() && editor->parentWidget() == nullptr);
        QVERIFY(f.dialog->isVisible());
        QVERIFY(editor->findChild<QWidget*>(QStringLiteral("TextBehaviour")));
        CloseTopLevels<DiagramEditor>();
    }

    // A template that cannot be written is not reported: the question comes all the same.
    void anUnwritableTemplateStillAsksTheQuestion() {
        OpenedFsm f;
        f.Select(1);
        const int before = f.app.ui.calls.size();
        f.app.ui.fileAnswers << f.folder + "/Nowhere/write.asf";
        f.app.ui.messageAnswers << kAnswerNo;
        Click(f.dialog, "CommandGenTemp");
        QCOMPARE(f.app.ui.calls.size(), before + 2);
        QCOMPARE(f.app.ui.calls[before].kind, QStringLiteral("save"));
        QCOMPARE(f.app.ui.calls.last().title, QStringLiteral("Open with Active HDL?"));
        QVERIFY(!QFile::exists(f.folder + "/Nowhere"));
    }

    void cancelSavesNothing() {
        OpenedFsm f;
        const QByteArray functions = f.Stored("tlm_func.dat");
        const QByteArray asfRecord = f.Stored("asf.dat");
        const QString asf = f.dir.path() + "/work/ready.asf";
        WriteFile(asf, "diagram\r\n");
        f.app.ui.fileAnswers << asf << f.folder + "/Temp/ready.asf";
        f.app.ui.messageAnswers << kAnswerNo;
        Click(f.dialog, "CommandBrsASF");
        Click(f.dialog, "CommandGenTemp");
        Click(f.dialog, "CommandCancel");
        QCOMPARE(f.Stored("tlm_func.dat"), functions);
        QCOMPARE(f.Stored("asf.dat"), asfRecord);
        QVERIFY(!QFile::exists(f.folder + "/Input/ready.asf"));
        QCOMPARE(f.StoredStage(), 2);
        QVERIFY(!f.app.main->MenuItem(AppCommand::Generate)->isEnabled());
        QVERIFY(f.app.main->MenuItem(AppCommand::FsmSpecification)->isEnabled());
    }
};

} // namespace kestrel::test

QTEST_MAIN(kestrel::test::FormAssignFSMTest)
#include "FormAssignFSMTest.moc"
