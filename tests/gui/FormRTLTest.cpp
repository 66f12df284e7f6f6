// The RTL port list and the signal dialog, driven through the main window: the rows and the
// library colour, add, edit (double click too) and remove, the width and clock rules as the
// boxes show them, one refusal of each kind passed on with its focus, the limit of 25, the
// duplicate-name line, OK writing the table and the stage, Cancel leaving the files alone.
// The rules themselves are tested in tests/core/project. Also the lists' table models.
#include "editors/FormRTL.h"
#include "GuiTestSupport.h"
#include "GuiText.h"
#include "editors/FormRTL_Type.h"
#include "editors/TableModels.h"
#include "model/ProjectPaths.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTreeView>

namespace kestrel::test {

namespace {

// A project "Port" with the signals given and one declared function, at `stage`.
struct Fixture : ProjectFixture {
    explicit Fixture(const std::vector<RtlSignal>& signalList = {}, int stage = 1)
        : ProjectFixture(QStringLiteral("Port"), {TestFunction("go", 0, {})}, signalList, stage) {}
    FormRTL* Open() {
        return qobject_cast<FormRTL*>(ProjectFixture::Open(AppCommand::RtlInterface));
    }
    QString TablePath() const { return folder + "/Input/rtl_sig.dat"; }
    QByteArray Table() const { return Stored("rtl_sig.dat"); }
    QByteArray Tp() const { return FileBytes(TpPath(project)); }
};

QTreeView* List(QWidget* w) {
    return Control<QTreeView>(w, "ListViewRSig");
}
QComboBox* Box(QWidget* w, const char* name) {
    return Control<QComboBox>(w, name);
}
QLineEdit* Text(QWidget* w, const char* name) {
    return Control<QLineEdit>(w, name);
}

// What the signal dialog's boxes show: direction, type, width, initial value, clock, and
// which of direction / type / width / initial value are enabled.
QString Shown(QWidget* d) {
    auto on = [](QWidget* w) { return w->isEnabled() ? QStringLiteral("+") : QStringLiteral("-"); };
    return QStringList{Box(d, "ComboDir")->currentText() + on(Box(d, "ComboDir")),
                       Box(d, "ComboHDType")->currentText() + on(Box(d, "ComboHDType")),
                       "[" + Box(d, "ComboWidth")->currentText() + "]" + on(Box(d, "ComboWidth")),
                       Text(d, "TextIV")->text() + on(Text(d, "TextIV")),
                       Control<QCheckBox>(d, "CheckClk")->isChecked() ? "clock" : "port"}
        .join(QLatin1Char(' '));
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

// The texts of a model row (-1: the headings).
QStringList ModelTexts(const QAbstractItemModel& model, int row) {
    QStringList texts;
    for (int i = 0; i < model.columnCount(); ++i)
        texts << (row < 0 ? model.headerData(i, Qt::Horizontal) : model.index(row, i).data())
                     .toString();
    return texts;
}

QBrush ModelForeground(const QAbstractItemModel& model, int row, int column) {
    return model.index(row, column).data(Qt::ForegroundRole).value<QBrush>();
}

const QColor kLibrary(0x80, 0x80, 0xFF);

} // namespace

class FormRTLTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void listEditAndRemove() {
        const std::string wide = std::string(99, '0') + "1";
        Fixture f({TestSignal("clk", 0, 2, 1, "1", true),
                   TestSignal("bus", 0, 1, 100, wide.c_str()),
                   TestSignal("lib_ack", 1, 0, 1, "Z", false, true)},
                  2);
        const QByteArray table = f.Table();
        FormRTL* form = f.Open();
        QVERIFY(form);
        QVERIFY(!f.app.main->Menu("MenuTransactor")->menuAction()->isEnabled());
        QTreeView* list = List(form);
        QCOMPARE(list->model()->columnCount(), 9);
        QVERIFY(!list->isColumnHidden(3) && list->isColumnHidden(4));
        QCOMPARE(RowTexts(list, 2),
                 (QStringList{"sc_out", "sc_logic", "1", "lib_ack", "1", "0", "0", "Z", "1"}));
        QCOMPARE(Foreground(list, 2, 0).color(), QColor(0x80, 0x80, 0xFF));
        QCOMPARE(Foreground(list, 1, 0).style(), Qt::NoBrush);
        QVERIFY(IsRowSelected(list, 0));

        // A clock shows its boxes off; the 100 characters of a wide value are shown whole,
        // so OK, OK leaves the table's bytes as they were.
        Click(form, "CommandEdit");
        auto* d = Window<FormRTL_Type>(form);
        QCOMPARE(d->windowTitle(), QStringLiteral("Edit Signal - clk"));
        QCOMPARE(Shown(d), QStringLiteral("sc_in- bool- [ 1]- 1- clock"));
        Click(d, "CommandOK");
        DoubleClick(list, 1);
        d = Window<FormRTL_Type>(form);
        QVERIFY(d && !form->isEnabled());
        QCOMPARE(Text(d, "TextIV")->text(), QString::fromStdString(wide));
        Click(d, "CommandOK");

