// The translator's capacities: 25 variables, 25 constants, 20 enumerations of 20 values
// and 64 open blocks, and hostile lines. Beyond them an error is logged, the
// excess is skipped and the translation goes on.
#include "TranslatorHarness.h"

#include "codegen/DeclarationHelpers.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::Errors;
using test::SampleRun;

TEST(TranslatorCapacity, DeclarationListsRefuseTheExcessButKeepWriting) {
    SampleRun sample;
    std::vector<std::string> lines;
    for (int i = 1; i <= 26; ++i) lines.push_back("var v" + std::to_string(i) + " as Boolean");
    for (int i = 1; i <= 26; ++i) lines.push_back("const c" + std::to_string(i) + " as Char = 1");
    lines.push_back("n := v25 + v26 + c25 + c26");
    auto got = test::TranslateLines(sample.run, 1, lines);

    EXPECT_NE(got.dec.find("sc_signal <bool> Read_v26 ;\r\n"), std::string::npos);
    EXPECT_NE(got.ini.find("const char Read_c26 = 1  ;\r\n"), std::string::npos);
    EXPECT_EQ(got.behaviour, "n  = Read_v25.read () + v26 + Read_c25 + c26  ;\r\n");
    EXPECT_EQ(got.log, Errors({"Too many AsmL Variables (more than 25): v26",
                               "Too many AsmL Constants (more than 25): c26",
                               "Unrecognized AsmL Word: v26", "Unrecognized AsmL Word: c26"}));
}

TEST(TranslatorCapacity, EnumerationsAndTheirValues) {
    SampleRun sample;
    std::vector<std::string> lines;
    for (int e = 1; e <= 21; ++e) {
        lines.push_back("enum E" + std::to_string(e));
        lines.push_back("  A" + std::to_string(e));
    }
    lines.push_back("enum Big");
    for (int v = 1; v <= 21; ++v) lines.push_back("  B" + std::to_string(v));
    lines.push_back("n := A20 + A21 + B20 + B21");
    lines.push_back("var x as E21");
    auto got = test::TranslateLines(sample.run, 1, lines);

    // "Big" finds no room either: its values are written but not known as names.
    EXPECT_NE(got.dec.find("enum Read_E21\r\n  {\r\n  Read_A21\r\n  };\r\n"), std::string::npos);
    EXPECT_NE(got.dec.find("  Read_B1, Read_B2, "), std::string::npos);
    EXPECT_EQ(got.behaviour, "n  = Read_A20 + A21 + B20 + B21  ;\r\n");
    EXPECT_NE(got.dec.find("sc_signal <> Read_x ;"), std::string::npos);
    EXPECT_EQ(got.log, Errors({"Too many AsmL Enumerations (more than 20): E21",
                               "Too many AsmL Enumerations (more than 20): Big",
                               "Unrecognized AsmL Word: A21", "Unrecognized AsmL Word: B20",
                               "Unrecognized AsmL Word: B21"}));

    // Twenty values fit in one enumeration, the 21st does not.
    lines = {"enum Big"};
    for (int v = 1; v <= 21; ++v) lines.push_back("  B" + std::to_string(v));
    lines.push_back("n := B20 + B21");
    got = test::TranslateLines(sample.run, 1, lines);
    EXPECT_EQ(got.behaviour, "n  = Read_B20 + B21  ;\r\n");
    EXPECT_NE(got.dec.find("Read_B19, Read_B20, Read_B21\r\n  };\r\n"), std::string::npos);
    EXPECT_EQ(got.log, Errors({"Too many values in AsmL Enumeration Big (more than 20): B21",
                               "Unrecognized AsmL Word: B21"}));
}

TEST(TranslatorCapacity, SixtyFourOpenBlocks) {
    SampleRun sample;
    std::vector<std::string> lines;
    // Each line one blank deeper: the first opens a block of the namespace kind, the
    // next 63 open "if" blocks; the 65th and 66th find the stack full.
    for (int i = 1; i <= 66; ++i)
        lines.push_back(std::string(static_cast<std::size_t>(i), ' ') + "if n then");
    lines.push_back(std::string(65, ' ') + "n := 1");
    auto got = test::TranslateLines(sample.run, 1, lines);

    EXPECT_EQ(got.log,
              Errors({"Block Generation Stack Overflow!!", "Block Generation Stack Overflow!!",
                      "Block Generation Stack Overflow!!"}));
    EXPECT_EQ(CountOccurrences(got.behaviour, "{\r\n"), 63);
    EXPECT_EQ(CountOccurrences(got.behaviour, "}\r\n"), 63);
    // The lines that found no room are still translated, at their own indentation.
    EXPECT_NE(got.behaviour.find(std::string(66, ' ') + "if ( n  ) \r\n"), std::string::npos);
    EXPECT_NE(
        got.behaviour.find(std::string(65, ' ') + "n  = 1  ;\r\n" + std::string(64, ' ') + "}\r\n"),
        std::string::npos);
}

TEST(TranslatorCapacity, HostileLinesAreTranslatedWithoutFailing) {
    test::SampleRun sample;
    std::vector<std::string> lines;
    // Random bytes of the whole code page, blanks and operator characters mixed in.
    std::uint32_t seed = 12345;
    auto next = [&] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    const std::string alphabet = " ():=<>+-*/,\t\"x1";
    for (int i = 0; i < 3000; ++i) {
        std::string line(next() % 120, ' ');
        for (char& c : line) {
            std::uint32_t r = next();
            c = (r & 1) ? alphabet[r % alphabet.size()] : static_cast<char>(r >> 4);
        }
        lines.push_back(line);
    }
    lines.push_back(std::string(40000, ' ') + "if x then");
    lines.push_back(std::string(40001, ' ') + "x := 1");
    lines.push_back(std::string(1 << 20, 'w'));
    lines.push_back(std::string(5000, '('));
    lines.push_back("enum");
    lines.push_back("  //");
    lines.push_back("var");
    lines.push_back(":=");
    lines.push_back("SetClockSignal ( ");
    auto got = test::TranslateLines(sample.run, 1, lines);
    EXPECT_GT(sample.run.log().ErrorCount(), 0);
    // The deepest indentation the block stacks can hold is 32767 blanks.
    EXPECT_NE(got.behaviour.find(std::string(32767, ' ') + "if ( x  ) "), std::string::npos);
}

} // namespace
} // namespace kestrel
