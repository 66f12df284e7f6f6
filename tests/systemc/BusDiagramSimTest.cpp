// The bus masters' machines co-simulated with good slaves of tests/fixtures/rtl, one project
// per protocol made as a user makes one by hand: new, declare (the bus ports as the RTL has
// them and the two functions), options for the FSM method, a template per function with
// the machine drawn into it, assign-fsm, check; then sim --rtl with transactions that
// write a few words, read them back and read an address the slave refuses. Every call ends
// on the clock edge the protocol's timing gives, as the waveform of the README's sequence.
#include "SystemcBuild.h"
#include "TestSupport.h"
#include "bus/BusDiagrams.h"
#include "fsm/AsfDocument.h"
#include "sim/RtlPorts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using test::Cli;
using test::Quoted;

const fs::path kSlaves = fs::path(KESTREL_SYSTEMC_FIXTURES_DIR) / ".." / "rtl";

std::string CType(int width) {
    return width <= 8 ? "unsigned char" : width <= 16 ? "unsigned short" : "unsigned int";
}

struct BusRoles {
    BusRole address, data, strobe;
};

BusRoles RolesOf(BusProtocol protocol) {
    switch (protocol) {
    case BusProtocol::Axi4Lite: return {BusRole::AwAddr, BusRole::WData, BusRole::WStrb};
    case BusProtocol::Apb: return {BusRole::PAddr, BusRole::PWData, BusRole::PStrb};
    case BusProtocol::Wishbone: return {BusRole::Adr, BusRole::DatI, BusRole::Sel};
    }
    return {};
}

std::string Parameter(const std::string& type, const char* name, bool byReference = false) {
    return std::string("{\"type\": \"") + type + "\", \"name\": \"" + name + "\"" +
           (byReference ? ", \"byReference\": true}" : "}");
}

// The declarations a project of this bus has: the bus ports as the RTL sees them, the
// clock, write(address, data[, strobe], response&) and read(address, data&, response&).
std::string Declarations(const BusPortSet& ports) {
    const BusRoles roles = RolesOf(ports.protocol);
    const std::string address = CType(ports.Port(roles.address)->width);
    const std::string data = CType(ports.Port(roles.data)->width);
    std::string write =
        Parameter(address, kBusAddressParameter) + ", " + Parameter(data, kBusDataParameter) + ", ";
    if (const BusPort* strobe = ports.Port(roles.strobe))
        write += Parameter(CType(strobe->width), kBusStrobeParameter) + ", ";
    const std::string response = Parameter("unsigned char", kBusResponseParameter, true);
    std::string json =
        "{\"functions\": [{\"name\": \"write\", \"returnType\": \"void\", "
        "\"parameters\": [" +
        write + response + "]}, {\"name\": \"read\", \"returnType\": \"void\", \"parameters\": [" +
        Parameter(address, kBusAddressParameter) + ", " + Parameter(data, kBusDataParameter, true) +
        ", " + response + "]}], \"signals\": [{\"name\": \"" + ports.clock + "\", \"clock\": true}";
    for (const BusPort& port : ports.ports)
        json += ", {\"name\": \"" + port.name + "\", \"direction\": \"" +
                (port.direction == PortDirection::In ? "sc_in" : "sc_out") +
                "\", \"dataType\": \"" + (port.width == 1 ? "sc_logic" : "sc_lv") +
                "\", \"width\": " + std::to_string(port.width) + ", \"init\": \"" +
                std::string(static_cast<std::size_t>(port.width), '0') + "\"}";
    return json + "]}";
}

// Writes three words, reads them back, then reads `refused` (an address the slave answers
// with an error, 0 for none); prints each call's end and response.
std::string Transactions(const BusPortSet& ports, unsigned refused) {
    const BusRoles roles = RolesOf(ports.protocol);
    const std::string data = CType(ports.Port(roles.data)->width);
    const std::string strobe = ports.Has(roles.strobe) ? "0xF, " : "";
    return "#include \"TLM_AIC.h\"\n#include \"kestrel_pins.h\"\n#include \"rtl_pins.h\"\n"
           "#include <cstdio>\n#include <string>\n"
           "void RunTransactions(clsTLM_AIC& tlm, RtlPins&) {\n"
           "  const unsigned address[3] = {4, 8, 60};\n"
           "  const unsigned value[3] = {0x12345678u, 0x0badf00du, 0x5a5aa5c3u};\n"
           "  unsigned char response = 9;\n"
           "  auto end = [&](const char* what, unsigned a) {\n"
           "    std::printf(\"%s %u ends %s response %d\\n\", what, a,\n"
           "                sc_core::sc_time_stamp().to_string().c_str(), response);\n"
           "  };\n"
           "  for (int i = 0; i < 3; ++i) {\n"
           "    tlm.write(address[i], (" +
           data + ")value[i], " + strobe +
           "response);\n"
           "    end(\"write\", address[i]);\n"
           "    kestrel_tb::Check(response == 0, \"write response\");\n  }\n"
           "  for (int i = 0; i < 3; ++i) {\n    " +
           data +
           " got = 0;\n    tlm.read(address[i], got, response);\n"
           "    end(\"read\", address[i]);\n"
           "    kestrel_tb::Check(got == (" +
           data +
           ")value[i] && response == 0, \"read back \" + std::to_string(got));\n  }\n"
           "  if (" +
           std::to_string(refused) + "u) {\n    " + data + " got = 0;\n    tlm.read(" +
           std::to_string(refused) + "u, got, response);\n    end(\"read\", " +
           std::to_string(refused) +
           "u);\n    kestrel_tb::Check(response == 2, \"refused read\");\n  }\n}\n";
}

