// The declaration windows over the core's rules (tested in tests/core/project): the TLM
// function list with its dialogs and the RTL port list with its signal dialog, each rule's
// refusal passed on once, OK writing the tables and Cancel leaving them alone.
#include "GuiTestSupport.h"
#include "GuiText.h"
#include "editors/FormRTL.h"
#include "editors/FormRTL_Type.h"
#include "editors/FormTLM.h"
#include "editors/FormTLM_Func.h"
#include "editors/FormTLM_FuncPara.h"
#include "editors/TableModels.h"
#include "model/ProjectPaths.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTreeView>

namespace kestrel::test {

namespace {

// A project "Bus" with the functions and signals given, and its two declaration windows.
struct Declared : ProjectFixture {
    explicit Declared(const std::vector<TlmFunction>& functions = {},
                      const std::vector<RtlSignal>& signalList = {}, int stage = 1)
        : ProjectFixture(QStringLiteral("Bus"), functions, signalList, stage) {}
    FormTLM* Tlm() { return qobject_cast<FormTLM*>(Open(AppCommand::TlmInterface)); }
    FormRTL* Rtl() { return qobject_cast<FormRTL*>(Open(AppCommand::RtlInterface)); }
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

std::vector<TlmFunction> ThreeFunctions() {
    return {TestFunction("mem_write", 0, {{7, false, "addr"}, {7, false, "data"}}),
            TestFunction("mem_read", 0, {{7, false, "addr"}, {2, true, "buf", true, true}}),
            TestFunction("status", 4, {})};
}

// Remove then Cancel stores nothing; removing every row then OK stores an empty table and
// the project's flags without it, leaving the stage.
void ExpectCancelThenEmpty(Declared& f, AppCommand command, const char* table, const char* list,
                           const QString& state) {
    const QByteArray stored = f.Stored(table);
    const QByteArray tp = FileBytes(TpPath(f.project));
    QDialog* form = f.Open(command);
    Click(form, "CommandRemove");
    Click(form, "CommandCancel");
    QCOMPARE(f.Stored(table), stored);
    QCOMPARE(FileBytes(TpPath(f.project)), tp);
    form = f.Open(command);
    while (RowCount(Control<QTreeView>(form, list)) > 0) Click(form, "CommandRemove");
    QVERIFY(!Control<QWidget>(form, "CommandRemove")->isEnabled());
    QVERIFY(!Control<QWidget>(form, "CommandEdit")->isEnabled());
    Click(form, "CommandOK");
    QCOMPARE(f.Stored(table), QByteArray());
    QCOMPARE(StoredState(f.project), state);
}

QTreeView* List(QWidget* w) {
    return Control<QTreeView>(w, "ListViewRSig");
}
QComboBox* Box(QWidget* w, const char* name) {
    return Control<QComboBox>(w, name);
}
QLineEdit* Text(QWidget* w, const char* name) {
    return Control<QLineEdit>(w, name);
}

// Adds a signal through the dialog.
void AddSignal(FormRTL* form, const char* name, int type, const char* init, bool clock) {
    Click(form, "CommandAdd");
    auto* d = Window<FormRTL_Type>(form);
    QVERIFY(d);
    Text(d, "TextSName")->setText(QString::fromLatin1(name));
    Box(d, "ComboHDType")->setCurrentIndex(type);
    Text(d, "TextIV")->setText(QString::fromLatin1(init));
    Control<QCheckBox>(d, "CheckClk")->setChecked(clock);
    Click(d, "CommandOK");
    QVERIFY(!d->isVisible());
    QVERIFY(form->isEnabled());
}

} // namespace

class DeclarationWindowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void tlmListEditAndRemove() {
        std::vector<TlmFunction> functions = ThreeFunctions();
        functions[2].isLibrary = true;
        Declared f(functions, {}, 2);
        const QByteArray table = f.Stored("tlm_func.dat");
        FormTLM* form = f.Tlm();
        QTreeView* list = ListOf(form, "ListViewTLM");
        const QString shown = Dump(form);
        QCOMPARE(Foreground(list, 2, 2).color(), QColor(0x80, 0x80, 0xFF));

        // A library function is refused for editing and can be removed.
        SetCurrentRow(list, 2);
        Click(form, "CommandEdit");
        ExpectMessage(f.app.ui, "Library Functions cannot be Edited");
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
        Control<QLineEdit>(func, "TextFName")->setText(QStringLiteral(" mem_get "));
        SetCurrentRow(params, 1);
        Click(func, "CommandEdit");
        auto* para = Window<FormTLM_FuncPara>(func);
        QCOMPARE(para->windowTitle(),
                 QStringLiteral("Edit Parameter - buf [] of Function mem_get ()"));
        ExpectGolden(shown + "== function\n" + Dump(func) + "== parameter\n" + Dump(para),
                     "tlm-edit.txt");
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
        QCOMPARE(f.Stored("tlm_func.dat"), table.left(2 * table.size() / 3));
        ExpectUnreadableTable(f, "tlm_func.dat", AppCommand::TlmInterface);
    }

