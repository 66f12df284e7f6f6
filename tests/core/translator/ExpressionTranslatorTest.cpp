// The expression translator and the type mapping: token classes and their renderings,
// every operator, parameter subscripts, parentheses paired across expressions, unknown
// words, case variants, literals and the port direction checks.
#include "TranslatorHarness.h"

#include <gtest/gtest.h>

#include "translator/ExpressionTranslator.h"
#include "translator/TypeMapping.h"

namespace kestrel {
namespace {

using test::Errors;
using test::SampleRun;

// Function Read with variable done, constant MAX and enumeration State { IDLE, BUSY }.
struct ExpressionFixture {
    SampleRun sample;
    std::unique_ptr<TranslationState> state = std::make_unique<TranslationState>();

    ExpressionFixture() {
        ResetTranslationState(*state);
        state->declaredVariables[0] = "done";
        state->declaredVariableCount = 1;
        state->declaredConstants[0] = "MAX";
        state->declaredConstantCount = 1;
        state->declaredEnums[0].name = "State";
        state->declaredEnums[0].values[0] = "IDLE";
        state->declaredEnums[0].values[1] = "BUSY";
        state->declaredEnums[0].valueCount = 2;
        state->declaredEnumCount = 1;
    }

    std::string Translate(std::string_view text) {
        return TranslateExpression(text, *state, sample.run);
    }
    std::string Log() { return sample.TakeLog(); }
};

TEST(ExpressionTranslator, RendersNamesOperandsAndOperators) {
    ExpressionFixture f;
    EXPECT_EQ(f.Translate("ack = LOGIC_1 and not done"),
              "ack.read () == SC_LOGIC_1 && ! Read_done.read () ");
    EXPECT_EQ(f.Translate("( n + 1 ) mod 4"), "( n + 1 ) % 4 ");
    EXPECT_EQ(f.Translate("< > <= >= <> = + - * / mod and or not := : // ,"),
              "< > <= >= != == + - * / % && || ! := : // , ");
    EXPECT_EQ(f.Translate("LOGIC_0 LOGIC_1 LOGIC_X LOGIC_Z true false"),
              "SC_LOGIC_0 SC_LOGIC_1 SC_LOGIC_X SC_LOGIC_Z true false ");
    EXPECT_EQ(f.Translate("MAX - IDLE + BUSY"), "Read_MAX - Read_IDLE + Read_BUSY ");
    EXPECT_EQ(f.Translate("toInt ( ack ) + toLv ( addr )"),
              "toInt ( ack.read () ) + toLv ( addr ) ");
    EXPECT_EQ(f.Log(), "");
}

TEST(ExpressionTranslator, ParenthesesAfterAParameterBecomeSubscripts) {
    ExpressionFixture f;
    EXPECT_EQ(f.Translate("n ( 3 )"), "n [ 3 ] ");
    EXPECT_EQ(f.Translate("addr ( n ( 1 ) + ( 2 ) )"), "addr [ n [ 1 ] + ( 2 ) ] ");
    // Only a parameter directly before the parenthesis counts.
    EXPECT_EQ(f.Translate("done ( 1 ) ack ( 2 ) n + ( 3 )"),
              "Read_done.read () ( 1 ) ack.read () ( 2 ) n + ( 3 ) ");
    EXPECT_EQ(f.Log(), "");
}

TEST(ExpressionTranslator, ParenthesesPairAcrossExpressionsOfOneFunction) {
    ExpressionFixture f;
    EXPECT_EQ(f.Translate("addr ( 1 + ( 2"), "addr [ 1 + ( 2 ");
    EXPECT_EQ(f.Translate(") )"), ") ] ");
    EXPECT_EQ(f.Log(), "");
    // Nothing open: the ")" renders as nothing, leaving two blanks.
    EXPECT_EQ(f.Translate("n )"), "n  ");
    EXPECT_EQ(f.Translate(") n"), " n ");
    EXPECT_EQ(f.Log(), Errors({"Stack Brace Empty!", "Stack Brace Empty!"}));

    // 64 open parentheses fill the stack; the 65th renders as nothing.
    std::string opens;
    for (int i = 0; i < 65; ++i) opens += i ? " (" : "(";
    std::string expected;
    for (int i = 0; i < 64; ++i) expected += "( ";
    expected += " ";
    EXPECT_EQ(f.Translate(opens), expected);
    EXPECT_EQ(f.Log(), Errors({"Stack Brace Full!"}));
    EXPECT_TRUE(f.state->braceStack.isFull());
}

TEST(ExpressionTranslator, UnknownWordsAndCaseVariantsAreLoggedAndCopied) {
    ExpressionFixture f;
    EXPECT_EQ(f.Translate("And TRUE logic_0 Done ToInt idle x.y"),
              "And TRUE logic_0 Done ToInt idle x.y ");
    EXPECT_EQ(f.Log(), Errors({"Unrecognized AsmL Word: And", "Unrecognized AsmL Word: TRUE",
                               "Unrecognized AsmL Word: logic_0", "Unrecognized AsmL Word: Done",
                               "Unrecognized AsmL Word: ToInt", "Unrecognized AsmL Word: idle",
                               "Unrecognized AsmL Word: x.y"}));
    // Two blanks side by side give an empty token, which no name matches.
    EXPECT_EQ(f.Translate("n  n"), "n  n ");
    EXPECT_EQ(f.Log(), Errors({"Unrecognized AsmL Word: "}));
    EXPECT_EQ(f.Translate(""), "");
    EXPECT_EQ(f.Log(), Errors({"Empty Expression"}));
}

TEST(ExpressionTranslator, Literals) {
    ExpressionFixture f;
    EXPECT_EQ(f.Translate("007 1.5 42 2e3 .5 3. \"\" \" \"0101\""),
              "007 1.5 42 2e3 .5 3. \"\" \" \"0101\" ");
    EXPECT_EQ(f.Log(), "");
    // A string literal that held a blank comes in two halves, each with one quote.
    EXPECT_EQ(f.Translate("\"a b\" 1e 0x10 1.2.3 . e5"), "\"a b\" 1e 0x10 1.2.3 . e5 ");
    EXPECT_EQ(f.Log(), Errors({"Unrecognized AsmL Word: \"a", "Unrecognized AsmL Word: b\"",
                               "Unrecognized AsmL Word: 1e", "Unrecognized AsmL Word: 0x10",
                               "Unrecognized AsmL Word: 1.2.3", "Unrecognized AsmL Word: .",
                               "Unrecognized AsmL Word: e5"}));
    EXPECT_TRUE(IsNumericLiteral("1E+5"));
    EXPECT_FALSE(IsNumericLiteral("-1"));
    EXPECT_FALSE(IsNumericLiteral(""));
}

TEST(ExpressionTranslator, ClassesTakeTheFirstTestThatHolds) {
    ExpressionFixture f;
    TranslationState& s = *f.state;
    const GenerationRun& run = f.sample.run;
    // A signal named like a parameter is the parameter; a variable named like a signal
    // is the signal.
    f.sample.AddSignal(7, "n", 1);
    f.sample.run.tables.signals.count = 7;
    s.declaredVariables[1] = "req";
    s.declaredVariableCount = 2;
    ResetTranslationState(s); // names are taken afresh from the tables
    s.declaredVariables[0] = "req";
    s.declaredVariableCount = 1;
    EXPECT_EQ(ClassifyToken("n", s, run), TokenClass::Parameter);
    EXPECT_EQ(ClassifyToken("req", s, run), TokenClass::Signal);
    EXPECT_EQ(ClassifyToken("toInt", s, run), TokenClass::ToInt);
    EXPECT_EQ(ClassifyToken("toLv", s, run), TokenClass::ToLv);
    EXPECT_EQ(ClassifyToken("mod", s, run), TokenClass::Operator);
    EXPECT_EQ(ClassifyToken("3", s, run), TokenClass::Operand);
    EXPECT_EQ(ClassifyToken("", s, run), TokenClass::Unrecognized);
    EXPECT_EQ(f.Translate("n req"), "n req.read () ");
    EXPECT_EQ(f.Log(), Errors({"req - wrong port direction"}));

    // Names are compared trimmed.
    EXPECT_TRUE(IsSignal(" ack ", s, run));
    EXPECT_TRUE(IsParameter("addr  ", s, run));
    EXPECT_TRUE(IsVariable(" req", s));
    EXPECT_FALSE(IsParameter("add", s, run));
    EXPECT_TRUE(IsOperatorToken(","));
    EXPECT_FALSE(IsOperatorToken("=="));
    EXPECT_FALSE(IsOperatorToken("AND"));
    EXPECT_EQ(MapOperand("nothing", s, run), "");
    EXPECT_EQ(MapOperator("<>", s, f.sample.run), "!=");
}

TEST(ExpressionTranslator, PortDirections) {
    ExpressionFixture f;
    TranslationState& s = *f.state;
    GenerationRun& run = f.sample.run;
    EXPECT_EQ(SignalReadText("ack", s, run), "ack.read ()");
    EXPECT_EQ(SignalWriteTarget("req", s, run), "req.write");
    EXPECT_EQ(f.Log(), "");
    EXPECT_EQ(SignalReadText("req", s, run), "req.read ()");
    EXPECT_EQ(SignalWriteTarget("ack", s, run), "ack.write");
    EXPECT_EQ(SignalReadText("bus", s, run), "bus.read ()");
    EXPECT_EQ(SignalWriteTarget("bus", s, run), "bus.write");
    EXPECT_EQ(f.Log(), Errors({"req - wrong port direction", "ack - wrong port direction",
                               "bus - wrong port direction", "bus - wrong port direction"}));
    // The whole target text is compared, so a subscripted signal draws no error.
    EXPECT_EQ(SignalWriteTarget("ack ( 2 )", s, run), "ack ( 2 ).write");
    EXPECT_EQ(VariableReadText("done", s, run), "Read_done.read ()");
    EXPECT_EQ(VariableWriteTarget("done ( 1 )", s, run), "Read_done ( 1 ).write");
    EXPECT_EQ(f.Log(), "");
}

TEST(TypeMapping, MapsTheTableAndTheFunctionsEnumerations) {
    ExpressionFixture f;
    auto map = [&](std::string_view type) { return MapAsmLType(type, *f.state, f.sample.run); };
    const std::pair<std::string_view, std::string_view> types[] = {{"Boolean", "bool"},
                                                                   {"Byte", "unsigned char"},
                                                                   {"Short", "unsigned short"},
                                                                   {"Integer", "unsigned int"},
                                                                   {"Long", "unsigned long"},
                                                                   {"Char", "char"},
                                                                   {"Logic", "sc_logic"},
                                                                   {"Lv_2", "sc_lv <2> "},
                                                                   {"Lv_4", "sc_lv <4> "},
                                                                   {"Lv_8", "sc_lv <8> "},
                                                                   {"Lv_16", "sc_lv <16> "},
                                                                   {"Lv_32", "sc_lv <32> "},
                                                                   {"Lv_64", "sc_lv <64> "},
                                                                   {"State", "Read_State"},
                                                                   {"String", ""},
                                                                   {"integer", ""},
                                                                   {"Lv_12", ""},
                                                                   {"", ""}};
    for (const auto& [type, mapped] : types) EXPECT_EQ(map(type), mapped) << type;
    // An enumeration named like a table type replaces the table's text.
    f.state->declaredEnums[1].name = "Byte";
    f.state->declaredEnumCount = 2;
    EXPECT_EQ(map("Byte"), "Read_Byte");
    EXPECT_EQ(f.Log(), "");
}

} // namespace
} // namespace kestrel
