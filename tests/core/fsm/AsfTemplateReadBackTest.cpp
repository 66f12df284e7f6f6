// A template written by the ASF template writer, completed the way the diagram editor
// stores a drawing (reset, a diagram signal and a constant, states with their labels and
// actions, transitions with conditions, the object counter moved on), reads back through
// the diagram reader and becomes the AsmL namespace the FSM route translates.
#include "fsm/AsfReader.h"
#include "fsm/AsfTemplate.h"
#include "fsm/FsmAsmlWriter.h"

#include "CodegenSamples.h"
#include "TestSupport.h"

#include "codegen/DeclarationHelpers.h"

namespace kestrel {
namespace {

// The records the diagram editor adds before the objects block's END.
constexpr std::string_view kDrawing =
    "I 61 0 0 Builtin Reset | 141424,29494\r\n"
    "I 62 0 0 Builtin Signal | 71548,254571 \"5\" \"\"\r\n"
    "L 63 62 0 TEXT \"Labels\" | 122208,238835 1 0 0 \"count\"\r\n"
    "I 64 0 0 Builtin Constant | 71548,248571\r\n"
    "L 65 64 0 TEXT \"Labels\" | 122208,232835 1 0 0 \"MAX = 3\"\r\n"
    "S 66 0 1 ELLIPSE 0,0,0 0 0 1 0,255,0 1 | 135666,213185 6000,6000\r\n"
    "L 67 66 0 TEXT \"State Labels\" | 114063,191006 1 0 0 \"Idle\"\r\n"
    "A 68 66 0 TEXT \"Actions\" | 108837,182971 1 0 0 \"count := 0\\ndout := din\"\r\n"
    "S 69 0 4096 ELLIPSE 0,0,0 0 0 1 0,255,0 1 | 110638,120125 6000,6000\r\n"
    "L 70 69 0 TEXT \"State Labels\" | 18543,103548 1 0 0 \"SendData\"\r\n"
    "A 71 69 0 TEXT \"Actions\" | 42967,127204 1 0 0 \"count := count + 1\"\r\n"
    "S 72 0 6 ELLIPSE 0,0,0 0 0 1 0,255,0 1 | 83690,61704 6000,6000\r\n"
    "L 73 72 0 TEXT \"State Labels\" | 163971,215776 1 0 0 \"Done\"\r\n"
    "W 74 0 1 61 66 BEZIER 0,0,0 0 0 1 0,0,0 1 | 160202,66800 198140,173306\r\n"
    "W 75 0 2 66 69 BEZIER 0,0,0 0 0 1 0,0,0 1 | 78987,42088 147787,156446\r\n"
    "C 76 75 0 TEXT \"Conditions\" | 78266,141284 1 0 0 \"din = LOGIC_1\"\r\n"
    "W 77 0 1 69 72 BEZIER 0,0,0 0 0 1 0,0,0 1 | 132487,80070 190227,38776\r\n"
    "C 78 77 0 TEXT \"Conditions\" | 12358,209173 1 0 0 \"count = MAX\"\r\n"
    "W 79 0 4098 69 69 BEZIER 0,0,0 0 0 1 0,0,0 1 | 137626,232778 52908,253062\r\n";

TEST(AsfTemplateReadBack, DrawnTemplateReadsAsItsStateMachine) {
    TlmFunction send = sample::Function("send", "void", 0);
    RtlSignalTable signals;
    signals[1] = sample::Signal("clk", 0, 1, 0, "0", true);
    signals[2] = sample::Signal("din", 0, 1, 0, "0");
    signals[3] = sample::Signal("dout", 0, 1, 1, "0");
    signals.count = 3;
    ProjectOptions options;
    options.title = "Bus Transactor";
    std::string diagram =
        AsfTemplateText("send.asf", send, signals, options, LocalDateTime{2026, 12, 4, 9, 0, 0, 5});

    // The template alone: no states, so both missing-state problems and nothing else.
    DiagramReading bare = ReadAsfDiagram(diagram, "send.asf", "send");
    EXPECT_TRUE(bare.machine.states.empty());
    EXPECT_TRUE(bare.machine.signals.empty()); // port records are not diagram signals
    EXPECT_EQ(bare.problems.size(), 2u);

    const std::size_t end = diagram.rfind("END\r\n");
    ASSERT_EQ(end + 5, diagram.size());
    diagram.insert(end, kDrawing);
    diagram.replace(diagram.find("FREEOID=60"), 10, "FREEOID=80");

    // Names, kinds, the initial state, signals and constants all show in the AsmL.
    DiagramReading reading = ReadAsfDiagram(diagram, "send.asf", "send");
    for (const DiagramProblem& p : reading.problems) ADD_FAILURE() << p.line << ": " << p.message;
    const StateMachine& m = reading.machine;
    FsmAsmlText out;
    out.diagramPaths.push_back("send.asf");
    std::vector<DiagramProblem> problems =
        WriteFsmNamespace(m, "send", AsmlSignature(send), 0, out);
    EXPECT_TRUE(problems.empty());
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "fsmwriter/drawn_template.asml", out.text));
}

} // namespace
} // namespace kestrel
