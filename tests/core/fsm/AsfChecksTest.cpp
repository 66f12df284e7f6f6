// The checks of a diagram: Generate's two refusals as errors, and a warning for every kind
// of likely mistake, each at the line and object an editor selects; a clean diagram has
// none.
#include "fsm/AsfChecks.h"
#include "fsm/AsfEdit.h"

#include "DiagramSamples.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

constexpr std::string_view kPath = "/p/Input/Send.asf";

AsfDocument Empty() {
    return sample::EmptyDiagram(kPath);
}

// The line (from 1) of an object's own record.
int LineOf(const AsfDocument& doc, AsfKind kind, ObjectNumber number) {
    std::optional<std::size_t> at = doc.Find(kind, number);
    return at ? static_cast<int>(*at + 1) : -1;
}

// The checks whose message holds `part`.
std::vector<DiagramCheck> With(const std::vector<DiagramCheck>& checks, std::string_view part) {
    std::vector<DiagramCheck> found;
    for (const DiagramCheck& c : checks)
        if (c.message.find(part) != std::string::npos) found.push_back(c);
    return found;
}

// Idle, entered from the reset, leads to the trap state Done: a machine without a check.
struct Clean {
    AsfDocument doc = Empty();
    ObjectNumber idle = 0, done = 0;
    Clean() {
        ObjectNumber reset = 0, t = 0;
        EXPECT_TRUE(AddState(doc, "Idle", {40000, 150000}, idle) &&
                    AddState(doc, "Done", {40000, 50000}, done) &&
                    SetStateKind(doc, done, AsfStateKind::Trap) &&
                    AddReset(doc, {40000, 200000}, reset) &&
                    AddTransition(doc, reset, idle, 0, std::nullopt, t) &&
                    AddTransition(doc, idle, done, 0, std::string("go = LOGIC_1"), t));
    }
};

TEST(AsfChecks, ACleanMachineHasNoCheck) {
    for (const DiagramCheck& c : CheckDiagram(Clean().doc, "Send"))
        ADD_FAILURE() << c.line << ": " << c.message;
}

TEST(AsfChecks, NoInitialOrTrapStateAreErrors) {
    AsfDocument doc = Empty();
    ObjectNumber idle = 0;
    ASSERT_TRUE(AddState(doc, "Idle", {40000, 150000}, idle));
    std::vector<DiagramCheck> checks = CheckDiagram(doc, "Send");
    ASSERT_GE(checks.size(), 2u);
    EXPECT_EQ(checks[0].severity, DiagramSeverity::Error);
    EXPECT_EQ(checks[1].severity, DiagramSeverity::Error);
    EXPECT_EQ(With(checks, "Initial State Not Defined for Send").size(), 1u);
    EXPECT_EQ(With(checks, "Trap) State Not Defined for Send").size(), 1u);
    EXPECT_EQ(DiagramCheckText(checks[0], "Send.asf").rfind("Send.asf: error: ", 0), 0u);
}

