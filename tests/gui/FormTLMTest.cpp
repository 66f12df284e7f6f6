// The TLM function list, the function dialog and the parameter dialog, driven through the
// main window: the rows and the library colour, add, edit (double click too) and remove,
// one refusal of each kind passed on with its focus, the limits of 25 functions and 20
// parameters, the duplicate-name lines, OK writing the table and the project file, Cancel
// leaving them alone. The rules themselves are tested in tests/core/project.
#include "editors/FormTLM.h"
#include "GuiTestSupport.h"
#include "GuiText.h"
#include "editors/FormTLM_Func.h"
#include "editors/FormTLM_FuncPara.h"
#include "model/ProjectPaths.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTreeView>

namespace kestrel::test {

namespace {

// A project "Bus" with the functions given (none: a new project that declared nothing).
struct Fixture : ProjectFixture {
    explicit Fixture(const std::vector<TlmFunction>& functions = {}, int stage = 1)
        : ProjectFixture(QStringLiteral("Bus"), functions, {}, stage) {}
    FormTLM* Open() {
        return qobject_cast<FormTLM*>(ProjectFixture::Open(AppCommand::TlmInterface));
    }
    QString TablePath() const { return folder + "/Input/tlm_func.dat"; }
    QByteArray Table() const { return Stored("tlm_func.dat"); }
    QByteArray Tp() const { return FileBytes(TpPath(project)); }
};

QTreeView* ListOf(QWidget* w, const char* name) {
    return Control<QTreeView>(w, name);
}

// Fills the parameter dialog open over `func` and presses its OK.
void FillParameter(FormTLM_Func* func, const char* name, int type, int passBy, bool isConst,
                   bool isArray) {
    auto* para = Window<FormTLM_FuncPara>(func);
    QVERIFY(para);
    Control<QLineEdit>(para, "TextPName")->setText(QString::fromLatin1(name));
    Control<QComboBox>(para, "ComboParaType")->setCurrentIndex(type);
    Control<QComboBox>(para, "ComboPassBy")->setCurrentIndex(passBy);
    Control<QCheckBox>(para, "CheckConst")->setChecked(isConst);
    Control<QCheckBox>(para, "CheckArray")->setChecked(isArray);
    Click(para, "CommandOK");
}

// The message the last desktop call showed, and the field that has the focus then.
void ExpectPassedOn(const TestApp& app, QWidget* dialog, const char* text, const char* focus) {
    QCOMPARE(app.ui.calls.last().text, QString::fromLatin1(text));
    QCOMPARE(app.ui.calls.last().icon, MessageIcon::Critical);
    if (focus) QCOMPARE(dialog->focusWidget(), Control<QWidget>(dialog, focus));
    QVERIFY(dialog->isVisible());
}

std::vector<TlmFunction> ThreeFunctions() {
    return {TestFunction("mem_write", 0, {{7, false, "addr"}, {7, false, "data"}}),
            TestFunction("mem_read", 0, {{7, false, "addr"}, {2, true, "buf", true, true}}),
            TestFunction("status", 4, {})};
}

} // namespace

class FormTLMTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void listEditAndRemove() {
        std::vector<TlmFunction> functions = ThreeFunctions();
        functions[2].isLibrary = true;
        Fixture f(functions, 2);
        const QByteArray table = f.Table();
        FormTLM* form = f.Open();
        QVERIFY(form);
        QVERIFY(!f.app.main->Menu("MenuTransactor")->menuAction()->isEnabled());
        QTreeView* list = ListOf(form, "ListViewTLM");
        QCOMPARE(RowTexts(list, 1),
                 (QStringList{"void", "mem_read", "( unsigned int  addr, const char & buf [] )"}));
        QCOMPARE(Foreground(list, 2, 2).color(), QColor(0x80, 0x80, 0xFF));
        QCOMPARE(Foreground(list, 0, 2).style(), Qt::NoBrush);
        QVERIFY(IsRowSelected(list, 0));

        // A library function is refused for editing and can be removed.
        SetCurrentRow(list, 2);
        Click(form, "CommandEdit");
        QVERIFY(f.app.ui.calls.last().text.startsWith("Library Functions cannot be Edited"));
        QVERIFY(!Window<FormTLM_Func>(form));
        Click(form, "CommandRemove");
        QCOMPARE(form->Functions().count, 2);

