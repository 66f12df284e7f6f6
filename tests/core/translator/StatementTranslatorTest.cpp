// The statement translator: the worked example line by line, hand-written section
// files for every line kind, enumerations, pending comments and block tracking, the
// tokenizer, the clock line carried over to later functions, and the capacities.
#include "TestSupport.h"
#include "TranslatorHarness.h"

#include "translator/ExpressionTranslator.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using test::Errors;
using test::SampleRun;

std::string SectionsText(const test::TranslatedSection& got, std::string_view function,
                         const ClockSelection& clock) {
    std::string f(function);
    return "=== " + f + ".dec\r\n" + got.dec + "=== " + f + ".ini\r\n" + got.ini + "=== " + f +
           ".asm\r\n" + got.behaviour + "=== " + f + ".upd\r\n" + got.upd + "=== log\r\n" +
           got.log + "=== clock\r\n" + clock.clockSignalName +
           (clock.clockOnPositiveEdge ? " posedge" : " negedge") + "\r\n";
}

// Translates tests/golden/translator/<name>.asml as function `slot` and compares the
// sections, the log and the clock with <name>.expected.
void CheckGolden(std::string_view name, int slot) {
    SCOPED_TRACE(std::string(name));
    SampleRun sample;
    fs::path dir = test::GoldenDir() / "translator";
    std::string input = test::ReadBytes(dir / (std::string(name) + ".asml"));
    ASSERT_FALSE(input.empty());
    test::TranslatedSection got = test::TranslateSectionText(sample.run, slot, input);
    std::string function = sample.run.tables.functions[slot].functionName.Text();
    EXPECT_TRUE(test::MatchesGolden(dir / (std::string(name) + ".expected"),
                                    SectionsText(got, function, sample.session.clock)));
}

// Every line kind, enumerations, pending text and block tracking, and every error of the
// line and expression translators on the line that causes it with what is written all
// the same.
TEST(StatementTranslatorGolden, WholeSections) {
    const std::pair<std::string_view, int> cases[] = {
        {"line_kinds", 1}, {"enumerations", 2}, {"pending_and_blocks", 1}, {"errors_bad", 1}};
    for (const auto& [name, slot] : cases) CheckGolden(name, slot);
}

// Short sections, each translated in a fresh run: "=== <function slot> <what it shows>".
TEST(StatementTranslatorGolden, ShortSections) {
    fs::path dir = test::GoldenDir() / "translator";
    const auto sections = test::ReadSections(test::ReadBytes(dir / "statements.asml"));
    ASSERT_FALSE(sections.empty());
    std::string listed;
    for (const auto& [title, body] : sections) {
        SampleRun sample;
        const int slot = std::stoi(title);
        test::TranslatedSection got = test::TranslateLines(sample.run, slot, body);
        listed += "=== " + title + "\r\n" +
                  SectionsText(got, sample.run.tables.functions[slot].functionName.Text(),
                               sample.session.clock);
    }
    EXPECT_TRUE(test::MatchesGolden(dir / "statements.expected", listed));
}