        // A library port is refused for editing, and can be removed.
        SetCurrentRow(list, 2);
        Click(form, "CommandEdit");
        QCOMPARE(f.app.ui.Messages().size(), 1);
        QVERIFY(f.app.ui.calls.last().text.startsWith("Library RTL Ports cannot be Edited"));
        QVERIFY(!Window<FormRTL_Type>(form));
        Click(form, "CommandRemove");
        QCOMPARE(RowCount(list), 2);
        Click(form, "CommandOK");
        QCOMPARE(f.Table(), table.left(2 * RtlSignal::kRecordSize));

        // Clearing the clock returns the boxes of a new signal.
        form = f.Open();
        Click(form, "CommandEdit");
        d = Window<FormRTL_Type>(form);
        Control<QCheckBox>(d, "CheckClk")->setChecked(false);
        QCOMPARE(Shown(d), QStringLiteral("sc_in+ sc_logic+ [ 1]- 0+ port"));
    }

    void signalDialogRulesAndRefusals() {
        Fixture f;
        FormRTL* form = f.Open();
        QVERIFY(!Control<QWidget>(form, "CommandEdit")->isEnabled());
        Click(form, "CommandAdd");
        auto* d = Window<FormRTL_Type>(form);
        QVERIFY(d);
        QCOMPARE(d->windowTitle(), QStringLiteral("Add New Signal"));
        QCOMPARE(Shown(d), QStringLiteral("sc_in+ sc_logic+ [ 1]- 0+ port"));
        // The width box follows a selected data type, not a typed one.
        Box(d, "ComboHDType")->setCurrentIndex(1);
        QCOMPARE(Shown(d), QStringLiteral("sc_in+ sc_lv+ [ 1]+ 0+ port"));
        Box(d, "ComboWidth")->setCurrentIndex(3);
        Box(d, "ComboHDType")->setEditText(QStringLiteral("sc_bv"));
        QCOMPARE(Shown(d), QStringLiteral("sc_in+ sc_bv+ [ 8]+ 0+ port"));
        Control<QCheckBox>(d, "CheckClk")->setChecked(true);
        QCOMPARE(Shown(d), QStringLiteral("sc_in- bool- [ 1]- 1- clock"));
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
            QCOMPARE(f.app.ui.calls.last().text, QString::fromLatin1(r.text));
            QCOMPARE(f.app.ui.calls.last().icon, MessageIcon::Critical);
            QCOMPARE(d->focusWidget(), Control<QWidget>(d, r.focus));
            QVERIFY(d->isVisible());
        }
        // An empty initial value is stored "0"; typed boxes keep their texts.
        Text(d, "TextIV")->setText(QString());
        Box(d, "ComboDir")->setEditText(QStringLiteral("sc_buffer"));
        Click(d, "CommandOK");
        QVERIFY(form->isEnabled());
        QCOMPARE(RowTexts(List(form), 0),
                 (QStringList{"sc_buffer", "sc_logic", "1", "d", "-1", "0", "0", "0", "0"}));
        QVERIFY(Control<QWidget>(form, "CommandEdit")->isEnabled());

        // At most 64 characters typed; Cancel adds nothing.
        Click(form, "CommandAdd");
        d = Window<FormRTL_Type>(form);
        QTest::keyClicks(Text(d, "TextIV"), QString(70, QLatin1Char('1')));
        QCOMPARE(Text(d, "TextIV")->text().size(), 64);
        Click(d, "CommandCancel");
        QVERIFY(form->isEnabled());
        QCOMPARE(RowCount(List(form)), 1);
    }

    void okChecksTheClockThenWrites() {
        Fixture f({TestSignal("req", 0, 0, 1, "0")});
        const QByteArray table = f.Table();
        const QByteArray tp = f.Tp();
        FormRTL* form = f.Open();
        AddSignal(form, "b4", 1, "0110011", false);
        Click(form, "CommandOK");
        QVERIFY(f.app.ui.calls.last().text.startsWith("Please declare a signal as Clock"));
        QVERIFY(form->isVisible());
        QCOMPARE(f.Table(), table);
        QCOMPARE(f.Tp(), tp);

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
        QCOMPARE(f.Table(), bytes);
    }