    void tlmAddFunctionWithParameters() {
        Declared f;
        FormTLM* form = f.Tlm();
        QVERIFY(!Control<QWidget>(form, "CommandEdit")->isEnabled());
        Click(form, "CommandAdd");
        auto* func = Window<FormTLM_Func>(form);
        QVERIFY(func && !form->isEnabled());
        Click(func, "CommandOK");
        ExpectRefusedIn(f.app.ui, func, "Enter Function Name", "TextFName");

        // The parameter dialog: one refusal of each field, with the focus on it.
        Control<QLineEdit>(func, "TextFName")->setText(QStringLiteral("  rd  "));
        Click(func, "CommandAdd");
        auto* para = Window<FormTLM_FuncPara>(func);
        QVERIFY(para && !func->isEnabled());
        QCOMPARE(para->windowTitle(), QStringLiteral("Add New Function Parameter for rd ()"));
        Click(para, "CommandOK");
        ExpectRefusedIn(f.app.ui, para, "Enter Parameter Name", "TextPName");
        Control<QLineEdit>(para, "TextPName")->setText(QStringLiteral("addr"));
        Click(para, "CommandOK");
        ExpectRefusedIn(f.app.ui, para, "void parameter not supported", "ComboParaType");
        FillParameter(func, "addr", 4, 0, false, false);
        QVERIFY(!para->isVisible() && func->isEnabled());
        Click(func, "CommandAdd");
        FillParameter(func, "buf", 2, 1, true, true);

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
        QCOMPARE(f.Stored("tlm_func.dat"), QByteArray::fromStdString(EncodeTlmFunction(expected)));
        QCOMPARE(StoredState(f.project), QStringLiteral("TLM stage 1"));
        QVERIFY(f.app.main->Menu("MenuTransactor")->menuAction()->isEnabled());
    }

    // The limits of 25 functions and 20 parameters; two functions or two parameters of one
    // name are accepted, a line under the lists naming them (no message box) until the
    // duplicate goes.
    void tlmLimitsAndDuplicateNames() {
        std::vector<TlmFunction> functions;
        for (int i = 1; i <= 25; ++i)
            functions.push_back(TestFunction(qPrintable(QStringLiteral("f%1").arg(i % 24)), 0, {}));
        Declared f(functions);
        FormTLM* form = f.Tlm();
        auto* warning = Control<QLabel>(form, "LabelDuplicates");
        QVERIFY(warning->text().startsWith("Warning: 2 functions are named f1 (rows 1 and 25)"));
        Click(form, "CommandAdd");
        ExpectRefusedIn(f.app.ui, form, "Cannot have more than 25 Functions", nullptr);
        QVERIFY(!Window<FormTLM_Func>(form));

        Click(form, "CommandEdit");
        auto* func = Window<FormTLM_Func>(form);
        auto* parameters = Control<QLabel>(func, "LabelDuplicates");
        for (int j = 1; j <= 20; ++j)
            func->AppendRow({"int", " ", "p" + std::to_string(j % 19), 4, 0, false, false});
        func->EnDisEditRemove();
        QVERIFY(parameters->text().startsWith("Warning: f1 has 2 parameters named p1"));
        Click(func, "CommandAdd");
        ExpectRefusedIn(f.app.ui, func, "Cannot have more than 20 parameters", nullptr);
        QVERIFY(!Window<FormTLM_FuncPara>(func) && func->isEnabled());
        Click(func, "CommandEdit");
        Click(Window<FormTLM_FuncPara>(func), "CommandCancel");
        Click(func, "CommandRemove");
        QVERIFY(parameters->isHidden());
        Click(func, "CommandOK");
        QCOMPARE(form->Functions()[1].parameterCount, 19);

        SetCurrentRow(ListOf(form, "ListViewTLM"), 0);
        Click(form, "CommandRemove");
        QVERIFY(warning->isHidden());
        Click(form, "CommandAdd");
        QVERIFY(Window<FormTLM_Func>(form));
    }