        // A double click edits; the parameter dialog shows the const array, captioned with
        // the name typed so far.
        DoubleClick(list, 1);
        auto* func = Window<FormTLM_Func>(form);
        QVERIFY(func && !form->isEnabled());
        QCOMPARE(func->windowTitle(),
                 QStringLiteral("Edit TLM Function Declaration - mem_read ()"));
        QTreeView* params = ListOf(func, "ListViewPara");
        QCOMPARE(RowTexts(params, 1),
                 (QStringList{"const char", "&", "buf []", "2", "1", "1", "1"}));
        Control<QLineEdit>(func, "TextFName")->setText(QStringLiteral(" mem_get "));
        SetCurrentRow(params, 1);
        Click(func, "CommandEdit");
        auto* para = Window<FormTLM_FuncPara>(func);
        QCOMPARE(para->windowTitle(),
                 QStringLiteral("Edit Parameter - buf [] of Function mem_get ()"));
        QCOMPARE(Control<QComboBox>(para, "ComboPassBy")->currentIndex(), 1);
        QVERIFY(Control<QCheckBox>(para, "CheckConst")->isChecked());
        Click(para, "CommandOK");
        // Removing a parameter and cancelling leaves the function as it was.
        Click(func, "CommandRemove");
        QCOMPARE(RowCount(params), 1);
        Click(func, "CommandCancel");
        QVERIFY(form->isEnabled());
        QCOMPARE(form->Functions()[2], ThreeFunctions()[1]);
        // OK without changes stores the same records.
        Click(form, "CommandEdit");
        Click(Window<FormTLM_Func>(form), "CommandOK");
        Click(form, "CommandOK");
        QCOMPARE(f.Table(), table.left(2 * table.size() / 3));
    }

    void addFunctionWithParameters() {
        Fixture f;
        FormTLM* form = f.Open();
        QVERIFY(!Control<QWidget>(form, "CommandEdit")->isEnabled());
        Click(form, "CommandAdd");
        auto* func = Window<FormTLM_Func>(form);
        QVERIFY(func && !form->isEnabled());
        QCOMPARE(func->windowTitle(), QStringLiteral("Add New TLM Function Declaration"));
        Click(func, "CommandOK");
        ExpectPassedOn(f.app, func, "Enter Function Name", "TextFName");

        // The parameter dialog: one refusal of each field, with the focus on it.
        Control<QLineEdit>(func, "TextFName")->setText(QStringLiteral("  rd  "));
        Click(func, "CommandAdd");
        auto* para = Window<FormTLM_FuncPara>(func);
        QVERIFY(para && !func->isEnabled());
        QCOMPARE(para->windowTitle(), QStringLiteral("Add New Function Parameter for rd ()"));
        Click(para, "CommandOK");
        ExpectPassedOn(f.app, para, "Enter Parameter Name", "TextPName");
        Control<QLineEdit>(para, "TextPName")->setText(QStringLiteral("addr"));
        Click(para, "CommandOK");
        ExpectPassedOn(f.app, para, "void parameter not supported", "ComboParaType");
        FillParameter(func, "addr", 4, 0, false, false);
        QVERIFY(!para->isVisible() && func->isEnabled());
        Click(func, "CommandAdd");
        FillParameter(func, "buf", 2, 1, true, true);
        QCOMPARE(RowTexts(ListOf(func, "ListViewPara"), 1),
                 (QStringList{"const char", "&", "buf []", "2", "1", "1", "1"}));

        // A typed return type is kept with the position -1.
        Control<QComboBox>(func, "ComboRetType")->setEditText(QStringLiteral("long"));
        Click(func, "CommandOK");
        QVERIFY(!func->isVisible() && form->isEnabled());
        QCOMPARE(RowTexts(ListOf(form, "ListViewTLM"), 0),
                 (QStringList{"long", "rd", "( int  addr, const char & buf [] )"}));
        Click(form, "CommandOK");
        TlmFunction expected =
            TestFunction("", 0, {{4, false, "addr"}, {2, true, "buf", true, true}});
        expected.functionName = "  rd  ";
        expected.returnTypeText = "long";
        expected.returnTypeIndex = -1;
        QCOMPARE(f.Table(), QByteArray::fromStdString(EncodeTlmFunction(expected)));
        QCOMPARE(StoredState(f.project), QStringLiteral("TLM stage 1"));
        QVERIFY(f.app.main->Menu("MenuTransactor")->menuAction()->isEnabled());
    }

