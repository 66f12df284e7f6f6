// kestrel-cli check on copies of conformance projects: every error printed as
// FILE:LINE: error: MESSAGE with the line of clean.asml or of the ASF diagram that holds
// the offending word, the same errors as Generate counts, and no output files.
#include "CheckCommand.h"
#include "CliRunner.h"
#include "project/OutputPlacement.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

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
    // Its generated files named where the case was made: pointed at the copy, as a user does.
    EXPECT_TRUE(PointOutputsAtProject(project.string()).status);
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
// that the word of an "Unrecognized AsmL Word" error stands in the line it points at. The
// warnings follow the errors.
void ExpectPlacedErrors(const std::string& err, const std::vector<std::string>& files,
                        std::size_t count) {
    static const std::regex form(R"(^(.+):([0-9]+): error: (.+)$)");
    static const std::regex warning(R"(^(.+): warning: (.+)$)");
    // A diagram's lines come under the object they are about: "FILE: In state IDLE:".
    static const std::regex scope(R"(^(.+\.asf): In (.+):$)");
    std::vector<std::string> printed;
    for (const std::string& line : LinesOf(err))
        if (!std::regex_match(line, scope)) printed.push_back(line);
    ASSERT_GE(printed.size(), count);
    for (std::size_t i = count; i < printed.size(); ++i)
        EXPECT_TRUE(std::regex_match(printed[i], warning)) << printed[i];
    printed.resize(count);
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
    EXPECT_EQ(run.out, tp + ": 17 error(s), 14 warning(s)\n");
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
    EXPECT_EQ(run.out, tp + ": 29 error(s), 4 warning(s)\n");
    ExpectPlacedErrors(run.err, {dir / "P1/Input/Do.asf", dir / "P1/Input/Recv.asf"}, 29);
    // A state named "Wait Ack" is no AsmL name: reported at the label that names it, under
    // the state.
    EXPECT_NE(run.err.find("/Input/Do.asf: In state Wait Ack:\n" + (dir / "P1/Input/Do.asf") +
                           ":47: error: Unrecognized AsmL Line:  Wait Ack\n"),
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
    EXPECT_EQ(clean.out, tp + ": 0 error(s), 0 warning(s)\n");

    CliRun templ = Cli({"check", tp, "--method", "template"});
    EXPECT_EQ(templ.code, 0);
    EXPECT_EQ(templ.out, tp + ": 0 error(s), 0 warning(s)\n");

    CliRun missing = Cli({"check", dir / "nowhere/None.tp"});
    EXPECT_EQ(missing.code, 2);
    EXPECT_NE(missing.err.find("None.tp"), std::string::npos);

    EXPECT_EQ(cli::FormatDiagnostic({"/p/Proj.tp", 0, "AsmL Specification file not Assigned"}),
              "/p/Proj.tp: error: AsmL Specification file not Assigned");
    EXPECT_EQ(cli::FormatDiagnostic({"/p/Input/Do.asf", 12, "x"}), "/p/Input/Do.asf:12: error: x");
}

// Warnings follow the errors on stderr in the same form and are counted apart; alone they
// exit 0, and Generate neither prints nor counts them.
TEST(CliCheck, WarningsAreListedAfterTheErrorsAndDoNotFailTheCheck) {
    test::TempDir dir;
    const fs::path project = dir.path() / "MemReqAck";
    test::CopyTree(test::FixtureDir().parent_path().parent_path() / "examples/MemReqAck", project);
    const std::string tp = (project / "MemReqAck.tp").string();
    ASSERT_EQ(Cli({"settings", tp, "--here"}).code, 0);
    const std::string clean = (project / "Temp/clean.asml").string();
    const fs::path document = project / "Input/MemReqAck.asml";
    std::string text = test::ReadBytes(document);
    const std::string loop = "        step while ack = LOGIC_0\r\n          n := n + 1";
    std::size_t at = text.find(loop);
    ASSERT_NE(at, std::string::npos);
    const std::string lineOf =
        std::to_string(1 + std::count(text.begin(), text.begin() + at, '\n'));
    text.replace(at, loop.size(),
                 "        step until ack = LOGIC_1\r\n          n := n + 1 // wait");
    test::WriteBytes(document, text);

    CliRun both = Cli({"check", tp});
    EXPECT_EQ(both.code, 1);
    EXPECT_EQ(both.out, tp + ": 1 error(s), 2 warning(s)\n");
    const std::string next = std::to_string(std::stoi(lineOf) + 1);
    std::vector<std::string> printed = LinesOf(both.err);
    ASSERT_EQ(printed.size(), 3u) << both.err;
    EXPECT_EQ(printed[0], clean + ":" + next + ": error: Unrecognized AsmL Word: wait");
    EXPECT_EQ(printed[1], clean + ":" + lineOf +
                              ": warning: step until becomes \"while !( ... )\", which is not "
                              "C++; write step while not ( ack = LOGIC_1 )");
    EXPECT_EQ(printed[2].rfind(clean + ":" + next + ": warning: the comment \"// wait\"", 0), 0u)
        << printed[2];

    text.replace(text.find(" // wait"), 8, "");
    test::WriteBytes(document, text);
    CliRun warned = Cli({"check", tp});
    EXPECT_EQ(warned.code, 0) << warned.err;
    EXPECT_EQ(warned.out, tp + ": 0 error(s), 1 warning(s)\n");
    EXPECT_EQ(warned.err, printed[1] + "\n");

    CliRun generated = Cli({"generate", tp});
    EXPECT_EQ(generated.code, 0) << generated.err;
    EXPECT_TRUE(fs::exists(project / "Output/Tran.cpp"));
    EXPECT_NE(generated.out.find("\n0 Error(s), 0 Warning(s)"), std::string::npos) << generated.out;
    EXPECT_EQ(generated.out.find("step until"), std::string::npos);

    Diagnostic onFile{"/p/Input/tlm_func.dat", 0, "Read returns int", Severity::Warning};
    EXPECT_EQ(cli::FormatDiagnostic(onFile), "/p/Input/tlm_func.dat: warning: Read returns int");
}

// A function whose behaviour is missing gets an empty body: warned of by either method.
TEST(CliCheck, AFunctionWithoutBehaviourIsWarnedOf) {
    test::TempDir dir;
    const fs::path project = dir.path() / "MemReqAck";
    test::CopyTree(test::FixtureDir().parent_path().parent_path() / "examples/MemReqAck", project);
    const std::string tp = (project / "MemReqAck.tp").string();
    ASSERT_EQ(Cli({"options", tp, "--method", "fsm"}).code, 0);
    ASSERT_EQ(Cli({"unassign-fsm", tp, "Read"}).code, 0);
    CliRun fsm = Cli({"check", tp});
    EXPECT_EQ(fsm.code, 0) << fsm.err;
    EXPECT_EQ(fsm.out, tp + ": 0 error(s), 1 warning(s)\n");
    EXPECT_NE(fsm.err.find((project / "Input/asf.dat").string() +
                           ": warning: the function Read has no state diagram assigned, so its "
                           "generated body is empty and a call returns at once; assign one\n"),
              std::string::npos)
        << fsm.err;

    ASSERT_EQ(Cli({"options", tp, "--method", "asml"}).code, 0);
    const fs::path document = project / "Input/MemReqAck.asml";
    std::string text = test::ReadBytes(document);
    text.replace(text.find("namespace nsRead"), 16, "namespace nsReed");
    test::WriteBytes(document, text);
    CliRun asml = Cli({"check", tp});
    EXPECT_NE(asml.err.find((project / "Temp/clean.asml").string() +
                            ": warning: the function Read has no section (no line \"namespace "
                            "nsRead\"), so its generated body is empty"),
              std::string::npos)
        << asml.err;
}

// An action drawn on the trap state never runs: diagram check and check warn of it at the
// action's line, under the object it belongs to; a check is still a success.
TEST(CliCheck, ActionsOfTheTrapStateAreWarnedOfAtTheirDiagramLine) {
    test::TempDir dir;
    const fs::path project = dir.path() / "MemReqAck";
    test::CopyTree(test::FixtureDir().parent_path().parent_path() / "examples/MemReqAck", project);
    const std::string tp = (project / "MemReqAck.tp").string();
    const std::string diagram = (project / "Input/Write.asf").string();
    ASSERT_EQ(Cli({"settings", tp, "--here"}).code, 0);
    ASSERT_EQ(Cli({"options", tp, "--method", "fsm"}).code, 0);
    CliRun clean = Cli({"check", tp});
    EXPECT_EQ(clean.code, 0) << clean.err;
    EXPECT_EQ(clean.out, tp + ": 0 error(s), 0 warning(s)\n");

    CliRun shown = Cli({"diagram", "show", "--json", diagram});
    ASSERT_EQ(shown.code, 0) << shown.err;
    nlohmann::json model = nlohmann::json::parse(shown.out);
    std::int64_t done = 0;
    for (const auto& state : model["states"])
        if (state["kind"] == "trap") done = state["id"];
    ASSERT_NE(done, 0);
    model["actions"].push_back({{"id", 900}, {"state", done}, {"text", "req := LOGIC_0"}});
    test::WriteBytes(dir / "model.json", model.dump());
    ASSERT_EQ(Cli({"diagram", "set", diagram, dir / "model.json"}).code, 0);
    model = nlohmann::json::parse(Cli({"diagram", "show", "--json", diagram}).out);
    const std::string action = "A " + model["actions"].back()["id"].dump() + " ";
    std::size_t line = 0;
    for (const std::string& text : LinesOf(test::ReadBytes(diagram)))
        if (++line && text.rfind(action, 0) == 0) break;
    const std::string warning = diagram + ":" + std::to_string(line) +
                                ": warning: The actions of the trap state \"DONE\" never run";

    CliRun alone = Cli({"diagram", "check", diagram});
    EXPECT_EQ(alone.code, 0) << alone.err;
    EXPECT_EQ(alone.err.rfind(warning, 0), 0u) << alone.err;
    CliRun warned = Cli({"check", tp});
    EXPECT_EQ(warned.code, 0) << warned.err;
    EXPECT_EQ(warned.out, tp + ": 0 error(s), 1 warning(s)\n");
    EXPECT_EQ(warned.err.rfind(diagram + ": In action of state DONE:\n" + warning, 0), 0u)
        << warned.err;
}

} // namespace
} // namespace kestrel