TEST(AsfChecks, LikelyMistakesAreWarningsAtTheirObjects) {
    AsfDocument doc = Empty();
    ObjectNumber idle = 0, busy = 0, lost = 0, twin = 0, done = 0, reset = 0;
    ObjectNumber toBusy = 0, toDone = 0, toDoneAgain = 0, dangling = 0, action = 0, t = 0;
    ASSERT_TRUE(AddState(doc, "Idle", {40000, 190000}, idle));
    ASSERT_TRUE(AddState(doc, "Busy", {40000, 120000}, busy));
    ASSERT_TRUE(AddState(doc, "Lost", {90000, 120000}, lost));
    ASSERT_TRUE(AddState(doc, "Busy", {140000, 120000}, twin));
    ASSERT_TRUE(AddState(doc, "Done", {40000, 50000}, done));
    ASSERT_TRUE(SetStateKind(doc, done, AsfStateKind::Trap));
    ASSERT_TRUE(AddReset(doc, {40000, 210000}, reset));
    ASSERT_TRUE(AddTransition(doc, reset, idle, 0, std::nullopt, t));
    ASSERT_TRUE(AddTransition(doc, idle, busy, 0, std::nullopt, toBusy));
    ASSERT_TRUE(AddTransition(doc, busy, done, 3, std::string("a = LOGIC_1"), toDone));
    ASSERT_TRUE(AddTransition(doc, busy, done, 3, std::string("b = LOGIC_1"), toDoneAgain));
    ASSERT_TRUE(AddTransition(doc, twin, done, 0, std::nullopt, dangling));
    ASSERT_TRUE(AddAction(doc, busy, "x := \"a\\b\"", action));
    // A transition whose end was removed behind the editor's back: only a damaged or
    // hand-written file has one.
    const std::size_t line = *doc.Find(AsfKind::Transition, dangling);
    std::string bytes = doc.Lines()[line].bytes;
    const std::string target = " " + std::to_string(done) + " ";
    bytes.replace(bytes.find(target, bytes.find(std::to_string(twin))), target.size(), " 999 ");
    doc.SetRecord(line, bytes);

    std::vector<DiagramCheck> checks = CheckDiagram(doc, "Send");
    for (const DiagramCheck& c : checks)
        EXPECT_EQ(c.severity, DiagramSeverity::Warning) << c.message;

    auto expectOne = [&](std::string_view part, ObjectNumber object, int line) {
        std::vector<DiagramCheck> found = With(checks, part);
        ASSERT_EQ(found.size(), 1u) << part;
        EXPECT_EQ(found[0].object, object) << part;
        EXPECT_EQ(found[0].line, line) << part;
    };
    expectOne("\"Lost\" cannot be reached", lost, LineOf(doc, AsfKind::State, lost));
    expectOne("Two states are named \"Busy\"", twin, LineOf(doc, AsfKind::State, twin));
    expectOne("same priority 3", toDoneAgain, LineOf(doc, AsfKind::Transition, toDoneAgain));
    expectOne("ends at object 999", dangling, LineOf(doc, AsfKind::Transition, dangling));
    expectOne("backslash", action, LineOf(doc, AsfKind::Action, action));
    // Lost has no way out; the twin only leads nowhere, which is reported above.
    EXPECT_EQ(With(checks, "\"Lost\" has no outgoing transition").size(), 1u);
    EXPECT_EQ(With(checks, "\"Idle\" has no outgoing").size(), 0u);
    EXPECT_EQ(With(checks, "\"Done\" has no outgoing").size(), 0u); // the trap state may end
}

// The machine stops as it enters the trap state, so the actions drawn on it never run;
// those of the other states do, and an empty block is not written at all.
TEST(AsfChecks, ActionsOfTheTrapStateAreWarnedOf) {
    Clean clean;
    AsfDocument& doc = clean.doc;
    const ObjectNumber done = clean.done;
    ObjectNumber running = 0, lost = 0, blank = 0;
    ASSERT_TRUE(AddAction(doc, clean.idle, "req := LOGIC_1", running));
    ASSERT_TRUE(AddAction(doc, done, "req := LOGIC_0", lost));
    ASSERT_TRUE(AddAction(doc, done, "  ", blank));

    std::vector<DiagramCheck> checks = CheckDiagram(doc, "Send");
    ASSERT_EQ(checks.size(), 1u);
    EXPECT_EQ(checks[0].severity, DiagramSeverity::Warning);
    EXPECT_EQ(checks[0].object, lost);
    EXPECT_EQ(checks[0].line, LineOf(doc, AsfKind::Action, lost));
    EXPECT_EQ(checks[0].message.rfind("The actions of the trap state \"Done\" never run", 0), 0u)
        << checks[0].message;

    // Made an ordinary state (the machine then never ends), its actions run.
    ASSERT_TRUE(SetStateKind(doc, done, AsfStateKind::Ordinary));
    EXPECT_TRUE(With(CheckDiagram(doc, "Send"), "never run").empty());
}

} // namespace
} // namespace kestrel
