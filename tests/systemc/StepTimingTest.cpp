// The clock-edge timing the help page "Steps and clock edges" teaches, in a co-simulation of
// an APB access against a Verilog RAM without wait states: drawn the usual way, the state
// after the one that sees PREADY drops PSEL and PENABLE one edge late and every call
// transfers twice; drawn with the drop in the state that sees PREADY, each call transfers
// once and ends a cycle sooner.
#include "SystemcBuild.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using test::Cli;
using test::Quoted;

// The project's declarations, the RAM, the transactions and the two diagrams (SETUP raises
// PSEL with the address and data, ACCESS raises PENABLE; usual.json's ACCESS loops until
// PREADY, then IDLE drops the select; corrected.json's WAIT_READY sees PREADY and drops the
// select in the same step) are in tests/fixtures/systemc/apb.
const fs::path kInputs = fs::path(KESTREL_SYSTEMC_FIXTURES_DIR) / "apb";

TEST(StepTiming, AnApbAccessEndsOnTheEdgeOfItsTransferOnlyWhenTheStateThatSeesPreadyEndsIt) {
    test::TempDir dir;
    const fs::path project = dir.path() / "Apb";
    const std::string tp = Quoted((project / "Apb.tp").string());
    for (const std::string& arguments :
         {"new Apb --location " + Quoted(dir.path().string()),
          "declare " + tp + " " + Quoted((kInputs / "declarations.json").string()),
          "options " + tp + " --period 10 SC_NS --setup 1 SC_NS --method fsm"}) {
        test::CommandResult run = Cli(arguments, dir.path() / "project.log");
        ASSERT_EQ(run.exitCode, 0) << arguments << "\n" << run.output;
    }
    fs::create_directories(project / "Output" / "testbench");
    fs::copy_file(kInputs / "transactions.cpp",
                  project / "Output" / "testbench" / "transactions.cpp");

    // Draws the diagram from `name`.json on the function's template, assigns it and simulates.
    auto simulate = [&](const std::string& name) {
        const std::string diagram = Quoted((dir.path() / (name + ".asf")).string());
        const std::string json = Quoted((kInputs / (name + ".json")).string());
        const fs::path log = dir.path() / (name + ".log");
        EXPECT_EQ(Cli("asf-template " + tp + " apb_write " + diagram, log).exitCode, 0);
        EXPECT_EQ(Cli("diagram set " + diagram + " " + json, log).exitCode, 0);
        EXPECT_EQ(Cli("assign-fsm " + tp + " apb_write " + diagram, log).exitCode, 0);
        return Cli("sim " + tp + " --rtl " + Quoted((kInputs / "apb_ram.v").string()),
                   dir.path() / (name + "-sim.log"));
    };

    test::CommandResult usual = simulate("usual");
    ASSERT_EQ(usual.exitCode, 0) << usual.output;
    EXPECT_TRUE(test::Has(usual.output, "write done at 40 ns, transfers 2\n"));
    EXPECT_TRUE(test::Has(usual.output, "write done at 80 ns, transfers 2\n"));

    test::CommandResult corrected = simulate("corrected");
    ASSERT_EQ(corrected.exitCode, 0) << corrected.output;
    EXPECT_TRUE(test::Has(corrected.output, "write done at 30 ns, transfers 1\n"));
    EXPECT_TRUE(test::Has(corrected.output, "write done at 60 ns, transfers 1\n"));
}

} // namespace
} // namespace kestrel
