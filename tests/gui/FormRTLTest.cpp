// The RTL signal list and the signal dialog, driven through the main window on a project
// in a temporary folder: what they show, the width and clock rules, add, edit and remove,
// every refusal with its text, title, icon and focus, the limit of 25 signals, library
// ports, the clock check, the fitting of initial values, Cancel leaving the files alone
// and OK writing the table and the project file byte for byte.
#include "editors/FormRTL.h"
#include "GuiTestSupport.h"
#include "GuiText.h"
#include "editors/FormRTL_Type.h"
#include "model/ProjectPaths.h"
#include "model/RtlSignal.h"
#include "model/TlmFunction.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTreeView>

namespace kestrel::test {

namespace {

RtlSignal Signal(const char* name, int direction, int type, int width, const char* init,
                 bool clock = false, bool library = false) {
    RtlSignal s;
    s.signalName = name;
    s.directionText = kDirectionNames[static_cast<std::size_t>(direction)];
    s.directionIndex = static_cast<std::int16_t>(direction);
    s.dataTypeText = kDataTypeNames[static_cast<std::size_t>(type)];
    s.dataTypeIndex = static_cast<std::int16_t>(type);
    s.width = static_cast<std::int16_t>(width);
    s.initValue = init;
    s.isClock = clock;
    s.isLibrary = library;
    return s;
}

struct Fixture {
    QTemporaryDir dir;
    ProjectRecord project;
    TestApp app;

    // A project with the signals given (none: a new project that declared nothing), and one
    // declared function when `functions` is set.
    explicit Fixture(const std::vector<RtlSignal>& signalList = {}, bool functions = false,
                     int stage = 1) {
        project = MakeProject(dir.path(), QStringLiteral("Port"));
        if (!signalList.empty() || functions || stage != 1) {
            RtlSignalTable table;
            for (const RtlSignal& s : signalList) table[++table.count] = s;
            if (!SaveRtlSignals(project.projectFolder, table).ok()) qFatal("cannot declare");
            if (functions) {
                TlmFunctionTable fns;
                fns[++fns.count].functionName = "go";
                if (!SaveTlmFunctions(project.projectFolder, fns).ok()) qFatal("cannot declare");
            }
            project.rtlDeclared = !signalList.empty();
            project.tlmDeclared = functions;
            project.projectStage = static_cast<std::int16_t>(stage);
            if (!SaveProjectFile(project).ok()) qFatal("cannot rewrite the .tp file");
        }
        app.main->Start(TpPath(project));
    }
    FormRTL* Open() {
        app.main->RunCommand(AppCommand::RtlInterface);
        return Window<FormRTL>(app.main.get());
    }
    QString TablePath() const { return FromCore(InputPath(project.projectFolder, kRtlSignalFile)); }
    QByteArray Table() const { return FileBytes(TablePath()); }
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
void AddSignal(FormRTL* form, const char* name, int type, const char* width, const char* init,
               bool clock) {
    Click(form, "CommandAdd");
    auto* d = Window<FormRTL_Type>(form);
    QVERIFY(d);
    Text(d, "TextSName")->setText(QString::fromLatin1(name));
    Box(d, "ComboHDType")->setCurrentIndex(type);
    if (width) Box(d, "ComboWidth")->setEditText(QString::fromLatin1(width));
    Text(d, "TextIV")->setText(QString::fromLatin1(init));
    Control<QCheckBox>(d, "CheckClk")->setChecked(clock);
    Click(d, "CommandOK");
    QVERIFY(!d->isVisible());
    QVERIFY(form->isEnabled());
}

} // namespace

class FormRTLTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void listShowsTheStoredSignals() {
        Fixture f({Signal("clk", 0, 2, 1, "1", true), Signal("addr", 0, 1, 8, "00000101"),
                   Signal("lib_ack", 1, 0, 1, "Z", false, true)},
                  true, 2);
        FormRTL* form = f.Open();
        QVERIFY(form);
        QCOMPARE(form->windowTitle(), QStringLiteral("RTL Ports"));
        QCOMPARE(form->findChild<QGroupBox*>()->title(), QStringLiteral("RTL Ports"));
        QVERIFY(!f.app.main->Menu("MenuTransactor")->menuAction()->isEnabled());
        for (auto [name, caption] : {std::pair{"CommandAdd", "Add"},
                                     {"CommandEdit", "Edit"},
                                     {"CommandRemove", "Remove"},
                                     {"CommandOK", "OK"},
                                     {"CommandCancel", "Cancel"}})
            QCOMPARE(Control<QAbstractButton>(form, name)->text(), QString::fromLatin1(caption));
        QTreeView* list = List(form);
        const char* headings[] = {
            "Direction", "Hardware Data Type", "Width", "Name", "DirID", "HDID", "isClk",
            "IVID",      "isLibrary"};
        const int twips[] = {2540, 3069, 1235, 5293};
        QCOMPARE(list->model()->columnCount(), 9);
        for (int i = 0; i < 9; ++i) {
            QCOMPARE(Heading(list, i), QString::fromLatin1(headings[i]));
            QCOMPARE(list->isColumnHidden(i), i >= 4);
            if (i < 4)
                QCOMPARE(list->columnWidth(i), qRound(twips[i] * list->logicalDpiX() / 1440.0));
        }
        QCOMPARE(RowTexts(list, 0),
                 (QStringList{"sc_in", "bool", "1", "clk", "0", "2", "1", "1", "0"}));
        QCOMPARE(RowTexts(list, 1),
                 (QStringList{"sc_in", "sc_lv", "8", "addr", "0", "1", "0", "00000101", "0"}));
        QCOMPARE(RowTexts(list, 2),
                 (QStringList{"sc_out", "sc_logic", "1", "lib_ack", "1", "0", "0", "Z", "1"}));
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(Foreground(list, 2, i).color(), QColor(0x80, 0x80, 0xFF));
            QCOMPARE(Foreground(list, 1, i).style(), Qt::NoBrush);
        }
        QVERIFY(IsRowSelected(list, 0));

