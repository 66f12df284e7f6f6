// The ASF diagram reader: record words and numbers, the state flags and priorities, the
// label bundles, last-wins naming, the initial state from the reset object, and the
// problems of bad diagrams (wrong first line, no END, no initial or trap state, constant
// labels without "=", texts too short for their quotes, full tables).
#include "fsm/AsfReader.h"
#include "fsm/AsfRecord.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace kestrel {
namespace {

constexpr std::string_view kPath = "/p/Input/Read.asf";

// Lines joined with CR LF, each ended by one.
std::string Diagram(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (std::string_view line : lines) text.append(line).append("\r\n");
    return text;
}

// The head of every diagram here: the version line, a header block and the objects line.
std::string WithHead(std::string_view objects) {
    return Diagram({"VERSION=1.19", "HEADER", "FILE=\"Read.asf\"", "END", "BUNDLES", "END",
                    "OBJECTS"}) +
           std::string(objects);
}

// The problems as "LINE: MESSAGE".
std::vector<std::string> Messages(const DiagramReading& reading) {
    std::vector<std::string> messages;
    for (const DiagramProblem& p : reading.problems)
        messages.push_back(std::to_string(p.line) + ": " + p.message);
    return messages;
}

TEST(AsfRecord, WordsNumbersAndQuotedTexts) {
    std::vector<std::string_view> words = SplitRecordWords("L 14  13 x");
    EXPECT_EQ(words, (std::vector<std::string_view>{"L", "14", "", "13", "x"}));
    EXPECT_EQ(WordAt(words, 4), "x");
    EXPECT_EQ(WordAt(words, 9), "");

    EXPECT_EQ(WordNumber("27"), 27);
    EXPECT_EQ(WordNumber("27q"), 27);
    EXPECT_EQ(WordNumber("20_a"), 20);
    EXPECT_EQ(WordNumber("q27"), 0);
    EXPECT_EQ(WordNumber(""), 0);
    EXPECT_EQ(WordNumber("-6"), -6);
    EXPECT_EQ(WordNumber("99999999999999999999"), WordNumber("999999999999999"));

    // A label whose text holds blanks comes through whole.
    std::vector<std::string_view> label =
        SplitRecordWords("L 33 21 0 TEXT \"State Labels\" | 1,2 1 0 0 \"Wait  Ack\"");
    EXPECT_EQ(TextFromWord(label, 12), "Wait  Ack");
    EXPECT_EQ(TextFromWord(label, 11), " \"Wait  Ack");
    EXPECT_EQ(TextFromWord(SplitRecordWords("A 1 2 \"\""), 3), "");
    EXPECT_EQ(TextFromWord(SplitRecordWords("A 1 2 \""), 3), std::nullopt);
    EXPECT_EQ(TextFromWord(SplitRecordWords("A 1 2"), 3), std::nullopt);
    EXPECT_EQ(WithoutEnds("\"5\""), "5");
    EXPECT_EQ(WithoutEnds("x"), std::nullopt);

    EXPECT_EQ(RemoveBackslashes("a\\b\\\\c\\"), "abc");
}

TEST(AsfReader, ReadsAWholeDiagram) {
    std::string text = WithHead(Diagram({
        "F 1 0 671088640 10 0 \"\" 0 RECT 0,0,0 0 0 1 255,255,255 0 | 15700,15700 200200,221700",
        "I 11 0 2 Builtin InPort | 20700,239700 \"\" \"\"",
        "I 12 0 0 Builtin Reset | 141424,29494",
        "I 13 0 0 Builtin Signal | 71548,254571 \"1\" \"\"",
        "L 14 13 0 TEXT \"Labels\" | 122208,238835 1 0 0 \"cnt\"",
        "I 15 0 0 Builtin Signal | 78568,49733 \"\" \"\"",
        "L 16 15 0 TEXT \"Labels\" | 156571,148298 1 0 0 \"flag\"",
        "I 17 0 0 Builtin Constant | 57094,254042 \"\" \"\"",
        "L 18 17 0 TEXT \"Labels\" | 47773,138666 1 0 0 \"MAX  =  4\"",
        "S 20 0 4097 ELLIPSE 0,0,0 0 0 1 0,255,0 1 | 135666,213185 6000,6000",
        "L 21 20 0 TEXT \"State Labels\" | 114063,191006 1 0 0 \"Idle\"",
        "S 22 0 6 ELLIPSE 0,0,0 0 0 1 0,255,0 1 | 110638,120125 6000,6000",
        "L 23 22 0 TEXT \"State Labels\" | 18543,103548 1 0 0 \"Old\"",
        "L 24 22 0 TEXT \"State Labels\" | 18543,103548 1 0 0 \"Wait Ack\"",
        "S 25 0 8 ELLIPSE 0,0,0 0 0 1 0,255,0 1 | 83690,61704 6000,6000",
        "S 26q 0 1 ELLIPSE 0,0,0 0 0 1 0,255,0 1 | 71383,148106 6000,6000",
        "A 27 25 0 TEXT \"Actions\" | 108837,182971 1 0 0 \"x := 1\\ny := 2\"",
        "W 30 0 4099 12 25 BEZIER 0,0,0 0 0 1 0,0,0 1 | 160202,66800 198140,173306",
        "W 31 0 8195 12 20 BEZIER 0,0,0 0 0 1 0,0,0 1 | 160202,66800 198140,173306",
        "C 32 30 0 TEXT \"Conditions\" | 78266,141284 1 0 0 \"a = b\"",
        "Z 33 0 whatever",
        "END",
        "S 99 0 2 after the end is not read",
    }));
    DiagramReading reading = ReadAsfDiagram(text, kPath, "Read");
    EXPECT_TRUE(reading.problems.empty()) << reading.problems.front().message;
    const StateMachine& m = reading.machine;

    ASSERT_EQ(m.states.size(), 4u);
    EXPECT_EQ(m.states[0].name, "Idle");
    EXPECT_EQ(m.states[1].name, "Wait Ack") << "the last label wins";
    EXPECT_EQ(m.states[2].name, "");
    EXPECT_EQ(m.states[3].number, 26);
    EXPECT_TRUE(m.states[0].isDefault && m.states[3].isDefault && m.states[1].isTrap);
    EXPECT_EQ(m.defaultState, 4u) << "a later default state replaces an earlier one";
    EXPECT_EQ(m.trapState, 2u);
    EXPECT_EQ(m.states[1].line, 19);
    EXPECT_EQ(m.states[1].nameLine, 21);
    EXPECT_EQ(m.states[2].nameLine, 0);

    EXPECT_EQ(m.resetObject, 12);
    EXPECT_EQ(m.initialState, 1u) << "the last transition from the reset object wins";

    ASSERT_EQ(m.transitions.size(), 2u);
    EXPECT_EQ(m.transitions[1].priority, 3); // the flags modulo 4096
    EXPECT_EQ(m.transitions[0].target, 25);
    ASSERT_EQ(m.conditions.size(), 1u);
    EXPECT_EQ(m.conditions[0].text, "a = b");
    ASSERT_EQ(m.actions.size(), 1u);
    EXPECT_EQ(m.actions[0].text, "x := 1\\ny := 2");

    ASSERT_EQ(m.signals.size(), 2u);
    EXPECT_EQ(m.signals[0].name + "=" + m.signals[0].initialValue, "cnt=1");
    EXPECT_TRUE(m.signals[0].hasInitialValue && !m.signals[1].hasInitialValue);
    ASSERT_EQ(m.constants.size(), 1u);
    EXPECT_EQ(m.constants[0].name, "MAX");
    EXPECT_EQ(m.constants[0].value, "4");
    EXPECT_EQ(m.labels.size(), 6u);
}

TEST(AsfReader, LabelBundlesAreToldByTheirFifthWord) {
    std::string text = WithHead(Diagram({
        "S 5 0 2 ELLIPSE | 1,1",
        "L 6 5 0 TEXT \"State Labels\" | 1,1 1 0 0 \"ByState\"",
        "L 7 5 0 TEXT xLabels\" | 1,1 1 0 0 \"ByLabels\"",
        "L 8 5 0 TEXT \"Labelz\" | 1,1 1 0 0 \"Ignored\"",
        "L 9 5 0 TEXT \"States Labels\" | 1,1 1 0 0 \"Ignored\"",
        "I 1 0 0 Builtin Reset | 1,1",
        "W 2 0 0 1 5 BEZIER | 1,1",
        "END",
    }));
    DiagramReading reading = ReadAsfDiagram(text, kPath, "Read");
    EXPECT_TRUE(reading.problems.empty());
    ASSERT_EQ(reading.machine.labels.size(), 2u);
    EXPECT_EQ(reading.machine.states[0].name, "ByLabels");
    EXPECT_EQ(reading.machine.initialState, 1u);
}

// Damaged diagrams the golden files do not hold: each is read as far as it goes and its
// problems come in the order found, each at its line.
TEST(AsfReader, BadDiagramsAreReportedAndReadAsFarAsPossible) {
    const std::string initial = "0: Initial State Not Defined for Read (...)";
    const std::string trap = "0: End (i.e. Trap) State Not Defined for Read (...)";
    const struct {
        std::string bytes;
        std::vector<std::string> problems;
    } cases[] = {
        {"", {"1: Invalid ASF file format: /p/Input/Read.asf"}},
        {Diagram({"VERSION=1.19", "HEADER", "END"}),
         {"3: ASF file ends before the END of its objects block: /p/Input/Read.asf", initial,
          trap}},
        // The template as written: no states, its ports are no diagram signals.
        {WithHead(Diagram({"F 1 0 671088640 10 0 \"\" 0 RECT 0,0,0 0 0 1 255,255,255 0 | "
                           "15700,15700 200200,221700",
                           "I 11 0 3 Builtin InPort | 20700,239700 \"\" \"\"",
                           "L 12 11 0 TEXT \"Labels\" | 26700,239700 1 0 0 \"clk\"", "END"})),
         {initial, trap}},
        // A constant label without "=" after records too short for their quoted texts.
        {WithHead(Diagram({"I 1 0 0 Builtin Reset | 1,1", "S 2 0 2 ELLIPSE | 1,1",
                           "W 3 0 0 1 2 BEZIER | 1,1", "I 4 0 0 Builtin Constant | 1,1 \"\" \"\"",
                           "L 5 4 0 TEXT \"Labels\" | 1,1 1 0 0 \"MAX 4\"",
                           "A 6 2 0 TEXT \"Actions\" | 1,1 1 0 0", "I 7 0 0 Builtin Signal | 1,1",
                           "END"})),
         {"13: ASF record too short for its text in /p/Input/Read.asf, line 13",
          "14: ASF signal record without its quoted initial value in /p/Input/Read.asf, line 14",
          "12: Constant label without \"=\" in ASF file /p/Input/Read.asf, line 12: MAX 4"}},
    };
    for (const auto& c : cases) {
        DiagramReading reading = ReadAsfDiagram(c.bytes, kPath, "Read");
        EXPECT_EQ(Messages(reading), c.problems) << c.bytes;
        EXPECT_TRUE(reading.machine.signals.size() <= 1 && reading.machine.constants.size() <= 1);
        for (const DiagramConstant& constant : reading.machine.constants)
            EXPECT_EQ(constant.name, "");
    }
}

TEST(AsfReader, FullTablesReportOnceAndKeepTheFirstItems) {
    std::string objects;
    for (int i = 1; i <= 52; ++i)
        objects += "S " + std::to_string(100 + i) + " 0 0 ELLIPSE | 1,1\r\n";
    for (int i = 1; i <= 27; ++i)
        objects += "I " + std::to_string(200 + i) + " 0 0 Builtin Signal | 1,1 \"0\" \"\"\r\n";
    objects += "S 300 0 2 ELLIPSE | 1,1\r\nEND\r\n";
    DiagramReading reading = ReadAsfDiagram(WithHead(objects), kPath, "Read");
    EXPECT_EQ(reading.machine.states.size(), kMaxDiagramStates);
    EXPECT_EQ(reading.machine.signals.size(), kMaxDiagramSignals);
    EXPECT_EQ(reading.machine.trapState, 0u) << "the trap state came after the table was full";
    EXPECT_EQ(Messages(reading),
              (std::vector<std::string>{
                  "58: Too many states in ASF file /p/Input/Read.asf, line 58 (at most 50); the "
                  "rest are left out",
                  "85: Too many signals in ASF file /p/Input/Read.asf, line 85 (at most 25); the "
                  "rest are left out",
                  "0: Initial State Not Defined for Read (...)",
                  "0: End (i.e. Trap) State Not Defined for Read (...)"}));
}

} // namespace
} // namespace kestrel
