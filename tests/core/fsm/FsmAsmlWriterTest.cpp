// The FSM-to-AsmL writer against golden files: the namespace text of a state machine
// (actions split at "\n", the priority sort, if / elseif / else chains, the fallback to
// the default state, the trap branch), a machine without initial and trap state, and the
// diagram lines the AsmL lines are traced back to.
#include "fsm/FsmAsmlWriter.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kestrel {
namespace {

std::filesystem::path Golden(const char* name) {
    return test::GoldenDir() / "fsmwriter" / name;
}

DiagramState State(ObjectNumber number, std::string name, int line) {
    DiagramState s;
    s.number = number;
    s.name = std::move(name);
    s.line = line;
    return s;
}

// States A (default), B (initial), C, T (trap) and Lone; A's transitions have priorities
// 2, 2 and 1 in file order and all carry conditions; B's first transition after sorting
// has none; C ends in an unconditioned transition.
StateMachine SampleMachine() {
    StateMachine m;
    m.states = {State(1, "A", 101), State(2, "B", 102), State(3, "C", 103), State(4, "T", 104),
                State(5, "Lone", 105)};
    m.states[0].isDefault = true;
    m.states[2].nameLine = 203; // C is named by a label
    m.states[3].isTrap = true;
    m.defaultState = 1;
    m.trapState = 4;
    m.initialState = 2;
    m.actions = {{20, 1, "x := 1\\ny := 2", 120}, {21, 2, "   ", 121}, {22, 1, "z := \\3", 122}};
    m.transitions = {{30, 1, 2, 2, 130}, {31, 1, 3, 2, 131}, {32, 1, 4, 1, 132}, {33, 2, 1, 0, 133},
                     {34, 2, 3, 1, 134}, {35, 3, 4, 0, 135}, {36, 3, 2, 5, 136}};
    m.conditions = {{40, 30, "p1", 140},   {41, 31, "p2", 141}, {42, 32, "old", 142},
                    {43, 32, "p\\3", 143}, {44, 34, "q", 144},  {45, 35, "r", 145}};
    DiagramSignal cnt;
    cnt.number = 50;
    cnt.name = "cnt";
    cnt.hasInitialValue = true;
    cnt.initialValue = "1";
    cnt.line = 150;
    DiagramSignal flag;
    flag.number = 51;
    flag.name = "flag";
    flag.line = 151;
    m.signals = {cnt, flag};
    m.constants = {{52, "MAX", "4", 152}};
    return m;
}

TEST(FsmAsmlWriter, WritesTheNamespaceOfAStateMachine) {
    FsmAsmlText out;
    out.diagramPaths.push_back("/p/Input/Read.asf");
    std::vector<DiagramProblem> problems =
        WriteFsmNamespace(SampleMachine(), "Read", "public Read ( ) ", 0, out);
    EXPECT_TRUE(problems.empty());
    EXPECT_TRUE(test::MatchesGolden(Golden("sample_machine.asml"), out.text));

    // Every line has an origin; lines made from diagram records point at them.
    ASSERT_EQ(out.origins.size(),
              static_cast<std::size_t>(std::count(out.text.begin(), out.text.end(), '\n')));
    auto originOf = [&](std::string_view line) {
        std::size_t index = 0, at = 0;
        while (true) {
            std::size_t end = out.text.find("\r\n", at);
            if (out.text.substr(at, end - at) == line) return out.origins[index];
            at = end + 2;
            ++index;
        }
    };
    EXPECT_EQ(originOf("        if ( p3 ) then").line, 143) << "the last condition of a transition";
    EXPECT_EQ(originOf("        y := 2").line, 120);
    EXPECT_EQ(originOf("  const MAX As Integer = 4").line, 152);
    EXPECT_EQ(originOf("  var CurrentState as typeState = B").line, 102);
    EXPECT_EQ(originOf("      Lone :").line, 105);
    EXPECT_EQ(originOf("      C :").line, 203);
    EXPECT_EQ(originOf("  C").line, 203);
    EXPECT_EQ(originOf("        CurrentState := A").line, 101) << "where the target's name is";
    EXPECT_EQ(originOf("          CurrentState := C").line, 203);
    EXPECT_EQ(originOf("import nsRTL").diagram, -1);
    EXPECT_EQ(originOf("        // Actions").diagram, 0);
}

TEST(FsmAsmlWriter, WithoutInitialTrapOrDefaultState) {
    StateMachine m;
    m.states = {State(1, "S1", 1), State(2, "S2", 2)};
    m.transitions = {{10, 1, 2, 0, 10}, {11, 1, 1, 0, 11}};
    m.conditions = {{12, 10, "go", 12}, {13, 11, "stay", 13}};
    FsmAsmlText out;
    out.diagramPaths.push_back("/p/Input/W.asf");
    WriteFsmNamespace(m, "W", "public W ( ) as Boolean", 0, out);
    EXPECT_TRUE(test::MatchesGolden(Golden("no_initial_trap_default.asml"), out.text));

    // An empty machine (a diagram that could not be read) still gives its namespace.
    FsmAsmlText empty;
    empty.diagramPaths.push_back("/p/Input/E.asf");
    WriteFsmNamespace(StateMachine{}, "E", "public E ( ) ", 0, empty);
    EXPECT_NE(empty.text.find("enum typeState\r\n\r\n// Function Declaration\r\n"),
              std::string::npos);
    EXPECT_TRUE(empty.text.ends_with("    match ( CurrentState )\r\n\r\n"));
}

} // namespace
} // namespace kestrel