        // A library port is refused for editing, and can be removed.
        SetCurrentRow(list, 2);
        Click(form, "CommandEdit");
        ExpectRefusal(f.app.ui,
                      "Library RTL Ports cannot be Edited here.\r\nTo Edit Library Ports, Edit "
                      "and Re-make the corresponding Transactor Library file",
                      "Kestrel");
        QVERIFY(!Window<FormRTL_Type>(form));
        Click(form, "CommandRemove");
        QCOMPARE(RowCount(list), 2);

        // Double click edits; the edit caption trims the name.
        DoubleClick(list, 1);
        auto* d = Window<FormRTL_Type>(form);
        QVERIFY(d);
        QVERIFY(!form->isEnabled());
        QVERIFY(d->isEnabled());
        QCOMPARE(d->windowTitle(), QStringLiteral("Edit Signal - addr"));
        QCOMPARE(Text(d, "TextSName")->text(), QStringLiteral("addr"));
        QCOMPARE(Shown(d), QStringLiteral("sc_in+ sc_lv+ [8]+ 00000101+ port"));
    }

    void signalDialogRules() {
        Fixture f;
        FormRTL* form = f.Open();
        QVERIFY(!Control<QWidget>(form, "CommandEdit")->isEnabled());
        Click(form, "CommandAdd");
        auto* d = Window<FormRTL_Type>(form);
        QVERIFY(d);
        QVERIFY(!form->isEnabled());
        QCOMPARE(d->windowTitle(), QStringLiteral("Add New Signal"));
        QCOMPARE(Control<QCheckBox>(d, "CheckClk")->text(), QStringLiteral("Clock Signal"));
        for (auto [field, label] : {std::pair{"TextSName", "Port Name:"},
                                    {"ComboDir", "Direction:"},
                                    {"ComboHDType", "Hardware Data Type:"},
                                    {"ComboWidth", "Width:"},
                                    {"TextIV", "Initial Value:"}})
            QCOMPARE(LabelFor(d, field), QString::fromLatin1(label));
        QCOMPARE(Text(d, "TextIV")->maxLength(), 64);
        QVERIFY(Text(d, "TextIV")->alignment() & Qt::AlignRight);
        QStringList widths;
        for (int i = 0; i < Box(d, "ComboWidth")->count(); ++i)
            widths << Box(d, "ComboWidth")->itemText(i);
        QCOMPARE(widths, (QStringList{" 1", " 2", " 4", " 8", " 16", " 32", " 64"}));
        QCOMPARE(Box(d, "ComboDir")->itemText(2), QStringLiteral("sc_inout"));
        QCOMPARE(Box(d, "ComboHDType")->itemText(2), QStringLiteral("bool"));
        QCOMPARE(Shown(d), QStringLiteral("sc_in+ sc_logic+ [ 1]- 0+ port"));

        // The width box follows the data type.
        Box(d, "ComboHDType")->setCurrentIndex(1);
        QCOMPARE(Shown(d), QStringLiteral("sc_in+ sc_lv+ [ 1]+ 0+ port"));
        Box(d, "ComboWidth")->setCurrentIndex(4);
        Box(d, "ComboHDType")->setCurrentIndex(2);
        QCOMPARE(Shown(d), QStringLiteral("sc_in+ bool+ [ 1]- 0+ port"));
        // Typing a data type does not run the width rule.
        Box(d, "ComboHDType")->setCurrentIndex(1);
        Box(d, "ComboWidth")->setCurrentIndex(3);
        Box(d, "ComboHDType")->setEditText(QStringLiteral("sc_bv"));
        QCOMPARE(Shown(d), QStringLiteral("sc_in+ sc_bv+ [ 8]+ 0+ port"));

        // The clock rule, checked and cleared.
        Box(d, "ComboDir")->setCurrentIndex(2);
        Control<QCheckBox>(d, "CheckClk")->setChecked(true);
        QCOMPARE(Shown(d), QStringLiteral("sc_in- bool- [ 1]- 1- clock"));
        Control<QCheckBox>(d, "CheckClk")->setChecked(false);
        QCOMPARE(Shown(d), QStringLiteral("sc_in+ sc_logic+ [ 1]- 0+ port"));

        // The name is checked first, then the initial value's characters.
        Text(d, "TextIV")->setText(QStringLiteral("2"));
        Click(d, "CommandOK");
        ExpectRefusal(f.app.ui, "Enter Signal Name", "Signal Name");
        QCOMPARE(f.app.ui.Messages().size(), 1);
        QCOMPARE(d->focusWidget(), Text(d, "TextSName"));
        Text(d, "TextSName")->setText(QStringLiteral("  data_in "));
        for (const char* bad : {"2", " 01", "0 1", "01-"}) {
            Text(d, "TextIV")->setText(QString::fromLatin1(bad));
            Click(d, "CommandOK");
            ExpectRefusal(f.app.ui, "Init value can contain only 1,0,X,Z", "Init value");
            QCOMPARE(d->focusWidget(), Text(d, "TextIV"));
            QVERIFY(d->isVisible());
        }
        QCOMPARE(f.app.ui.Messages().size(), 5);
        Box(d, "ComboHDType")->setCurrentIndex(1);
        Box(d, "ComboWidth")->setCurrentIndex(3);
        Text(d, "TextIV")->setText(QStringLiteral("01x "));
        Click(d, "CommandOK");
        QVERIFY(!d->isVisible());
        QVERIFY(form->isEnabled());
        QTreeView* list = List(form);
        QCOMPARE(RowTexts(list, 0),
                 (QStringList{"sc_in", "sc_lv", "8", "data_in", "0", "1", "0", "01X", "0"}));
        QVERIFY(Control<QWidget>(form, "CommandEdit")->isEnabled());

        // Defaults as they stand: width "1"; an empty initial value becomes "0"; a name of
        // blanks is stored empty; typed boxes have the position -1.
        Click(form, "CommandAdd");
        d = Window<FormRTL_Type>(form);
        Text(d, "TextSName")->setText(QStringLiteral("   "));
        Text(d, "TextIV")->setText(QString());
        Box(d, "ComboDir")->setEditText(QStringLiteral("sc_buffer"));
        Click(d, "CommandOK");
        QCOMPARE(RowTexts(list, 1),
                 (QStringList{"sc_buffer", "sc_logic", "1", "", "-1", "0", "0", "0", "0"}));
        AddSignal(form, "wide", 1, "12", "1", false);
        QCOMPARE(RowTexts(list, 2).mid(0, 6),
                 (QStringList{"sc_in", "sc_lv", "12", "wide", "0", "1"}));

        // Cancel adds nothing.
        Click(form, "CommandAdd");
        d = Window<FormRTL_Type>(form);
        Text(d, "TextSName")->setText(QStringLiteral("dropped"));
        Click(d, "CommandCancel");
        QVERIFY(form->isEnabled());
        QCOMPARE(RowCount(list), 3);
    }

