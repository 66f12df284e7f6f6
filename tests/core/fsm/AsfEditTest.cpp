// The editing operations: diagrams built only through them read back through the diagram
// reader as exactly what was drawn; the MemReqAck diagrams redrawn from their ports give
// the AsmL of the originals; changes touch only the words they change; deletions take
// what hangs on an object along; bad values and full tables are refused with the file's
// name and leave the document as it was.
#include "fsm/AsfEdit.h"
#include "fsm/AsfModel.h"
#include "fsm/AsfReader.h"
#include "fsm/FsmAsmlWriter.h"

#include "DiagramSamples.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <tuple>

namespace kestrel {
namespace {

constexpr std::string_view kPath = "/p/Input/Send.asf";

AsfDocument Empty() {
    return sample::EmptyDiagram(kPath);
}

StateMachine Read(const AsfDocument& doc) {
    DiagramReading reading = ReadMachine(doc, "Send");
    for (const DiagramProblem& p : reading.problems) ADD_FAILURE() << p.line << ": " << p.message;
    return reading.machine;
}

#define OK(call)                                                                                   \
    do {                                                                                           \
        Status s_ = (call);                                                                        \
        ASSERT_TRUE(s_) << s_.message();                                                           \
    } while (false)

// A diagram drawn through the operations only: three states of each kind, a reset, a
// self-loop with a priority, a two-line action, a condition, a signal and a constant.
struct Drawn {
    AsfDocument doc = Empty();
    ObjectNumber idle = 0, busy = 0, done = 0, reset = 0, start = 0, go = 0, loop = 0, finish = 0,
                 action = 0, count = 0, max = 0;
    void Draw() {
        OK(AddState(doc, "Idle", {40000, 190000}, idle));
        OK(AddState(doc, "Busy", {40000, 120000}, busy));
        OK(AddState(doc, "Done", {40000, 50000}, done));
        OK(SetStateKind(doc, idle, AsfStateKind::Default));
        OK(SetStateKind(doc, done, AsfStateKind::Trap));
        OK(AddReset(doc, {40000, 210000}, reset));
        OK(AddTransition(doc, reset, idle, 0, std::nullopt, start));
        OK(AddTransition(doc, idle, busy, 1, std::string("go = LOGIC_1"), go));
        OK(AddTransition(doc, busy, busy, 4095, std::string("count < MAX"), loop));
        OK(AddTransition(doc, busy, done, 2, std::nullopt, finish));
        OK(AddAction(doc, busy, "count := count + 1\nready := LOGIC_0", action));
        OK(AddSignal(doc, "count", "0", count));
        OK(AddConstant(doc, "MAX", "10", max));
    }
};

TEST(AsfEdit, DrawnDiagramReadsBackAsDrawn) {
    Drawn d;
    d.Draw();
    StateMachine m = Read(d.doc);
    ASSERT_EQ(m.states.size(), 3u);
    EXPECT_EQ(m.states[0].name + m.states[2].name, "IdleDone");
    EXPECT_EQ(std::tuple(m.defaultState, m.trapState, m.initialState), std::tuple(1u, 3u, 1u));
    EXPECT_EQ(m.resetObject, d.reset);
    ASSERT_EQ(m.transitions.size(), 4u);
    const DiagramTransition& loop = m.transitions[2];
    EXPECT_EQ(std::tuple(loop.source, loop.target, loop.priority),
              std::tuple(d.busy, d.busy, 4095));
    ASSERT_EQ(m.conditions.size(), 2u);
    EXPECT_EQ(m.conditions[1].transition, d.loop);
    EXPECT_EQ(m.conditions[1].text, "count < MAX");
    ASSERT_EQ(m.actions.size(), 1u);
    EXPECT_EQ(m.actions[0].text, "count := count + 1\\nready := LOGIC_0");
    ASSERT_TRUE(m.signals.size() == 1u && m.constants.size() == 1u);
    EXPECT_EQ(m.signals[0].name + " " + m.signals[0].initialValue, "count 0");
    EXPECT_EQ(m.constants[0].name + " " + m.constants[0].value, "MAX 10");
    // Numbers start at the header's FREEOID, which stays above all of them.
    EXPECT_EQ(d.idle, 60);
    EXPECT_GT(d.doc.FreeOid(), d.doc.HighestNumber());
}

TEST(AsfEdit, ChangesReadBackAndTouchOnlyTheirWords) {
    Drawn d;
    d.Draw();
    OK(RenameState(d.doc, d.busy, "Working hard"));
    OK(SetTransitionPriority(d.doc, d.finish, 7));
    OK(SetTransitionCondition(d.doc, d.go, std::string("go = LOGIC_1 and\nready = LOGIC_1")));
    OK(SetTransitionCondition(d.doc, d.loop, std::nullopt));
    OK(ReconnectTransition(d.doc, d.finish, d.idle, d.done));
    OK(EditAction(d.doc, d.action, "count := 0"));
    OK(EditSignal(d.doc, d.count, "n", ""));
    OK(EditConstant(d.doc, d.max, "LIMIT", "3"));
    OK(SetStateKind(d.doc, d.idle, AsfStateKind::Ordinary));
    StateMachine m = Read(d.doc);
    EXPECT_EQ(m.states[1].name, "Working hard");
    EXPECT_EQ(m.defaultState, 0u);
    EXPECT_EQ(std::pair(m.transitions[3].priority, m.transitions[3].source), std::pair(7L, d.idle));
    ASSERT_EQ(m.conditions.size(), 1u);
    EXPECT_EQ(m.conditions[0].text, "go = LOGIC_1 and\\nready = LOGIC_1");
    EXPECT_EQ(m.actions[0].text, "count := 0");
    EXPECT_TRUE(m.signals[0].name == "n" && !m.signals[0].hasInitialValue);
    EXPECT_EQ(m.constants[0].name + " " + m.constants[0].value, "LIMIT 3");

    // A state record of the diagram editor keeps its other words and its high flag bits.
    AsfDocument doc;
    OK(AsfDocument::Load("VERSION=1.19\r\nOBJECTS\r\nS 7 0 4096 ELLIPSE 9,9,9 x | 5,5 6000,6000\r\n"
                         "L 8 7 0 TEXT \"State Labels\" | 5,5 7 7 7 \"A\"\r\nEND\r\n",
                         kPath, doc));
    OK(SetStateKind(doc, 7, AsfStateKind::Trap));
    OK(RenameState(doc, 7, "B c"));
    OK(MoveState(doc, 7, {15, 25}));
    EXPECT_EQ(doc.Bytes(),
              "VERSION=1.19\r\nOBJECTS\r\nS 7 0 4098 ELLIPSE 9,9,9 x | 15,25 6000,6000\r\n"
              "L 8 7 0 TEXT \"State Labels\" | 15,25 7 7 7 \"B c\"\r\nEND\r\n");
}

TEST(AsfEdit, SameValuesChangeNoByte) {
    Drawn d;
    d.Draw();
    const std::string before = d.doc.Bytes();
    OK(RenameState(d.doc, d.busy, "Busy"));
    OK(MoveState(d.doc, d.busy, {40000, 120000}));
    OK(SetStateKind(d.doc, d.done, AsfStateKind::Trap));
    OK(SetTransitionPriority(d.doc, d.loop, 4095));
    OK(SetTransitionCondition(d.doc, d.go, std::string("go = LOGIC_1")));
    OK(SetTransitionCondition(d.doc, d.start, std::nullopt));
    OK(ReconnectTransition(d.doc, d.loop, d.busy, d.busy));
    OK(EditAction(d.doc, d.action, "count := count + 1\r\nready := LOGIC_0"));
    OK(EditSignal(d.doc, d.count, "count", "0"));
    OK(EditConstant(d.doc, d.max, "MAX", "10"));
    OK(ApplyDiagramModel(d.doc, DescribeDiagram(d.doc)));
    EXPECT_EQ(d.doc.Bytes(), before);
}

// Records too short for their text (damaged or hand-written files) read as an empty text:
// setting the empty text they are described with changes no byte either.
TEST(AsfEdit, RecordsWithoutTheirTextKeepTheirBytes) {
    AsfDocument doc;
    ASSERT_TRUE(AsfDocument::Load("VERSION=1.19\r\nOBJECTS\r\nS 16 0 40\r\nA se\r\n"
                                  "W 17 0 0 16 16\r\nC 18 17\r\nL 19 16\r\nEND\r\n",
                                  kPath, doc));
    const std::string before = doc.Bytes();
    OK(ApplyDiagramModel(doc, DescribeDiagram(doc)));
    EXPECT_EQ(doc.Bytes(), before);
    OK(EditAction(doc, 0, ""));
    OK(SetTransitionCondition(doc, 17, std::string()));
    EXPECT_EQ(doc.Bytes(), before);
}

TEST(AsfEdit, MovingAStateTakesItsLabelActionsAndTransitionEnds) {
    Drawn d;
    d.Draw();
    auto at = [&](AsfKind kind, ObjectNumber n) {
        return d.doc.Lines()[*d.doc.Find(kind, n)].geometry;
    };
    std::vector<AsfPoint> action = at(AsfKind::Action, d.action),
                          go = at(AsfKind::Transition, d.go),
                          loop = at(AsfKind::Transition, d.loop);
    OK(MoveState(d.doc, d.busy, {50000, 100000}));
    EXPECT_EQ(at(AsfKind::State, d.busy)[0], (AsfPoint{50000, 100000}));
    EXPECT_EQ(at(AsfKind::Action, d.action)[0],
              (AsfPoint{action[0].x + 10000, action[0].y - 20000}));
    EXPECT_EQ(at(AsfKind::Transition, d.go)[0], go[0]); // its start stays at Idle
    EXPECT_EQ(at(AsfKind::Transition, d.go)[1], (AsfPoint{go[1].x + 10000, go[1].y - 20000}));
    EXPECT_EQ(at(AsfKind::Transition, d.loop)[0], (AsfPoint{loop[0].x + 10000, loop[0].y - 20000}));
    EXPECT_EQ(d.doc.Lines()[*d.doc.NameLabel(d.busy)].geometry[0], (AsfPoint{50000, 100000}));
}

TEST(AsfEdit, DeletingTakesAlongWhatHangsOnIt) {
    Drawn d;
    d.Draw();
    OK(DeleteState(d.doc, d.busy));
    StateMachine m = Read(d.doc);
    ASSERT_EQ(m.states.size(), 2u);
    ASSERT_EQ(m.transitions.size(), 1u); // only the reset's transition is left
    EXPECT_EQ(m.transitions[0].number, d.start);
    EXPECT_TRUE(m.conditions.empty());
    EXPECT_TRUE(m.actions.empty());
    EXPECT_EQ(m.labels.size(), 4u); // Idle, Done, count, MAX
    OK(RemoveReset(d.doc));
    OK(DeleteSignal(d.doc, d.count));
    OK(DeleteConstant(d.doc, d.max));
    const StateMachine left = ReadMachine(d.doc, "Send").machine;
    EXPECT_TRUE(left.transitions.empty() && left.signals.empty() && left.constants.empty());
    EXPECT_EQ(left.labels.size(), 2u);
    // FREEOID does not go back: numbers once handed out are not handed out again.
    EXPECT_GT(d.doc.FreeOid(), d.max);
}

TEST(AsfEdit, RefusalsNameTheFileAndChangeNothing) {
    Drawn d;
    d.Draw();
    const std::string before = d.doc.Bytes();
    ObjectNumber n = 0;
    std::vector<Status> refused = {
        SetTransitionPriority(d.doc, d.go, 4096),
        SetTransitionPriority(d.doc, d.go, -1),
        AddTransition(d.doc, d.idle, 999, 0, std::nullopt, n),
        AddTransition(d.doc, d.idle, d.busy, 5000, std::nullopt, n),
        ReconnectTransition(d.doc, d.go, d.idle, d.count), // a signal is no state
        AddState(d.doc, "two\nlines", {1, 1}, n),
        AddState(d.doc, "  ", {1, 1}, n),
        AddState(d.doc, std::string(300, 'x'), {1, 1}, n),
        AddAction(d.doc, d.idle, std::string(9000, 'x'), n),
        AddAction(d.doc, 999, "x := 1", n),
        AddSignal(d.doc, "v", "1 2", n),
        AddConstant(d.doc, "A = B", "1", n),
        AddReset(d.doc, {1, 1}, n),
        RenameState(d.doc, 999, "X"),
        DeleteState(d.doc, d.count),
        MoveState(d.doc, d.idle, {1'000'000'000'000, 0}),
    };
    for (const Status& s : refused) {
        EXPECT_FALSE(s);
        EXPECT_NE(s.message().find(kPath), std::string::npos) << s.message();
    }
    EXPECT_EQ(d.doc.Bytes(), before);
}

// A new object never takes a number that a left-over label or transition refers to.
TEST(AsfEdit, NewNumbersStayClearOfHangingReferences) {
    AsfDocument doc;
    OK(AsfDocument::Load("VERSION=1.19\nHEADER\nFREEOID=7\nEND\nOBJECTS\n"
                         "L 5 900 0 TEXT \"State Labels\" | 1,1 1 0 0 \"Ghost\"\n"
                         "W 6 0 1 3 950 BEZIER | 1,1 2,2\nEND\n",
                         kPath, doc));
    ObjectNumber n = 0;
    OK(AddState(doc, "Real", {1, 1}, n));
    EXPECT_EQ(n, 951);
    EXPECT_EQ(doc.FreeOid(), 953);
    EXPECT_EQ(ReadMachine(doc, "Send").machine.states[0].name, "Real");
    EXPECT_NE(doc.Bytes().find("\"Real\"\nEND\n"), std::string::npos); // the file's own line ends
}

TEST(AsfEdit, FullTablesAreRefused) {
    AsfDocument doc = Empty();
    ObjectNumber n = 0;
    for (std::size_t i = 0; i < 25; ++i) OK(AddSignal(doc, "s" + std::to_string(i), "", n));
    EXPECT_FALSE(AddSignal(doc, "one more", "", n));
    for (std::size_t i = 0; i < 25; ++i) OK(AddState(doc, "S" + std::to_string(i), {1, 1}, n));
    // 50 labels now: a state needs one more.
    Status full = AddState(doc, "S25", {1, 1}, n);
    EXPECT_NE(full.message().find("at most 50 labels"), std::string::npos) << full.message();
    const ObjectNumber state = n;
    for (std::size_t i = 0; i < 25; ++i) OK(AddTransition(doc, state, state, 0, std::nullopt, n));
    EXPECT_FALSE(AddTransition(doc, state, state, 0, std::nullopt, n)); // 25 out of one state
}

// The AsmL the FSM route writes for a diagram, with the number of its reading problems.
std::pair<std::size_t, std::string> Asml(std::string_view bytes) {
    DiagramReading reading = ReadAsfDiagram(bytes, kPath, "F");
    FsmAsmlText out;
    out.diagramPaths.push_back(std::string(kPath));
    (void)WriteFsmNamespace(reading.machine, "F", "public F ( ) ", 0, out);
    return {reading.problems.size(), out.text};
}

// Each MemReqAck diagram, its drawing deleted and drawn again through the operations
// from what it showed, gives the same AsmL as the original.
TEST(AsfEdit, RedrawnExamplesGiveTheSameAsml) {
    for (const char* name : {"Read", "Write"}) {
        SCOPED_TRACE(name);
        const std::string original =
            test::ReadBytes(test::GoldenDir().parent_path().parent_path() /
                            "examples/MemReqAck/Input" / (std::string(name) + ".asf"));
        AsfDocument doc;
        OK(AsfDocument::Load(original, kPath, doc));
        sample::RedrawFromScratch(doc);
        EXPECT_EQ(DescribeDiagram(doc).ports.size(), 7u);
        EXPECT_EQ(Asml(doc.Bytes()), Asml(original));
        EXPECT_GT(doc.FreeOid(), doc.HighestNumber());
    }
}

// Every conformance diagram emptied and drawn again from its own model, all objects new,
// gives the AsmL of the original.
TEST(AsfEdit, ConformanceDiagramsRedrawnFromTheirModelGiveTheSameAsml) {
    const std::filesystem::path conformance = test::ConformanceDir();
    if (conformance.empty()) GTEST_SKIP() << "no conformance cases here";
    std::size_t loaded = 0, redrawn = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(conformance)) {
        if (entry.path().extension() != ".asf") continue;
        const std::string original = test::ReadBytes(entry.path());
        AsfDocument doc;
        if (!AsfDocument::Load(original, kPath, doc)) continue;
        ++loaded;
        const DiagramModel model = DescribeDiagram(doc);
        if (!ApplyDiagramModel(doc, DiagramModel{})) continue;
        EXPECT_TRUE(DescribeDiagram(doc).states.empty());
        if (!ApplyDiagramModel(doc, model)) continue; // a transition to no object
        EXPECT_EQ(Asml(doc.Bytes()).second, Asml(original).second) << entry.path();
        ++redrawn;
    }
    EXPECT_GE(redrawn * 10, loaded * 9) << redrawn << " of " << loaded;
}

TEST(AsfEdit, ModelPutsListsInItsOrderAndLaysOutNewStates) {
    Drawn d;
    d.Draw();
    DiagramModel m = DescribeDiagram(d.doc);
    std::swap(m.states[0], m.states[2]);
    m.states.push_back({std::nullopt, "Extra", AsfStateKind::Ordinary, std::nullopt});
    m.states.push_back({1000, "Other", AsfStateKind::Ordinary, std::nullopt});
    m.transitions.push_back({std::nullopt, 1000, *m.states[0].id, 3, std::string("x = 1")});
    m.actions.clear();
    OK(ApplyDiagramModel(d.doc, m));
    StateMachine sm = Read(d.doc);
    ASSERT_EQ(sm.states.size(), 5u);
    EXPECT_EQ(sm.states[0].name, "Done");
    EXPECT_EQ(sm.states[2].name, "Idle");
    EXPECT_EQ(sm.states[3].name, "Extra");
    EXPECT_TRUE(sm.actions.empty());
    const DiagramModel after = DescribeDiagram(d.doc);
    EXPECT_NE(after.states[3].at, after.states[4].at); // laid out apart
    EXPECT_EQ(after.transitions.back().from, *after.states[4].id);
    EXPECT_EQ(after.transitions.back().condition, "x = 1");

    const std::string before = d.doc.Bytes();
    DiagramModel bad = after;
    bad.actions.push_back({std::nullopt, 4242, "x := 1"});
    Status refused = ApplyDiagramModel(d.doc, bad);
    EXPECT_NE(refused.message().find("actions[0]"), std::string::npos) << refused.message();
    EXPECT_EQ(d.doc.Bytes(), before);
}

// A model without places drawn as one would by hand: the states down one column, the reset
// just above the state it enters, each action block on the right of its state and clear of
// a self-loop there, so that no block covers a transition or its condition.
TEST(AsfEdit, AModelWithoutPlacesIsLaidOutDownTheColumn) {
    AsfDocument doc = Empty();
    DiagramModel m;
    for (ObjectNumber id : {100, 101, 102})
        m.states.push_back({id, "S" + std::to_string(id), AsfStateKind::Ordinary, std::nullopt});
    m.reset = ModelReset{103, std::nullopt};
    m.transitions = {{104, 103, 100, 1, std::nullopt},
                     {105, 100, 101, 1, std::nullopt},
                     {106, 100, 102, 1, std::string("ack = LOGIC_1")},
                     {107, 100, 100, 2, std::nullopt}};
    m.actions = {{108, 101, "a := 1"}, {109, 100, "b := 1"}};
    OK(ApplyDiagramModel(doc, m));
    const DiagramModel after = DescribeDiagram(doc);
    ASSERT_EQ(after.states.size(), 3u);
    const AsfPoint s100 = *after.states[0].at, s101 = *after.states[1].at,
                   s102 = *after.states[2].at;
    EXPECT_TRUE(s100.x == s101.x && s101.x == s102.x);
    EXPECT_TRUE(s100.y - s101.y >= 40000 && s101.y > s102.y);
    // The reset enters S100, the top one.
    EXPECT_EQ(*after.reset->at, (AsfPoint{s100.x, s100.y + 24000}));
    // Same row as its state, on its right; further out where the state loops on itself.
    EXPECT_EQ(after.actions[0].shape.points.at(0), (AsfPoint{s101.x + 12000, s101.y}));
    EXPECT_EQ(after.actions[1].shape.points.at(0), (AsfPoint{s100.x + 18000, s100.y}));
}

TEST(AsfEdit, AResetIntoAStateBelowAnotherGoesOnItsLeft) {
    AsfDocument doc = Empty();
    DiagramModel m;
    m.states = {{100, "A", AsfStateKind::Ordinary, std::nullopt},
                {101, "B", AsfStateKind::Ordinary, std::nullopt}};
    m.reset = ModelReset{103, std::nullopt};
    m.transitions = {{104, 103, 101, 1, std::nullopt}};
    OK(ApplyDiagramModel(doc, m));
    const DiagramModel after = DescribeDiagram(doc);
    const AsfPoint b = *after.states[1].at;
    EXPECT_EQ(*after.reset->at, (AsfPoint{b.x - 24000, b.y}));
}

// The initial state is where the reset transition goes, whatever the default flags say;
// setting it re-points that transition and touches no other record, and a diagram without
// a reset or its transition gets them. What the reader then takes as the initial state is
// the state that was set.
TEST(AsfEditInitialState, TheResetTransitionChoosesIt) {
    const std::string original = test::ReadBytes(test::GoldenDir().parent_path().parent_path() /
                                                 "examples/MemReqAck/Input/Write.asf");
    AsfDocument doc;
    OK(AsfDocument::Load(original, kPath, doc));
    const ObjectNumber request = 26, waitAck = 28;
    EXPECT_EQ(InitialStateOf(doc), request);

    OK(SetInitialState(doc, waitAck));
    EXPECT_EQ(InitialStateOf(doc), waitAck);
    const StateMachine m = ReadMachine(doc, "Write").machine;
    ASSERT_GT(m.initialState, 0u);
    EXPECT_EQ(m.states[m.initialState - 1].name, "WAIT_ACK");
    // Only the reset transition's record changed: its target and end, not its priority.
    AsfDocument untouched;
    OK(AsfDocument::Load(original, kPath, untouched));
    ASSERT_EQ(untouched.Lines().size(), doc.Lines().size());
    for (std::size_t i = 0; i < doc.Lines().size(); ++i) {
        const AsfLine &was = untouched.Lines()[i], &is = doc.Lines()[i];
        EXPECT_TRUE(was.number == 32 || was.bytes + was.end == is.bytes + is.end) << i;
    }
    EXPECT_TRUE(doc.Bytes().find("W 32 0 1 25 28 BEZIER") != std::string::npos);

    const std::string set = doc.Bytes();
    OK(SetInitialState(doc, waitAck)); // already initial: no byte changes
    EXPECT_EQ(doc.Bytes(), set);

    Status missing = SetInitialState(doc, 31); // a label, no state
    EXPECT_FALSE(missing);
    EXPECT_NE(missing.message().find(kPath), std::string::npos) << missing.message();
    EXPECT_EQ(doc.Bytes(), set);
}

TEST(AsfEditInitialState, TheDefaultFlagIsNoInitialState) {
    AsfDocument doc = Empty();
    ObjectNumber idle = 0, busy = 0, reset = 0, t = 0;
    OK(AddState(doc, "Idle", {40000, 190000}, idle));
    OK(AddState(doc, "Busy", {40000, 120000}, busy));
    OK(SetStateKind(doc, idle, AsfStateKind::Default));
    EXPECT_EQ(InitialStateOf(doc), 0); // no reset at all

    // Without a reset object: one is added above the state, with its transition.
    OK(SetInitialState(doc, busy));
    EXPECT_EQ(InitialStateOf(doc), busy);
    DiagramModel m = DescribeDiagram(doc);
    ASSERT_TRUE(m.reset);
    EXPECT_EQ(m.reset->at, (AsfPoint{40000, 144000}));
    ASSERT_EQ(m.transitions.size(), 1u);
    EXPECT_EQ(m.transitions[0].from, *m.reset->id);
    EXPECT_EQ(m.states[0].kind, AsfStateKind::Default); // the flag stays where it was
    StateMachine read = ReadMachine(doc, "Send").machine;
    EXPECT_EQ(read.states[read.initialState - 1].name, "Busy");

    // A reset without a transition gets one; of two reset transitions the reader takes,
    // and the edit re-points, the last.
    AsfDocument bare = Empty();
    OK(AddState(bare, "Idle", {40000, 190000}, idle));
    OK(AddState(bare, "Busy", {40000, 120000}, busy));
    OK(AddReset(bare, {40000, 210000}, reset));
    OK(SetInitialState(bare, idle));
    EXPECT_EQ(DescribeDiagram(bare).transitions.size(), 1u);
    EXPECT_EQ(InitialStateOf(bare), idle);
    OK(AddTransition(bare, reset, busy, 3, std::string("go = LOGIC_1"), t));
    EXPECT_EQ(InitialStateOf(bare), busy);
    OK(SetInitialState(bare, idle));
    m = DescribeDiagram(bare);
    ASSERT_EQ(m.transitions.size(), 2u);
    EXPECT_TRUE(m.transitions[0].to == idle && m.transitions[1].to == idle);
    EXPECT_EQ(m.transitions[1].priority, 3);
    EXPECT_EQ(m.transitions[1].condition, std::optional<std::string>("go = LOGIC_1"));
}

} // namespace
} // namespace kestrel
