// kestrel-cli sim and testbench on a copy of examples/MemReqAck, as a user runs them: the
// transactor against the memory's SystemC model and against the same memory in Verilog
// through Verilator gives the transactions of the example's transcript; the RTL's
// undeclared ports reach RunTransactions through RtlPins, written by any of their processes;
// an active-low reset is held, then released before the transactions; a transactor waiting
// for an answer that never comes stops at the time limit, naming the inputs that never
// changed; a port the Verilog lacks is refused before anything is built. And
// examples/UartLoop, a project with a Verilog UART of its own, made from its text sources
// with kestrel-cli: its hand-written transactions loop tx back to rx and check every byte,
// by the AsmL method and then by state diagrams.
#include "SystemcBuild.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using test::Cli;
using test::Quoted;

const fs::path kExample = fs::path(KESTREL_EXAMPLES_DIR) / "MemReqAck";

// An input file of these tests, in tests/fixtures/systemc.
fs::path Fixture(const char* name) {
    return fs::path(KESTREL_SYSTEMC_FIXTURES_DIR) / name;
}

struct Project {
    fs::path folder;
    std::string tp; // quoted for the shell
};

// A copy of the example with its outputs pointed at the copy, generated from the AsmL.
Project GeneratedCopy(const test::TempDir& dir) {
    Project project{dir.path() / "MemReqAck",
                    test::PointedMemReqAck(dir.path() / "MemReqAck", dir.path())};
    test::CommandResult generated = Cli("generate " + project.tp, dir.path() / "generate.log");
    EXPECT_EQ(generated.exitCode, 0) << generated.output;
    return project;
}

// Builds the testbench folder with plain CMake in `build` and runs its program there with
// `options`; a failed step fails the test and gives exit code -1.
test::CommandResult BuildFolderAndRun(const fs::path& folder, const fs::path& build,
                                      const fs::path& logs, const std::string& options = "") {
    const std::string b = Quoted(build.string());
    for (const auto& [what, command] :
         {std::pair<std::string, std::string>{"configure",
                                              "cmake -S " + Quoted(folder.string()) + " -B " + b},
          {"build", "cmake --build " + b + " -j 2"}}) {
        ::testing::AssertionResult step = test::Succeeds(what, command, logs / (what + ".log"));
        EXPECT_TRUE(step);
        if (!step) return {};
    }
    return test::RunCommand("cd " + Quoted(folder.string()) + " && SC_COPYRIGHT_MESSAGE=DISABLE " +
                                b + "/sim" + options,
                            logs / "run.log");
}

void ExpectTranscript(const std::string& output) {
    for (const char* line : test::kMemReqAckTransactions)
        EXPECT_TRUE(test::Has(output, std::string(line) + "\n")) << line << "\n" << output;
    EXPECT_TRUE(test::Has(output, "Transactions completed: 9\nSimulated time: 320 ns\n"));
}

TEST(Sim, MemReqAckGivesTheSameTransactionsAgainstTheSystemcModelAndTheVerilogMemory) {
    test::TempDir dir;
    Project project = GeneratedCopy(dir);
    const fs::path systemc = project.folder / "Output" / "testbench";
    const fs::path verilog = project.folder / "Output" / "testbench-verilog";
    fs::create_directories(systemc);
    fs::create_directories(verilog);
    fs::copy_file(kExample / "sim" / "rtl.h", systemc / "rtl.h");
    fs::copy_file(kExample / "sim" / "transactions.cpp", systemc / "transactions.cpp");
    fs::copy_file(kExample / "sim" / "transactions.cpp", verilog / "transactions.cpp");

    test::CommandResult model = Cli("sim " + project.tp, dir.path() / "sim-systemc.log");
    ASSERT_EQ(model.exitCode, 0) << model.output;
    ExpectTranscript(model.output);
    EXPECT_TRUE(test::Has(model.output, "Waveform: " + (systemc / "waves.vcd").string()));
    const std::string waves = test::ReadBytes(systemc / "waves.vcd");
    for (const char* signal : {" clk ", " req ", " addr ", " ack ", " rdata "})
        EXPECT_TRUE(test::Has(waves, signal)) << signal;
    // The user's files are kept as they were.
    EXPECT_EQ(test::ReadBytes(systemc / "rtl.h"), test::ReadBytes(kExample / "sim" / "rtl.h"));

    test::CommandResult rtl = Cli("sim " + project.tp + " --no-generate --rtl " +
                                      Quoted((kExample / "rtl" / "memory.v").string()) + " --out " +
                                      Quoted(verilog.string()),
                                  dir.path() / "sim-verilog.log");
    ASSERT_EQ(rtl.exitCode, 0) << rtl.output;
    ExpectTranscript(rtl.output);
    EXPECT_FALSE(test::Has(rtl.output, "X or Z"));
}