    void editingAClockKeepsTheRow() {
        RtlSignal clk = Signal("clk", 0, 2, 1, "1", true);
        clk.initValue = "x1";
        Fixture f({clk, Signal("lib", 1, 1, 4, "0000", false, true)}, false, 1);
        FormRTL* form = f.Open();
        QTreeView* list = List(form);
        Click(form, "CommandEdit");
        QCOMPARE(form->SelectedListViewRSigIndex(), 1);
        auto* d = Window<FormRTL_Type>(form);
        QCOMPARE(d->windowTitle(), QStringLiteral("Edit Signal - clk"));
        QCOMPARE(Shown(d), QStringLiteral("sc_in- bool- [ 1]- X1- clock"));
        Click(d, "CommandOK");
        QCOMPARE(RowTexts(list, 0),
                 (QStringList{"sc_in", "bool", "1", "clk", "0", "2", "1", "X1", "0"}));

        // Clearing the clock returns the defaults of a new signal.
        Click(form, "CommandEdit");
        d = Window<FormRTL_Type>(form);
        Control<QCheckBox>(d, "CheckClk")->setChecked(false);
        Click(d, "CommandOK");
        QCOMPARE(RowTexts(list, 0),
                 (QStringList{"sc_in", "sc_logic", "1", "clk", "0", "0", "0", "0", "0"}));
    }