    void limitsOf25FunctionsAnd20Parameters() {
        std::vector<TlmFunction> functions;
        for (int i = 1; i <= 25; ++i)
            functions.push_back(TestFunction(qPrintable(QStringLiteral("f%1").arg(i)), 0, {}));
        Fixture f(functions);
        FormTLM* form = f.Open();
        Click(form, "CommandAdd");
        ExpectPassedOn(f.app, form, "Cannot have more than 25 Functions", nullptr);
        QVERIFY(!Window<FormTLM_Func>(form));

        Click(form, "CommandEdit");
        auto* func = Window<FormTLM_Func>(form);
        for (int j = 1; j <= 20; ++j)
            func->AppendRow({"int", " ", "p" + std::to_string(j), 4, 0, false, false});
        func->EnDisEditRemove();
        Click(func, "CommandAdd");
        ExpectPassedOn(f.app, func, "Cannot have more than 20 parameters", nullptr);
        QVERIFY(!Window<FormTLM_FuncPara>(func) && func->isEnabled());
        Click(func, "CommandEdit");
        Click(Window<FormTLM_FuncPara>(func), "CommandCancel");
        QVERIFY(func->isEnabled());
        Click(func, "CommandRemove");
        Click(func, "CommandOK");
        QCOMPARE(form->Functions()[1].parameterCount, 19);

        Click(form, "CommandRemove");
        Click(form, "CommandAdd");
        QVERIFY(Window<FormTLM_Func>(form));
    }

    // Two functions or two parameters of one name are accepted; a line under the lists
    // names them (no message box), and goes when the duplicate goes.
    void duplicateNamesAreWarnedUnderTheLists() {
        Fixture f(
            {TestFunction("write", 0, {{7, false, "addr"}}), TestFunction("write", 0, {}, true)},
            2);
        FormTLM* form = f.Open();
        auto* warning = Control<QLabel>(form, "LabelDuplicates");
        QVERIFY(!warning->isHidden());
        QVERIFY(warning->text().startsWith("Warning: 2 functions are named write"));

        Click(form, "CommandEdit");
        auto* func = Window<FormTLM_Func>(form);
        auto* parameters = Control<QLabel>(func, "LabelDuplicates");
        QVERIFY(parameters->isHidden());
        Click(func, "CommandAdd");
        FillParameter(func, "addr", 4, 0, false, false);
        QVERIFY(parameters->text().startsWith("Warning: write has 2 parameters named addr"));
        Click(func, "CommandOK");
        SetCurrentRow(ListOf(form, "ListViewTLM"), 1);
        Click(form, "CommandRemove");
        QVERIFY(warning->text().startsWith("Warning: write has 2 parameters named addr"));
        QVERIFY(f.app.ui.Messages().isEmpty());
    }

    void emptyListCancelAndUnreadableTable() {
        Fixture f(ThreeFunctions(), 2);
        const QByteArray table = f.Table();
        const QByteArray tp = f.Tp();
        FormTLM* form = f.Open();
        Click(form, "CommandRemove");
        Click(form, "CommandCancel");
        QCOMPARE(f.Table(), table);
        QCOMPARE(f.Tp(), tp);
        QTRY_VERIFY(!f.app.main->OpenWindow());
        QVERIFY(f.app.main->MenuItem(AppCommand::TlmInterface)->isEnabled());

        // Emptying the list clears the flag and leaves the stage.
        form = f.Open();
        QCOMPARE(RowCount(ListOf(form, "ListViewTLM")), 3);
        for (int i = 0; i < 3; ++i) Click(form, "CommandRemove");
        QVERIFY(!Control<QWidget>(form, "CommandEdit")->isEnabled());
        Click(form, "CommandOK");
        QCOMPARE(f.Table(), QByteArray());
        QCOMPARE(StoredState(f.project), QStringLiteral("stage 2"));

        QVERIFY(QFile::remove(f.TablePath()));
        QVERIFY(QDir().mkdir(f.TablePath()));
        QVERIFY(!f.Open());
        QVERIFY(f.app.ui.calls.last().text.contains(QStringLiteral("tlm_func.dat")));
        QVERIFY(f.app.main->MenuItem(AppCommand::TlmInterface)->isEnabled());
    }
};

} // namespace kestrel::test

QTEST_MAIN(kestrel::test::FormTLMTest)
#include "FormTLMTest.moc"