TEST(Sim, TheRtlsUndeclaredPortsReachTheTransactionsThroughRtlPinsWrittenByAnyOfTheirProcesses) {
    test::TempDir dir;
    Project project = GeneratedCopy(dir);
    // The memory behind a wrapper with ports the project does not declare: an input that
    // inverts the bytes read (written by RunTransactions and by a thread it spawns), a count
    // of the accesses, and an input the transactions tie to that count (with a method they
    // start) that comes back on an output.
    const fs::path wrapper = dir.path() / "memory_with_pins.v";
    fs::copy_file(Fixture("memory_with_pins.v"), wrapper);
    const fs::path folder = project.folder / "Output" / "testbench";
    fs::create_directories(folder);
    fs::copy_file(Fixture("pins_transactions.cpp"), folder / "transactions.cpp");
    test::CommandResult testbench =
        Cli("testbench " + project.tp + " --rtl " + Quoted(wrapper.string()) + " " +
                Quoted((kExample / "rtl" / "memory.v").string()) + " --top memory_with_pins",
            dir.path() / "testbench.log");
    ASSERT_EQ(testbench.exitCode, 0) << testbench.output;
    EXPECT_TRUE(test::Has(testbench.output, "kept transactions.cpp (yours)"));
    // The folder builds and runs without Kestrel.
    test::CommandResult run =
        BuildFolderAndRun(folder, folder / "build", dir.path(), " --until 10us");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_FALSE(test::Has(run.output, "E115"));
    for (const char* line :
         {"data 0x77 accesses 3", "tied 3", "kestrel-sim: 3 transaction(s) completed"})
        EXPECT_TRUE(test::Has(run.output, line));
}

// The check lines of the UART test's output ("   2080 ns  PASS: byte sent ..."), in order.
std::string CheckLines(const std::string& output) {
    static const std::regex kCheck(R"(^ *[0-9]+ [a-z]+  (PASS|FAIL): .*$)");
    std::string lines;
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);)
        if (std::regex_match(line, kCheck)) lines += line + "\n";
    return lines;
}

