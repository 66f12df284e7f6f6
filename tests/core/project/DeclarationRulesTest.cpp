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

TEST(ParameterRules, RowsAndStoredTexts) {
    ParameterRow addr = BuildParameterRow(Param("addr", 4, false, false, false));
    EXPECT_EQ(ParameterRowTexts(addr),
              (ParameterColumnTexts{"int", " ", "addr", "4", "0", "0", "0"}));
    ParameterRow buf = BuildParameterRow(Param("buf", 2, true, true, true));
    EXPECT_EQ(ParameterRowTexts(buf),
              (ParameterColumnTexts{"const char", "&", "buf []", "2", "1", "1", "1"}));

    TlmParameter p;
    StoreParameterRow(buf, p);
    EXPECT_EQ(std::tuple(p.typeText.Text(), p.passMarker.Raw().substr(0, 2), p.parameterName.Text(),
                         bool(p.isConst), bool(p.isArray), p.typeIndex, p.passIndex),
              std::tuple("char", "& ", "buf", true, true, 2, 1));
    // The row shown when the dialog reopens is the row that was written.
    EXPECT_EQ(ParameterRowOf(p), buf);

    EXPECT_EQ(ParameterDialogCaption(nullptr, "  read "), "Add New Function Parameter for read ()");
    EXPECT_EQ(ParameterDialogCaption(&buf, "read"), "Edit Parameter - buf [] of Function read ()");
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

TEST(FunctionRules, RemoveShiftsAndNewFunctionsStartWithoutDiagram) {
    auto table = std::make_unique<TlmFunctionTable>();
    for (const char* name : {"f1", "f2", "f3"})
        ApplyFunctionDraft(*table, 0, {name, "void", 0, {}});
    (*table)[3].asfFileName = "f3.asf";
    (*table)[3].fsmAssigned = true;
    RemoveFunction(*table, 1);
    EXPECT_EQ(test::FunctionLines(*table),
              (std::vector<std::string>{"f2/0", "f3/0 asf=f3.asf assigned"}));
    // The slot behind the count still holds a copy of the last function ...
    EXPECT_EQ((*table)[3], (*table)[2]);
    RemoveFunction(*table, 2);
    // ... and a function added there does not inherit its diagram.
    ApplyFunctionDraft(*table, 0, {"g", "int", 4, {}});
    EXPECT_EQ(test::FunctionLines(*table), (std::vector<std::string>{"f2/0", "g/0"}));

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
    EXPECT_EQ(std::tuple(d.directionText, d.dataTypeText, d.widthText, d.widthEnabled, d.initText),
              std::tuple("sc_in", "sc_logic", " 1", false, "0"));
    SelectDataType(d, 1);
    EXPECT_TRUE(d.widthEnabled);
    d.widthText = "8";
    SelectDataType(d, 2);
    EXPECT_EQ(d.widthText, " 1");
    EXPECT_FALSE(d.widthEnabled);

    SetClock(d, true);
    EXPECT_EQ(std::tuple(d.directionIndex, d.dataTypeText, d.initText, d.boxesEnabled),
              std::tuple(0, "bool", "1", false));
    SetClock(d, false);
    EXPECT_EQ(std::tuple(d.dataTypeText, d.initText, d.boxesEnabled),
              std::tuple("sc_logic", "0", true));

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

// The refusal of a draft as "text [title] field", or the name and initial value stored.
std::string Checked(SignalDraft d) {
    if (std::optional<InputRefusal> r = CheckSignalDraft(d)) return test::Shown(r);
    SignalRow row = BuildSignalRow(d);
    return "'" + row.name + "' init " + row.initValue;
}

TEST(SignalRules, NameAndInitialValueChecks) {
    const std::string badInit = "Init value can contain only 1,0,X,Z [Init value] 7";
    // Name, data type, width, initial value; what is stored or refused.
    using Case = std::tuple<const char*, int, const char*, const char*, std::string>;
    for (const auto& [name, type, width, init, checked] :
         {Case{"", 0, "", "0", "Enter Signal Name [Signal Name] 6"},
          Case{"d", 1, "4", "01x", "'d' init 01X"}, Case{"d", 1, "4", " 01x", badInit},
          Case{"d", 1, "4", "0 1", badInit}, Case{"d", 1, "4", "012", badInit},
          Case{"d", 1, "4", "01-", badInit}, Case{"d", 1, "4", "01 ", "'d' init 01"},
          Case{"d", 0, "", "  ", "'d' init 0"}, Case{"   ", 0, "", "z", "'' init Z"}})
        EXPECT_EQ(Checked(Filled(name, type, width, init)), checked) << init;
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
    EXPECT_EQ(SignalRowOfTexts({"", "", " 8", "", "2.5", "x", "1.0", "", "2"}),
              (SignalRow{"", "", " 8", "", 2, 0, true, "", false}));
    EXPECT_EQ(ClampedRowNumber(40000), RowNumber("40000"));
    EXPECT_EQ(ClampedRowNumber(-40000), RowNumber("-40000"));

    // "const " and " []" belong to the shown texts only; a type that merely reads "const"
    // on a row that is not const keeps its text.
    ParameterRow constArray{"char", "&", "buf", 2, 1, true, true};
    ParameterColumnTexts shown = ParameterRowTexts(constArray);
    EXPECT_EQ(shown[0], "const char");
    EXPECT_EQ(shown[2], "buf []");
    EXPECT_EQ(ParameterRowOfTexts(shown), constArray);
    EXPECT_EQ(ParameterRowOfTexts({"const int", " ", "a []", "-1", "0", "0", "0"}),
              (ParameterRow{"const int", " ", "a []", -1, 0, false, false}));
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
    EXPECT_EQ(
        test::SignalLines(*table),
        (std::vector<std::string>{"a 0 init=00000101", "b 0 init=11000011", "c 1 init=0011",
                                  "d 1 init=1", "clk 0 init=10 clock", "e 0 init=", "f 0 init="}));
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

// Every refusal of the rules, with its title and field, and the checks that pass ("-"):
// the parameter's name is checked before its type ("void" is preselected, a typed "void"
// is not the entry); the capacities; library items; the clock rule (a list of
// clocks passes).
TEST(DeclarationRules, Refusals) {
    std::string listed;
    auto add = [&](const char* what, const std::optional<InputRefusal>& r) {
        listed += std::string(what) + ": " + test::Shown(r) + "\n";
    };
    add("parameter without name", CheckParameterDraft(Param("", 0, false, false, false)));
    add("void parameter", CheckParameterDraft(Param("a", 0, false, false, false)));
    ParameterDraft typedVoid = Param("a", 0, false, false, false);
    typedVoid.typeIndex = -1;
    add("typed void", CheckParameterDraft(typedVoid));
    add("19 parameters", CheckParameterCapacity(19));
    add("20 parameters", CheckParameterCapacity(20));
    add("function without name", CheckFunctionDraft(FunctionDraft{}));
    add("function named blanks", CheckFunctionDraft(FunctionDraft{"   ", "void", 0, {}}));
    add("24 functions", CheckFunctionCapacity(24));
    add("25 functions", CheckFunctionCapacity(25));
    TlmFunction library;
    library.isLibrary = true;
    add("library function", CheckFunctionEditable(library));
    add("own function", CheckFunctionEditable(TlmFunction{}));
    add("24 signals", CheckSignalCapacity(24));
    add("25 signals", CheckSignalCapacity(25));
    SignalRow port{"sc_in", "bool", "1", "x", 0, 2, false, "0", true};
    add("library port", CheckSignalEditable(port));
    add("no signals", CheckClock({}));
    SignalRow data{"sc_in", "sc_logic", "1", "d", 0, 0, false, "0", false};
    add("no clock", CheckClock({data, port}));
    SignalRow clock = data;
    clock.isClock = true;
    add("two clocks", CheckClock({data, clock, clock}));
    EXPECT_TRUE(
        test::MatchesGolden(test::GoldenDir() / "project/declaration_refusals.txt", listed));
}

} // namespace
} // namespace kestrel