    void cancelThenEmptyLists() {
        Declared tlm(ThreeFunctions(), {TestSignal("clk", 0, 2, 1, "1", true)}, 2);
        ExpectCancelThenEmpty(tlm, AppCommand::TlmInterface, "tlm_func.dat", "ListViewTLM",
                              QStringLiteral("RTL stage 2"));
        Declared rtl(ThreeFunctions(), {TestSignal("clk", 0, 2, 1, "1", true)}, 2);
        ExpectCancelThenEmpty(rtl, AppCommand::RtlInterface, "rtl_sig.dat", "ListViewRSig",
                              QStringLiteral("TLM stage 2"));
    }

    void rtlListEditAndRemove() {
        const std::string wide = std::string(99, '0') + "1";
        Declared f({TestFunction("go", 0, {})},
                   {TestSignal("clk", 0, 2, 1, "1", true),
                    TestSignal("bus", 0, 1, 100, wide.c_str()),
                    TestSignal("lib_ack", 1, 0, 1, "Z", false, true)},
                   2);
        const QByteArray table = f.Stored("rtl_sig.dat");
        FormRTL* form = f.Rtl();
        QTreeView* list = List(form);
        QVERIFY(!list->isColumnHidden(3) && list->isColumnHidden(4));
        QString states = Dump(form) + "== clock\n";
        QCOMPARE(Foreground(list, 2, 0).color(), QColor(0x80, 0x80, 0xFF));
        QVERIFY(IsRowSelected(list, 0));

        // A clock shows its boxes off; the 100 characters of a wide value are shown whole,
        // so OK, OK leaves the table's bytes as they were.
        Click(form, "CommandEdit");
        auto* d = Window<FormRTL_Type>(form);
        QCOMPARE(d->windowTitle(), QStringLiteral("Edit Signal - clk"));
        states += Dump(d);
        Click(d, "CommandOK");
        DoubleClick(list, 1);
        d = Window<FormRTL_Type>(form);
        QVERIFY(d && !form->isEnabled());
        QCOMPARE(Text(d, "TextIV")->text(), QString::fromStdString(wide));
        Click(d, "CommandOK");

        // A library port is refused for editing, and can be removed.
        SetCurrentRow(list, 2);
        Click(form, "CommandEdit");
        ExpectMessage(f.app.ui, "Library RTL Ports cannot be Edited");
        QVERIFY(!Window<FormRTL_Type>(form));
        Click(form, "CommandRemove");
        QCOMPARE(RowCount(list), 2);
        Click(form, "CommandOK");
        QCOMPARE(f.Stored("rtl_sig.dat"), table.left(2 * RtlSignal::kRecordSize));

        // Clearing the clock returns the boxes of a new signal.
        form = f.Rtl();
        Click(form, "CommandEdit");
        d = Window<FormRTL_Type>(form);
        Control<QCheckBox>(d, "CheckClk")->setChecked(false);
        ExpectGolden(states + "== clock cleared\n" + Dump(d), "signal-dialog-edit.txt");
    }

    void rtlSignalDialogRulesAndRefusals() {
        Declared f;
        FormRTL* form = f.Rtl();
        Click(form, "CommandAdd");
        auto* d = Window<FormRTL_Type>(form);
        QString states = Dump(d);
        // The width box follows a selected data type, not a typed one.
        Box(d, "ComboHDType")->setCurrentIndex(1);
        states += "== sc_lv selected\n" + Dump(d);
        Box(d, "ComboWidth")->setCurrentIndex(3);
        Box(d, "ComboHDType")->setEditText(QStringLiteral("sc_bv"));
        states += "== sc_bv typed, width 8\n" + Dump(d);
        Control<QCheckBox>(d, "CheckClk")->setChecked(true);
        ExpectGolden(states + "== clock\n" + Dump(d), "signal-dialog-rules.txt");
        Control<QCheckBox>(d, "CheckClk")->setChecked(false);

        // One refusal of each field, with the focus on it; the dialog stays.
        const struct {
            const char* name;
            const char* init;
            const char* text;
            const char* focus;
        } refusals[] = {{"", "0", "Enter Signal Name", "TextSName"},
                        {"d", "0 1", "Init value can contain only 1,0,X,Z", "TextIV"}};
        for (const auto& r : refusals) {
            Text(d, "TextSName")->setText(QString::fromLatin1(r.name));
            Text(d, "TextIV")->setText(QString::fromLatin1(r.init));
            Click(d, "CommandOK");
            ExpectRefusedIn(f.app.ui, d, QString::fromLatin1(r.text), r.focus);
        }
        // An empty initial value is stored "0"; typed boxes keep their texts.
        Text(d, "TextIV")->setText(QString());
        Box(d, "ComboDir")->setEditText(QStringLiteral("sc_buffer"));
        Click(d, "CommandOK");
        QVERIFY(form->isEnabled());
        QCOMPARE(RowTexts(List(form), 0),
                 (QStringList{"sc_buffer", "sc_logic", "1", "d", "-1", "0", "0", "0", "0"}));

        // At most 64 characters typed; Cancel adds nothing.
        Click(form, "CommandAdd");
        d = Window<FormRTL_Type>(form);
        QTest::keyClicks(Text(d, "TextIV"), QString(70, QLatin1Char('1')));
        QCOMPARE(Text(d, "TextIV")->text().size(), 64);
        Click(d, "CommandCancel");
        QVERIFY(form->isEnabled());
        QCOMPARE(RowCount(List(form)), 1);
    }