TEST(Sim, AUartWithVerilogOfItsOwnLoopsItsBytesBackByBothMethods) {
    test::TempDir dir;
    const fs::path example = fs::path(KESTREL_EXAMPLES_DIR) / "UartLoop";
    const std::string cli = Quoted((test::BinDir() / "kestrel-cli").string());
    const std::string tp = Quoted((dir.path() / "UartLoop" / "UartLoop.tp").string());
    const std::string rtl = " --rtl " + Quoted((example / "rtl" / "uart.v").string());
    auto run = [&](const std::string& method) {
        test::CommandResult made =
            test::RunCommand(Quoted((example / "make-project").string()) + " " + cli + " " +
                                 Quoted(dir.path().string()) + " " + method,
                             dir.path() / ("make-" + method + ".log"));
        EXPECT_EQ(made.exitCode, 0) << made.output;
        return Cli("sim " + tp + rtl, dir.path() / ("sim-" + method + ".log"));
    };

    test::CommandResult asml = run("asml");
    ASSERT_EQ(asml.exitCode, 0) << asml.output;
    // Every byte sent comes back, each check on its cycle.
    const std::string checks = CheckLines(asml.output);
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "systemc/uart_checks.txt", checks));
    EXPECT_TRUE(test::Has(asml.output, "13 PASS, 0 FAIL\n"));
    // reset.h holds rst high for 4 cycles first; the test's own reset of it still works.
    EXPECT_TRUE(test::Has(asml.output, "sim: resets: rst (active high), held for 4 clock cycles"));
    EXPECT_TRUE(test::Has(asml.output, "Transactions completed: 22\nSimulated time: 2250 ns\n"));
    // The same behaviour drawn: the same checks on the same cycles.
    test::CommandResult fsm = run("fsm");
    ASSERT_EQ(fsm.exitCode, 0) << fsm.output;
    EXPECT_EQ(CheckLines(fsm.output), checks) << fsm.output;
    EXPECT_TRUE(test::Has(fsm.output, "Transactions completed: 22\nSimulated time: 2250 ns\n"));
}

TEST(Sim, AnActiveLowResetIsHeldThenReleasedBeforeTheTransactionsAndTheirOwnDrivingOfItWorks) {
    test::TempDir dir;
    Project project = GeneratedCopy(dir);
    // The memory answers only once it has been in reset and is out of it again.
    const fs::path wrapper = dir.path() / "memory_with_reset.v";
    fs::copy_file(Fixture("memory_with_reset.v"), wrapper);
    const std::string sim = "sim " + project.tp + " --no-generate --until 5us --top " +
                            "memory_with_reset --rtl " + Quoted(wrapper.string()) + " " +
                            Quoted((kExample / "rtl" / "memory.v").string());
    // The example calls of transactions.cpp as written.
    test::CommandResult run = Cli(sim, dir.path() / "sim.log");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(test::Has(run.output,
                          "sim: resets: PRESETn (active low), held for 4 clock cycles by "
                          "reset.h, then released\n"));
    EXPECT_TRUE(test::Has(run.output, "Transactions completed: 2\n"));

    // Transactions that reset the memory again from a thread of their own, between calls.
    const fs::path folder = project.folder / "Output" / "testbench";
    fs::copy_file(Fixture("reset_transactions.cpp"), folder / "transactions.cpp",
                  fs::copy_options::overwrite_existing);
    test::CommandResult again = Cli(sim, dir.path() / "sim-again.log");
    ASSERT_EQ(again.exitCode, 0) << again.output;
    EXPECT_TRUE(test::Has(again.output, "Transactions completed: 2\n"));
}

TEST(Sim, StopsAtTheTimeLimitWhenTheRtlNeverAnswers) {
    test::TempDir dir;
    Project project = GeneratedCopy(dir);
    // Without --rtl the testbench writes rtl.h, a module that does nothing: ack stays low.
    test::CommandResult run =
        Cli("sim " + project.tp + " --no-generate --until 2us", dir.path() / "sim.log");
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_TRUE(test::Has(run.output, "kestrel-sim: the time limit of 2 us was reached before "
                                      "RunTransactions returned"));
    EXPECT_TRUE(test::Has(run.output, "kestrel-sim: 0 transaction(s) completed in 2 us"));
    // The example Write(0, 0) raised req and we; the address and data stayed as they began.
    EXPECT_TRUE(test::Has(run.output,
                          "kestrel-cli: the simulation ended with status 3 (time limit "
                          "reached; inputs of the RTL that never changed: addr, wdata)\n"));
}

