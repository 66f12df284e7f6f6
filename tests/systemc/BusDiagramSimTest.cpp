// The bus masters' machines co-simulated with a good slave of tests/fixtures/rtl per protocol,
// in a project made as a user makes one by hand: new, declare (the bus ports as the RTL has
// them and the two functions), options for the FSM method, a template per function with the
// machine drawn into it, assign-fsm and check; then sim --rtl with transactions that write
// three words, read them back and read an address the slave refuses. Each call ends on the
// edge the protocol's timing gives (the golden lines: reset.h releases the reset for the
// edge at 40 ns, where the first call starts; each next call starts where one returned).
#include "SystemcBuild.h"
#include "TestSupport.h"
#include "bus/BusDiagrams.h"
#include "sim/RtlPorts.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using test::Cli;
using test::Quoted;

const fs::path kInputs = fs::path(KESTREL_SYSTEMC_FIXTURES_DIR) / "bus";

void Run(const test::TempDir& dir, const std::string& arguments) {
    test::CommandResult run = Cli(arguments, dir.path() / "command.log");
    EXPECT_EQ(run.exitCode, 0) << arguments << "\n" << run.output;
}

// The template of the function with the machine drawn into it, assigned to it.
void DrawAndAssign(const test::TempDir& dir, const std::string& tp, const BusPortSet& ports,
                   BusFunction function) {
    const std::string name = function == BusFunction::Write ? kBusWriteFunction : kBusReadFunction;
    const fs::path asf = dir.path() / (name + ".asf");
    Run(dir, "asf-template " + tp + " " + name + " " + Quoted(asf.string()));
    AsfDocument doc;
    Status drawn = AsfDocument::Load(test::ReadBytes(asf), asf.string(), doc);
    if (drawn) drawn = DrawBusMachine(doc, ports, function);
    ASSERT_TRUE(drawn) << drawn.message();
    test::WriteBytes(asf, doc.Bytes());
    Run(dir, "assign-fsm " + tp + " " + name + " " + Quoted(asf.string()));
}

void Cosimulate(BusProtocol protocol, const std::string& slave) {
    test::TempDir dir;
    const std::string rtl =
        (fs::path(KESTREL_SYSTEMC_FIXTURES_DIR) / ".." / "rtl" / slave).string();
    const std::string name(BusProtocolName(protocol));
    RtlModule module;
    ASSERT_TRUE(ReadRtlModule({rtl}, "", module));
    const BusPortSet ports = FindBusPorts(module.ports, protocol, std::nullopt);
    const fs::path project = dir.path() / "Bus";
    const std::string tp = Quoted((project / "Bus.tp").string());
    Run(dir, "new Bus --location " + Quoted(dir.path().string()));
    Run(dir, "declare " + tp + " " + Quoted((kInputs / (name + ".json")).string()));
    Run(dir, "options " + tp + " --period 10 SC_NS --method fsm");
    DrawAndAssign(dir, tp, ports, BusFunction::Write);
    DrawAndAssign(dir, tp, ports, BusFunction::Read);
    test::CommandResult check = Cli("check " + tp, dir.path() / "check.log");
    EXPECT_TRUE(test::Has(check.output, "Bus.tp: 0 error(s), 0 warning(s)\n"));

    fs::create_directories(project / "Output" / "testbench");
    fs::copy_file(kInputs / "transactions.cpp",
                  project / "Output" / "testbench" / "transactions.cpp");
    test::CommandResult sim = Cli("sim " + tp + " --rtl " + Quoted(rtl), dir.path() / "sim.log");
    ASSERT_EQ(sim.exitCode, 0) << sim.output;
    std::istringstream lines(sim.output);
    std::string calls;
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("write ", 0) == 0 || line.rfind("read ", 0) == 0) calls += line + "\n";
    EXPECT_TRUE(
        test::MatchesGolden(test::GoldenDir() / "systemc" / ("bus_" + name + ".txt"), calls));
}

// AW and W offered together, each READY a cycle after VALID; BREADY (RREADY) from the edge
// after BVALID (RVALID) is seen; each call returns on the edge after its B or R handshake.
TEST(BusDiagramSim, AxiLiteWritesAndReadsBackThroughTheDrawnMachines) {
    Cosimulate(BusProtocol::Axi4Lite, "axil_ram_xilinx.v");
}

// Setup, access until PREADY (writes at once, reads after a wait state), then an edge with
// PSEL and PENABLE low; PSLVERR above 0xFF.
TEST(BusDiagramSim, ApbWritesAndReadsBackThroughTheDrawnMachines) {
    Cosimulate(BusProtocol::Apb, "apb_ram.v");
}

// CYC and STB until ACK on their third edge, then one idle edge; ERR above 0xFF.
TEST(BusDiagramSim, WishboneWritesAndReadsBackThroughTheDrawnMachines) {
    Cosimulate(BusProtocol::Wishbone, "wb_ram.v");
}

} // namespace
} // namespace kestrel
