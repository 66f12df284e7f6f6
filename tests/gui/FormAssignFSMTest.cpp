// The FSM assignment window: its rows, Browse (button and double click) and Unassign,
// Generate ASF Template with its save dialog and question (Yes opens the diagram editor),
// Work with Template, Edit Diagram, the core's refusals passed on, OK (copies, asf.dat,
// stage 3) and Cancel saving nothing. The rules are tested in tests/core/assign.
#include "assign/FormAssignFSM.h"
#include "GuiTestSupport.h"
#include "GuiText.h"
#include "diagram/DiagramEditor.h"
#include "model/ProjectPaths.h"
#include "project/ProjectCommands.h"

#include <QAction>
#include <QFile>
#include <QHeaderView>
#include <QTreeWidget>

namespace kestrel::test {

namespace {

// A declared project "Fsm" (stage 2) with the functions
//   1 "int ready ( )", 2 "void write (const char & b [], int  a )", 3 the library
//   function "bool libGet ( )" (stored as assigned), and one clock signal;
// the FSM window opened on it.
TlmFunction AssignedLibraryFunction() {
    TlmFunction libGet = TestFunction("libGet", 1, {}, true);
    libGet.fsmAssigned = true;
    libGet.asfFileName = "libGet.asf";
    return libGet;
}

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

    QString Cell(int row, int column) const { return list->topLevelItem(row)->text(column); }
    void Select(int row) { list->setCurrentItem(list->topLevelItem(row)); }
};

} // namespace

class FormAssignFSMTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void browseAndUnassign() {
        OpenedFsm f;
        QVERIFY(f.dialog && f.dialog->isVisible());
        QVERIFY(f.list->isColumnHidden(2));
        QCOMPARE(f.Cell(1, 0), QStringLiteral("void write (const char & b [], int  a )"));
        QCOMPARE(f.Cell(0, 1), QStringLiteral("<not assigned>"));
        QCOMPARE(f.Cell(2, 1), QStringLiteral("[no need to assign]"));
        QCOMPARE(f.list->topLevelItem(2)->foreground(0).color(), QColor(0x80, 0x80, 0xFF));
        QCOMPARE(f.list->currentItem(), f.list->topLevelItem(0));
        QVERIFY(!f.app.main->MenuItem(AppCommand::Generate)->isEnabled());

        const QString asf = f.dir.path() + "/work/ready.asf";
        Click(f.dialog, "CommandBrsASF"); // cancelled
        QCOMPARE(f.app.ui.calls.last().title,
                 QStringLiteral("Select ASF File for Function: ready ()"));
        QCOMPARE(f.app.ui.calls.last().filter,
                 QStringLiteral("Active HDL State Machine (*.asf)|*.asf"));
        QCOMPARE(f.Cell(0, 1), QStringLiteral("<not assigned>"));
        f.app.ui.fileAnswers << asf;
        Click(f.dialog, "CommandBrsASF");
        QCOMPARE(f.Cell(0, 1), asf);
        QCOMPARE(f.Cell(0, 2), QStringLiteral("1"));

