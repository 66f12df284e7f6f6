// The bus masters' machines drawn into a template, read back as Generate reads them: the
// states, transitions, priorities and conditions of each protocol's write and read, with
// and without the optional signals; the layout (one column under the ports, reset above
// the initial state); and the refusals, which leave the document as it was.
#include "bus/BusDiagrams.h"
#include "fsm/AsfChecks.h"
#include "fsm/AsfEdit.h"
#include "fsm/AsfModel.h"
#include "fsm/AsfReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrel {
namespace {

// "i name", "o name 32": a port of the slave, its direction and width (1 when not given).
BusPortSet Find(BusProtocol protocol, const std::vector<std::string>& lines) {
    std::vector<RtlPort> ports;
    for (const std::string& line : lines) {
        const std::size_t space = line.find(' ', 2);
        RtlPort port{line.substr(2, space - 2),
                     line[0] == 'i' ? PortDirection::In : PortDirection::Out, 1, ""};
        if (space != std::string::npos) port.width = std::stoi(line.substr(space + 1));
        ports.push_back(port);
    }
    BusPortSet set = FindBusPorts(ports, protocol, std::nullopt);
    EXPECT_TRUE(set.problems.empty()) << set.problems.front();
    return set;
}

const std::vector<std::string> kAxiFull{"i S_AXI_ACLK",     "i S_AXI_ARESETN",  "i S_AXI_AWADDR 6",
                                        "i S_AXI_AWPROT 3", "i S_AXI_AWVALID",  "o S_AXI_AWREADY",
                                        "i S_AXI_WDATA 32", "i S_AXI_WSTRB 4",  "i S_AXI_WVALID",
                                        "o S_AXI_WREADY",   "o S_AXI_BRESP 2",  "o S_AXI_BVALID",
                                        "i S_AXI_BREADY",   "i S_AXI_ARADDR 6", "i S_AXI_ARPROT 3",
                                        "i S_AXI_ARVALID",  "o S_AXI_ARREADY",  "o S_AXI_RDATA 32",
                                        "o S_AXI_RRESP 2",  "o S_AXI_RVALID",   "i S_AXI_RREADY"};
const std::vector<std::string> kAxiMin{"i clk",
                                       "i rst",
                                       "i s_axil_awaddr 8",
                                       "i s_axil_awvalid",
                                       "o s_axil_awready",
                                       "i s_axil_wdata 32",
                                       "i s_axil_wvalid",
                                       "o s_axil_wready",
                                       "o s_axil_bvalid",
                                       "i s_axil_bready",
                                       "i s_axil_araddr 8",
                                       "i s_axil_arvalid",
                                       "o s_axil_arready",
                                       "o s_axil_rdata 32",
                                       "o s_axil_rvalid",
                                       "i s_axil_rready"};
const std::vector<std::string> kApbFull{"i PCLK",   "i PRESETn",  "i PSEL",      "i PENABLE",
                                        "i PWRITE", "i PADDR 12", "i PWDATA 32", "o PRDATA 32",
                                        "o PREADY", "o PSLVERR",  "i PSTRB 4",   "i PPROT 3"};
const std::vector<std::string> kApbMin{"i pclk",   "i presetn", "i psel",      "i penable",
                                       "i pwrite", "i paddr 8", "i pwdata 16", "o prdata 16"};
const std::vector<std::string> kWbFull{
    "i wb_clk_i",    "i wb_rst_i",    "i wb_cyc_i",    "i wb_stb_i", "i wb_we_i",
    "i wb_adr_i 10", "i wb_dat_i 32", "o wb_dat_o 32", "o wb_ack_o", "i wb_sel_i 4",
    "o wb_err_o",    "o wb_rty_o",    "o wb_stall_o"};
// 8-bit data with a 1-bit SEL: an sc_logic the machine sets bit by bit.
const std::vector<std::string> kWbByte{
    "i i_clk",       "i i_reset",     "i i_wb_cyc", "i i_wb_stb", "i i_wb_we",   "i i_wb_addr 8",
    "i i_wb_data 8", "o o_wb_data 8", "o o_wb_ack", "i i_wb_sel", "o o_wb_stall"};

// A template as asf-template writes it: the frame and a port with its label per bus port.
AsfDocument Template(const BusPortSet& ports) {
    std::string text = "VERSION=1.19\r\nHEADER\r\nFREEOID=60\r\nEND\r\nOBJECTS\r\n"
                       "F 1 0 671088640 10 0 \"\" 0 RECT 0,0,0 0 0 1 255,255,255 0 | "
                       "15700,15700 200200,221700\r\n";
    int n = 10;
    for (const BusPort& port : ports.ports) {
        const std::string at = std::to_string(20700 + 24000 * ((n - 10) / 6)) + "," +
                               std::to_string(239700 - 6000 * ((n - 10) / 2 % 3));
        n += 2;
        text += "I " + std::to_string(n - 1) + " 0 2 Builtin InPort | " + at + " \"\" \"\"\r\n";
        text += "L " + std::to_string(n) + " " + std::to_string(n - 1) + " 0 TEXT \"Labels\" | " +
                at + " 1 0 0 \"" + port.name + "\"\r\n";
    }
    AsfDocument doc;
    Status s = AsfDocument::Load(text + "END\r\n", "/p/Temp/bus.asf", doc);
    EXPECT_TRUE(s) << s.message();
    return doc;
}

// The machine as the reader gives it: states in order (initial first, trap marked), then
// one line per transition "FROM -> TO priority [condition]", then the action blocks.
std::string Drawn(const BusPortSet& ports, BusFunction function) {
    AsfDocument doc = Template(ports);
    Status s = DrawBusMachine(doc, ports, function);
    EXPECT_TRUE(s) << s.message();
    for (const DiagramCheck& check : CheckDiagram(doc, "f")) ADD_FAILURE() << check.message;
    const StateMachine m = ReadMachine(doc, "f").machine;
    auto name = [&](ObjectNumber n) { return doc.NameOf(n); };
    std::string out;
    for (std::size_t i = 0; i < m.states.size(); ++i)
        out += m.states[i].name + (i + 1 == m.initialState ? " initial" : "") +
               (i + 1 == m.trapState ? " trap" : "") + "\n";
    for (const DiagramTransition& t : m.transitions) {
        if (t.source == m.resetObject) continue;
        out += name(t.source) + " -> " + name(t.target) + " " + std::to_string(t.priority);
        for (const DiagramCondition& c : m.conditions)
            if (c.transition == t.number) out += " " + c.text;
        out += "\n";
    }
    for (const DiagramAction& a : m.actions)
        out += name(a.state) + ":\n" + AsfTextShown(a.text) + "\n";
    return out;
}

TEST(BusDiagrams, AxiWriteOffersBothChannelsAndTakesTheResponseAfterBvalidIsSeen) {
    const std::string full = Drawn(Find(BusProtocol::Axi4Lite, kAxiFull), BusFunction::Write);
    EXPECT_EQ(full.substr(0, full.find("ADDRESS:")),
              "ADDRESS initial\nHANDSHAKE\nRESPONSE\nACCEPT\nDONE trap\n"
              "ADDRESS -> HANDSHAKE 1\n"
              "HANDSHAKE -> RESPONSE 1 ( aw_pending = 0 or S_AXI_AWREADY = LOGIC_1 ) and "
              "( w_pending = 0 or S_AXI_WREADY = LOGIC_1 )\n"
              "HANDSHAKE -> HANDSHAKE 2\n"
              "RESPONSE -> ACCEPT 1 S_AXI_BVALID = LOGIC_1\nRESPONSE -> RESPONSE 2\n"
              "ACCEPT -> DONE 1\n");
    EXPECT_NE(full.find("ADDRESS:\nS_AXI_AWADDR := toLv ( address )\nS_AXI_AWPROT := \"000\"\n"
                        "S_AXI_AWVALID := LOGIC_1\nS_AXI_WDATA := toLv ( data )\n"
                        "S_AXI_WSTRB := toLv ( strobe )\nS_AXI_WVALID := LOGIC_1\n"
                        "aw_pending := 1\nw_pending := 1\n"),
              std::string::npos)
        << full;
    EXPECT_NE(full.find("HANDSHAKE:\nif aw_pending = 1 and S_AXI_AWREADY = LOGIC_1 then\n"
                        "  S_AXI_AWVALID := LOGIC_0\n  aw_pending := 0\n"),
              std::string::npos)
        << full;
    EXPECT_NE(full.find("ACCEPT:\nS_AXI_BREADY := LOGIC_0\nresponse := toInt ( S_AXI_BRESP )"),
              std::string::npos)
        << full;
    // Without PROT, WSTRB and BRESP: nothing of them, and the response is OKAY.
    const std::string min = Drawn(Find(BusProtocol::Axi4Lite, kAxiMin), BusFunction::Write);
    EXPECT_EQ(min.find("strobe"), std::string::npos) << min;
    EXPECT_EQ(min.find("PROT"), std::string::npos) << min;
    EXPECT_NE(min.find("ACCEPT:\ns_axil_bready := LOGIC_0\nresponse := 0\n"), std::string::npos)
        << min;
}

TEST(BusDiagrams, AxiReadWaitsForArreadyThenRaisesRreadyOnlyAfterRvalid) {
    EXPECT_EQ(Drawn(Find(BusProtocol::Axi4Lite, kAxiFull), BusFunction::Read),
              "ADDRESS initial\nHANDSHAKE\nRESPONSE\nACCEPT\nDONE trap\n"
              "ADDRESS -> HANDSHAKE 1\n"
              "HANDSHAKE -> RESPONSE 1 S_AXI_ARREADY = LOGIC_1\nHANDSHAKE -> HANDSHAKE 2\n"
              "RESPONSE -> ACCEPT 1 S_AXI_RVALID = LOGIC_1\nRESPONSE -> RESPONSE 2\n"
              "ACCEPT -> DONE 1\n"
              "ADDRESS:\nS_AXI_ARADDR := toLv ( address )\nS_AXI_ARPROT := \"000\"\n"
              "S_AXI_ARVALID := LOGIC_1\n"
              "HANDSHAKE:\nif S_AXI_ARREADY = LOGIC_1 then\n  S_AXI_ARVALID := LOGIC_0\n"
              "RESPONSE:\nif S_AXI_RVALID = LOGIC_1 then\n  S_AXI_RREADY := LOGIC_1\n"
              "ACCEPT:\nS_AXI_RREADY := LOGIC_0\ndata := toInt ( S_AXI_RDATA )\n"
              "response := toInt ( S_AXI_RRESP )\n");
    const std::string min = Drawn(Find(BusProtocol::Axi4Lite, kAxiMin), BusFunction::Read);
    EXPECT_NE(min.find("data := toInt ( s_axil_rdata )\nresponse := 0\n"), std::string::npos)
        << min;
}

TEST(BusDiagrams, ApbEndsTheAccessOnPreadyOrWithoutItOnItsFirstEdge) {
    EXPECT_EQ(Drawn(Find(BusProtocol::Apb, kApbFull), BusFunction::Write),
              "SETUP initial\nACCESS\nWAIT_READY\nDONE trap\n"
              "SETUP -> ACCESS 1\nACCESS -> WAIT_READY 1\n"
              "WAIT_READY -> DONE 1 PREADY = LOGIC_1\nWAIT_READY -> WAIT_READY 2\n"
              "SETUP:\nPADDR := toLv ( address )\nPWRITE := LOGIC_1\nPWDATA := toLv ( data )\n"
              "PSTRB := toLv ( strobe )\nPPROT := \"000\"\nPSEL := LOGIC_1\nPENABLE := LOGIC_0\n"
              "ACCESS:\nPENABLE := LOGIC_1\n"
              "WAIT_READY:\nif PREADY = LOGIC_1 then\n  PSEL := LOGIC_0\n  PENABLE := LOGIC_0\n"
              "  if PSLVERR = LOGIC_1 then\n    response := 2\n  else\n    response := 0\n");
    const std::string read = Drawn(Find(BusProtocol::Apb, kApbFull), BusFunction::Read);
    EXPECT_NE(read.find("PWRITE := LOGIC_0\nPSTRB := \"0000\"\n"), std::string::npos) << read;
    EXPECT_NE(read.find("  data := toInt ( PRDATA )\n"), std::string::npos) << read;
    EXPECT_EQ(read.find("PWDATA"), std::string::npos) << read;
    // No PREADY: one way on from WAIT_READY, no waiting; no PSLVERR: response 0.
    const std::string min = Drawn(Find(BusProtocol::Apb, kApbMin), BusFunction::Read);
    EXPECT_NE(min.find("WAIT_READY -> DONE 1\nSETUP:"), std::string::npos) << min;
    EXPECT_NE(min.find("WAIT_READY:\npsel := LOGIC_0\npenable := LOGIC_0\n"
                       "data := toInt ( prdata )\nresponse := 0\n"),
              std::string::npos)
        << min;
}

TEST(BusDiagrams, WishboneHoldsTheCycleUntilAnAnswerAndNamesItInTheResponse) {
    EXPECT_EQ(Drawn(Find(BusProtocol::Wishbone, kWbFull), BusFunction::Read),
              "REQUEST initial\nWAIT_ACK\nDONE trap\n"
              "REQUEST -> WAIT_ACK 1\n"
              "WAIT_ACK -> DONE 1 wb_ack_o = LOGIC_1 or wb_err_o = LOGIC_1 or wb_rty_o = LOGIC_1\n"
              "WAIT_ACK -> WAIT_ACK 2\n"
              "REQUEST:\nwb_adr_i := toLv ( address )\nwb_we_i := LOGIC_0\n"
              "wb_sel_i := \"1111\"\nwb_cyc_i := LOGIC_1\nwb_stb_i := LOGIC_1\n"
              "WAIT_ACK:\n"
              "if wb_ack_o = LOGIC_1 or wb_err_o = LOGIC_1 or wb_rty_o = LOGIC_1 then\n"
              "  wb_cyc_i := LOGIC_0\n  wb_stb_i := LOGIC_0\n  wb_we_i := LOGIC_0\n"
              "  data := toInt ( wb_dat_o )\n  if wb_err_o = LOGIC_1 then\n    response := 2\n"
              "  elseif wb_rty_o = LOGIC_1 then\n    response := 1\n  else\n    response := 0\n");
    // A 1-bit SEL is set from the strobe's value bit by bit; without ERR and RTY only ACK
    // answers and the response is 0.
    const std::string write = Drawn(Find(BusProtocol::Wishbone, kWbByte), BusFunction::Write);
    EXPECT_NE(
        write.find("i_wb_data := toLv ( data )\ni_wb_we := LOGIC_1\n"
                   "if strobe = 0 then\n  i_wb_sel := LOGIC_0\nelse\n  i_wb_sel := LOGIC_1\n"),
        std::string::npos)
        << write;
    EXPECT_NE(write.find("WAIT_ACK -> DONE 1 o_wb_ack = LOGIC_1\n"), std::string::npos) << write;
    EXPECT_NE(write.find("  i_wb_we := LOGIC_0\n  response := 0\n"), std::string::npos) << write;
}

TEST(BusDiagrams, StatesStandInOneColumnUnderThePortsWithTheResetAboveTheFirst) {
    const BusPortSet ports = Find(BusProtocol::Axi4Lite, kAxiFull);
    AsfDocument doc = Template(ports);
    ASSERT_TRUE(DrawBusMachine(doc, ports, BusFunction::Write));
    const DiagramModel m = DescribeDiagram(doc);
    ASSERT_EQ(m.states.size(), 5u);
    ObjectNumber lowestPort = 1'000'000;
    for (const ModelPort& p : m.ports) lowestPort = std::min(lowestPort, p.shape.points[0].y);
    ASSERT_TRUE(m.reset);
    const AsfPoint reset = m.reset->shape.points[0];
    EXPECT_LT(reset.y + 6000, lowestPort);
    AsfPoint above = reset;
    for (const ModelState& s : m.states) {
        const AsfPoint at = s.shape.points[0];
        EXPECT_EQ(at.x, reset.x) << s.name;
        EXPECT_EQ(above.y - at.y, s.name == m.states[0].name ? 16000 : 28000) << s.name;
        EXPECT_GT(at.y, 15700 + 6000) << s.name; // inside the frame
        above = at;
    }
    EXPECT_EQ(m.initial, m.states[0].id);
    for (const ModelAction& a : m.actions) EXPECT_GT(a.shape.points[0].x, reset.x + 6000);
}

TEST(BusDiagrams, RefusalsLeaveTheDocumentAsItWas) {
    const BusPortSet ports = Find(BusProtocol::Apb, kApbFull);
    AsfDocument doc = Template(ports);
    ASSERT_TRUE(DrawBusMachine(doc, ports, BusFunction::Write));
    const std::string drawn = doc.Bytes();
    Status again = DrawBusMachine(doc, ports, BusFunction::Write);
    EXPECT_EQ(again.message(),
              "ASF file /p/Temp/bus.asf: the diagram is not an empty template: a machine is "
              "drawn in it already");
    EXPECT_EQ(doc.Bytes(), drawn);

    BusPortSet broken = ports;
    broken.problems.push_back("no port for PSEL");
    AsfDocument empty = Template(ports);
    const std::string before = empty.Bytes();
    EXPECT_EQ(DrawBusMachine(empty, broken, BusFunction::Read).message(),
              "ASF file /p/Temp/bus.asf: the APB ports cannot be drawn for: no port for PSEL");
    // A template of another project: a port of the set is not in it.
    AsfDocument other = Template(Find(BusProtocol::Apb, kApbMin));
    const std::string otherBefore = other.Bytes();
    EXPECT_EQ(DrawBusMachine(other, ports, BusFunction::Read).message(),
              "ASF file /p/Temp/bus.asf: the template has no port PSEL; make it from the "
              "project declared for this bus");
    EXPECT_EQ(empty.Bytes(), before);
    EXPECT_EQ(other.Bytes(), otherBefore);
}

} // namespace
} // namespace kestrel
