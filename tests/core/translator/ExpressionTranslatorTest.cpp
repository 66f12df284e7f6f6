// The expression translator: token classes and their renderings,
// every operator, parameter subscripts, parentheses paired across expressions, unknown
// words, case variants, literals and the port direction checks.
#include "TestSupport.h"
#include "TranslatorHarness.h"

#include <sstream>

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

// Names, operands and operators; parameter subscripts; parentheses paired across the
// expressions of one function, up to a full stack; unknown words and case variants;
// literals. Each line's translation and the errors it logged, against the golden file.
TEST(ExpressionTranslator, TheGoldenFilesExpressions) {
    const std::filesystem::path dir = test::GoldenDir() / "translator";
    std::istringstream input(test::ReadBytes(dir / "expressions.txt"));
    std::string listed;
    std::unique_ptr<ExpressionFixture> f;
    for (std::string line; std::getline(input, line);) {
        if (line.starts_with("#")) continue;
        if (line.starts_with("=== ")) {
            f = std::make_unique<ExpressionFixture>();
            listed += line + "\n";
            continue;
        }
        ASSERT_TRUE(f);
        const std::string translated = f->Translate(line);
        listed += line + "\n-> " + translated + "\n" + f->Log();
    }
    EXPECT_TRUE(test::MatchesGolden(dir / "expressions.expected", listed));
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
    std::vector<TokenClass> classes;
    for (const char* token : {"n", "req", "toInt", "toLv", "mod", "3", ""})
        classes.push_back(ClassifyToken(token, s, run));
    using enum TokenClass;
    EXPECT_EQ(classes,
              (std::vector{Parameter, Signal, ToInt, ToLv, Operator, Operand, Unrecognized}));
    EXPECT_EQ(f.Translate("n req"), "n req.read () ");
    EXPECT_EQ(f.Log(), Errors({"req - wrong port direction"}));

    // Names are compared trimmed.
    EXPECT_TRUE(IsSignal(" ack ", s, run) && IsParameter("addr  ", s, run) &&
                IsVariable(" req", s));
    EXPECT_FALSE(IsParameter("add", s, run));
    EXPECT_TRUE(IsOperatorToken(","));
    EXPECT_FALSE(IsOperatorToken("==") || IsOperatorToken("AND"));
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

} // namespace
} // namespace kestrel
