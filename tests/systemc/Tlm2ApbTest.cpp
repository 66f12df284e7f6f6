// A project made elsewhere, put behind the TLM-2.0 socket as its designer would: an APB4 RAM
// with PSTRB, a read wait state and PSLVERR above 0x800 (tests/fixtures/systemc/apb_resp),
// two functions drawn as diagrams whose address, data, strobe and response kestrel-cli tlm2
// finds by itself, and the designer's transactions_tlm2.cpp checking byte enables, reads of
// 1 to 8 bytes at every alignment and the slave errors against a model of the RAM. Nothing
// generated is edited.
#include "SystemcBuild.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using test::Cli;
using test::Quoted;

const fs::path kInputs = fs::path(KESTREL_SYSTEMC_FIXTURES_DIR) / "apb_resp";

TEST(SimTlm2, AnApbRamWithSlaveErrorsWorksBehindTheProposedSocket) {
    test::TempDir dir;
    const fs::path project = dir.path() / "ApbResp";
    const std::string tp = Quoted((project / "ApbResp.tp").string());
    std::vector<std::string> commands = {
        "new ApbResp --location " + Quoted(dir.path().string()),
        "declare " + tp + " " + Quoted((kInputs / "declarations.json").string()),
        "options " + tp + " --period 10 SC_NS --setup 1 SC_NS --method fsm"};
    for (const char* function : {"apb_write", "apb_read"}) {
        const std::string diagram =
            Quoted((dir.path() / (std::string(function) + ".asf")).string());
        const std::string json =
            Quoted((kInputs / (std::string(function) == "apb_write" ? "write.json" : "read.json"))
                       .string());
        commands.push_back("asf-template " + tp + " " + function + " " + diagram);
        commands.push_back("diagram set " + diagram + " " + json);
        commands.push_back("assign-fsm " + tp + " " + function + " " + diagram);
    }
    for (const std::string& arguments : commands) {
        test::CommandResult run = Cli(arguments, dir.path() / "project.log");
        ASSERT_EQ(run.exitCode, 0) << arguments << "\n" << run.output;
    }

    test::CommandResult proposal = Cli("tlm2 " + tp, dir.path() / "tlm2.log");
    ASSERT_EQ(proposal.exitCode, 0) << proposal.output;
    for (const char* note :
         {"write: apb_write (data by value)\n", "read: apb_read (data by reference)\n",
          "address: addr\n", "data: data\n", "strobe: strb\n", "response: resp\n"})
        EXPECT_TRUE(test::Has(proposal.output, note)) << note << proposal.output;

    fs::create_directories(project / "Output" / "testbench");
    fs::copy_file(kInputs / "transactions_tlm2.cpp",
                  project / "Output" / "testbench" / "transactions_tlm2.cpp");
    test::CommandResult sim =
        Cli("sim " + tp + " --tlm2 --rtl " + Quoted((kInputs / "apb_ram_resp.v").string()),
            dir.path() / "sim.log");
    ASSERT_EQ(sim.exitCode, 0) << sim.output;
    EXPECT_TRUE(test::Has(sim.output, "sim: resets: PRESETn (active low)")) << sim.output;
    EXPECT_TRUE(test::Has(sim.output, "apb: 376 transactions (")) << sim.output;
    EXPECT_TRUE(test::Has(sim.output, " slave errors as expected), 0 mismatches\n")) << sim.output;
    EXPECT_TRUE(test::Has(sim.output, "Transactions completed: 376\n")) << sim.output;
}

} // namespace
} // namespace kestrel
