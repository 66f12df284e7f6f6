// Names the generated C++ would declare twice: functions, parameters of one function,
// ports, and a port named like a function, each warning naming the duplicate and
// its rows.
#include "project/DuplicateNames.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace kestrel {
namespace {

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
