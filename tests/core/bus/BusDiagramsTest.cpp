// The bus masters' machines drawn into a template and read back as Generate reads them
// (states, transitions with priorities and conditions, actions), for each protocol with and
// without its optional signals, with where each object stands; the refusals, which change
// nothing.
#include "bus/BusDiagrams.h"
#include "TestSupport.h"
#include "fsm/AsfChecks.h"
#include "fsm/AsfEdit.h"
#include "fsm/AsfModel.h"
#include "fsm/AsfReader.h"

#include <gtest/gtest.h>

#include <sstream>

namespace kestrel {
namespace {

// A slave's ports, "i NAME" or "o NAME WIDTH" (1 bit when no width), found as a bus.
BusPortSet Find(BusProtocol protocol, const std::string& lines) {
    std::vector<RtlPort> ports;
    std::istringstream in(lines);
    for (std::string line; std::getline(in, line, ',');) {
        std::istringstream words(line);
        std::string direction, name;
        int width = 1;
        words >> direction >> name >> width;
        ports.push_back(
            {name, direction == "i" ? PortDirection::In : PortDirection::Out, width, ""});
    }
    BusPortSet set = FindBusPorts(ports, protocol, std::nullopt);
    EXPECT_TRUE(set.problems.empty()) << set.problems.front();
    return set;
}

// The template asf-template writes: the frame and a port with its label per bus port.
AsfDocument Template(const BusPortSet& ports) {
    std::string text =
        "VERSION=1.19\r\nHEADER\r\nFREEOID=60\r\nEND\r\nOBJECTS\r\nF 1 0 0 10 0 \"\" "
        "0 RECT 0,0,0 0 0 1 255,255,255 0 | 15700,15700 200200,221700\r\n";
    for (std::size_t k = 0; k < ports.ports.size(); ++k) {
        const std::string n = std::to_string(11 + 2 * k), at = std::to_string(20700 + 8000 * k);
        text += "I " + n + " 0 2 Builtin InPort | " + at + ",239700 \"\" \"\"\r\nL " +
                std::to_string(12 + 2 * k) + " " + n + " 0 TEXT \"Labels\" | " + at +
                ",239700 1 0 0 \"" + ports.ports[k].name + "\"\r\n";
    }
    AsfDocument doc;
    EXPECT_TRUE(AsfDocument::Load(text + "END\r\n", "/p/Temp/bus.asf", doc));
    return doc;
}

// Where the record of an object places it.
std::string At(const AsfDocument& doc, AsfKind kind, ObjectNumber n) {
    const AsfPoint p = PositionOf(doc.Lines()[*doc.Find(kind, n)]);
    return " at " + std::to_string(p.x) + "," + std::to_string(p.y);
}

// The machine as the reader gives it, with where each object stands: the states (initial
// and trap marked), the reset, a line per transition "FROM -> TO priority [condition]",
// then the action blocks.
std::string Drawn(const BusPortSet& ports, BusFunction function) {
    AsfDocument doc = Template(ports);
    Status s = DrawBusMachine(doc, ports, function);
    EXPECT_TRUE(s) << s.message();
    for (const DiagramCheck& check : CheckDiagram(doc, "f")) ADD_FAILURE() << check.message;
    const StateMachine m = ReadMachine(doc, "f").machine;
    std::string out;
    for (std::size_t i = 0; i < m.states.size(); ++i)
        out += m.states[i].name + (i + 1 == m.initialState ? " (initial)" : "") +
               (i + 1 == m.trapState ? " (trap)" : "") +
               At(doc, AsfKind::State, m.states[i].number) + "\n";
    out += "reset" + At(doc, AsfKind::Reset, m.resetObject) + "\n";
    for (const DiagramTransition& t : m.transitions) {
        out += (t.source == m.resetObject ? "reset" : doc.NameOf(t.source)) + " -> " +
               doc.NameOf(t.target) + " " + std::to_string(t.priority);
        for (const DiagramCondition& c : m.conditions)
            if (c.transition == t.number) out += " when " + c.text;
        out += "\n";
    }
    for (const DiagramAction& a : m.actions)
        out += doc.NameOf(a.state) + At(doc, AsfKind::Action, a.number) + ":\n" +
               AsfTextShown(a.text) + "\n";
    return out;
}

// The six slaves of the test, by protocol: with every optional signal, and without
// (AXI4-Lite without PROT, WSTRB and the responses; APB3 without PREADY, whose access ends
// on its first edge; 8-bit Wishbone with a 1-bit SEL).
std::vector<std::pair<std::string, BusPortSet>> Slaves() {
    return {
        {"AXI4-Lite",
         Find(BusProtocol::Axi4Lite,
              "i ACLK,i ARESETN,i AWADDR 6,i AWPROT 3,i AWVALID,o AWREADY,i WDATA 32,i WSTRB 4,"
              "i WVALID,o WREADY,o BRESP 2,o BVALID,i BREADY,i ARADDR 6,i ARPROT 3,i ARVALID,"
              "o ARREADY,o RDATA 32,o RRESP 2,o RVALID,i RREADY")},
        {"AXI4-Lite minimal",
         Find(BusProtocol::Axi4Lite, "i clk,i rst,i s_awaddr 8,i s_awvalid,o s_awready,"
                                     "i s_wdata 32,i s_wvalid,o s_wready,o s_bvalid,i s_bready,"
                                     "i s_araddr 8,i s_arvalid,o s_arready,o s_rdata 32,"
                                     "o s_rvalid,i s_rready")},
        {"APB", Find(BusProtocol::Apb, "i PCLK,i PRESETn,i PSEL,i PENABLE,i PWRITE,i PADDR 12,"
                                       "i PWDATA 32,o PRDATA 32,o PREADY,o PSLVERR,i PSTRB 4,"
                                       "i PPROT 3")},
        {"APB minimal", Find(BusProtocol::Apb, "i pclk,i presetn,i psel,i penable,i pwrite,"
                                               "i paddr 8,i pwdata 16,o prdata 16")},
        {"Wishbone", Find(BusProtocol::Wishbone,
                          "i wb_clk_i,i wb_rst_i,i wb_cyc_i,i wb_stb_i,i wb_we_i,i wb_adr_i 10,"
                          "i wb_dat_i 32,o wb_dat_o 32,o wb_ack_o,i wb_sel_i 4,o wb_err_o,"
                          "o wb_rty_o,o wb_stall_o")},
        {"Wishbone bytes", Find(BusProtocol::Wishbone,
                                "i i_clk,i i_reset,i i_wb_cyc,i i_wb_stb,i i_wb_we,i i_wb_addr 8,"
                                "i i_wb_data 8,o o_wb_data 8,o o_wb_ack,i i_wb_sel,o o_wb_stall")}};
}

TEST(BusDiagrams, EachProtocolsMachinesReadBackWithTheOptionalSignalsTheSlaveHas) {
    std::string all;
    for (const auto& [name, ports] : Slaves())
        for (BusFunction function : {BusFunction::Write, BusFunction::Read})
            all += "== " + name + (function == BusFunction::Write ? " write\n" : " read\n") +
                   Drawn(ports, function);
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "bus" / "machines.txt", all));
}

TEST(BusDiagrams, RefusalsLeaveTheDocumentAsItWas) {
    const BusPortSet apb = Slaves()[2].second;
    AsfDocument doc = Template(apb);
    ASSERT_TRUE(DrawBusMachine(doc, apb, BusFunction::Write));
    BusPortSet broken = apb;
    broken.problems.push_back("no port for PSEL");
    AsfDocument other = Template(Slaves()[4].second);
    const std::string drawn = doc.Bytes(), empty = other.Bytes();
    EXPECT_EQ(DrawBusMachine(doc, apb, BusFunction::Read).message(),
              "ASF file /p/Temp/bus.asf: the diagram is not an empty template: a machine is "
              "drawn in it already");
    EXPECT_EQ(DrawBusMachine(other, broken, BusFunction::Read).message(),
              "ASF file /p/Temp/bus.asf: the APB ports cannot be used: no port for PSEL");
    EXPECT_EQ(DrawBusMachine(other, apb, BusFunction::Read).message(),
              "ASF file /p/Temp/bus.asf: the template has no port PSEL; make it from the "
              "project declared for this bus");
    EXPECT_EQ(doc.Bytes(), drawn);
    EXPECT_EQ(other.Bytes(), empty);
}

} // namespace
} // namespace kestrel