    void emptyListLimitAndDuplicates() {
        Fixture f({TestSignal("clk", 0, 2, 1, "1", true)}, 2);
        FormRTL* form = f.Open();
        Click(form, "CommandRemove");
        QVERIFY(!Control<QWidget>(form, "CommandRemove")->isEnabled());
        Click(form, "CommandOK");
        QCOMPARE(f.Table(), QByteArray());
        QCOMPARE(StoredState(f.project), QStringLiteral("TLM stage 2"));

        std::vector<RtlSignal> many;
        for (int i = 1; i <= 25; ++i)
            many.push_back(
                TestSignal(qPrintable(QStringLiteral("s%1").arg(i)), 0, 0, 1, "0", i == 1));
        many[2].signalName = "s2";
        Fixture full(many);
        form = full.Open();
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

    void cancelAndUnreadableTable() {
        Fixture f({TestSignal("clk", 0, 2, 1, "1", true), TestSignal("d", 1, 1, 8, "101")}, 2);
        const QByteArray table = f.Table();
        const QByteArray tp = f.Tp();
        FormRTL* form = f.Open();
        Click(form, "CommandRemove");
        AddSignal(form, "extra", 0, "1", false);
        Click(form, "CommandCancel");
        QCOMPARE(f.Table(), table);
        QCOMPARE(f.Tp(), tp);
        QTRY_VERIFY(!f.app.main->OpenWindow());
        QVERIFY(f.app.main->MenuItem(AppCommand::RtlInterface)->isEnabled());

        QVERIFY(QFile::remove(f.TablePath()));
        QVERIFY(QDir().mkdir(f.TablePath()));
        QVERIFY(!f.Open());
        QVERIFY(f.app.ui.calls.last().text.contains(QStringLiteral("rtl_sig.dat")));
        QVERIFY(f.app.main->MenuItem(AppCommand::RtlInterface)->isEnabled());
    }

    // The table models without a view: headings, texts (hidden columns too), the library
    // colour on a library row's visible columns only, and the row changes a view is told of.
    void modelRowsReadAsTheListsShowThem() {
        SignalTableModel signalRows;
        QCOMPARE(ModelTexts(signalRows, -1),
                 (QStringList{"Direction", "Hardware Data Type", "Width", "Name", "DirID", "HDID",
                              "isClk", "IVID", "isLibrary"}));
        signalRows.SetRows({{"sc_in", "bool", "1", "clk", 0, 2, true, "1", false},
                            {"sc_out", "sc_lv", "12abc", "d\xe9", 1, 1, false, "0101", true}});
        // Core texts are Windows-1252: 0xE9 is é.
        QCOMPARE(ModelTexts(signalRows, 1),
                 (QStringList{"sc_out", "sc_lv", "12abc", QString::fromUtf8("dé"), "1", "1", "0",
                              "0101", "1"}));
        QCOMPARE(ModelForeground(signalRows, 1, 3).color(), kLibrary);
        QCOMPARE(ModelForeground(signalRows, 1, 4).style(), Qt::NoBrush);
        QCOMPARE(ModelForeground(signalRows, 0, 0).style(), Qt::NoBrush);
        QVERIFY(!signalRows.index(2, 0).data().isValid());
        QVERIFY(!signalRows.headerData(0, Qt::Vertical).isValid());

        ParameterTableModel parameters;
        QCOMPARE(ModelTexts(parameters, -1).size(), 7);
        parameters.AppendRow({"char", "&", "buf", 2, 1, true, true});
        QCOMPARE(ModelTexts(parameters, 0),
                 (QStringList{"const char", "&", "buf []", "2", "1", "1", "1"}));

        FunctionTableModel functions;
        functions.SetRows({{"void", "write", "( int  a )", false}, {"int", "lib", "(  )", true}});
        QCOMPARE(ModelTexts(functions, 0), (QStringList{"void", "write", "( int  a )"}));
        QCOMPARE(ModelForeground(functions, 1, 2).color(), kLibrary);
    }

    void modelRowChangesReachTheViews() {
        SignalTableModel model;
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        const SignalRow a{"sc_in", "sc_logic", "1", "a", 0, 0, false, "0", false};
        const SignalRow b{"sc_out", "sc_logic", "1", "b", 1, 0, false, "1", false};
        model.AppendRow(a);
        model.AppendRow(b);
        QCOMPARE(inserted.count(), 2);
        QCOMPARE(inserted.last().at(1).toInt(), 1);

        SignalRow edited = a;
        edited.name = "a2";
        model.ReplaceRow(0, edited);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.last().at(1).value<QModelIndex>().column(), 8);
        model.ReplaceRow(5, edited); // no such row: nothing changes
        QCOMPARE(changed.count(), 1);

        model.RemoveRow(0);
        QCOMPARE(removed.count(), 1);
        QCOMPARE(model.Rows(), (std::vector<SignalRow>{b}));
        model.RemoveRow(-1);
        QCOMPARE(model.rowCount(), 1);
    }
};

} // namespace kestrel::test

QTEST_MAIN(kestrel::test::FormRTLTest)
#include "FormRTLTest.moc"