    // 64 characters can be typed, but an sc_lv of width 100 stores 100: editing it must
    // not cut the value the box shows, so OK, OK leaves its bytes as they were.
    void aWideValueIsShownWhole() {
        const std::string value = std::string(99, '0') + "1";
        Fixture f({Signal("clk", 0, 2, 1, "1", true), Signal("bus", 0, 1, 100, value.c_str())},
                  false, 2);
        const QByteArray table = f.Table();
        FormRTL* form = f.Open();
        SetCurrentRow(List(form), 1);
        Click(form, "CommandEdit");
        auto* d = Window<FormRTL_Type>(form);
        QCOMPARE(Text(d, "TextIV")->text(), QString::fromStdString(value));
        Click(d, "CommandOK");
        Click(form, "CommandOK");
        QCOMPARE(f.Table(), table);

        // A new signal still takes 64 typed characters at most.
        Click(form, "CommandAdd");
        d = Window<FormRTL_Type>(form);
        QTest::keyClicks(Text(d, "TextIV"), QString(70, QLatin1Char('1')));
        QCOMPARE(Text(d, "TextIV")->text().size(), 64);
    }

    void okChecksTheClockAndFitsInitialValues() {
        Fixture f({Signal("req", 0, 0, 1, "0")}, true, 1);
        const QByteArray table = f.Table();
        const QByteArray tp = f.Tp();
        FormRTL* form = f.Open();
        AddSignal(form, "a4", 1, " 4", "1", false);
        AddSignal(form, "b4", 1, " 4", "0110011", false);
        AddSignal(form, "lg", 0, nullptr, "X1", false);
        Click(form, "CommandOK");
        ExpectRefusal(f.app.ui,
                      "Please declare a signal as Clock\r\nMake a Clock signal by clicking "
                      "Add/Edit Command Buttons and Check the 'Clock Signal' Check box",
                      "Clock?");
        QVERIFY(form->isVisible());
        QCOMPARE(RowCount(List(form)), 4);
        QCOMPARE(f.Table(), table);
        QCOMPARE(f.Tp(), tp);

        AddSignal(form, "clk", 0, nullptr, "", true);
        Click(form, "CommandOK");
        QVERIFY(!form->isVisible());
        QVERIFY(f.app.main->MenuItem(AppCommand::AsmlSpecification)->isEnabled());
        QCOMPARE(f.app.main->Project().projectStage, 2);
        QCOMPARE(f.Tp(), TpRecord(f.project, true, true, 2));

        const RtlSignal expected[] = {Signal("req", 0, 0, 1, "0"), Signal("a4", 0, 1, 4, "0001"),
                                      Signal("b4", 0, 1, 4, "0011"), Signal("lg", 0, 0, 1, "1"),
                                      Signal("clk", 0, 2, 1, "1", true)};
        QByteArray bytes;
        for (const RtlSignal& s : expected) bytes += QByteArray::fromStdString(EncodeRtlSignal(s));
        const QByteArray stored = f.Table();
        QCOMPARE(stored.size(), 5 * 380);
        QCOMPARE(stored, bytes);
        // Record 3: type, index 1, width 4, name, direction, index 0, the fitted value.
        const QByteArray b4 = stored.mid(2 * 380, 380);
        QCOMPARE(b4.left(84), Padded("sc_lv", 80) + Le16(1) + Le16(4));
        QCOMPARE(b4.mid(84, 162), Padded("b4", 80) + Padded("sc_in", 80) + Le16(0));
        QCOMPARE(b4.mid(246, 134), Padded("0011", 130) + Le16(0) + Le16(0));
        QCOMPARE(stored.mid(4 * 380 + 376, 4), Le16(0xFFFF) + Le16(0));
    }