        // A double click browses for the row clicked.
        f.app.ui.fileAnswers << asf;
        const QRect cell = f.list->visualItemRect(f.list->topLevelItem(1));
        QTest::mouseClick(f.list->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(f.list->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(f.Cell(1, 1), asf);

        // A library function can be neither browsed nor unassigned: the core's texts.
        f.Select(2);
        Click(f.dialog, "CommandBrsASF");
        ExpectMessage(f.app.ui, "libGet() is a Library function.\r\nNo need to assign",
                      MessageIcon::Information);
        Click(f.dialog, "CommandUnAss");
        ExpectMessage(f.app.ui, "libGet() is a Library function.\r\nCannot unassign",
                      MessageIcon::Information);

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

    void okCopiesOneFileForTwoFunctionsAndSetsStage3() {
        OpenedFsm f;
        const QString asf = f.dir.path() + "/work/shared.asf";
        WriteTestFile(asf, "diagram\r\n");
        f.app.ui.fileAnswers << asf << asf;
        Click(f.dialog, "CommandBrsASF");
        f.Select(1);
        Click(f.dialog, "CommandBrsASF");
        Click(f.dialog, "CommandOK");
        QCOMPARE(FileBytes(f.folder + "/Input/shared.asf"), QByteArray("diagram\r\n"));
        auto t = StoredFunctions(f.project);
        QVERIFY((*t)[1].fsmAssigned && (*t)[2].fsmAssigned && !(*t)[3].fsmAssigned);
        QCOMPARE(QString::fromStdString((*t)[2].asfFileName.Text()), QStringLiteral("shared.asf"));
        QCOMPARE(StoredStage(f.project), 3);
        QVERIFY(f.app.main->MenuItem(AppCommand::Generate)->isEnabled());

        // Opened again, the rows show the copies in Input.
        f.app.main->RunCommand(AppCommand::FsmSpecification);
        QWidget* again = f.app.main->OpenWindow();
        QVERIFY(again);
        auto* list = Control<QTreeWidget>(again, "ListViewAssign");
        QCOMPARE(list->topLevelItem(1)->text(1), f.folder + "/Input/shared.asf");
        Click(again, "CommandCancel");
    }

    void generateTemplateAndWorkWithIt() {
        OpenedFsm f;
        // Before any template: the core's refusal.
        Click(f.dialog, "CommandAHDL");
        ExpectMessage(f.app.ui, f.folder + "/Temp/untitled.asf does not exists!");
        // A library function gets no save dialog.
        f.Select(2);
        Click(f.dialog, "CommandGenTemp");
        ExpectMessage(f.app.ui, "libGet() is a Library function.\r\nNo need to draw",
                      MessageIcon::Information);
        f.Select(1);
        Click(f.dialog, "CommandGenTemp"); // cancelled
        QCOMPARE(f.app.ui.calls.last().kind, QStringLiteral("save"));
        QCOMPARE(f.app.ui.calls.last().folder, f.folder + "/Temp");

        // A template that cannot be written is not reported: the question comes all the same.
        const qsizetype before = f.app.ui.calls.size();
        f.app.ui.fileAnswers << f.folder + "/Nowhere/write.asf";
        f.app.ui.messageAnswers << kAnswerNo;
        Click(f.dialog, "CommandGenTemp");
        QCOMPARE(f.app.ui.calls.size(), before + 2);
        QCOMPARE(f.app.ui.calls.last().title, QStringLiteral("Open with Active HDL?"));

        // Written, then opened on Yes as the function's diagram.
        const QString chosen = f.folder + "/Temp/write.asf";
        f.app.ui.fileAnswers << chosen;
        f.app.ui.messageAnswers << kAnswerYes;
        Click(f.dialog, "CommandGenTemp");
        QVERIFY(FileBytes(chosen).startsWith("VERSION=1.19\r\nHEADER\r\nFILE=\"write.asf\"\r\n"));
        QCOMPARE(f.app.ui.calls.last().title, QStringLiteral("Open with Active HDL?"));
        DiagramEditor* editor = TopLevel<DiagramEditor>();
        QVERIFY(editor);
        QCOMPARE(editor->FilePath(), chosen);
        CloseTopLevels<DiagramEditor>();

        // No: nothing opened; Work with Template opens the template just written.
        f.app.ui.fileAnswers << chosen;
        f.app.ui.messageAnswers << kAnswerNo;
        Click(f.dialog, "CommandGenTemp");
        QVERIFY(!TopLevel<DiagramEditor>());
        Click(f.dialog, "CommandAHDL");
        QVERIFY(TopLevel<DiagramEditor>());
        QCOMPARE(TopLevel<DiagramEditor>()->FilePath(), chosen);
        CloseTopLevels<DiagramEditor>();
        QCOMPARE(f.Cell(1, 1), QStringLiteral("<not assigned>"));

        // OK stores the template's path.
        Click(f.dialog, "CommandOK");
        QCOMPARE(f.Stored("asf.dat").mid(2, chosen.size()), chosen.toUtf8());
    }

    void editDiagramOpensTheAssignedFile() {
        OpenedFsm f;
        f.Select(1);
        Click(f.dialog, "CommandEditDiagram");
        ExpectMessage(f.app.ui, "write() has no ASF file assigned.", MessageIcon::Information);
        f.Select(2);
        Click(f.dialog, "CommandEditDiagram");
        ExpectMessage(f.app.ui, "libGet() is a Library function.", MessageIcon::Information);
        QVERIFY(!TopLevel<DiagramEditor>());

        const QString diagram = f.folder + "/Temp/w.asf";
        QFile::copy(ExamplesFolder() + "/MemReqAck/Input/Write.asf", diagram);
        f.Select(1);
        f.app.ui.fileAnswers << diagram;
        Click(f.dialog, "CommandBrsASF");
        Click(f.dialog, "CommandEditDiagram");
        DiagramEditor* editor = TopLevel<DiagramEditor>();
        QVERIFY(editor);
        QCOMPARE(editor->FilePath(), diagram);
        QVERIFY(editor->parentWidget() == nullptr);
        QVERIFY(f.dialog->isVisible());
        CloseTopLevels<DiagramEditor>();
    }

    void cancelSavesNothing() {
        OpenedFsm f;
        const QByteArray functions = f.Stored("tlm_func.dat");
        const QByteArray asfRecord = f.Stored("asf.dat");
        const QString asf = f.dir.path() + "/work/ready.asf";
        WriteTestFile(asf, "diagram\r\n");
        f.app.ui.fileAnswers << asf << f.folder + "/Temp/ready.asf";
        f.app.ui.messageAnswers << kAnswerNo;
        Click(f.dialog, "CommandBrsASF");
        Click(f.dialog, "CommandGenTemp");
        Click(f.dialog, "CommandCancel");
        QCOMPARE(f.Stored("tlm_func.dat"), functions);
        QCOMPARE(f.Stored("asf.dat"), asfRecord);
        QVERIFY(!QFile::exists(f.folder + "/Input/ready.asf"));
        QCOMPARE(StoredStage(f.project), 2);
        QVERIFY(f.app.main->MenuItem(AppCommand::FsmSpecification)->isEnabled());
    }
};

} // namespace kestrel::test

QTEST_MAIN(kestrel::test::FormAssignFSMTest)
#include "FormAssignFSMTest.moc"