TEST(Sim, ABuildErrorPointsAtTheAsmlLineThatMadeIt) {
    test::TempDir dir;
    Project project = GeneratedCopy(dir);
    const fs::path asml = project.folder / "Input" / "MemReqAck.asml";
    std::string text = test::ReadBytes(asml);
    const std::string planted = "wdata := toLv ( datum )";
    text.replace(text.find("wdata := toLv ( data )"), 22, planted);
    test::WriteBytes(asml, text);
    // The translator lets the unknown word through (and counts it, so sim would not go on
    // from its own Generate); the compiler refuses it.
    EXPECT_EQ(Cli("generate " + project.tp, dir.path() / "generate.log").exitCode, 1);
    test::CommandResult run = Cli("sim " + project.tp + " --no-generate", dir.path() / "sim.log");
    EXPECT_EQ(run.exitCode, 1) << run.output;
    // clean.asml holds the document's lines: the planted one is line 111 there.
    const std::string place = (project.folder / "Temp" / "clean.asml").string() + ":111: error: ";
    EXPECT_TRUE(test::Has(run.output, place));
    EXPECT_TRUE(test::Has(run.output, "in Tran.cpp:"));
    EXPECT_TRUE(test::Has(run.output, "kestrel-cli: the simulation did not build"));

    // From its own Generate, sim stops at the translator's error and shows it where made.
    test::CommandResult generated = Cli("sim " + project.tp, dir.path() / "sim-generate.log");
    EXPECT_EQ(generated.exitCode, 1) << generated.output;
    EXPECT_TRUE(test::Has(generated.output, place + "Unrecognized AsmL Word: datum\n"));
    EXPECT_TRUE(test::Has(generated.output, "Generate logged 1 error(s); nothing was simulated"));
}

// Run from the folder that holds a module the files given do not: Verilator finds it
// there, but the build runs Verilator in the testbench folder, where it is missing. Sim
// stops before building, with Verilator's own message.
TEST(Sim, AModuleOnlyTheCallersFolderHoldsIsMissingAsInTheBuild) {
    test::TempDir dir;
    Project project = GeneratedCopy(dir);
    const fs::path rtl = project.folder / "rtl";
    fs::create_directories(rtl);
    fs::copy_file(test::FixtureDir() / "sim" / "wrapper.v", rtl / "wrapper.v");
    test::CommandResult run = test::RunCommand(
        "cd " + Quoted(rtl.string()) + " && " + Quoted((test::BinDir() / "kestrel-cli").string()) +
            " sim " + project.tp + " --no-generate --rtl wrapper.v --top wrapper",
        dir.path() / "sim.log");
    EXPECT_NE(run.exitCode, 0) << run.output;
    EXPECT_TRUE(
        test::Has(run.output, "wrapper.v:4:5: Cannot find file containing module: 'memory'"));
    EXPECT_FALSE(test::Has(run.output, "Building the simulation"));
}

