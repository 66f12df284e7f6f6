// The example project examples/MemReqAck as a user runs it: its binary tables hold the
// declarations of its declarations.json; kestrel-cli generates its transactor from the AsmL
// document and, in the next test, from the ASF diagrams; the generated Tran.h / Tran.cpp are
// compiled with SystemC together with the example's RTL memory model and caller thread
// (examples/MemReqAck/testbench, the same program that `make demo` runs), and the
// simulation's transcript is compared line by line: the bytes read back, the wait counts
// returned through the reference parameters, and the time and clock cycle at which each
// transaction ended.
#include "SystemcBuild.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using test::Cli;
using test::Quoted;
using test::ReadBytes;

// The transcript both behaviours must give (kMemReqAckTransactions between a heading and
// a closing line). Clock period 10 ns, first rising edge at 0; each AsmL step (each pass of
// the state machine) ends on the next rising edge after the 9 ns setup wait.
//   Write: the request is driven until edge 1; the memory (no write wait state) answers
//   on that edge, so ack is still seen low once (waits 1) and high on edge 2; the
//   release step ends on edge 3: three cycles.
//   Read: the memory lets one edge pass first, so ack is seen low twice (waits 2): four
//   cycles.
// The first call starts at 0 ns; every later call starts where the one before ended.
std::string Transcript() {
    std::string text = "     end  cycle  transaction          result\n";
    for (const char* line : test::kMemReqAckTransactions) text += std::string(line) + "\n";
    return text + "all reads returned the bytes written\n";
}

const fs::path kExample = fs::path(KESTREL_EXAMPLES_DIR) / "MemReqAck";

// Copies the example, points its generated files at the copy, generates with `method`
// (which says no error and no warning), builds the simulation with the example's RTL
// memory model and caller thread, all without a warning, and runs it; its output.
std::string GenerateBuildAndRun(const test::TempDir& dir, const std::string& method) {
    const fs::path project = dir.path() / "MemReqAck";
    const std::string tp = test::PointedMemReqAck(project, dir.path());
    test::CommandResult generated =
        Cli("generate " + tp + " --method " + method, dir.path() / "generate.log");
    EXPECT_EQ(generated.exitCode, 0) << generated.output;
    EXPECT_TRUE(test::Has(generated.output, "0 Error(s), 0 Warning(s)"));
    const std::string strict = "-Wall -Wextra -Werror";
    const fs::path output = project / "Output";
    const fs::path testbench = project / "testbench";
    test::CommandResult run =
        test::BuildAndRun({{output / "Tran.cpp", strict},
                           {testbench / "main.cpp", strict + " -I" + Quoted(output.string()) +
                                                        " -I" + Quoted(testbench.string())}},
                          dir.path() / "build");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    return run.output;
}

// The committed binary tables hold what the example's README and declarations.json say:
// declaring the JSON file again changes no byte of them, and show lists them with the
// settings and assignments.
TEST(MemReqAckExample, TablesHoldTheDocumentedDeclarations) {
    test::TempDir dir;
    const fs::path project = dir.path() / "MemReqAck";
    test::CopyTree(kExample, project);
    const std::string tp = Quoted((project / "MemReqAck.tp").string());

    test::CommandResult declared =
        Cli("declare " + tp + " " + Quoted((kExample / "declarations.json").string()),
            dir.path() / "declare.log");
    EXPECT_EQ(declared.exitCode, 0) << declared.output;
    for (const char* table : {"Input/tlm_func.dat", "Input/rtl_sig.dat"})
        EXPECT_TRUE(test::SameBytes(ReadBytes(kExample / table), ReadBytes(project / table)))
            << table;

    test::CommandResult shown = Cli("show " + tp, dir.path() / "show.log");
    EXPECT_EQ(shown.exitCode, 0) << shown.output;
    std::string listing = shown.output;
    listing.replace(listing.find(project.string()), project.string().size(), "<project>");
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "cli/MemReqAck_show.txt", listing));
}

TEST(MemReqAckExample, TransactorFromTheAsmlDocumentRunsTheHandshake) {
    test::TempDir dir;
    EXPECT_TRUE(test::SameBytes(Transcript(), GenerateBuildAndRun(dir, "asml")));
}

TEST(MemReqAckExample, TransactorFromTheAsfDiagramsRunsTheHandshake) {
    test::TempDir dir;
    EXPECT_TRUE(test::SameBytes(Transcript(), GenerateBuildAndRun(dir, "fsm")));
}

} // namespace
} // namespace kestrel