// The worked example: function Read, input ack, output req, clock clk. Each line's
// effect is checked as it happens.
TEST(StatementTranslator, WorkedExampleLineByLine) {
    SampleRun sample;
    sample.session.clock = {"other", false};
    auto state = std::make_unique<TranslationState>();
    SectionTexts out;
    ResetTranslationState(*state);
    auto feed = [&](std::string_view line) { TranslateSourceLine(*state, line, sample.run, out); };

    feed("      import nsHardwareDatatype");
    EXPECT_EQ(out.dec.text() + out.ini.text() + out.behaviour.text(), "");
    feed("      public Read ( addr as Integer ) as Integer");
    EXPECT_EQ(out.dec.text() + out.ini.text() + out.behaviour.text(), "");
    feed("        var cnt as Integer = 0");
    EXPECT_EQ(out.dec.text(), "        sc_signal <unsigned int> Read_cnt ;\r\n");
    EXPECT_EQ(out.ini.text(), "        Read_cnt.write ( 0  ) ;\r\n");
    feed("        SetClockSignal ( clk , true )");
    EXPECT_EQ(sample.session.clock.clockSignalName, "clk");
    EXPECT_TRUE(sample.session.clock.clockOnPositiveEdge);
    feed("        step while cnt < 3");
    EXPECT_EQ(out.behaviour.text(), "        while ( Read_cnt.read () < 3  ) \r\n");
    feed("          req := LOGIC_1");
    EXPECT_EQ(out.behaviour.text(), "        while ( Read_cnt.read () < 3  ) \r\n"
                                    "          {\r\n"
                                    "          req.write( SC_LOGIC_1  ) ;\r\n");
    feed("          cnt := cnt + 1");
    CloseAllBlocks(*state, sample.run, out);
    EXPECT_EQ(out.behaviour.text(), "        while ( Read_cnt.read () < 3  ) \r\n"
                                    "          {\r\n"
                                    "          req.write( SC_LOGIC_1  ) ;\r\n"
                                    "          Read_cnt.write( Read_cnt.read () + 1  ) ;\r\n"
                                    "          Read_Update () ;\r\n"
                                    "          }\r\n");
    EXPECT_EQ(out.dec.text(), "        sc_signal <unsigned int> Read_cnt ;\r\n");
    EXPECT_EQ(out.ini.text(), "        Read_cnt.write ( 0  ) ;\r\n");
    EXPECT_EQ(out.upd.text(), "");
    EXPECT_EQ(sample.TakeLog(), "");
}

std::vector<std::string> TokensOf(std::string_view line) {
    SampleRun sample;
    TranslationState state;
    state.line = line;
    TokenizeLine(state, sample.run.log());
    std::vector<std::string> tokens;
    for (int i = 1; i <= state.tokenCount; ++i)
        tokens.push_back(state.tokens[static_cast<std::size_t>(i)]);
    return tokens;
}

using Tokens = std::vector<std::string>;

TEST(StatementTranslator, TokenizerSplitsAtBlanksAndOperatorCharacters) {
    EXPECT_EQ(TokensOf("x:=y+1"), (Tokens{"x", ":=", "y", "+", "1"}));
    EXPECT_EQ(TokensOf("a< =b"), (Tokens{"a", "<", "=", "b"}));
    EXPECT_EQ(TokensOf("x.y[3]"), (Tokens{"x.y[3]"}));
    EXPECT_EQ(TokensOf("a<>=b>=c<=d"), (Tokens{"a", "<>", "=", "b", ">=", "c", "<=", "d"}));
    EXPECT_EQ(TokensOf("a//b"), (Tokens{"a", "//", "b"}));
    EXPECT_EQ(TokensOf("f(a,b):c-d*e/g"),
              (Tokens{"f", "(", "a", ",", "b", ")", ":", "c", "-", "d", "*", "e", "/", "g"}));
    // "=>", "><" and "::" are no two-character operators.
    EXPECT_EQ(TokensOf("=>><::"), (Tokens{"=", ">", ">", "<", ":", ":"}));
    // The word operators are ordinary words; a tab is a word character.
    EXPECT_EQ(TokensOf("  a mod\tb  notx"), (Tokens{"a", "mod\tb", "notx"}));
    EXPECT_EQ(TokensOf("x <"), (Tokens{"x", "<"}));
    EXPECT_EQ(TokensOf("   "), Tokens{});
    // Bytes of the code page above 0x7F are word characters.
    EXPECT_EQ(TokensOf("gr\xFC\xDF:=1"), (Tokens{"gr\xFC\xDF", ":=", "1"}));

    TranslationState state;
    state.line = "  \tx := 1";
    MeasureIndent(state);
    EXPECT_EQ(state.indentation, 2);
    state.line = "    ";
    MeasureIndent(state);
    EXPECT_EQ(state.indentation, 4);
}

