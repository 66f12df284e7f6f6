// The warnings for AsmL that translates but does not compile or behave: each rule on the
// line that breaks it with the form to write instead, the correct forms that must stay
// silent, the section's end, and the warnings of the function and port declarations.
#include "translator/AsmlLint.h"
#include "codegen/DeclarationHelpers.h"

#include "TestSupport.h"
#include "TranslatorHarness.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrel {
namespace {

// Function 1 is Read (count, buf as an array), as the transactor sees its ports: ack and
// rdata come from the RTL design, addr, req and en go to it, clk is the clock.
PreparedTables LintTables() {
    PreparedTables tables;
    TlmFunction& read = tables.functions[1];
    read.functionName = "Read";
    read.returnTypeText = "void";
    read.parameters[1].parameterName = "count";
    read.parameters[2].parameterName = "buf";
    read.parameters[2].isArray = true;
    read.parameterCount = 2;
    tables.functions.count = 1;
    using Port = std::tuple<const char*, int, int>; // name, data type, direction
    const Port ports[] = {{"ack", 0, 0}, {"rdata", 1, 0}, {"addr", 1, 1}, {"req", 0, 1},
                          {"en", 2, 1},  {"flag", 2, 0},  {"clk", 2, 0}};
    int slot = 0;
    for (const auto& [name, type, direction] : ports) {
        RtlSignal& signal = tables.signals[++slot];
        signal.signalName = name;
        signal.dataTypeIndex = static_cast<std::int16_t>(type);
        signal.directionIndex = static_cast<std::int16_t>(direction);
        signal.isClock = std::string_view(name) == "clk";
    }
    tables.signals.count = static_cast<std::int16_t>(slot);
    return tables;
}

// The warnings of the lines as the section of Read (line 0 is its namespace line).
std::vector<AsmlWarning> Lint(const std::vector<std::string>& body, const PreparedTables& tables) {
    std::vector<std::string> text = {"namespace nsRead"};
    text.insert(text.end(), body.begin(), body.end());
    std::vector<std::string_view> lines(text.begin(), text.end());
    return LintSection(lines, 1, tables, 1);
}

std::string Listed(const std::vector<AsmlWarning>& warnings) {
    std::string text;
    for (const AsmlWarning& w : warnings) text += std::to_string(w.line) + ": " + w.message + "\n";
    return text;
}

// Each rule on a section that breaks it once, with the form to write instead; the forms
// to write and near misses of every rule, silent; tabs in the indentation; wide vectors
// (toInt and toLv go through an unsigned int); when a vector variable counts as driven;
// and the section's end. Sections whose name starts with "wide" see rdata (from the RTL)
// 40 bits wide and addr (to it) 100.
TEST(AsmlLint, EverySectionOfTheGoldenFileWarnsAsRecorded) {
    const std::filesystem::path dir = test::GoldenDir() / "translator";
    const auto sections = test::ReadSections(test::ReadBytes(dir / "lint_rules.asml"));
    ASSERT_GT(sections.size(), 20u);
    PreparedTables wide = LintTables();
    wide.signals[2].width = 40;
    wide.signals[3].width = 100;
    std::string listed;
    for (const auto& [name, body] : sections)
        listed += "=== " + name + "\n" +
                  Listed(Lint(body, name.starts_with("wide") ? wide : LintTables()));
    EXPECT_TRUE(test::MatchesGolden(dir / "lint_rules.expected", listed));
}

TlmFunction Declared(const char* name, const char* returnType) {
    TlmFunction function;
    function.functionName = name;
    function.returnTypeText = returnType;
    return function;
}

void AddParameter(TlmFunction& function, const char* type, const char* name, bool byReference,
                  bool isArray, bool isConst = false) {
    TlmParameter& p = function.parameters[static_cast<std::size_t>(++function.parameterCount)];
    p.typeText = type;
    p.parameterName = name;
    p.passMarker = byReference ? "&" : " ";
    p.passIndex = byReference ? 1 : 0;
    p.isArray = isArray;
    p.isConst = isConst;
}

std::string Joined(const std::vector<std::string>& warnings) {
    std::string text;
    for (const std::string& w : warnings) text += w + "\n";
    return text;
}

// Write (an array by value, a reference), Load (returns int, an array by reference) and
// Odd (no return type); the template method fills no body, so only the array of
// references is left.
TEST(AsmlLint, FunctionDeclarations) {
    TlmFunctionTable functions;
    functions[1] = Declared("Write", "void");
    AddParameter(functions[1], "unsigned char", "data", false, true);
    AddParameter(functions[1], "unsigned int", "waits", true, false);
    functions[2] = Declared("Load", "int");
    AddParameter(functions[2], "short", "table", true, true, true);
    functions[3] = Declared("Odd", "");
    functions.count = 3;
    EXPECT_TRUE(test::MatchesGolden(
        test::GoldenDir() / "translator/lint_functions.expected",
        "translated:\n" + Joined(FunctionDeclarationWarnings(functions, true)) + "template:\n" +
            Joined(FunctionDeclarationWarnings(functions, false))));
}

// A bool port the transactor drives takes 0 or 1; X and Z become SC_LOGIC_X and
// SC_LOGIC_Z, which the compatibility header lets a bool take (SystemC warns at run
// time). Ports the transactor reads, other types and the clock are never warned about.
TEST(AsmlLint, BoolPortsTheTransactorDrivesTakeZeroOrOne) {
    // Name, data type, direction as declared for the RTL design, initial value, clock.
    using Port = std::tuple<const char*, int, int, const char*, bool>;
    const Port ports[] = {
        {"en0", 2, 0, "0", false},   {"en1", 2, 0, "1", false},     {"enx", 2, 0, "X", false},
        {"enz", 2, 0, "Z", false},   {"vec", 2, 0, "0Z0Z", false},  {"num", 2, 0, "10", false},
        {"none", 2, 0, "", false},   {"fromRtl", 2, 1, "X", false}, {"both", 2, 2, "Z", false},
        {"logic", 0, 0, "X", false}, {"lv", 1, 0, "XZ", false},     {"clk", 2, 0, "Z", true},
    };
    RtlSignalTable signals;
    for (const auto& [name, type, direction, init, clock] : ports) {
        RtlSignal& s = signals[++signals.count];
        s.signalName = name;
        s.dataTypeIndex = static_cast<std::int16_t>(type);
        s.directionIndex = static_cast<std::int16_t>(direction);
        s.initValue = init;
        s.isClock = clock;
    }
    ReverseDirections(signals);
    NormalizeInitValues(signals);
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "translator/lint_ports.expected",
                                    Joined(PortDeclarationWarnings(signals))));
}

TEST(AsmlLint, VisibleTextWritesControlCharactersOut) {
    EXPECT_EQ(VisibleText("a\tb\r\nc\x01\x7F"), "a\\tb\\r\\nc\\x01\\x7F");
    EXPECT_EQ(VisibleText("caf\xE9 \"x\""), "caf\xE9 \"x\"");
}

} // namespace
} // namespace kestrel
