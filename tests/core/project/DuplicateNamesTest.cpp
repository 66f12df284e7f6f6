// Names the generated C++ would declare twice: functions, parameters of one function,
// ports, and a port named like a function; compared as C++ does (trimmed, case kept),
// library items counted like the project's own.
#include "project/DuplicateNames.h"

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
        std::vector<SharedName> found = FindSharedNames(c.names);
        ASSERT_EQ(found.size(), c.shared.size());
        for (std::size_t i = 0; i < found.size(); ++i) {
            EXPECT_EQ(found[i].name, c.shared[i].first);
            EXPECT_EQ(found[i].positions, c.shared[i].second);
        }
    }
}

TEST(DuplicateNames, WarningsNameTheDuplicateAndItsRows) {
    EXPECT_EQ(FunctionNameWarnings({{"write"}, {"read"}, {"write", true}}),
              std::vector<std::string>{
                  "2 functions are named write (rows 1 and 3 (library)): the generated "
                  "transactor declares write more than once and does not compile; rename all "
                  "but one"});
    EXPECT_EQ(ParameterNameWarnings("write", {"addr", "data", "addr", "addr"}),
              std::vector<std::string>{
                  "write has 3 parameters named addr (parameters 1, 3 and 4): its generated "
                  "declaration does not compile; rename all but one"});
    EXPECT_EQ(ParameterNameWarnings(" ", {"a", "a"})[0].rfind("this function has 2 ", 0), 0u);
    EXPECT_EQ(PortNameWarnings({{"clk"}, {"Clk"}, {"clk"}}),
              std::vector<std::string>{
                  "2 ports are named clk (rows 1 and 3): the generated transactor declares clk "
                  "more than once and does not compile; rename all but one"});
    EXPECT_TRUE(PortNameWarnings({{"clk"}, {"ack"}}).empty());
}

TEST(DuplicateNames, TheProjectsTablesTogether) {
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

    const std::vector<std::string> own = FunctionTableNameWarnings(*functions);
    ASSERT_EQ(own.size(), 2u);
    EXPECT_EQ(own[0].rfind("2 functions are named write (rows 1 and 3)", 0), 0u);
    EXPECT_EQ(own[1].rfind("read has 2 parameters named addr (parameters 1 and 2)", 0), 0u);
    const std::vector<std::string> ports = PortTableNameWarnings(*signals, *functions);
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_EQ(ports[0].rfind("2 ports are named ack (rows 3 and 4)", 0), 0u);
    EXPECT_EQ(ports[1], "the port read has the name of the function read: the generated "
                        "transactor class declares both and does not compile; rename one of "
                        "them");
    // The same parameter name in two functions, and Write beside write, are fine.
    functions->count = 1;
    signals->count = 1;
    EXPECT_TRUE(FunctionTableNameWarnings(*functions).empty());
    EXPECT_TRUE(PortTableNameWarnings(*signals, *functions).empty());
}

} // namespace
} // namespace kestrel
