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
using test::Quoted;

constexpr const char* kDeclarations = R"({
  "functions": [ { "name": "apb_write", "returnType": "void", "parameters": [
      { "type": "unsigned char", "name": "address" },
      { "type": "unsigned char", "name": "value" } ] } ],
  "signals": [
    { "name": "PCLK", "clock": true },
    { "name": "PSEL", "direction": "sc_in", "dataType": "sc_logic", "init": "0" },
    { "name": "PENABLE", "direction": "sc_in", "dataType": "sc_logic", "init": "0" },
    { "name": "PWRITE", "direction": "sc_in", "dataType": "sc_logic", "init": "0" },
    { "name": "PADDR", "direction": "sc_in", "dataType": "sc_lv", "width": 8, "init": "00000000" },
    { "name": "PWDATA", "direction": "sc_in", "dataType": "sc_lv", "width": 8, "init": "00000000" },
    { "name": "PREADY", "direction": "sc_out", "dataType": "sc_logic", "init": "0" } ] })";

constexpr const char* kRam = R"(module apb_ram (
    input PCLK, input PSEL, input PENABLE, input PWRITE,
    input [7:0] PADDR, input [7:0] PWDATA, output PREADY, output reg [7:0] transfers);
    reg [7:0] mem [0:255];
    initial transfers = 0;
    assign PREADY = PSEL & PENABLE;
    always @(posedge PCLK)
        if (PSEL && PENABLE && PREADY) begin
            if (PWRITE) mem[PADDR] <= PWDATA;
            transfers <= transfers + 1;
        end
endmodule
)";

constexpr const char* kTransactions = R"(#include "TLM_AIC.h"
#include "kestrel_pins.h"
#include "rtl_pins.h"

#include <cstdio>

void RunTransactions(clsTLM_AIC& tlm, RtlPins& pins) {
    const unsigned char addresses[] = {0x10, 0x11};
    for (unsigned char address : addresses) {
        const unsigned before = pins.transfers.read();
        tlm.apb_write(address, 0xa5);
        std::printf("write done at %s, transfers %u\n",
                    sc_core::sc_time_stamp().to_string().c_str(),
                    static_cast<unsigned>(pins.transfers.read()) - before);
    }
    sc_core::wait(20, sc_core::SC_NS);
}
)";

// SETUP raises PSEL with the address and data, ACCESS raises PENABLE; then `tail`.
std::string Diagram(const std::string& states, const std::string& tail) {
    return R"({"states": [{"id": 1, "name": "SETUP"}, {"id": 2, "name": "ACCESS"}, )" + states +
           R"(], "reset": {"id": 9}, "transitions": [{"from": 9, "to": 1}, {"from": 1, "to": 2}, )" +
           tail;
}

constexpr const char* kSetupActions =
    R"({"state": 1, "text": "PADDR := toLv ( address )\nPWDATA := toLv ( value )\n)"
    R"(PWRITE := LOGIC_1\nPSEL := LOGIC_1"}, {"state": 2, "text": "PENABLE := LOGIC_1"})";

// ACCESS loops until PREADY, then IDLE drops the select.
const std::string kUsual =
    Diagram(R"({"id": 3, "name": "IDLE"}, {"id": 4, "name": "DONE", "kind": "trap"})",
            R"({"from": 2, "to": 3, "priority": 1, "condition": "PREADY = LOGIC_1"},
               {"from": 2, "to": 2, "priority": 2}, {"from": 3, "to": 4}],
               "actions": [)" +
                std::string(kSetupActions) +
                R"(, {"state": 3, "text": "PSEL := LOGIC_0\nPENABLE := LOGIC_0"}]})");

// WAIT_READY sees PREADY and drops the select in the same step.
const std::string kCorrected =
    Diagram(R"({"id": 3, "name": "WAIT_READY"}, {"id": 4, "name": "DONE", "kind": "trap"})",
            R"({"from": 2, "to": 3}, {"from": 3, "to": 4, "priority": 1, "condition": )"
            R"("PREADY = LOGIC_1"}, {"from": 3, "to": 3, "priority": 2}], "actions": [)" +
                std::string(kSetupActions) +
                R"(, {"state": 3, "text": "if PREADY = LOGIC_1 then\n  PSEL := LOGIC_0\n  )"
                R"(PENABLE := LOGIC_0"}]})");

test::CommandResult Cli(const std::string& arguments, const fs::path& logFile) {
    return test::RunKestrelCli(arguments, logFile);
}

TEST(StepTiming, AnApbAccessEndsOnTheEdgeOfItsTransferOnlyWhenTheStateThatSeesPreadyEndsIt) {
    test::TempDir dir;
    const fs::path project = dir.path() / "Apb";
    const std::string tp = Quoted((project / "Apb.tp").string());
    test::WriteBytes(dir.path() / "declarations.json", kDeclarations);
    test::WriteBytes(dir.path() / "apb_ram.v", kRam);
    ASSERT_EQ(
        Cli("new Apb --location " + Quoted(dir.path().string()), dir.path() / "new.log").exitCode,
        0);
    ASSERT_EQ(Cli("declare " + tp + " " + Quoted((dir.path() / "declarations.json").string()),
                  dir.path() / "declare.log")
                  .exitCode,
              0);
    ASSERT_EQ(Cli("options " + tp + " --period 10 SC_NS --setup 1 SC_NS --method fsm",
                  dir.path() / "options.log")
                  .exitCode,
              0);
    fs::create_directories(project / "Output" / "testbench");
    test::WriteBytes(project / "Output" / "testbench" / "transactions.cpp", kTransactions);

    // Draws the diagram from `model` on the function's template, assigns it and simulates.
    auto simulate = [&](const std::string& name, const std::string& model) {
        const std::string diagram = Quoted((dir.path() / (name + ".asf")).string());
        const std::string json = Quoted((dir.path() / (name + ".json")).string());
        test::WriteBytes(dir.path() / (name + ".json"), model);
        const fs::path log = dir.path() / (name + ".log");
        EXPECT_EQ(Cli("asf-template " + tp + " apb_write " + diagram, log).exitCode, 0);
        EXPECT_EQ(Cli("diagram set " + diagram + " " + json, log).exitCode, 0);
        EXPECT_EQ(Cli("assign-fsm " + tp + " apb_write " + diagram, log).exitCode, 0);
        return Cli("sim " + tp + " --rtl " + Quoted((dir.path() / "apb_ram.v").string()),
                   dir.path() / (name + "-sim.log"));
    };

    test::CommandResult usual = simulate("usual", kUsual);
    ASSERT_EQ(usual.exitCode, 0) << usual.output;
    EXPECT_TRUE(test::Has(usual.output, "write done at 40 ns, transfers 2\n"));
    EXPECT_TRUE(test::Has(usual.output, "write done at 80 ns, transfers 2\n"));

    test::CommandResult corrected = simulate("corrected", kCorrected);
    ASSERT_EQ(corrected.exitCode, 0) << corrected.output;
    EXPECT_TRUE(test::Has(corrected.output, "write done at 30 ns, transfers 1\n"));
    EXPECT_TRUE(test::Has(corrected.output, "write done at 60 ns, transfers 1\n"));
}

} // namespace
} // namespace kestrel
