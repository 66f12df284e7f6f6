// The protocol monitor in real co-simulations (kestrel-cli sim --protocol) of the bus slaves
// of tests/fixtures/rtl: every good slave passes with the value written read back, every
// faulty one is caught by the rule that names its fault on the cycle its README gives (three
// edges later: reset.h holds the reset for four edges, the README's sequence for two). The
// master is tests/fixtures/monitor/transactions.cpp, on the RTL's pins: the project declares
// only the clock, and bus_names.h, made here from the ports FindBusPorts finds, names them.
#include "SystemcBuild.h"

#include "bus/BusPorts.h"
#include "sim/RtlPorts.h"

#include <gtest/gtest.h>

#include <map>

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using test::Cli;
using test::Quoted;

struct SlaveCase {
    const char* file;
    const char* first; // the first violation, from its cycle on; empty: none
};

// bus_names.h for the master: PIN_<ROLE> for each bus port, the clock, the data written.
std::string BusNames(const fs::path& rtl, BusProtocol protocol, std::string& clock) {
    RtlModule module;
    EXPECT_TRUE(ReadRtlModule({rtl.string()}, "", module));
    const BusPortSet found = FindBusPorts(module.ports, protocol, std::nullopt);
    EXPECT_TRUE(found.problems.empty()) << rtl;
    clock = found.clock;
    const char* bus = protocol == BusProtocol::Apb        ? "BUS_APB"
                      : protocol == BusProtocol::Wishbone ? "BUS_WISHBONE"
                                                          : "BUS_AXI4_LITE";
    std::string text = "#define " + std::string(bus) + " 1\n#define BUS_CLOCK \"" + clock + "\"\n";
    for (const BusSignal& signal : BusSignals(protocol))
        if (const BusPort* port = found.Port(signal.role)) {
            text += "#define PIN_" + std::string(signal.name) + " pins." + port->name + "\n";
            if (signal.width == BusWidth::Data && signal.direction == PortDirection::In)
                text += std::string("#define BUS_DATA ") +
                        (port->width == 8    ? "0xA5u"
                         : port->width == 16 ? "0x1234u"
                                             : "0x12345678u") +
                        "\n";
        }
    return text;
}

// Simulates each slave against the master, a project per clock name; each run's first
// violation as the case says.
void SimulateSlaves(BusProtocol protocol, std::initializer_list<SlaveCase> cases) {
    test::TempDir dir;
    std::map<std::string, std::string> projects; // clock -> .tp, quoted
    const fs::path include = dir.path() / "include";
    fs::create_directories(include);
    for (const SlaveCase& c : cases) {
        SCOPED_TRACE(c.file);
        const fs::path rtl = fs::path(KESTREL_FIXTURE_DIR) / "rtl" / c.file;
        std::string clock;
        test::WriteBytes(include / "bus_names.h", BusNames(rtl, protocol, clock));
        std::string& tp = projects[clock];
        std::string generate = " --no-generate";
        if (tp.empty()) {
            const std::string name = "P" + std::to_string(projects.size());
            const fs::path decl = dir.path() / (name + ".json");
            test::WriteBytes(decl, R"({"functions": [{"name": "idle", "returnType": "void",
                "parameters": []}], "signals": [{"name": ")" +
                                       clock + R"(", "clock": true}]})");
            tp = Quoted((dir.path() / name / (name + ".tp")).string());
            for (const std::string& arguments :
                 {"new " + name + " --location " + Quoted(dir.path().string()),
                  "declare " + tp + " " + Quoted(decl.string()),
                  "options " + tp + " --period 10 SC_NS --method template"}) {
                test::CommandResult made = Cli(arguments, dir.path() / "project.log");
                ASSERT_EQ(made.exitCode, 0) << arguments << "\n" << made.output;
            }
            const fs::path bench = dir.path() / name / "Output" / "testbench";
            fs::create_directories(bench);
            fs::copy_file(fs::path(KESTREL_FIXTURE_DIR) / "monitor" / "transactions.cpp",
                          bench / "transactions.cpp");
            generate.clear();
        }
        test::CommandResult sim =
            Cli("sim " + tp + generate + " --protocol " + std::string(BusProtocolName(protocol)) +
                    " --rtl " + Quoted(rtl.string()) + " --include " + Quoted(include.string()),
                dir.path() / "sim.log");
        EXPECT_TRUE(test::ProtocolOutcome(sim, c.first));
        EXPECT_TRUE(test::Has(sim.output,
                              *c.first ? "protocol violation(s))\n" : "Protocol violations: 0\n"));
    }
}

TEST(MonitorSim, Axi4LiteSlavesOfOneDesigner) {
    SimulateSlaves(
        BusProtocol::Axi4Lite,
        {{"axil_ram_xilinx.v", ""},
         {"axil_bvalid_before_w.v", "cycle 8: B only after AW and W: RTL raised BVALID on the "
                                    "edge of the W handshake"},
         {"axil_rvalid_early.v",
          "cycle 11: R only after AR: RTL raised RVALID on the edge of the AR handshake"},
         {"axil_rdata_unstable.v", "cycle 13: R payload stable until RREADY: RTL changed RDATA "
                                   "from 0x12345678 to "}});
}

TEST(MonitorSim, Axi4LiteSlavesOfAnother) {
    SimulateSlaves(
        BusProtocol::Axi4Lite,
        {{"axil_ram_min.v", ""},
         {"axil_rvalid_drop.v",
          "cycle 10: R VALID held until RREADY: RTL dropped RVALID before RREADY (RREADY 0)"},
         {"axil_read_no_answer.v", "cycle 264: request answered in time: RTL left the request "
                                   "of cycle 8 unanswered for 256 cycles (no RVALID)"}});
}

TEST(MonitorSim, ApbSlaves) {
    SimulateSlaves(BusProtocol::Apb,
                   {{"apb_ram.v", ""},
                    {"apb_pready_in_setup.v",
                     "cycle 261: request answered in time: RTL left the request of cycle 5 "
                     "unanswered for 256 cycles (PREADY low)"},
                    {"apb_read_never_ready.v",
                     "cycle 264: request answered in time: RTL left the request of cycle 8 "
                     "unanswered for 256 cycles (PREADY low)"},
                    {"apb3_ram_min.v", ""}});
}

TEST(MonitorSim, WishboneSlaves) {
    SimulateSlaves(
        BusProtocol::Wishbone,
        {{"wb_ram.v", ""},
         {"wb_ack_without_stb.v",
          "cycle 8: answer only during STB: RTL raised ACK with CYC 0, STB 0"},
         {"wb_ack_err_together.v",
          "cycle 7: one answer at a time: RTL raised ACK and ERR together"},
         {"wb_ram_ifmt.v", ""},
         {"wb_never_ack.v", "cycle 261: request answered in time: RTL left the request of cycle 5 "
                            "unanswered for 256 cycles (STALL high and no ACK, ERR or RTY)"}});
}

} // namespace
} // namespace kestrel
