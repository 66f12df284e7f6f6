// Reading a compiler's output (tests/golden/sim/*.out): g++'s diagnostics with and without
// column or line, the context lines before them (scope, include chain, instantiation), the
// quoted source and fix-it lines after them, notes, a build tool's lines around them, and
// colour; each read field by field against a golden listing. Then the mapped diagnostics as
// a user reads them, also golden.
#include "sim/CompilerDiagnostics.h"
#include "sim/SourceMap.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrel {
namespace {

const std::filesystem::path kDir = test::GoldenDir() / "sim";

// Every field of every diagnostic, one a line.
std::string Listing(const std::vector<CompilerDiagnostic>& diagnostics) {
    std::string text;
    for (const CompilerDiagnostic& d : diagnostics) {
        text += d.file + " | " + std::to_string(d.line) + " | " + std::to_string(d.column) + " | " +
                d.severity + (d.IsError() ? " (error)" : "") + " | " + d.message + "\n";
        for (const std::string& line : d.context) text += "  context: " + line + "\n";
        text += "  text: " + d.text + "\n";
        for (const std::string& line : d.excerpt) text += "  quote: " + line + "\n";
    }
    return text;
}

TEST(ParseCompilerOutput, EachDiagnosticWithItsPlaceContextAndQuotes) {
    for (const char* name : {"gcc", "build_tool", "colour"}) {
        const std::string output = test::ReadBytes(kDir / (std::string(name) + ".out"));
        EXPECT_TRUE(test::MatchesGolden(kDir / (std::string(name) + ".parsed"),
                                        Listing(ParseCompilerOutput(output))));
    }
    EXPECT_EQ(WithoutEscapes("a\x1b[1;31mb\x1b[mc"), "abc");
}

// Mapped lines go to the user's place, under a scope line that is written only when it
// changes; the rest stay as printed, with their context and quotes. The map has Tran.cpp:45
// from clean.asml:111 and Tran.h:84 from a diagram's object.
TEST(MapCompilerOutput, MappedLinesGoToTheUsersPlaceTheRestStayAsPrinted) {
    SourceMap map;
    map.files = {{"/p/Output/Tran.cpp",
                  {{45,
                    "          wdata.write( toLv ( datum )  ) ;",
                    {"/p/Temp/clean.asml", 111, "namespace nsWrite"}}}},
                 {"/p/Output/Tran.h",
                  {{84, "  sc_signal <Foo> Write_n ;", {"/p/Input/Write.asf", 69, "signal n"}}}}};
    std::vector<MappedDiagnostic> mapped =
        MapCompilerOutput(test::ReadBytes(kDir / "gcc.out"), map);
    ASSERT_EQ(mapped.size(), 6u);
    EXPECT_EQ(mapped[0].generatedFile, "/p/Output/Tran.h");
    EXPECT_EQ(mapped[1].generatedText, map.files[0].lines[0].text);
    for (const char* name : {"gcc", "scopes"}) {
        const std::string output = test::ReadBytes(kDir / (std::string(name) + ".out"));
        EXPECT_TRUE(test::MatchesGolden(kDir / (std::string(name) + ".mapped"),
                                        FormatMappedDiagnostics(MapCompilerOutput(output, map))));
    }
}

} // namespace
} // namespace kestrel
