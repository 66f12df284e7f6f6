// The origins of the section lines that TranslateSection gives on request: every line of
// the four texts names the source line that made it; braces and closing lines the line
// that opened their block, comments and blank lines carried to a later statement their own
// line, the translation's own tails none. Asking for them changes no byte of the texts.
#include "generate/FunctionTranslation.h"

#include "codegen/SectionFileReader.h"
#include "generate/RunTables.h"
#include "generate/SectionOrigins.h"

#include "CodegenSamples.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kestrel {
namespace {

const FixedClock kClock(LocalDateTime{2026, 12, 4, 9, 51, 15, 5});

struct Translated {
    SectionTexts texts;
    SectionOrigins origins;
};

// Translates function Do of `lines` (a clean.asml) with or without origins.
std::unique_ptr<Translated> Translate(const std::vector<std::string_view>& lines,
                                      bool withOrigins) {
    GenerationSession session;
    GenerationRun run{"", "Proj", {}, session, kClock};
    run.tables.functions[1] = sample::Function("Do", "void", 0, {sample::Parameter("int", 4, "n")});
    run.tables.functions.count = 1;
    run.tables.signals[1] = sample::Signal("clk", 0, 1, 0, "0", true);
    run.tables.signals[2] = sample::Signal("req", 0, 1, 1, "0");
    run.tables.signals[3] = sample::Signal("ack", 0, 1, 0, "0");
    run.tables.signals.count = 3;
    run.tables = PrepareTables(run.tables, session.clock);
    DiagnosticCollector places(session.log, nullptr);
    AsmlSource source{lines, "clean.asml", nullptr};
    auto state = std::make_unique<TranslationState>();
    auto out = std::make_unique<Translated>();
    SectionOriginTracker tracker(out->origins);
    EXPECT_TRUE(TranslateSection(run, 1, source, *state, places, out->texts,
                                 withOrigins ? &tracker : nullptr));
    return out;
}

// Each line of a section text with the source line (from 1; 0 for none) it came from.
std::vector<std::pair<std::string, int>> Pairs(const TextWriter& text,
                                               const std::vector<int>& origins) {
    std::vector<std::pair<std::string, int>> pairs;
    std::vector<std::string_view> lines = SplitSectionLines(text.text());
    EXPECT_EQ(lines.size(), origins.size());
    for (std::size_t i = 0; i < lines.size() && i < origins.size(); ++i)
        pairs.emplace_back(std::string(lines[i]), origins[i] + 1);
    return pairs;
}

// clean.asml; line numbers from 1 in the comments.
const std::vector<std::string_view> kSource = {
    "namespace nsDo",               // 1
    "  enum Phase",                 // 2
    "    IDLE",                     // 3
    "    BUSY",                     // 4
    "  public Do ( n as Integer )", // 5
    "    var count as Integer = 0", // 6
    "    // raise the request",     // 7
    "",                             // 8
    "    step",                     // 9
    "      req := LOGIC_1",         // 10
    "    // wait for it",           // 11
    "    step while ack = LOGIC_0", // 12
    "      if count > n then",      // 13
    "        req := LOGIC_0",       // 14
    "      else",                   // 15
    "        count := count + 1",   // 16
    "    // done",                  // 17
    "    match count",              // 18
    "      0 :",                    // 19
    "        req := LOGIC_0",       // 20
    "namespace nsOther",            // 21
    "    req := LOGIC_1",           // 22
};

TEST(SectionOrigins, EveryLineNamesTheSourceLineThatMadeIt) {
    std::unique_ptr<Translated> plain = Translate(kSource, false);
    std::unique_ptr<Translated> traced = Translate(kSource, true);
    // The texts are the same bytes either way.
    EXPECT_EQ(plain->texts.dec.text(), traced->texts.dec.text());
    EXPECT_EQ(plain->texts.ini.text(), traced->texts.ini.text());
    EXPECT_EQ(plain->texts.behaviour.text(), traced->texts.behaviour.text());
    EXPECT_EQ(plain->texts.upd.text(), traced->texts.upd.text());

    using Listing = std::vector<std::pair<std::string, int>>;
    // The enumeration's brace, values and end belong to its line; the variable gives a
    // declaration and an initial write.
    EXPECT_EQ(Pairs(traced->texts.dec, traced->origins.dec),
              (Listing{{"  enum Do_Phase", 2},
                       {"    {", 2},
                       {"    Do_IDLE, Do_BUSY", 2},
                       {"    };", 2},
                       {"    sc_signal <unsigned int> Do_count ;", 6}}));
    EXPECT_EQ(
        Pairs(traced->texts.ini, traced->origins.ini),
        (Listing{{"    Do_count.write ( 0  ) ;", 6}, {"", 0}, {"  wait ( SC_ZERO_TIME ) ;", 0}}));
    // The comment and blank line before "step" are written with it, each at its own line;
    // each step's brace and its closing wait belong to the step, not to the comment whose
    // smaller indentation closed it; "if", "else", "match" and the case likewise.
    EXPECT_EQ(Pairs(traced->texts.behaviour, traced->origins.behaviour),
              (Listing{{"    // raise the request", 7},
                       {" ", 8},
                       {"      {", 9},
                       {"      req.write( SC_LOGIC_1  ) ;", 10},
                       {"      Do_Update () ;", 9},
                       {"      }", 9},
                       {"    // wait for it", 11},
                       {"    while ( ack.read () == SC_LOGIC_0  ) ", 12},
                       {"      {", 12},
                       {"      if ( Do_count.read () > n  ) ", 13},
                       {"        {", 13},
                       {"        req.write( SC_LOGIC_0  ) ;", 14},
                       {"        }", 13},
                       {"      else", 15},
                       {"        {", 15},
                       {"        Do_count.write( Do_count.read () + 1  ) ;", 16},
                       {"        }", 15},
                       {"      Do_Update () ;", 12},
                       {"      }", 12},
                       {"    // done", 17},
                       {"    switch ( Do_count.read ()  ) ", 18},
                       {"      {", 18},
                       {"      case 0  :", 19},
                       {"        {", 19},
                       {"        req.write( SC_LOGIC_0  ) ;", 20},
                       {"        } break ;", 19},
                       {"      }", 18}}));
    // The update's clock waits come from the options and the clock, from no line.
    for (int origin : traced->origins.upd) EXPECT_EQ(origin, -1);
    EXPECT_EQ(traced->origins.upd.size(), SplitSectionLines(traced->texts.upd.text()).size());
}

// Comments that wait for a statement are dropped by a line the translator refuses; a
// block of a kind without braces (opened after a comment) closes without a line; a line
// that opens no block but dedents to an outer one still closes only what it should.
TEST(SectionOrigins, RefusedLinesAndBlocksWithoutBraces) {
    const std::vector<std::string_view> source = {
        "namespace nsDo",                  // 1
        "  public Do ( n as Integer )",    // 2
        "    // dropped",                  // 3
        "    nonsense here",               // 4
        "    // a comment opens no brace", // 5
        "      req := LOGIC_1",            // 6
        "    step",                        // 7
        "      // kept",                   // 8
        "      req := LOGIC_0",            // 9
    };
    std::unique_ptr<Translated> traced = Translate(source, true);
    using Listing = std::vector<std::pair<std::string, int>>;
    EXPECT_EQ(Pairs(traced->texts.behaviour, traced->origins.behaviour),
              (Listing{{"    // a comment opens no brace", 5},
                       {"      req.write( SC_LOGIC_1  ) ;", 6},
                       {"      {", 7},
                       {"      // kept", 8},
                       {"      req.write( SC_LOGIC_0  ) ;", 9},
                       {"      Do_Update () ;", 7},
                       {"      }", 7}}));
}

} // namespace
} // namespace kestrel
