// The TLM function list, the function declaration dialog and the parameter dialog, driven
// through the main window on a project in a temporary folder: what they show, add, edit
// and remove, every refusal with its text, title, icon and focus, the limits of 25
// functions and 20 parameters, library functions, Cancel leaving the files alone and OK
// writing the table and the project file byte for byte.
#include "editors/FormTLM.h"
#include "GuiTestSupport.h"
#include "GuiText.h"
#include "editors/FormTLM_Func.h"
#include "editors/FormTLM_FuncPara.h"
#include "model/ProjectPaths.h"
#include "model/TlmFunction.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTreeView>

#include <initializer_list>

namespace kestrel::test {

namespace {

struct Param {
    int type; // position in the C type list
    bool byRef;
    const char* name;
    bool isConst = false;
    bool isArray = false;
};

TlmFunction Function(const char* name, int returnType, std::initializer_list<Param> params,
                     bool library = false) {
    TlmFunction f;
    f.functionName = name;
    f.returnTypeText = kCTypeNames[static_cast<std::size_t>(returnType)];
    f.returnTypeIndex = static_cast<std::int16_t>(returnType);
    int j = 0;
    for (const Param& p : params) {
        TlmParameter& stored = f.parameters[static_cast<std::size_t>(++j)];
        stored.typeText = kCTypeNames[static_cast<std::size_t>(p.type)];
        stored.typeIndex = static_cast<std::int16_t>(p.type);
        stored.passMarker = p.byRef ? "&" : " ";
        stored.passIndex = p.byRef ? 1 : 0;
        stored.parameterName = p.name;
        stored.isConst = p.isConst;
        stored.isArray = p.isArray;
    }
    f.parameterCount = static_cast<std::int16_t>(j);
    f.asfFileName = "";
    f.isLibrary = library;
    return f;
}

struct Fixture {
    QTemporaryDir dir;
    ProjectRecord project;
    TestApp app;

    // A project with the functions given (none: a new project that declared nothing).
    explicit Fixture(const std::vector<TlmFunction>& functions = {}, int stage = 1) {
        project = MakeProject(dir.path(), QStringLiteral("Bus"));
        if (!functions.empty() || stage != 1) {
            TlmFunctionTable table;
            for (const TlmFunction& f : functions) table[++table.count] = f;
            if (!SaveTlmFunctions(project.projectFolder, table).ok()) qFatal("cannot declare");
            project.tlmDeclared = !functions.empty();
            project.projectStage = static_cast<std::int16_t>(stage);
            if (!SaveProjectFile(project).ok()) qFatal("cannot rewrite the .tp file");
        }
        app.main->Start(TpPath(project));
    }
    FormTLM* Open() {
        app.main->RunCommand(AppCommand::TlmInterface);
        return Window<FormTLM>(app.main.get());
    }
    QString TablePath() const {
        return FromCore(InputPath(project.projectFolder, kTlmFunctionFile));
    }
    QByteArray Table() const { return FileBytes(TablePath()); }
    QByteArray Tp() const { return FileBytes(TpPath(project)); }
};

QTreeView* ListOf(QWidget* w, const char* name) {
    return Control<QTreeView>(w, name);
}

// In the function dialog: adds one parameter through the parameter dialog.
void AddParameter(FormTLM_Func* func, const char* name, int type, int passBy, bool isConst,
                  bool isArray) {
    Click(func, "CommandAdd");
    auto* para = Window<FormTLM_FuncPara>(func);
    QVERIFY(para);
    Control<QLineEdit>(para, "TextPName")->setText(QString::fromLatin1(name));
    Control<QComboBox>(para, "ComboParaType")->setCurrentIndex(type);
    Control<QComboBox>(para, "ComboPassBy")->setCurrentIndex(passBy);
    Control<QCheckBox>(para, "CheckConst")->setChecked(isConst);
    Control<QCheckBox>(para, "CheckArray")->setChecked(isArray);
    Click(para, "CommandOK");
    QVERIFY(!para->isVisible());
    QVERIFY(func->isEnabled());
}

std::vector<TlmFunction> ThreeFunctions() {
    return {Function("mem_write", 0, {{7, false, "addr"}, {7, false, "data"}}),
            Function("mem_read", 0, {{7, false, "addr"}, {2, true, "buf", true, true}}),
            Function("status", 4, {})};
}

} // namespace

class FormTLMTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void listShowsTheStoredFunctions() {
        Fixture f({Function("mem_write", 0, {{4, false, "a"}, {2, true, "b", true, true}}),
                   Function("lib_read", 4, {}, true)},
                  2);
        FormTLM* form = f.Open();
        QVERIFY(form);
        QCOMPARE(form->objectName(), QStringLiteral("FormTLM"));
        QCOMPARE(form->windowTitle(), QStringLiteral("TLM Function Declarations"));
        QVERIFY(!f.app.main->Menu("MenuTransactor")->menuAction()->isEnabled());
        QCOMPARE(form->findChild<QGroupBox*>()->title(),
                 QStringLiteral("TLM Function Declarations"));
        for (auto [name, caption] : {std::pair{"CommandAdd", "Add"},
                                     {"CommandEdit", "Edit"},
                                     {"CommandRemove", "Remove"},
                                     {"CommandOK", "OK"},
                                     {"CommandCancel", "Cancel"}})
            QCOMPARE(Control<QAbstractButton>(form, name)->text(), QString::fromLatin1(caption));

