// kestrel-cli check on copies of conformance projects: every error printed as
// FILE:LINE: error: MESSAGE with the line of clean.asml or of the ASF diagram that holds
// the offending word, the same errors as Generate counts, and no output files.
#include "CheckCommand.h"
#include "CliRunner.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <vector>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

using test::Cli;
using test::CliRun;

// The "before" project of a conformance case copied into `dir`; returns its .tp path.
std::string CopyCase(const test::TempDir& dir, std::string_view caseName, std::string_view name) {
    fs::path project = dir.path() / std::string(name);
    test::CopyTree(test::ConformanceDir() / std::string(caseName) / "before" / std::string(name),
                   project);
    for (const char* folder : {"Input", "Output", "Temp"}) fs::create_directories(project / folder);
    return (project / (std::string(name) + ".tp")).string();
}

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// Checks that every printed error has the compiler form, points into one of `files`, and
// that the word of an "Unrecognized AsmL Word" error stands in the line it points at.
void ExpectPlacedErrors(const std::string& err, const std::vector<std::string>& files,
                        std::size_t count) {
    static const std::regex form(R"(^(.+):([0-9]+): error: (.+)$)");
    std::vector<std::string> printed = LinesOf(err);
    EXPECT_EQ(printed.size(), count);
    for (const std::string& line : printed) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(line, m, form)) << line;
        EXPECT_NE(std::find(files.begin(), files.end(), m[1].str()), files.end()) << line;
        std::vector<std::string> source = LinesOf(test::ReadBytes(m[1].str()));
        std::size_t number = std::stoul(m[2].str());
        ASSERT_GE(number, 1u) << line;
        ASSERT_LE(number, source.size()) << line;
        const std::string word = "Unrecognized AsmL Word: ";
        if (m[3].str().rfind(word, 0) == 0) {
            EXPECT_NE(source[number - 1].find(m[3].str().substr(word.size())), std::string::npos)
                << line << "\n  points at: " << source[number - 1];
        }
    }
}

TEST(CliCheck, AsmlErrorsPointIntoCleanAsml) {
    if (test::ConformanceDir().empty()) GTEST_SKIP() << "no conformance cases beside the checkout";
    test::TempDir dir;
    std::string tp = CopyCase(dir, "case-06", "tran_x");
    CliRun run = Cli({"check", tp});
    EXPECT_EQ(run.code, 1) << run.err;
    EXPECT_EQ(run.out, tp + ": 17 error(s)\n");
    ExpectPlacedErrors(run.err, {dir / "tran_x/Temp/clean.asml"}, 17);
    EXPECT_NE(run.err.find("/Temp/clean.asml:79: error: Unrecognized AsmL Word: foo\n"),
              std::string::npos)
        << run.err;
    EXPECT_TRUE(fs::is_empty(dir.path() / "tran_x/Output"));
    EXPECT_FALSE(fs::exists(dir.path() / "tran_x/tran_x.log"));
    EXPECT_TRUE(fs::exists(dir.path() / "tran_x/Temp/SendByte.asm"));
}

TEST(CliCheck, FsmErrorsPointIntoTheDiagrams) {
    if (test::ConformanceDir().empty()) GTEST_SKIP() << "no conformance cases beside the checkout";
    test::TempDir dir;
    std::string tp = CopyCase(dir, "case-07", "P1");
    CliRun run = Cli({"check", tp});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, tp + ": 29 error(s)\n");
    ExpectPlacedErrors(run.err, {dir / "P1/Input/Do.asf", dir / "P1/Input/Recv.asf"}, 29);
    // A state named "Wait Ack" is no AsmL name: reported at the label that names it.
    EXPECT_NE(run.err.find("/Input/Do.asf:47: error: Unrecognized AsmL Line:  Wait Ack\n"),
              std::string::npos)
        << run.err;
    EXPECT_TRUE(fs::is_empty(dir.path() / "P1/Output"));
}

TEST(CliCheck, CleanProjectsAndUnreadableOnes) {
    if (test::ConformanceDir().empty()) GTEST_SKIP() << "no conformance cases beside the checkout";
    test::TempDir dir;
    std::string tp = CopyCase(dir, "case-05", "P1");
    CliRun clean = Cli({"check", tp});
    EXPECT_EQ(clean.code, 0) << clean.err;
    EXPECT_EQ(clean.err, "");
    EXPECT_EQ(clean.out, tp + ": 0 error(s)\n");

    CliRun templ = Cli({"check", tp, "--method", "template"});
    EXPECT_EQ(templ.code, 0);
    EXPECT_EQ(templ.out, tp + ": 0 error(s)\n");

    CliRun missing = Cli({"check", dir / "nowhere/None.tp"});
    EXPECT_EQ(missing.code, 2);
    EXPECT_NE(missing.err.find("None.tp"), std::string::npos);

    EXPECT_EQ(cli::FormatDiagnostic({"/p/Proj.tp", 0, "AsmL Specification file not Assigned"}),
              "/p/Proj.tp: error: AsmL Specification file not Assigned");
    EXPECT_EQ(cli::FormatDiagnostic({"/p/Input/Do.asf", 12, "x"}), "/p/Input/Do.asf:12: error: x");
}

} // namespace
} // namespace kestrel