// Makes the project from the slave's Verilog, runs sim and gives its output.
test::CommandResult Cosimulate(const test::TempDir& dir, BusProtocol protocol,
                               const std::string& slave, unsigned refused) {
    const std::string rtl = (kSlaves / slave).string();
    RtlModule module;
    Status read = ReadRtlModule({rtl}, "", module);
    EXPECT_TRUE(read) << read.message();
    const BusPortSet ports = FindBusPorts(module.ports, protocol, std::nullopt);
    EXPECT_TRUE(ports.problems.empty()) << ports.problems.front();

    const fs::path project = dir.path() / "Bus";
    const std::string tp = Quoted((project / "Bus.tp").string());
    test::WriteBytes(dir.path() / "declarations.json", Declarations(ports));
    std::vector<std::string> commands = {"new Bus --location " + Quoted(dir.path().string()),
                                         "declare " + tp + " " +
                                             Quoted((dir.path() / "declarations.json").string()),
                                         "options " + tp + " --period 10 SC_NS --method fsm"};
    for (const std::string& arguments : commands) {
        test::CommandResult run = Cli(arguments, dir.path() / "project.log");
        EXPECT_EQ(run.exitCode, 0) << arguments << "\n" << run.output;
    }
    for (BusFunction function : {BusFunction::Write, BusFunction::Read}) {
        const std::string name =
            function == BusFunction::Write ? kBusWriteFunction : kBusReadFunction;
        const fs::path asf = dir.path() / (name + ".asf");
        test::CommandResult made =
            Cli("asf-template " + tp + " " + name + " " + Quoted(asf.string()),
                dir.path() / "template.log");
        EXPECT_EQ(made.exitCode, 0) << made.output;
        AsfDocument doc;
        Status drawn = AsfDocument::Load(test::ReadBytes(asf), asf.string(), doc);
        if (drawn) drawn = DrawBusMachine(doc, ports, function);
        EXPECT_TRUE(drawn) << drawn.message();
        test::WriteBytes(asf, doc.Bytes());
        test::CommandResult assigned =
            Cli("assign-fsm " + tp + " " + name + " " + Quoted(asf.string()),
                dir.path() / "assign.log");
        EXPECT_EQ(assigned.exitCode, 0) << assigned.output;
    }
    test::CommandResult check = Cli("check " + tp, dir.path() / "check.log");
    EXPECT_EQ(check.exitCode, 0) << check.output;
    EXPECT_TRUE(test::Has(check.output, ": 0 error(s), 0 warning(s)"));

    fs::create_directories(project / "Output" / "testbench");
    test::WriteBytes(project / "Output" / "testbench" / "transactions.cpp",
                     Transactions(ports, refused));
    return Cli("sim " + tp + " --rtl " + Quoted(rtl), dir.path() / "sim.log");
}

// The calls' ends, in ns: reset.h releases the reset just before the edge at 40 ns, the
// first call starts on it and each next one on the edge where the one before returned.
void ExpectEnds(const std::string& output, const std::vector<int>& ends) {
    const unsigned addresses[] = {4, 8, 60, 4, 8, 60, 256};
    for (std::size_t i = 0; i < ends.size(); ++i)
        EXPECT_TRUE(test::Has(output, (i < 3 ? "write " : "read ") + std::to_string(addresses[i]) +
                                          " ends " + std::to_string(ends[i]) + " ns response " +
                                          (i < 6 ? "0" : "2") + "\n"));
    EXPECT_TRUE(test::Has(output, "Transactions completed: " + std::to_string(ends.size())));
}

// AW and W together, each READY a cycle after VALID; BREADY from the edge after BVALID is
// seen; each call returns on the edge after its B or R handshake.
TEST(BusDiagramSim, AxiLiteWritesAndReadsBackThroughTheDrawnMachines) {
    test::TempDir dir;
    test::CommandResult sim = Cosimulate(dir, BusProtocol::Axi4Lite, "axil_ram_xilinx.v", 0);
    ASSERT_EQ(sim.exitCode, 0) << sim.output;
    ExpectEnds(sim.output, {100, 160, 220, 270, 320, 370});
}

// Setup, access (writes ready at once, reads after a wait state), then an edge with PSEL
// and PENABLE low; PSLVERR above 0xFF.
TEST(BusDiagramSim, ApbWritesAndReadsBackThroughTheDrawnMachines) {
    test::TempDir dir;
    test::CommandResult sim = Cosimulate(dir, BusProtocol::Apb, "apb_ram.v", 0x100);
    ASSERT_EQ(sim.exitCode, 0) << sim.output;
    ExpectEnds(sim.output, {70, 100, 130, 170, 210, 250, 290});
}

// CYC and STB until ACK on the third edge, then one idle edge; ERR above 0xFF.
TEST(BusDiagramSim, WishboneWritesAndReadsBackThroughTheDrawnMachines) {
    test::TempDir dir;
    test::CommandResult sim = Cosimulate(dir, BusProtocol::Wishbone, "wb_ram.v", 0x100);
    ASSERT_EQ(sim.exitCode, 0) << sim.output;
    ExpectEnds(sim.output, {80, 120, 160, 200, 240, 280, 320});
}

} // namespace
} // namespace kestrel