TEST(StatementTranslator, JoinTokensReadsPastTheCountAsEmpty) {
    SampleRun sample;
    TranslationState state;
    state.line = "x :=";
    TokenizeLine(state, sample.run.log());
    EXPECT_EQ((Tokens{JoinTokens(state, 1, 2), JoinTokens(state, 1, 3), JoinTokens(state, 2, 1),
                      JoinTokens(state, 2, 2), JoinTokens(state, 3, 2), JoinTokens(state, 65, 70)}),
              (Tokens{"x :=", "x := ", ":=", ":=", "", ""}));

    // A longer line leaves no stale token behind.
    state.line = "a b c d";
    TokenizeLine(state, sample.run.log());
    state.line = "e";
    TokenizeLine(state, sample.run.log());
    EXPECT_EQ(state.tokenCount, 1);
    EXPECT_EQ(JoinTokens(state, 1, 4), "e   ");
}

TEST(StatementTranslator, ClockLineCarriesOverToLaterFunctions) {
    SampleRun sample;
    test::TranslateSection(sample.run, 1, {"// c", "SetClockSignal ( clk2 , 0 )"});
    EXPECT_EQ(sample.session.clock.clockSignalName, "clk2");
    EXPECT_FALSE(sample.session.clock.clockOnPositiveEdge);
    // A later function without a clock line keeps it.
    auto later = test::TranslateSection(sample.run, 2, {"data ( 0 ) := 1"});
    EXPECT_EQ(sample.session.clock.clockSignalName, "clk2");
    EXPECT_FALSE(sample.session.clock.clockOnPositiveEdge);
    EXPECT_EQ(later.behaviour, "data [ 0 ]  = 1  ;\r\n");

    using Edge = std::tuple<std::string_view, std::string_view, bool>; // line, clock, edge
    for (auto [line, name, positive] :
         {Edge{"SetClockSignal ( a , true )", "a", true},
          Edge{"SetClockSignal ( b , false )", "b", false},
          Edge{"SetClockSignal ( c , 1 )", "c", true}, Edge{"SetClockSignal(d,False)", "d", true},
          Edge{"SetClockSignal ( e , 0 ) // trailing words", "e", false},
          Edge{"SetClockSignal", "", true}}) {
        SCOPED_TRACE(std::string(line));
        auto got = test::TranslateSection(sample.run, 1, {line});
        EXPECT_EQ(sample.session.clock.clockSignalName, name);
        EXPECT_EQ(sample.session.clock.clockOnPositiveEdge, positive);
        EXPECT_EQ(got.dec + got.ini + got.behaviour + got.upd + got.log, "");
    }
}

TEST(StatementTranslator, ResetForgetsTheLastFunction) {
    SampleRun sample;
    auto state = std::make_unique<TranslationState>();
    SectionTexts out;
    ResetTranslationState(*state);
    for (std::string_view line :
         {"var v as Integer", "const K as Integer = 1", "enum E", "  IDLE", "  if ( n"})
        TranslateSourceLine(*state, line, sample.run, out);

    // The next function starts afresh: its own names, no open block or parenthesis.
    sample.run.currentFunction = 2;
    ResetTranslationState(*state);
    SectionTexts next;
    for (std::string_view line : {"data := v + K + IDLE )", "  var x as E"})
        TranslateSourceLine(*state, line, sample.run, next);
    CloseAllBlocks(*state, sample.run, next);
    // The indented var opens a block of the assignment's kind, with braces.
    EXPECT_EQ(next.behaviour.text(), "data  = v + K + IDLE   ;\r\n  {\r\n  }\r\n");
    EXPECT_EQ(next.dec.text(), "  sc_signal <> ReadAll_x ;\r\n");
    EXPECT_EQ(sample.TakeLog(), Errors({"Unrecognized AsmL Word: v", "Unrecognized AsmL Word: K",
                                        "Unrecognized AsmL Word: IDLE", "Stack Brace Empty!"}));
}

} // namespace
} // namespace kestrel