        QTreeView* list = ListOf(form, "ListViewTLM");
        QCOMPARE(list->model()->columnCount(), 3);
        const int twips[] = {2540, 2540, 7761};
        const char* headings[] = {"Return Type", "Function Name", "Function Parameters"};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(Heading(list, i), QString::fromLatin1(headings[i]));
            QCOMPARE(list->columnWidth(i), qRound(twips[i] * list->logicalDpiX() / 1440.0));
        }
        QCOMPARE(RowTexts(list, 0),
                 (QStringList{"void", "mem_write", "( int  a, const char & b [] )"}));
        QCOMPARE(RowTexts(list, 1), (QStringList{"int", "lib_read", "(  )"}));
        // The library row is light blue (0x00BBGGRR 0xFF8080) in every column.
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(Foreground(list, 1, i).color(), QColor(0x80, 0x80, 0xFF));
            QCOMPARE(Foreground(list, 0, i).style(), Qt::NoBrush);
        }
        QCOMPARE(CurrentRow(list), 0);
        QVERIFY(IsRowSelected(list, 0));
        QVERIFY(Control<QWidget>(form, "CommandEdit")->isEnabled());
        QVERIFY(Control<QWidget>(form, "CommandRemove")->isEnabled());

        // A library function is refused for editing; nothing opens.
        SetCurrentRow(list, 1);
        Click(form, "CommandEdit");
        ExpectRefusal(f.app.ui,
                      "Library Functions cannot be Edited here.\r\nTo Edit Library Functions, "
                      "Edit and Re-make the corresponding Transactor Library file",
                      "Kestrel");
        QVERIFY(!Window<FormTLM_Func>(form));
        QVERIFY(form->isEnabled());
        // It can be removed.
        Click(form, "CommandRemove");
        QCOMPARE(RowCount(list), 1);
        QCOMPARE(form->Functions().count, 1);

        // A double click edits the row.
        DoubleClick(list, 0);
        auto* func = Window<FormTLM_Func>(form);
        QVERIFY(func);
        QCOMPARE(func->windowTitle(),
                 QStringLiteral("Edit TLM Function Declaration - mem_write ()"));
        QVERIFY(!form->isEnabled());
        QVERIFY(func->isEnabled());
    }

    void emptyListWritesAnEmptyTable() {
        // A project that declared nothing reads no file.
        Fixture f;
        QVERIFY(!QFile::exists(f.TablePath()));
        FormTLM* form = f.Open();
        QTreeView* list = ListOf(form, "ListViewTLM");
        QCOMPARE(RowCount(list), 0);
        QVERIFY(!Control<QWidget>(form, "CommandEdit")->isEnabled());
        QVERIFY(!Control<QWidget>(form, "CommandRemove")->isEnabled());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(!Window<FormTLM_Func>(form));
        Click(form, "CommandOK");
        QVERIFY(f.app.ui.calls.isEmpty());
        QVERIFY(!form->isVisible());
        QVERIFY(QFile::exists(f.TablePath()));
        QCOMPARE(f.Table(), QByteArray());
        QCOMPARE(f.Tp(), TpRecord(f.project, false, false, 1));
        QVERIFY(f.app.main->MenuItem(AppCommand::TlmInterface)->isEnabled());

        // Emptying the functions of a stage-2 project leaves the stage alone.
        Fixture declared(ThreeFunctions(), 2);
        form = declared.Open();
        for (int i = 0; i < 3; ++i) Click(form, "CommandRemove");
        QVERIFY(!Control<QWidget>(form, "CommandEdit")->isEnabled());
        Click(form, "CommandOK");
        QCOMPARE(declared.Table(), QByteArray());
        QCOMPARE(declared.Tp(), TpRecord(declared.project, false, false, 2));
        QCOMPARE(declared.app.main->Project().projectStage, 2);
        QVERIFY(!declared.app.main->Project().tlmDeclared);
    }

    void addFunctionWithParameters() {
        Fixture f;
        FormTLM* form = f.Open();
        Click(form, "CommandAdd");
        auto* func = Window<FormTLM_Func>(form);
        QVERIFY(func);
        QVERIFY(!form->isEnabled());
        QCOMPARE(func->windowTitle(), QStringLiteral("Add New TLM Function Declaration"));
        QCOMPARE(func->findChild<QGroupBox*>(QStringLiteral("FrameP"))->title(),
                 QStringLiteral("Parameters"));
        auto* name = Control<QLineEdit>(func, "TextFName");
        auto* ret = Control<QComboBox>(func, "ComboRetType");
        QCOMPARE(name->text(), QString());
        QCOMPARE(LabelFor(func, "TextFName"), QStringLiteral("Function Name:"));
        QCOMPARE(LabelFor(func, "ComboRetType"), QStringLiteral("Return Type:"));
        QVERIFY(ret->isEditable());
        QCOMPARE(ret->count(), 8);
        QCOMPARE(ret->itemText(5), QStringLiteral("unsigned char"));
        QCOMPARE(ret->currentIndex(), 0);
        QCOMPARE(ret->currentText(), QStringLiteral("void"));
        QTreeView* params = ListOf(func, "ListViewPara");
        const char* headings[] = {"Type",     "PassBy",  "Name",   "ParaID",
                                  "PassByID", "isConst", "isArray"};
        const int twips[] = {2893, 2540, 5646};
        for (int i = 0; i < 7; ++i) {
            QCOMPARE(Heading(params, i), QString::fromLatin1(headings[i]));
            QCOMPARE(params->isColumnHidden(i), i >= 3);
            if (i < 3)
                QCOMPARE(params->columnWidth(i), qRound(twips[i] * params->logicalDpiX() / 1440.0));
        }
        QVERIFY(!Control<QWidget>(func, "CommandEdit")->isEnabled());

        // The parameter dialog's caption uses the name typed so far, trimmed.
        name->setText(QStringLiteral("  rd  "));
        Click(func, "CommandAdd");
        auto* para = Window<FormTLM_FuncPara>(func);
        QVERIFY(para);
        QVERIFY(!func->isEnabled());
        QCOMPARE(para->windowTitle(), QStringLiteral("Add New Function Parameter for rd ()"));
        QCOMPARE(Control<QComboBox>(para, "ComboParaType")->currentText(), QStringLiteral("void"));
        QCOMPARE(Control<QComboBox>(para, "ComboPassBy")->count(), 2);
        QCOMPARE(Control<QComboBox>(para, "ComboPassBy")->itemText(0), QStringLiteral("  (Val)"));
        QCOMPARE(Control<QComboBox>(para, "ComboPassBy")->itemText(1), QStringLiteral("& (Ref)"));
        QCOMPARE(LabelFor(para, "TextPName"), QStringLiteral("Parameter Name:"));
        QCOMPARE(LabelFor(para, "ComboParaType"), QStringLiteral("Parameter Type:"));
        QCOMPARE(LabelFor(para, "ComboPassBy"), QStringLiteral("Pass By:"));
        QCOMPARE(Control<QCheckBox>(para, "CheckConst")->text(), QStringLiteral("Use Const"));
        QCOMPARE(Control<QCheckBox>(para, "CheckArray")->text(), QStringLiteral("1D Array"));
        QVERIFY(para->findChild<QGroupBox*>(QStringLiteral("FramePara"))
                    ->isAncestorOf(Control<QWidget>(para, "TextPName")));

        // The name is checked before the type; "void" is refused with the focus on the type.
        Click(para, "CommandOK");
        ExpectRefusal(f.app.ui, "Enter Parameter Name", "Parameter Name");
        QCOMPARE(f.app.ui.Messages().size(), 1);
        QCOMPARE(para->focusWidget(), Control<QWidget>(para, "TextPName"));
        Control<QLineEdit>(para, "TextPName")->setText(QStringLiteral("addr"));
        Click(para, "CommandOK");
        ExpectRefusal(f.app.ui, "void parameter not supported", "void type");
        QCOMPARE(para->focusWidget(), Control<QWidget>(para, "ComboParaType"));
        QVERIFY(para->isVisible());
        Control<QComboBox>(para, "ComboParaType")->setCurrentIndex(4);
        Click(para, "CommandOK");
        QVERIFY(!para->isVisible());
        QVERIFY(func->isEnabled());
        QCOMPARE(RowTexts(params, 0), (QStringList{"int", " ", "addr", "4", "0", "0", "0"}));
        QVERIFY(Control<QWidget>(func, "CommandEdit")->isEnabled());

        AddParameter(func, "buf", 2, 1, true, true);
        QCOMPARE(RowTexts(params, 1),
                 (QStringList{"const char", "&", "buf []", "2", "1", "1", "1"}));

        // A typed return type is kept with the position -1.
        ret->setEditText(QStringLiteral("long"));
        Click(func, "CommandOK");
        QVERIFY(!func->isVisible());
        QVERIFY(form->isEnabled());
        QTreeView* list = ListOf(form, "ListViewTLM");
        QCOMPARE(RowTexts(list, 0),
                 (QStringList{"long", "rd", "( int  addr, const char & buf [] )"}));
        QVERIFY(Control<QWidget>(form, "CommandEdit")->isEnabled());

        // The list's OK: record 1 as the dialog wrote it, the .tp with the TLM flag set.
        Click(form, "CommandOK");
        TlmFunction expected = Function("", 0, {{4, false, "addr"}, {2, true, "buf", true, true}});
        expected.functionName = "  rd  ";
        expected.returnTypeText = "long";
        expected.returnTypeIndex = -1;
        const QByteArray table = f.Table();
        QCOMPARE(table.size(), 5458);
        QCOMPARE(table, QByteArray::fromStdString(EncodeTlmFunction(expected)));
        QCOMPARE(table.left(160), Padded("  rd", 80) + Padded("long", 80));
        QCOMPARE(table.mid(160, 2), Le16(0xFFFF));
        // Parameter 1 lies after the unused slot 0 (248 bytes).
        QCOMPARE(table.mid(164 + 248, 80), Padded("int", 80));
        QCOMPARE(table.mid(164 + 248 + 82, 80), Padded(" ", 80));
        QCOMPARE(table.mid(164 + 2 * 248 + 80 + 2, 80), Padded("&", 80));
        QCOMPARE(table.mid(164 + 2 * 248 + 244, 4), Le16(0xFFFF) + Le16(0xFFFF));
        QCOMPARE(table.mid(164 + 21 * 248, 2), Le16(2));
        QCOMPARE(f.Tp(), TpRecord(f.project, true, false, 1));
        QCOMPARE(f.app.main->Project().projectStage, 1);
        QVERIFY(f.app.main->Menu("MenuTransactor")->menuAction()->isEnabled());
    }

    // Two functions or two parameters of one name are accepted as before; a line under
    // the lists names them (no message box), and goes when the duplicate goes.
    void duplicateNamesAreWarnedUnderTheLists() {
        Fixture f({Function("write", 0, {{7, false, "addr"}, {7, false, "data"}}),
                   Function("Write", 0, {}), Function("write", 0, {}, true)},
                  2);
        FormTLM* form = f.Open();
        QVERIFY(form);
        auto* warning = Control<QLabel>(form, "LabelDuplicates");
        QVERIFY(warning);
        QVERIFY(!warning->isHidden());
        QCOMPARE(warning->text(),
                 QStringLiteral("Warning: 2 functions are named write (rows 1 and 3 (library)): "
                                "the generated transactor declares write more than once and "
                                "does not compile; rename all but one"));

        // A parameter added under a name the function has already: accepted and warned of.
        SetCurrentRow(ListOf(form, "ListViewTLM"), 0);
        Click(form, "CommandEdit");
        auto* func = Window<FormTLM_Func>(form);
        QVERIFY(func);
        auto* parameters = Control<QLabel>(func, "LabelDuplicates");
        QVERIFY(parameters);
        QVERIFY(parameters->isHidden());
        AddParameter(func, "addr", 4, 0, false, false);
        QVERIFY(!parameters->isHidden());
        QCOMPARE(parameters->text(),
                 QStringLiteral("Warning: write has 2 parameters named addr (parameters 1 and "
                                "3): its generated declaration does not compile; rename all but "
                                "one"));
        Click(func, "CommandOK");
        QVERIFY(!func->isVisible());
        QVERIFY(warning->text().contains("\nWarning: write has 2 parameters named addr"));

        // Removing the library's write leaves the parameters' warning only.
        SetCurrentRow(ListOf(form, "ListViewTLM"), 2);
        Click(form, "CommandRemove");
        QVERIFY(warning->text().startsWith("Warning: write has 2 parameters named addr"));
        QVERIFY(!warning->text().contains("functions are named"));
        QVERIFY(f.app.ui.Messages().isEmpty());
    }

    void functionDialogRefusalsAndLimits() {
        Fixture f(ThreeFunctions(), 1);
        FormTLM* form = f.Open();
        Click(form, "CommandAdd");
        auto* func = Window<FormTLM_Func>(form);
        Click(func, "CommandOK");
        ExpectRefusal(f.app.ui, "Enter Function Name", "Function Name");
        QCOMPARE(func->focusWidget(), Control<QWidget>(func, "TextFName"));
        QVERIFY(func->isVisible());
        QCOMPARE(form->Functions().count, 3);

        // 20 rows: Add is refused and opens nothing; Edit and Remove still work.
        for (int j = 1; j <= 20; ++j)
            func->AppendRow({"int", " ", "p" + std::to_string(j), 4, 0, false, false});
        func->EnDisEditRemove();
        Click(func, "CommandAdd");
        ExpectRefusal(f.app.ui, "Cannot have more than 20 parameters", "Max Parameter Error");
        QVERIFY(!Window<FormTLM_FuncPara>(func));
        QVERIFY(func->isEnabled());
        Click(func, "CommandEdit");
        auto* para = Window<FormTLM_FuncPara>(func);
        QVERIFY(para);
        Click(para, "CommandCancel");
        QVERIFY(func->isEnabled());
        Click(func, "CommandRemove");
        QCOMPARE(RowCount(ListOf(func, "ListViewPara")), 19);

        // A name of blanks passes; 90 characters are cut to 80 when stored.
        Control<QLineEdit>(func, "TextFName")->setText(QStringLiteral("   "));
        Click(func, "CommandOK");
        QVERIFY(!func->isVisible());
        QCOMPARE(RowTexts(ListOf(form, "ListViewTLM"), 3).value(1), QString());
        QCOMPARE(form->Functions()[4].parameterCount, 19);
        QCOMPARE(form->Functions()[4].parameters[19].parameterName.Text(), "p20");

        Click(form, "CommandAdd");
        func = Window<FormTLM_Func>(form);
        const QString longName = QString(QLatin1Char('n')).repeated(90);
        Control<QLineEdit>(func, "TextFName")->setText(longName);
        Click(func, "CommandOK");
        QCOMPARE(form->Functions()[5].functionName.Raw(), std::string(80, 'n'));
        QCOMPARE(RowTexts(ListOf(form, "ListViewTLM"), 4).value(1), longName.left(80));
    }

    void editKeepsWhatIsNotChanged() {
        Fixture f(ThreeFunctions(), 2);
        const QByteArray tableBefore = f.Table();
        FormTLM* form = f.Open();
        QTreeView* list = ListOf(form, "ListViewTLM");
        SetCurrentRow(list, 1);
        Click(form, "CommandEdit");
        QCOMPARE(form->SelectedTLM_FuncIndex(), 2);
        auto* func = Window<FormTLM_Func>(form);
        QCOMPARE(func->windowTitle(),
                 QStringLiteral("Edit TLM Function Declaration - mem_read ()"));
        QCOMPARE(Control<QLineEdit>(func, "TextFName")->text(), QStringLiteral("mem_read"));
        QCOMPARE(Control<QComboBox>(func, "ComboRetType")->currentIndex(), 0);
        QTreeView* params = ListOf(func, "ListViewPara");
        QCOMPARE(RowTexts(params, 0),
                 (QStringList{"unsigned int", "", "addr", "7", "0", "0", "0"}));
        QCOMPARE(RowTexts(params, 1),
                 (QStringList{"const char", "&", "buf []", "2", "1", "1", "1"}));

        // The parameter dialog on the const array, captioned with the unconfirmed name.
        Control<QLineEdit>(func, "TextFName")->setText(QStringLiteral(" mem_get "));
        SetCurrentRow(params, 1);
        Click(func, "CommandEdit");
        QCOMPARE(func->SelectedListViewParaIndex(), 2);
        auto* para = Window<FormTLM_FuncPara>(func);
        QCOMPARE(para->windowTitle(),
                 QStringLiteral("Edit Parameter - buf [] of Function mem_get ()"));
        QCOMPARE(Control<QLineEdit>(para, "TextPName")->text(), QStringLiteral("buf"));
        QCOMPARE(Control<QComboBox>(para, "ComboParaType")->currentText(), QStringLiteral("char"));
        QCOMPARE(Control<QComboBox>(para, "ComboPassBy")->currentIndex(), 1);
        QVERIFY(Control<QCheckBox>(para, "CheckConst")->isChecked());
        QVERIFY(Control<QCheckBox>(para, "CheckArray")->isChecked());
        Click(para, "CommandOK");
        QCOMPARE(RowTexts(params, 1),
                 (QStringList{"const char", "&", "buf []", "2", "1", "1", "1"}));

        // Removing a row and cancelling leaves the function with all its parameters.
        Click(func, "CommandRemove");
        QCOMPARE(RowCount(params), 1);
        Click(func, "CommandCancel");
        QVERIFY(form->isEnabled());
        QCOMPARE(form->Functions()[2], ThreeFunctions()[1]);

        // OK without changes stores the same record.
        Click(form, "CommandEdit");
        func = Window<FormTLM_Func>(form);
        Click(func, "CommandOK");
        QCOMPARE(form->Functions()[2], ThreeFunctions()[1]);
        Click(form, "CommandOK");
        QCOMPARE(f.Table(), tableBefore);

        // A typed return type shows an empty box when edited again.
        Fixture typed({Function("odd", 0, {})}, 1);
        TlmFunctionTable table;
        table[++table.count] = Function("odd", 0, {});
        table[1].returnTypeText = "long";
        table[1].returnTypeIndex = -1;
        QVERIFY(SaveTlmFunctions(typed.project.projectFolder, table).ok());
        form = typed.Open();
        QCOMPARE(RowTexts(ListOf(form, "ListViewTLM"), 0).value(0), QStringLiteral("long"));
        Click(form, "CommandEdit");
        func = Window<FormTLM_Func>(form);
        QCOMPARE(Control<QComboBox>(func, "ComboRetType")->currentIndex(), -1);
        QCOMPARE(Control<QComboBox>(func, "ComboRetType")->currentText(), QString());
    }

    void removeShiftsAndAddNeverInheritsADiagram() {
        std::vector<TlmFunction> functions = ThreeFunctions();
        functions[2].asfFileName = "status.asf";
        functions[2].fsmAssigned = true;
        Fixture f(functions, 3);
        FormTLM* form = f.Open();
        QTreeView* list = ListOf(form, "ListViewTLM");
        Click(form, "CommandRemove");
        QCOMPARE(RowCount(list), 2);
        QCOMPARE(RowTexts(list, 0).value(1), QStringLiteral("mem_read"));
        QCOMPARE(RowTexts(list, 1).value(1), QStringLiteral("status"));
        QCOMPARE(form->Functions().count, 2);
        SetCurrentRow(list, 0);
        Click(form, "CommandEdit");
        auto* func = Window<FormTLM_Func>(form);
        QCOMPARE(Control<QLineEdit>(func, "TextFName")->text(), QStringLiteral("mem_read"));
        Click(func, "CommandCancel");

        // Slot 3 still holds the copy of "status" with its diagram; a new function there
        // starts without one.
        Click(form, "CommandAdd");
        func = Window<FormTLM_Func>(form);
        Control<QLineEdit>(func, "TextFName")->setText(QStringLiteral("fresh"));
        Click(func, "CommandOK");
        Click(form, "CommandOK");
        TlmFunctionTable stored;
        QVERIFY(LoadTlmFunctions(f.project.projectFolder, stored).ok());
        QCOMPARE(stored.count, 3);
        QCOMPARE(stored[2].asfFileName.Text(), "status.asf");
        QCOMPARE(stored[3].functionName.Text(), "fresh");
        QCOMPARE(stored[3].asfFileName.Raw(), std::string(80, ' '));
        QVERIFY(!stored[3].fsmAssigned);
        QVERIFY(!stored[3].isLibrary);
        QCOMPARE(stored[3].parameterCount, 0);
        QCOMPARE(f.Tp(), TpRecord(f.project, true, false, 3));
    }

    void twentySixthFunctionIsRefused() {
        std::vector<TlmFunction> functions;
        for (int i = 1; i <= 25; ++i)
            functions.push_back(Function(qPrintable(QStringLiteral("f%1").arg(i)), 0, {}));
        Fixture f(functions, 1);
        FormTLM* form = f.Open();
        Click(form, "CommandAdd");
        ExpectRefusal(f.app.ui, "Cannot have more than 25 Functions", "Max Function Error");
        QVERIFY(!Window<FormTLM_Func>(form));
        QVERIFY(form->isEnabled());
        Click(form, "CommandEdit");
        auto* func = Window<FormTLM_Func>(form);
        QVERIFY(func);
        Click(func, "CommandCancel");
        Click(form, "CommandRemove");
        Click(form, "CommandAdd");
        QVERIFY(Window<FormTLM_Func>(form));
    }

    void cancelLeavesTheFilesAlone() {
        Fixture f(ThreeFunctions(), 1);
        const QByteArray table = f.Table();
        const QByteArray tp = f.Tp();
        FormTLM* form = f.Open();
        Click(form, "CommandRemove");
        Click(form, "CommandAdd");
        auto* func = Window<FormTLM_Func>(form);
        Control<QLineEdit>(func, "TextFName")->setText(QStringLiteral("extra"));
        Click(func, "CommandOK");
        QCOMPARE(RowCount(ListOf(form, "ListViewTLM")), 3);
        Click(form, "CommandCancel");
        QVERIFY(!form->isVisible());
        QCOMPARE(f.Table(), table);
        QCOMPARE(f.Tp(), tp);
        QVERIFY(f.app.main->MenuItem(AppCommand::TlmInterface)->isEnabled());
        QTRY_VERIFY(!f.app.main->OpenWindow());

        form = f.Open();
        QCOMPARE(RowTexts(ListOf(form, "ListViewTLM"), 0).value(1), QStringLiteral("mem_write"));
        QCOMPARE(RowCount(ListOf(form, "ListViewTLM")), 3);
    }

    void unreadableTableIsReported() {
        Fixture f(ThreeFunctions(), 1);
        QVERIFY(QFile::remove(f.TablePath()));
        QVERIFY(QDir().mkdir(f.TablePath()));
        QVERIFY(!f.Open());
        QCOMPARE(f.app.ui.Messages().size(), 1);
        QVERIFY(f.app.ui.Messages().first().text.contains(QStringLiteral("tlm_func.dat")));
        QCOMPARE(f.app.ui.Messages().first().icon, MessageIcon::Critical);
        QVERIFY(f.app.main->MenuItem(AppCommand::TlmInterface)->isEnabled());
    }
};

} // namespace kestrel::test

QTEST_MAIN(kestrel::test::FormTLMTest)
#include "FormTLMTest.moc"