// A build that fails in the user's transactions.cpp: the compiler's line, then the linker's
// when RunTransactions is not what sc_main calls; fixed, it builds. Then the project, moved
// to another folder, builds there with plain CMake, with its defines and include folders.
TEST(Sim, TheFailedToolsOwnLinesReachTheUserAndTheFolderMovesWithItsProject) {
    test::TempDir dir;
    Project project = GeneratedCopy(dir);
    const fs::path folder = project.folder / "Output" / "testbench";
    fs::create_directories(folder);
    fs::copy_file(kExample / "sim" / "rtl.h", folder / "rtl.h");
    const std::string example = test::ReadBytes(kExample / "sim" / "transactions.cpp");

    std::string broken = example;
    const std::string call = "tlm.Write(";
    broken.insert(broken.find(call), "nonsense here;\n    ");
    test::WriteBytes(folder / "transactions.cpp", broken);
    test::CommandResult compile = Cli("sim " + project.tp + " --no-generate", dir.path() / "c.log");
    EXPECT_EQ(compile.exitCode, 1) << compile.output;
    EXPECT_TRUE(test::Has(compile.output, "transactions.cpp:"));
    EXPECT_TRUE(test::Has(compile.output, "was not declared in this scope"));
    EXPECT_TRUE(
        test::Has(compile.output, "the simulation did not build: the C++ compiler stopped\n"));

    test::WriteBytes(folder / "transactions.cpp",
                     "#include \"TLM_AIC.h\"\nvoid RunTransactions(clsTLM_AIC&) {}\n");
    test::CommandResult link = Cli("sim " + project.tp + " --no-generate", dir.path() / "l.log");
    EXPECT_EQ(link.exitCode, 1) << link.output;
    EXPECT_TRUE(
        test::Has(link.output, "undefined reference to `RunTransactions(clsTLM_AIC&, RtlPins&)'"));
    EXPECT_TRUE(test::Has(link.output, "the simulation did not build: the link failed\n"));

    // Defines and include folders, inside the project and outside it, reach every file.
    const fs::path outside = dir.path() / "shared headers";
    fs::create_directories(outside);
    fs::create_directories(project.folder / "include");
    test::WriteBytes(outside / "shared.h", "#define SHARED 7\n");
    test::WriteBytes(project.folder / "include" / "own.h", "#define OWN 8\n");
    test::WriteBytes(folder / "transactions.cpp",
                     "#include \"own.h\"\n#include \"shared.h\"\n#include <cstdio>\n"
                     "static const int shown = std::printf(\"[%s] %d %d\\n\", GREETING, SHARED, "
                     "OWN);\n" +
                         example);
    test::CommandResult built =
        Cli("sim " + project.tp + " --no-generate --define " + Quoted("GREETING=\"a b;c $d\"") +
                " --include " + Quoted((project.folder / "include").string()) + " --include " +
                Quoted(outside.string()),
            dir.path() / "sim.log");
    ASSERT_EQ(built.exitCode, 0) << built.output;
    EXPECT_TRUE(test::Has(built.output, "[a b;c $d] 7 8\n"));
    ExpectTranscript(built.output);

    // The project moved, with its testbench: the folder builds where it is now.
    const fs::path moved = dir.path() / "moved (here)";
    fs::rename(project.folder, moved);
    test::CommandResult run =
        BuildFolderAndRun(moved / "Output" / "testbench", dir.path() / "build", dir.path());
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(test::Has(run.output, "[a b;c $d] 7 8\n"));
}

TEST(Sim, RefusesAPortTheVerilogLacksBeforeBuildingAnything) {
    test::TempDir dir;
    Project project = GeneratedCopy(dir);
    const fs::path narrow = Fixture("narrow.v"); // we missing, wdata 7 bits
    test::CommandResult run =
        Cli("sim " + project.tp + " --no-generate --rtl " + Quoted(narrow.string()),
            dir.path() / "sim.log");
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_TRUE(test::Has(run.output,
                          "port we: the project declares sc_in <sc_logic> we, module memory "
                          "has no port of that name"));
    EXPECT_TRUE(test::Has(run.output,
                          "port wdata: the project declares sc_in <sc_lv<8>> wdata (8 bits), "
                          "module memory declares input [6:0] wdata ("));
    // Nothing is left of the refused run: not even Verilator's reading of the RTL.
    EXPECT_FALSE(fs::exists(project.folder / "Output" / "testbench"));

    // A top module the files lack is Verilator's message, and leaves nothing either.
    const fs::path elsewhere = dir.path() / "tb";
    test::CommandResult noTop =
        Cli("testbench " + project.tp + " --rtl " + Quoted(narrow.string()) +
                " --top nosuch --out " + Quoted(elsewhere.string()),
            dir.path() / "top.log");
    EXPECT_EQ(noTop.exitCode, 2) << noTop.output;
    EXPECT_TRUE(test::Has(noTop.output, "nosuch"));
    EXPECT_FALSE(fs::exists(elsewhere));
}

} // namespace
} // namespace kestrel
