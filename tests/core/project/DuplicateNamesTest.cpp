// Names the generated C++ would declare twice: functions, parameters of one function,
// ports, and a port named like a function; compared as C++ does (trimmed, case kept),
// library items counted like the project's own.
#include "project/DuplicateNames.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace kestrel {
namespace {

TEST(DuplicateNames, SharedNamesAreFoundAsCppReadsThem) {
    struct Case {
        const char* what;
        std::vector<DeclaredName> names;
        std::vector<std::pair<std::string, std::vector<int>>> shared;
    };
    const Case cases[] = {
        {"none", {{"read"}, {"write"}}, {}},
        {"two", {{"write"}, {"read"}, {"write"}}, {{"write", {1, 3}}}},
        {"case tells them apart", {{"Write"}, {"write"}, {"WRITE"}}, {}},
        {"blanks around a name do not", {{"write  "}, {" write"}}, {{"write", {1, 2}}}},
        {"a library item clashes too", {{"read", true}, {"read", false}}, {{"read", {1, 2}}}},
        {"three, and two pairs in order of first use",
         {{"b"}, {"a"}, {"b"}, {"a"}, {"b"}},
         {{"b", {1, 3, 5}}, {"a", {2, 4}}}},
        {"empty names are left to the windows' refusals", {{""}, {"  "}, {""}}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::pair<std::string, std::vector<int>>> found;
        for (const SharedName& s : FindSharedNames(c.names))
            found.emplace_back(s.name, s.positions);
        EXPECT_EQ(found, c.shared);
    }
}

std::string Joined(const std::vector<std::string>& warnings) {
    std::string text;
    for (const std::string& w : warnings) text += w + "\n";
    return text;
}

// The warnings name the duplicate and its rows (a library row marked), a parameter's
// function (or "this function" when it has no name yet), and a port named like a
// function; Write beside write and one parameter name in two functions are fine.
TEST(DuplicateNames, WarningsNameTheDuplicateAndItsRows) {
    auto functions = std::make_unique<TlmFunctionTable>();
    auto signals = std::make_unique<RtlSignalTable>();
    auto function = [&](const char* name, std::vector<const char*> parameters) {
        TlmFunction& f = (*functions)[++functions->count];
        f.functionName = name;
        for (const char* p : parameters)
            f.parameters[static_cast<std::size_t>(++f.parameterCount)].parameterName = p;
    };
    function("write", {"addr", "data"});
    function("read", {"addr", "addr"});
    function("write", {});
    for (const char* name : {"clk", "read", "ack", "ack", "Write"})
        (*signals)[++signals->count].signalName = name;
    const std::string warnings =
        Joined(FunctionNameWarnings({{"write"}, {"read"}, {"write", true}})) +
        Joined(ParameterNameWarnings("write", {"addr", "data", "addr", "addr"})) +
        Joined(ParameterNameWarnings(" ", {"a", "a"})) +
        Joined(PortNameWarnings({{"clk"}, {"Clk"}, {"clk"}})) +
        Joined(FunctionTableNameWarnings(*functions)) +
        Joined(PortTableNameWarnings(*signals, *functions));
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "project/duplicate_names.txt", warnings));

    EXPECT_TRUE(PortNameWarnings({{"clk"}, {"ack"}}).empty());
    functions->count = 1;
    signals->count = 1;
    EXPECT_TRUE(FunctionTableNameWarnings(*functions).empty());
    EXPECT_TRUE(PortTableNameWarnings(*signals, *functions).empty());
}

} // namespace
} // namespace kestrel
