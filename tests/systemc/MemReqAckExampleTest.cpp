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
using test::Quoted;
using test::ReadBytes;
using test::Succeeds;

// The transcript both behaviours must give. Clock period 10 ns, first rising edge at 0;
// each AsmL step (each pass of the state machine) ends on the next rising edge after
// the 9 ns setup wait.
//   Write: the request is driven until edge 1; the memory (no write wait state) answers
//   on that edge, so ack is still seen low once (waits 1) and high on edge 2; the
//   release step ends on edge 3: three cycles.
//   Read: the memory lets one edge pass first, so ack is seen low twice (waits 2): four
//   cycles.
// The first call starts at 0 ns; every later call starts where the one before ended.
constexpr std::string_view kTranscript =
    "     end  cycle  transaction          result\n"
    "   30 ns      3  Write (0x10, 0xa5)   waits 1\n"
    "   60 ns      6  Write (0x11, 0x3c)   waits 1\n"
    "   90 ns      9  Write (0xff, 0x01)   waits 1\n"
    "  130 ns     13  Read (0x10)          data 0xa5, waits 2\n"
    "  170 ns     17  Read (0x11)          data 0x3c, waits 2\n"
    "  200 ns     20  Write (0x10, 0x5a)   waits 1\n"
    "  240 ns     24  Read (0x10)          data 0x5a, waits 2\n"
    "  280 ns     28  Read (0xff)          data 0x01, waits 2\n"
    "  320 ns     32  Read (0x42)          data 0x00, waits 2\n"
    "all reads returned the bytes written\n";

const fs::path kExample = fs::path(KESTREL_EXAMPLES_DIR) / "MemReqAck";

test::CommandResult Cli(const std::string& arguments, const fs::path& logFile) {
    return test::RunCommand(Quoted((test::BinDir() / "kestrel-cli").string()) + " " + arguments,
                            logFile);
}

std::string WithoutCarriageReturns(std::string text) {
    std::erase(text, '\r');
    return text;
}

// Copies the example, points its generated files at the copy, generates with `method`,
// builds the simulation and runs it; returns its output (empty after a failure).
std::string GenerateBuildAndRun(const test::TempDir& dir, const std::string& method,
                                const std::string& expectedStatus) {
    const fs::path project = dir.path() / "MemReqAck";
    test::CopyTree(kExample, project);
    fs::create_directories(project / "Output");
    fs::create_directories(project / "Temp");
    const fs::path output = project / "Output";
    const std::string tp = Quoted((project / "MemReqAck.tp").string());
    const fs::path logs = dir.path() / "logs";
    fs::create_directories(logs);

    test::CommandResult pointed =
        Cli("settings " + tp + " --cpp " + Quoted((output / "Tran.cpp").string()) + " --header " +
                Quoted((output / "Tran.h").string()) + " --interface-header " +
                Quoted((output / "TLM_AIC.h").string()),
            logs / "settings.log");
    if (pointed.exitCode != 0) {
        ADD_FAILURE() << pointed.output;
        return {};
    }
    test::CommandResult generated =
        Cli("generate " + tp + " --method " + method, logs / "generate.log");
    EXPECT_EQ(generated.exitCode, 0) << generated.output;
    EXPECT_EQ(WithoutCarriageReturns(generated.output), expectedStatus);
    if (generated.exitCode != 0) return {};

    // The generated files compile without a warning; so does the testbench.
    const fs::path work = dir.path() / "build";
    fs::create_directories(work);
    const fs::path testbench = project / "testbench";
    const std::string standard = "-std=c++17";
    const std::string strict = "-Wall -Wextra -Werror";
    if (!Succeeds("compile Tran.cpp",
                  test::CompileCommand(standard, output / "Tran.cpp", work / "Tran.o", strict),
                  work / "Tran.log") ||
        !Succeeds("compile the testbench",
                  test::CompileCommand(standard, testbench / "main.cpp", work / "main.o",
                                       strict + " -I" + Quoted(output.string()) + " -I" +
                                           Quoted(testbench.string())),
                  work / "main.log") ||
        !Succeeds("link the simulation",
                  test::LinkCommand({work / "Tran.o", work / "main.o"}, work / "memreqack"),
                  work / "link.log")) {
        ADD_FAILURE() << "the simulation of the " << method << " transactor was not built";
        return {};
    }
    test::CommandResult run =
        test::RunCommand(test::RunProgramCommand(work / "memreqack"), work / "run.log");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    return run.output;
}

std::string Status(const test::TempDir& dir, std::string_view heading, std::string_view firstStep) {
    const std::string out = (dir.path() / "MemReqAck" / "Output").string();
    return std::string(heading) + "\n" + std::string(firstStep) +
           "\n"
           "Generating SystemC Code for Write(...) ...Done!\n"
           "Generating SystemC Code for Read(...) ...Done!\n"
           "Creating " +
           out + "/TLM_AIC.h File...Done!\nCreating " + out + "/Tran.h File...Done!\nCreating " +
           out +
           "/Tran.cpp File...Done!\n"
           "\n"
           "Transactor Generation Completed!\n"
           "0 Error(s), 0 Warning(s)\n";
}

// The committed binary tables hold what the example's README and declarations.json say:
// declaring the JSON file again changes no byte of them, and show lists the assignments.
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
    for (const char* line :
         {"  Method:          asml (2)\n", "  Setup wait:      9 SC_NS\n",
          "  AsmL document:   MemReqAck.asml (assigned)\n",
          "  1. void Write ( unsigned char  address, unsigned char  data, unsigned int & waits )"
          "  [FSM: Write.asf]\n",
          "  2. void Read ( unsigned char  address, unsigned char & data, unsigned int & waits )"
          "  [FSM: Read.asf]\n",
          "  1. sc_in bool clk = 0  [clock]\n", "  6. sc_out sc_logic ack = 0\n",
          "  7. sc_out sc_lv<8> rdata = 00000000\n"})
        EXPECT_NE(shown.output.find(line), std::string::npos) << line << shown.output;
}

TEST(MemReqAckExample, TransactorFromTheAsmlDocumentRunsTheHandshake) {
    test::TempDir dir;
    const std::string transcript =
        GenerateBuildAndRun(dir, "asml",
                            Status(dir, ":: Generating Transactor from AsmL Specification ::",
                                   "Converting MemReqAck.asml to clean.asml...Done!"));
    EXPECT_TRUE(test::SameBytes(kTranscript, transcript));
}

TEST(MemReqAckExample, TransactorFromTheAsfDiagramsRunsTheHandshake) {
    test::TempDir dir;
    const std::string transcript =
        GenerateBuildAndRun(dir, "fsm",
                            Status(dir, ":: Generating Transactor from Graphical FSM ::",
                                   "Creating clean.asml from ASF files...Done!"));
    EXPECT_TRUE(test::SameBytes(kTranscript, transcript));
}

} // namespace
} // namespace kestrel
