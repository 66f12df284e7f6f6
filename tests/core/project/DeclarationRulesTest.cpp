// The declaration windows' rules without the windows: row texts, refusals with their
// titles and focus, the clock rule, AdjustInitValues, Remove's shift and the lists' OK.
#include "project/FunctionRules.h"
#include "project/ParameterRules.h"
#include "project/SignalRules.h"

#include "model/ProjectPaths.h"
#include "platform/FileSystem.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace kestrel {
namespace {

ParameterDraft Param(std::string name, int type, bool byRef, bool isConst, bool isArray) {
    ParameterDraft d;
    d.name = std::move(name);
    d.typeIndex = type;
    d.typeText = std::string(kCTypeNames[static_cast<std::size_t>(type)]);
    d.passIndex = byRef ? 1 : 0;
    d.passByText = std::string(kPassByEntries[d.passIndex]);
    d.isConst = isConst;
    d.isArray = isArray;
    return d;
}

void ExpectRefusal(const std::optional<InputRefusal>& r, const std::string& text,
                   const std::string& title, RefusedField field) {
    ASSERT_TRUE(r.has_value()) << text;
    EXPECT_EQ(r->text, text);
    EXPECT_EQ(r->ShownTitle(), title);
    EXPECT_EQ(r->field, field);
}

TEST(ParameterRules, RowsAndStoredTexts) {
    ParameterRow addr = BuildParameterRow(Param("addr", 4, false, false, false));
    EXPECT_EQ(ParameterRowTexts(addr),
              (ParameterColumnTexts{"int", " ", "addr", "4", "0", "0", "0"}));
    ParameterRow buf = BuildParameterRow(Param("buf", 2, true, true, true));
    EXPECT_EQ(ParameterRowTexts(buf),
              (ParameterColumnTexts{"const char", "&", "buf []", "2", "1", "1", "1"}));

    TlmParameter p;
    StoreParameterRow(buf, p);
    EXPECT_EQ(p.typeText.Text(), "char");
    EXPECT_EQ(p.passMarker.Raw().substr(0, 2), "& ");
    EXPECT_EQ(p.parameterName.Text(), "buf");
    EXPECT_TRUE(p.isConst);
    EXPECT_TRUE(p.isArray);
    EXPECT_EQ(p.typeIndex, 2);
    EXPECT_EQ(p.passIndex, 1);
    // The row shown when the dialog reopens is the row that was written.
    EXPECT_EQ(ParameterRowOf(p), buf);

    EXPECT_EQ(ParameterDialogCaption(nullptr, "  read "), "Add New Function Parameter for read ()");
    EXPECT_EQ(ParameterDialogCaption(&buf, "read"), "Edit Parameter - buf [] of Function read ()");
}

TEST(ParameterRules, Refusals) {
    // The name is checked before the type: "void" is preselected.
    ExpectRefusal(CheckParameterDraft(Param("", 0, false, false, false)), "Enter Parameter Name",
                  "Parameter Name", RefusedField::ParameterName);
    ExpectRefusal(CheckParameterDraft(Param("a", 0, false, false, false)),
                  "void parameter not supported", "void type", RefusedField::ParameterType);
    ParameterDraft typedVoid = Param("a", 0, false, false, false);
    typedVoid.typeIndex = -1; // a typed "void" is not the entry
    EXPECT_FALSE(CheckParameterDraft(typedVoid));
    EXPECT_FALSE(CheckParameterCapacity(19));
    ExpectRefusal(CheckParameterCapacity(20), "Cannot have more than 20 parameters",
                  "Max Parameter Error", RefusedField::None);
}

TEST(FunctionRules, SignatureAndListRow) {
    auto table = std::make_unique<TlmFunctionTable>();
    FunctionDraft none{"  idle", "void", 0, {}};
    ApplyFunctionDraft(*table, 0, none);
    EXPECT_EQ(FunctionListRowOf((*table)[1]).parameters, "(  )");
    EXPECT_EQ(FunctionListRowOf((*table)[1]).name, "idle");

    FunctionDraft two{"write",
                      "unsigned int",
                      7,
                      {BuildParameterRow(Param("a", 4, false, false, false)),
                       BuildParameterRow(Param("b", 2, true, true, true))}};
    ApplyFunctionDraft(*table, 0, two);
    FunctionListRow row = FunctionListRowOf((*table)[2]);
    EXPECT_EQ(row.returnType, "unsigned int");
    EXPECT_EQ(row.parameters, "( int  a, const char & b [] )");
    EXPECT_FALSE(row.isLibrary);
    EXPECT_EQ(FunctionDialogCaption(*table, 2), "Edit TLM Function Declaration - write ()");
    EXPECT_EQ(FunctionDialogCaption(*table, 0), "Add New TLM Function Declaration");

    // A 90-character name keeps its first 80 characters.
    FunctionDraft longName{std::string(90, 'n'), "void", 0, {}};
    ApplyFunctionDraft(*table, 1, longName);
    EXPECT_EQ((*table)[1].functionName.Text(), std::string(80, 'n'));
}

TEST(FunctionRules, RefusalsAndCapacity) {
    ExpectRefusal(CheckFunctionDraft(FunctionDraft{}), "Enter Function Name", "Function Name",
                  RefusedField::FunctionName);
    EXPECT_FALSE(CheckFunctionDraft(FunctionDraft{"   ", "void", 0, {}})); // blanks pass
    EXPECT_FALSE(CheckFunctionCapacity(24));
    ExpectRefusal(CheckFunctionCapacity(25), "Cannot have more than 25 Functions",
                  "Max Function Error", RefusedField::None);
    TlmFunction library;
    library.isLibrary = true;
    ExpectRefusal(CheckFunctionEditable(library),
                  "Library Functions cannot be Edited here.\r\nTo Edit Library Functions, Edit "
                  "and Re-make the corresponding Transactor Library file",
                  "Kestrel", RefusedField::None);
    EXPECT_FALSE(CheckFunctionEditable(TlmFunction{}));
}

TEST(FunctionRules, RemoveShiftsAndNewFunctionsStartWithoutDiagram) {
    auto table = std::make_unique<TlmFunctionTable>();
    for (const char* name : {"f1", "f2", "f3"})
        ApplyFunctionDraft(*table, 0, {name, "void", 0, {}});
    (*table)[3].asfFileName = "f3.asf";
    (*table)[3].fsmAssigned = true;
    RemoveFunction(*table, 1);
    ASSERT_EQ(table->count, 2);
    EXPECT_EQ((*table)[1].functionName.Text(), "f2");
    EXPECT_EQ((*table)[2].functionName.Text(), "f3");
    EXPECT_TRUE((*table)[2].fsmAssigned);
    // The slot behind the count still holds a copy of the last function ...
    EXPECT_EQ((*table)[3], (*table)[2]);
    RemoveFunction(*table, 2);
    // ... and a function added there does not inherit its diagram.
    ApplyFunctionDraft(*table, 0, {"g", "int", 4, {}});
    EXPECT_EQ(table->count, 2);
    EXPECT_EQ((*table)[2].asfFileName.Text(), "");
    EXPECT_FALSE((*table)[2].fsmAssigned);
    EXPECT_FALSE((*table)[2].isLibrary);

    // Editing keeps parameters beyond the new count in their slots, uncounted.
    FunctionDraft withTwo{"h",
                          "void",
                          0,
                          {BuildParameterRow(Param("a", 4, false, false, false)),
                           BuildParameterRow(Param("b", 4, false, false, false))}};
    ApplyFunctionDraft(*table, 1, withTwo);
    withTwo.rows.pop_back();
    ApplyFunctionDraft(*table, 1, withTwo);
    EXPECT_EQ((*table)[1].parameterCount, 1);
    EXPECT_EQ((*table)[1].parameters[2].parameterName.Text(), "b");
}

SignalDraft Filled(const std::string& name, int type, const std::string& width,
                   const std::string& init) {
    SignalDraft d = NewSignalDraft();
    d.name = name;
    SelectDataType(d, type);
    if (d.widthEnabled) d.widthText = width;
    d.initText = init;
    return d;
}

TEST(SignalRules, DialogDefaultsClockRuleAndWidthBox) {
    SignalDraft d = NewSignalDraft();
    EXPECT_EQ(d.directionText, "sc_in");
    EXPECT_EQ(d.dataTypeText, "sc_logic");
    EXPECT_EQ(d.widthText, " 1");
    EXPECT_FALSE(d.widthEnabled);
    EXPECT_EQ(d.initText, "0");
    SelectDataType(d, 1);
    EXPECT_TRUE(d.widthEnabled);
    d.widthText = "8";
    SelectDataType(d, 2);
    EXPECT_EQ(d.widthText, " 1");
    EXPECT_FALSE(d.widthEnabled);

    SetClock(d, true);
    EXPECT_EQ(d.directionIndex, 0);
    EXPECT_EQ(d.dataTypeText, "bool");
    EXPECT_EQ(d.initText, "1");
    EXPECT_FALSE(d.boxesEnabled);
    SetClock(d, false);
    EXPECT_EQ(d.dataTypeText, "sc_logic");
    EXPECT_EQ(d.initText, "0");
    EXPECT_TRUE(d.boxesEnabled);

    d.name = "  data_in ";
    ASSERT_FALSE(CheckSignalDraft(d));
    SignalRow row = BuildSignalRow(d);
    EXPECT_EQ(SignalRowTexts(row),
              (SignalColumnTexts{"sc_in", "sc_logic", "1", "data_in", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(SignalDialogCaption(&row), "Edit Signal - data_in");
    EXPECT_EQ(SignalDialogCaption(nullptr), "Add New Signal");
    // Editing a clock shows its stored value in upper case.
    SignalRow clock{"sc_in", "bool", "1", "clk", 0, 2, true, "x", false};
    SignalDraft edited = SignalDraftOf(clock);
    EXPECT_TRUE(edited.clock);
    EXPECT_EQ(edited.initText, "X");
}

TEST(SignalRules, NameAndInitialValueChecks) {
    SignalDraft empty = Filled("", 0, "", "0");
    ExpectRefusal(CheckSignalDraft(empty), "Enter Signal Name", "Signal Name",
                  RefusedField::SignalName);

    SignalDraft lower = Filled("d", 1, "4", "01x");
    ASSERT_FALSE(CheckSignalDraft(lower));
    EXPECT_EQ(BuildSignalRow(lower).initValue, "01X");

    for (const char* bad : {" 01x", "0 1", "012", "01-"}) {
        SignalDraft d = Filled("d", 1, "4", bad);
        ExpectRefusal(CheckSignalDraft(d), "Init value can contain only 1,0,X,Z", "Init value",
                      RefusedField::SignalInitValue);
    }
    SignalDraft trailing = Filled("d", 1, "4", "01 ");
    ASSERT_FALSE(CheckSignalDraft(trailing));
    EXPECT_EQ(BuildSignalRow(trailing).initValue, "01");

    SignalDraft blankInit = Filled("d", 0, "", "  ");
    ASSERT_FALSE(CheckSignalDraft(blankInit));
    EXPECT_EQ(BuildSignalRow(blankInit).initValue, "0");

    SignalDraft blanks = Filled("   ", 0, "", "z");
    ASSERT_FALSE(CheckSignalDraft(blanks));
    EXPECT_EQ(BuildSignalRow(blanks).name, "");
}

TEST(SignalRules, CapacityLibraryAndClockCheck) {
    EXPECT_FALSE(CheckSignalCapacity(24));
    ExpectRefusal(CheckSignalCapacity(25), "Cannot have more than 25 Signals", "Max Signal Error",
                  RefusedField::None);
    SignalRow library{"sc_in", "bool", "1", "x", 0, 2, false, "0", true};
    ExpectRefusal(CheckSignalEditable(library),
                  "Library RTL Ports cannot be Edited here.\r\nTo Edit Library Ports, Edit and "
                  "Re-make the corresponding Transactor Library file",
                  "Kestrel", RefusedField::None);

    EXPECT_FALSE(CheckClock({}));
    SignalRow data{"sc_in", "sc_logic", "1", "d", 0, 0, false, "0", false};
    ExpectRefusal(CheckClock({data, library}),
                  "Please declare a signal as Clock\r\nMake a Clock signal by clicking Add/Edit "
                  "Command Buttons and Check the 'Clock Signal' Check box",
                  "Clock?", RefusedField::None);
    SignalRow clock = data;
    clock.isClock = true;
    EXPECT_FALSE(CheckClock({data, clock, clock}));
}

TEST(RowTexts, ListColumnsAndBack) {
    // The width is shown as typed; flags are "0"/"1".
    SignalRow typed{"sc_out", "sc_lv", "12abc", "d", 1, 1, false, "0101", true};
    SignalColumnTexts texts = SignalRowTexts(typed);
    EXPECT_EQ(texts,
              (SignalColumnTexts{"sc_out", "sc_lv", "12abc", "d", "1", "1", "0", "0101", "1"}));
    EXPECT_EQ(SignalRowOfTexts(texts), typed);
    // Hidden texts read back as RowNumber reads them: rounded half to even, a flag only
    // when it is 1.
    SignalRow odd = SignalRowOfTexts({"", "", " 8", "", "2.5", "x", "1.0", "", "2"});
    EXPECT_EQ(odd.directionIndex, 2);
    EXPECT_EQ(odd.dataTypeIndex, 0);
    EXPECT_TRUE(odd.isClock);
    EXPECT_FALSE(odd.isLibrary);
    EXPECT_EQ(odd.width, " 8");
    EXPECT_EQ(ClampedRowNumber(40000), RowNumber("40000"));
    EXPECT_EQ(ClampedRowNumber(-40000), RowNumber("-40000"));

    // "const " and " []" belong to the shown texts only; a type that merely reads "const"
    // on a row that is not const keeps its text.
    ParameterRow constArray{"char", "&", "buf", 2, 1, true, true};
    ParameterColumnTexts shown = ParameterRowTexts(constArray);
    EXPECT_EQ(shown[0], "const char");
    EXPECT_EQ(shown[2], "buf []");
    EXPECT_EQ(ParameterRowOfTexts(shown), constArray);
    ParameterRow plain = ParameterRowOfTexts({"const int", " ", "a []", "-1", "0", "0", "0"});
    EXPECT_EQ(plain.typeText, "const int");
    EXPECT_EQ(plain.name, "a []");
    EXPECT_EQ(plain.typeIndex, -1);
    EXPECT_EQ(ParameterRowOfTexts({"const ", " ", " []", "0", "0", "1", "1"}).typeText, "");
}

TEST(SignalRules, AdjustInitValues) {
    auto table = std::make_unique<RtlSignalTable>();
    std::vector<SignalRow> rows = {
        {"sc_in", "sc_lv", "8", "a", 0, 1, false, "101", false},
        {"sc_in", "sc_lv", "8", "b", 0, 1, false, "1111000011", false},
        {"sc_out", "sc_lv", "4", "c", 1, 1, false, "0110011", false},
        {"sc_out", "sc_logic", "1", "d", 1, 0, false, "X1", false},
        {"sc_in", "bool", "1", "clk", 0, 2, true, "10", false},
        {"sc_in", "sc_lv", "0", "e", 0, 1, false, "11", false},
        {"sc_in", "sc_logic", "1", "f", 0, 0, false, "", false},
    };
    StoreSignalRows(rows, *table);
    AdjustInitValues(*table);
    ASSERT_EQ(table->count, 7);
    EXPECT_EQ((*table)[1].initValue.Text(), "00000101");
    EXPECT_EQ((*table)[2].initValue.Text(), "11000011");
    EXPECT_EQ((*table)[3].initValue.Text(), "0011");
    EXPECT_EQ((*table)[4].initValue.Text(), "1");
    EXPECT_EQ((*table)[5].initValue.Text(), "10");
    EXPECT_EQ((*table)[6].initValue.Text(), "");
    EXPECT_EQ((*table)[7].initValue.Text(), "");
    EXPECT_TRUE((*table)[5].isClock);
    EXPECT_EQ((*table)[3].directionIndex, 1);
    EXPECT_EQ((*table)[1].width, 8);
}

TEST(ListOk, SavesTablesFlagsAndStage) {
    test::TempDir dir;
    ProjectRecord record{"P", dir.str(), false, false, kStageCreated};
    ASSERT_TRUE(MakeDirectory(dir.str() + "/Input").ok());

    auto functions = std::make_unique<TlmFunctionTable>();
    ApplyFunctionDraft(*functions, 0, {"f", "void", 0, {}});
    ASSERT_TRUE(AcceptFunctionList(record, *functions).ok());
    EXPECT_TRUE(record.tlmDeclared);
    EXPECT_EQ(record.projectStage, kStageCreated);
    EXPECT_EQ(test::ReadBytes(dir.path() / "Input" / "tlm_func.dat").size(),
              TlmFunction::kRecordSize);

    // No clock: nothing is written and the record is unchanged.
    auto signals = std::make_unique<RtlSignalTable>();
    std::vector<SignalRow> rows = {{"sc_in", "sc_lv", "4", "d", 0, 1, false, "1", false}};
    CommandOutcome refused = AcceptSignalList(record, rows, *signals);
    ASSERT_TRUE(refused.refusal);
    EXPECT_EQ(refused.refusal->title, "Clock?");
    EXPECT_FALSE(FileExists(dir.str() + "/Input/rtl_sig.dat"));
    EXPECT_FALSE(record.rtlDeclared);

    rows.push_back({"sc_in", "bool", "1", "clk", 0, 2, true, "1", false});
    ASSERT_TRUE(AcceptSignalList(record, rows, *signals).ok());
    EXPECT_TRUE(record.rtlDeclared);
    EXPECT_EQ(record.projectStage, kStageDeclared);
    EXPECT_EQ((*signals)[1].initValue.Text(), "0001");
    std::string bytes = test::ReadBytes(dir.path() / "Input" / "rtl_sig.dat");
    ASSERT_EQ(bytes.size(), 2 * RtlSignal::kRecordSize);
    // Init value field of the first record: after type (80+2), width (2), name (80),
    // direction (80+2).
    EXPECT_EQ(bytes.substr(246, 5), "0001 ");
    ProjectRecord stored;
    ASSERT_TRUE(ReadProjectFile(dir.str() + "/P.tp", stored).ok());
    EXPECT_EQ(stored.projectStage, kStageDeclared);

    // An empty list clears the flag; a stage of 2 stays.
    functions->count = 0;
    ASSERT_TRUE(AcceptFunctionList(record, *functions).ok());
    EXPECT_FALSE(record.tlmDeclared);
    EXPECT_EQ(record.projectStage, kStageDeclared);
    EXPECT_EQ(test::ReadBytes(dir.path() / "Input" / "tlm_func.dat").size(), 0u);
}

} // namespace
} // namespace kestrel
