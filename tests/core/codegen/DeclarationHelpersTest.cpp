// The shared declaration helpers: substring counting, AsmL signatures, the in-memory
// rewrites of the signal table, the clock lookup, include guards, parameter lists, the
// date stamp and the file banner.
#include "codegen/DeclarationHelpers.h"
#include "codegen/TextWriter.h"

#include "CodegenSamples.h"
#include "TestSupport.h"

namespace kestrel {
namespace {

TEST(CountOccurrences, CountsOverlappingMatchesAndRefusesLongPatterns) {
    using Case = std::tuple<const char*, const char*, int>; // text, pattern, count
    for (auto [text, pattern, count] :
         {Case{"aaaa", "aa", 3}, Case{"abcabc", "abc", 2}, Case{"ab", "abc", 0}, Case{"", "a", 0},
          Case{"abc", "abc", 1}, Case{"C:\\Proj\\Output\\Tran.h", "\\", 3},
          Case{"abc\r\ndef\r\n", "\r\n", 2}, Case{"\r\n\r\n", "\n\r", 1}})
        EXPECT_EQ(CountOccurrences(text, pattern), count) << text;
}

TEST(AsmlSignature, HeadListAndTail) {
    std::vector<std::string> names;
    for (int i = -1; i <= 8; ++i) names.emplace_back(AsmlTypeName(i));
    EXPECT_EQ(names, (std::vector<std::string>{"", "", "Boolean", "Integer", "Integer", "Integer",
                                               "Integer", "Integer", "Integer", ""}));

    TlmFunction write = sample::Function("write", "void", 0,
                                         {sample::Parameter("int", 4, "addr"),
                                          sample::Parameter("int", 4, "data", false, false, true)});
    EXPECT_EQ(AsmlSignature(write), "public write (  addr as Integer, data as Seq of Integer ) ");

    TlmFunction ready = sample::Function("ready", "bool", 1),
                idle = sample::Function("idle", "void", 0);
    EXPECT_EQ(AsmlSignature(ready), "public ready ( ) as Boolean");
    EXPECT_EQ(AsmlSignature(idle), "public idle ( ) ");

    // A typed return type (index -1) has no AsmL name; the tail is "as " alone.
    TlmFunction typed = sample::Function("odd", "long", -1, {sample::Parameter("bool", 1, "b")});
    EXPECT_EQ(AsmlSignature(typed), "public odd (  b as Boolean ) as ");
}

TEST(AsmlSignature, StoresTheTrimmedNamesBack) {
    TlmFunction f = sample::Function("  read ", "int", 4, {sample::Parameter("int", 4, " addr  ")});
    EXPECT_EQ(AsmlSignature(f), "public read (  addr as Integer ) as Integer");
    EXPECT_EQ(f.functionName.Raw().substr(0, 5), "read ");
    EXPECT_EQ(f.parameters[1].parameterName.Raw().substr(0, 5), "addr ");
}

TEST(ReverseDirections, SwapsInAndOutExceptForTheClockAndInout) {
    RtlSignalTable table;
    table[1] = sample::Signal("clk", 0, 1, 0, "0", true);
    table[2] = sample::Signal("a", 0, 1, 0, "0");
    table[3] = sample::Signal("b", 0, 1, 1, "0");
    table[4] = sample::Signal("c", 0, 1, 2, "0");
    table[5] = sample::Signal("clk2", 0, 1, 1, "0", true);
    table[6] = sample::Signal("beyond", 0, 1, 0, "0");
    table.count = 5;
    ReverseDirections(table);
    const std::pair<int, std::string_view> reversed[] = {
        {0, "sc_in"}, {1, "sc_out"}, {0, "sc_in"}, {2, "sc_inout"}, {1, "sc_out"}};
    for (int k = 1; k <= 5; ++k) {
        EXPECT_EQ(table[k].directionIndex, reversed[k - 1].first) << k;
        EXPECT_EQ(table[k].directionText.Text(), reversed[k - 1].second) << k;
    }
    EXPECT_EQ(table[6].directionIndex, 0) << "slots above the count are not touched";
}

TEST(NormalizeInitValues, QuotesVectorsAndNamesLogicLevels) {
    RtlSignalTable table;
    table[1] = sample::Signal("v", 1, 4, 0, " 0011 ");
    table[2] = sample::Signal("b", 2, 1, 0, "1");
    table[3] = sample::Signal("l0", 0, 1, 0, " 0");
    table[4] = sample::Signal("lx", 0, 1, 0, "X");
    table[5] = sample::Signal("lz", 0, 1, 0, "Z");
    table[6] = sample::Signal("lower", 0, 1, 0, "x");
    table[7] = sample::Signal("wide", 2, 1, 0, " 01 ");
    table[8] = sample::Signal("typed", 0, 1, 0, " 1 ");
    table[8].dataTypeIndex = -1;
    table[9] = sample::Signal("empty", 1, 4, 0, "");
    table.count = 9;
    NormalizeInitValues(table);
    const std::string_view normalized[] = {"\"0011\"",   "SC_LOGIC_1", "SC_LOGIC_0", "SC_LOGIC_X",
                                           "SC_LOGIC_Z", "x",          "01"};
    for (int k = 1; k <= 7; ++k) EXPECT_EQ(table[k].initValue.Text(), normalized[k - 1]) << k;
    EXPECT_EQ(table[8].initValue.Raw().substr(0, 4), " 1  ") << "unknown types stay as stored";
    EXPECT_EQ(table[9].initValue.Text(), "\"\"");
}

TEST(FindClockSignal, TakesTheFirstClockOrKeepsTheOldName) {
    ProjectOptions options;
    options.clockPositiveEdge = false;
    ClockSelection clock{"old", true};

    RtlSignalTable table;
    table[1] = sample::Signal("data", 1, 8, 0, "0");
    table[2] = sample::Signal("  ck1 ", 0, 1, 0, "0", true);
    table[3] = sample::Signal("ck2", 0, 1, 0, "0", true);
    table.count = 3;
    FindClockSignal(table, options, clock);
    EXPECT_EQ(clock.clockSignalName, "ck1");
    EXPECT_EQ(table[2].signalName.Raw().substr(0, 4), "ck1 ");
    EXPECT_FALSE(clock.clockOnPositiveEdge);

    RtlSignalTable noClock;
    noClock[1] = sample::Signal("data", 1, 8, 0, "0");
    noClock.count = 1;
    options.clockPositiveEdge = true;
    FindClockSignal(noClock, options, clock);
    EXPECT_EQ(clock.clockSignalName, "ck1");
    EXPECT_TRUE(clock.clockOnPositiveEdge);
}

TEST(IncludeGuard, LastPathPartWithoutExtensionInUpperCase) {
    using P = std::pair<const char*, const char*>;
    // Windows-1252 letters: e acute (0xE9) and s caron (0x9A) have capitals.
    for (auto [path, guard] :
         {P{"/home/p/Output/TLM_AIC.h", "_TLM_AIC_H_"}, P{"/home/p/Output/Tran.h", "_TRAN_H_"},
          P{"C:\\p\\Output\\Iface.h", "_IFACE_H_"}, P{"Iface.h", "_IFACE_H_"},
          P{"/p/bus.hpp", "_BUS.H_H_"}, P{"/p/h", "__H_"}, P{"", "__H_"},
          P{"/p/\xE9t\x9A.h", "_\xC9T\x8A_H_"}})
        EXPECT_EQ(IncludeGuard(path), guard) << path;
}

TEST(ParameterListText, JoinsQualifiersTypesMarkersAndNames) {
    TlmFunction f = sample::Function(
        "f", "void", 0,
        {sample::Parameter("int", 4, "a"), sample::Parameter("char", 2, "b", true, true, true),
         sample::Parameter("unsigned short", 6, "  c ", false, false, true)});
    EXPECT_EQ(ParameterListText(f), "int  a, const char & b [], unsigned short  c []");
    EXPECT_EQ(ParameterListText(sample::Function("g", "void", 0)), "");
    f.parameterCount = 99; // a damaged count reads no further than the last slot
    EXPECT_NO_THROW(ParameterListText(f));
}

TEST(DateStampText, TwelveHourClockWithTwoDigitHours) {
    EXPECT_EQ(DateStampText({2026, 12, 4, 9, 51, 15, 5}), "Friday, Dec 4, 2026 @ 09:51:15 AM");
    EXPECT_EQ(DateStampText({2027, 1, 1, 0, 5, 0, 5}), "Friday, Jan 1, 2027 @ 12:05:00 AM");
    EXPECT_EQ(DateStampText({2026, 6, 15, 12, 0, 0, 1}), "Monday, Jun 15, 2026 @ 12:00:00 PM");
    EXPECT_EQ(DateStampText({2026, 6, 30, 23, 59, 59, 2}), "Tuesday, Jun 30, 2026 @ 11:59:59 PM");
}

std::string Banner(const ProjectOptions& options, BannerKind kind) {
    TextWriter out;
    WriteFileBanner(out, "--- title ---", options, {2026, 12, 4, 9, 51, 15, 5}, kind);
    return out.take();
}

// Without and with the comment lines; a comment without any CR LF has no comment line,
// even when asked for; the template's banner.
TEST(FileBanner, CommentLinesOnlyWhenAskedFor) {
    ProjectOptions options;
    sample::SetBanner(options);
    std::string banners = Banner(options, BannerKind::Generated);
    options.useCommentInHeaders = true;
    banners += "===\r\n" + Banner(options, BannerKind::Generated);
    options.comment = "single";
    banners += "===\r\n" + Banner(options, BannerKind::Generated);
    options.useCommentInHeaders = false;
    banners += "===\r\n" + Banner(options, BannerKind::Template);
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "codegen/banners.txt", banners));
}

} // namespace
} // namespace kestrel