    void rtlOkChecksTheClockAndWrites() {
        Declared f({TestFunction("go", 0, {})}, {TestSignal("req", 0, 0, 1, "0")});
        const QByteArray table = f.Stored("rtl_sig.dat");
        FormRTL* form = f.Rtl();
        AddSignal(form, "b4", 1, "0110011", false);
        Click(form, "CommandOK");
        ExpectMessage(f.app.ui, "Please declare a signal as Clock");
        QVERIFY(form->isVisible());
        QCOMPARE(f.Stored("rtl_sig.dat"), table);
        AddSignal(form, "clk", 0, "", true);
        Click(form, "CommandOK");
        QVERIFY(!form->isVisible());
        QVERIFY(f.app.main->MenuItem(AppCommand::AsmlSpecification)->isEnabled());
        QCOMPARE(StoredState(f.project), QStringLiteral("TLM RTL stage 2"));
        // The initial values fitted to their widths (the width box stood at " 1").
        QByteArray bytes;
        for (const RtlSignal& s : {TestSignal("req", 0, 0, 1, "0"), TestSignal("b4", 0, 1, 1, "1"),
                                   TestSignal("clk", 0, 2, 1, "1", true)})
            bytes += QByteArray::fromStdString(EncodeRtlSignal(s));
        QCOMPARE(f.Stored("rtl_sig.dat"), bytes);

        ExpectUnreadableTable(f, "rtl_sig.dat", AppCommand::RtlInterface);
    }

    void rtlLimitAndDuplicates() {
        std::vector<RtlSignal> many;
        for (int i = 1; i <= 25; ++i)
            many.push_back(
                TestSignal(qPrintable(QStringLiteral("s%1").arg(i)), 0, 0, 1, "0", i == 1));
        many[2].signalName = "s2";
        Declared full({TestFunction("go", 0, {})}, many);
        FormRTL* form = full.Rtl();
        auto* warning = Control<QLabel>(form, "LabelDuplicates");
        QVERIFY(!warning->isHidden());
        QVERIFY(warning->text().contains("2 ports are named s2 (rows 2 and 3)"));
        Click(form, "CommandAdd");
        QCOMPARE(full.app.ui.calls.last().text, QStringLiteral("Cannot have more than 25 Signals"));
        QVERIFY(!Window<FormRTL_Type>(form));
        SetCurrentRow(List(form), 2);
        Click(form, "CommandRemove");
        QVERIFY(warning->isHidden());
        Click(form, "CommandAdd");
        QVERIFY(Window<FormRTL_Type>(form));
    }

    // The signal model without a view: core texts are Windows-1252, the library colour is
    // on the visible columns only, a row change reaches every column, rows that are not
    // there are neither read nor changed.
    void rtlSignalModel() {
        SignalTableModel model;
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        const SignalRow a{"sc_in", "sc_logic", "1", "d\xe9", 0, 0, false, "0", false};
        const SignalRow b{"sc_out", "sc_lv", "12abc", "b", 1, 1, false, "0101", true};
        model.SetRows({a, b});
        QCOMPARE(model.index(0, 3).data().toString(), QString::fromUtf8("dé"));
        QCOMPARE(model.index(1, 2).data().toString(), QStringLiteral("12abc"));
        QCOMPARE(model.index(1, 4).data(Qt::ForegroundRole).value<QBrush>().style(), Qt::NoBrush);
        QVERIFY(!model.index(2, 0).data().isValid());
        QVERIFY(!model.headerData(0, Qt::Vertical).isValid());
        model.ReplaceRow(0, b);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.last().at(1).value<QModelIndex>().column(), 8);
        model.ReplaceRow(5, a);
        model.RemoveRow(-1);
        QCOMPARE(changed.count(), 1);
        model.RemoveRow(0);
        QCOMPARE(model.Rows(), (std::vector<SignalRow>{b}));
    }
};

} // namespace kestrel::test

QTEST_MAIN(kestrel::test::DeclarationWindowsTest)
#include "DeclarationWindowsTest.moc"