    void emptyListAndTheLimitOf25() {
        Fixture f({Signal("clk", 0, 2, 1, "1", true)}, false, 2);
        FormRTL* form = f.Open();
        Click(form, "CommandRemove");
        QVERIFY(!Control<QWidget>(form, "CommandEdit")->isEnabled());
        QVERIFY(!Control<QWidget>(form, "CommandRemove")->isEnabled());
        Click(form, "CommandOK");
        QVERIFY(!form->isVisible());
        QCOMPARE(f.Table(), QByteArray());
        QCOMPARE(f.Tp(), TpRecord(f.project, false, false, 2));
        QVERIFY(!f.app.main->Project().rtlDeclared);

        std::vector<RtlSignal> many;
        for (int i = 1; i <= 25; ++i)
            many.push_back(Signal(qPrintable(QStringLiteral("s%1").arg(i)), 0, 0, 1, "0", i == 1));
        Fixture full(many, false, 1);
        form = full.Open();
        Click(form, "CommandAdd");
        ExpectRefusal(full.app.ui, "Cannot have more than 25 Signals", "Max Signal Error");
        QVERIFY(!Window<FormRTL_Type>(form));
        QVERIFY(form->isEnabled());
        Click(form, "CommandEdit");
        auto* d = Window<FormRTL_Type>(form);
        QVERIFY(d);
        Click(d, "CommandCancel");
        Click(form, "CommandRemove");
        Click(form, "CommandAdd");
        QVERIFY(Window<FormRTL_Type>(form));
    }

    // Two ports of one name are accepted as before; a line under the list names them.
    void duplicateNamesAreWarnedUnderTheList() {
        Fixture f({Signal("clk", 0, 0, 1, "", true), Signal("ack", 1, 0, 1, ""),
                   Signal("Ack", 1, 0, 1, "")});
        FormRTL* form = f.Open();
        QVERIFY(form);
        auto* warning = Control<QLabel>(form, "LabelDuplicates");
        QVERIFY(warning);
        QVERIFY(warning->isHidden());
        AddSignal(form, "ack", 0, nullptr, "0", false);
        QVERIFY(!warning->isHidden());
        QCOMPARE(warning->text(),
                 QStringLiteral("Warning: 2 ports are named ack (rows 2 and 4): the generated "
                                "transactor declares ack more than once and does not compile; "
                                "rename all but one"));
        SetCurrentRow(List(form), 1);
        Click(form, "CommandRemove");
        QVERIFY(warning->isHidden());
        QVERIFY(f.app.ui.Messages().isEmpty());
    }

    void cancelLeavesTheFilesAlone() {
        Fixture f({Signal("clk", 0, 2, 1, "1", true), Signal("d", 1, 1, 8, "101")}, true, 2);
        const QByteArray table = f.Table();
        const QByteArray tp = f.Tp();
        FormRTL* form = f.Open();
        Click(form, "CommandRemove");
        AddSignal(form, "extra", 0, nullptr, "1", false);
        Click(form, "CommandCancel");
        QVERIFY(!form->isVisible());
        QCOMPARE(f.Table(), table);
        QCOMPARE(f.Tp(), tp);
        QVERIFY(f.app.main->MenuItem(AppCommand::RtlInterface)->isEnabled());
        QTRY_VERIFY(!f.app.main->OpenWindow());
        form = f.Open();
        QCOMPARE(RowTexts(List(form), 0).value(3), QStringLiteral("clk"));
        QCOMPARE(RowTexts(List(form), 1).value(7), QStringLiteral("101"));
    }

    void unreadableTableIsReported() {
        Fixture f({Signal("clk", 0, 2, 1, "1", true)}, false, 1);
        QVERIFY(QFile::remove(f.TablePath()));
        QVERIFY(QDir().mkdir(f.TablePath()));
        QVERIFY(!f.Open());
        QCOMPARE(f.app.ui.Messages().size(), 1);
        QVERIFY(f.app.ui.Messages().first().text.contains(QStringLiteral("rtl_sig.dat")));
        QVERIFY(f.app.main->MenuItem(AppCommand::RtlInterface)->isEnabled());
    }
};

} // namespace kestrel::test

QTEST_MAIN(kestrel::test::FormRTLTest)
#include "FormRTLTest.moc"
