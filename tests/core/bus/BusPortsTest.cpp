// Finding a bus slave's ports: AXI4-Lite, APB and Wishbone sets as their designers name
// them (prefixes in either letter case, Wishbone's direction marks), the optional signals,
// the clock and the reset, and every refusal with its text.
#include "bus/BusPorts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace kestrel {
namespace {

constexpr PortDirection In = PortDirection::In;
constexpr PortDirection Out = PortDirection::Out;

// "i name", "o name 32": direction, name and width (1 when not given).
std::vector<RtlPort> Ports(const std::vector<std::string>& lines) {
    std::vector<RtlPort> ports;
    for (const std::string& line : lines) {
        RtlPort port;
        port.direction = line[0] == 'i' ? In : Out;
        const std::size_t space = line.find(' ', 2);
        port.name = line.substr(2, space == std::string::npos ? std::string::npos : space - 2);
        if (space != std::string::npos) port.width = std::stoi(line.substr(space + 1));
        ports.push_back(port);
    }
    return ports;
}

std::string Cased(std::string text, bool upper) {
    if (upper)
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// An AXI4-Lite slave whose bus ports follow `prefix`; names in upper case when `upper`.
std::vector<std::string> AxiLines(const std::string& prefix, bool upper, bool optional) {
    std::vector<std::string> lines;
    auto add = [&](char dir, const std::string& name, int width) {
        lines.push_back(std::string(1, dir) + " " + prefix + Cased(name, upper) +
                        (width > 1 ? " " + std::to_string(width) : ""));
    };
    for (const char* channel : {"aw", "ar"}) {
        add('i', std::string(channel) + "addr", 12);
        if (optional) add('i', std::string(channel) + "prot", 3);
        add('i', std::string(channel) + "valid", 1);
        add('o', std::string(channel) + "ready", 1);
    }
    add('i', "wdata", 32), add('i', "wvalid", 1), add('o', "wready", 1);
    add('o', "bvalid", 1), add('i', "bready", 1);
    add('o', "rdata", 32), add('o', "rvalid", 1), add('i', "rready", 1);
    if (optional) add('i', "wstrb", 4), add('o', "bresp", 2), add('o', "rresp", 2);
    return lines;
}

std::vector<std::string> With(std::vector<std::string> lines,
                              const std::vector<std::string>& more) {
    lines.insert(lines.begin(), more.begin(), more.end());
    return lines;
}

std::vector<std::string> Without(std::vector<std::string> lines, const std::string& name) {
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [&](const std::string& line) {
                                   return line.substr(2, line.find(' ', 2) - 2) == name;
                               }),
                lines.end());
    return lines;
}

struct FoundCase {
    const char* what;
    std::vector<std::string> ports;
    BusProtocol protocol;
    std::optional<std::string> prefix; // given
    std::string expectedPrefix;
    std::vector<std::pair<BusRole, std::string>> expectedPorts; // a sample, with names
    std::vector<BusRole> absent;                                // optional signals not there
    std::string clock;
    std::string reset;
    bool resetActiveLow;
};

std::vector<FoundCase> FoundCases() {
    const std::vector<std::string> wbMarkedAfter{"i wb_clk_i",    "i wb_rst_i",    "i wb_cyc_i",
                                                 "i wb_stb_i",    "i wb_we_i",     "i wb_adr_i 8",
                                                 "i wb_dat_i 32", "o wb_dat_o 32", "o wb_ack_o",
                                                 "i wb_sel_i 4",  "o wb_err_o",    "o wb_stall_o"};
    const std::vector<std::string> wbMarkedBefore{
        "i i_clk",        "i i_reset",      "i i_wb_cyc",     "i i_wb_stb", "i i_wb_we",
        "i i_wb_addr 30", "i i_wb_data 16", "o o_wb_data 16", "o o_wb_ack", "o o_wb_rty"};
    const std::vector<std::string> wbPlain{"i clk_i",   "i rst_ni",  "i cyc_i",
                                           "i stb_i",   "i we_i",    "i adr_i 4",
                                           "i dat_i 8", "o dat_o 8", "o ack_o"};
    return {
        {"Xilinx style, upper case, every optional signal, the bus's own clock and reset",
         With(AxiLines("S_AXI_", true, true),
              {"i clk", "i rst_n", "i S_AXI_ACLK", "i S_AXI_ARESETN"}),
         BusProtocol::Axi4Lite,
         std::nullopt,
         "S_AXI_",
         {{BusRole::AwAddr, "S_AXI_AWADDR"},
          {BusRole::WStrb, "S_AXI_WSTRB"},
          {BusRole::RResp, "S_AXI_RRESP"}},
         {},
         "S_AXI_ACLK",
         "S_AXI_ARESETN",
         true},
        {"lower case, no optional signal, a plain clock and reset",
         With(AxiLines("s_axil_", false, false), {"i clk", "i rst", "o irq"}),
         BusProtocol::Axi4Lite,
         std::nullopt,
         "s_axil_",
         {{BusRole::ArValid, "s_axil_arvalid"}, {BusRole::RData, "s_axil_rdata"}},
         {BusRole::AwProt, BusRole::ArProt, BusRole::WStrb, BusRole::BResp, BusRole::RResp},
         "clk",
         "rst",
         false},
        {"a given prefix in another letter case than the RTL's",
         With(AxiLines("S_AXI_", true, false), {"i ACLK", "i ARESETN"}),
         BusProtocol::Axi4Lite,
         "s_axi_",
         "s_axi_",
         {{BusRole::BReady, "S_AXI_BREADY"}},
         {},
         "ACLK",
         "ARESETN",
         true},
        {"APB with PSTRB, PPROT, PREADY and PSLVERR",
         {"i PCLK", "i PRESETn", "i PSEL", "i PENABLE", "i PWRITE", "i PADDR 10", "i PWDATA 32",
          "o PRDATA 32", "o PREADY", "o PSLVERR", "i PSTRB 4", "i PPROT 3"},
         BusProtocol::Apb,
         std::nullopt,
         "",
         {{BusRole::PStrb, "PSTRB"}, {BusRole::PSlvErr, "PSLVERR"}},
         {},
         "PCLK",
         "PRESETn",
         true},
        {"APB with PWSTRB, without PREADY",
         {"i pclk", "i presetn", "i apb_psel", "i apb_penable", "i apb_pwrite", "i apb_paddr 8",
          "i apb_pwdata 16", "o apb_prdata 16", "i apb_pwstrb 2"},
         BusProtocol::Apb,
         std::nullopt,
         "apb_",
         {{BusRole::PStrb, "apb_pwstrb"}},
         {BusRole::PReady, BusRole::PSlvErr, BusRole::PProt},
         "pclk",
         "presetn",
         true},
        {"Wishbone named wb_*_i and wb_*_o",
         wbMarkedAfter,
         BusProtocol::Wishbone,
         std::nullopt,
         "wb_",
         {{BusRole::DatI, "wb_dat_i"}, {BusRole::DatO, "wb_dat_o"}, {BusRole::Stall, "wb_stall_o"}},
         {BusRole::Rty},
         "wb_clk_i",
         "wb_rst_i",
         false},
        {"Wishbone named i_wb_* and o_wb_*",
         wbMarkedBefore,
         BusProtocol::Wishbone,
         std::nullopt,
         "wb_",
         {{BusRole::Adr, "i_wb_addr"}, {BusRole::DatI, "i_wb_data"}, {BusRole::DatO, "o_wb_data"}},
         {BusRole::Sel, BusRole::Err, BusRole::Stall},
         "i_clk",
         "i_reset",
         false},
        {"the same with the prefix given as i_wb_",
         wbMarkedBefore,
         BusProtocol::Wishbone,
         "i_wb_",
         "i_wb_",
         {{BusRole::Ack, "o_wb_ack"}, {BusRole::Rty, "o_wb_rty"}},
         {},
         "i_clk",
         "i_reset",
         false},
        {"Wishbone with no prefix, marked *_i and *_o",
         wbPlain,
         BusProtocol::Wishbone,
         std::nullopt,
         "",
         {{BusRole::DatI, "dat_i"}, {BusRole::DatO, "dat_o"}},
         {BusRole::Sel},
         "clk_i",
         "rst_ni",
         true},
    };
}

TEST(BusPorts, FindsEachProtocolsSetAsDesignersNameIt) {
    for (const FoundCase& c : FoundCases()) {
        SCOPED_TRACE(c.what);
        const BusPortSet set = FindBusPorts(Ports(c.ports), c.protocol, c.prefix);
        ASSERT_EQ(set.problems, std::vector<std::string>{});
        EXPECT_EQ(set.prefix, c.expectedPrefix);
        for (const auto& [role, name] : c.expectedPorts) {
            ASSERT_TRUE(set.Has(role)) << name;
            EXPECT_EQ(set.Port(role)->name, name);
        }
        for (BusRole role : c.absent) EXPECT_FALSE(set.Has(role)) << static_cast<int>(role);
        // Every required signal is there.
        for (const BusSignal& signal : BusSignals(c.protocol))
            EXPECT_TRUE(!signal.required || set.Has(signal.role)) << signal.name;
        EXPECT_EQ(set.clock, c.clock);
        EXPECT_EQ(set.reset ? set.reset->name : "", c.reset);
        EXPECT_EQ(set.reset && set.reset->activeLow, c.resetActiveLow);
    }
}

TEST(BusPorts, KeepsTheRtlsWidthsAndDirections) {
    const BusPortSet set =
        FindBusPorts(Ports(With(AxiLines("S_AXI_", true, true), {"i S_AXI_ACLK"})),
                     BusProtocol::Axi4Lite, std::nullopt);
    ASSERT_TRUE(set.problems.empty());
    EXPECT_EQ(set.Port(BusRole::AwAddr)->width, 12);
    EXPECT_EQ(set.Port(BusRole::WStrb)->width, 4);
    EXPECT_EQ(set.Port(BusRole::RData)->direction, Out);
    EXPECT_EQ(set.ports.size(), BusSignals(BusProtocol::Axi4Lite).size());
    EXPECT_FALSE(set.reset.has_value());
}

TEST(BusPorts, ProtocolNames) {
    for (BusProtocol protocol : {BusProtocol::Axi4Lite, BusProtocol::Apb, BusProtocol::Wishbone})
        EXPECT_EQ(ParseBusProtocol(BusProtocolName(protocol)), protocol);
    EXPECT_EQ(ParseBusProtocol("AXI4-Lite"), BusProtocol::Axi4Lite);
    EXPECT_EQ(ParseBusProtocol("axi4"), std::nullopt);
    EXPECT_EQ(BusProtocolNames(), "axi4-lite, apb, wishbone");
}

struct RefusalCase {
    const char* what;
    std::vector<std::string> ports;
    BusProtocol protocol;
    std::optional<std::string> prefix;
    std::vector<std::string> problems;
};

std::vector<RefusalCase> RefusalCases() {
    const auto axi = With(AxiLines("S_AXI_", true, false), {"i S_AXI_ACLK"});
    const std::vector<std::string> apb{"i PCLK",    "i PSEL",      "i PENABLE",  "i PWRITE",
                                       "i PADDR 8", "i PWDATA 32", "o PRDATA 32"};
    auto replaced = [](std::vector<std::string> lines, const std::string& from,
                       const std::string& to) {
        std::replace(lines.begin(), lines.end(), from, to);
        return lines;
    };
    return {
        {"a required signal missing",
         Without(axi, "S_AXI_BREADY"),
         BusProtocol::Axi4Lite,
         std::nullopt,
         {"no port for AXI4-Lite BREADY: looked for S_AXI_BREADY (letter case ignored)"}},
        {"a Wishbone signal missing, looked for with its marks",
         {"i wb_clk_i", "i wb_cyc_i", "i wb_stb_i", "i wb_we_i", "i wb_adr_i 8", "i wb_dat_i 8",
          "o wb_dat_o 8"},
         BusProtocol::Wishbone,
         std::nullopt,
         {"no port for Wishbone ACK: looked for wb_ack, wb_ack_o, o_wb_ack (letter case "
          "ignored)"}},
        {"a port of the wrong direction",
         replaced(axi, "o S_AXI_AWREADY", "i S_AXI_AWREADY"),
         BusProtocol::Axi4Lite,
         std::nullopt,
         {"port S_AXI_AWREADY is an input, but AXI4-Lite AWREADY is an output of the slave"}},
        {"two whole sets",
         With(AxiLines("s1_", false, false), AxiLines("s0_", false, false)),
         BusProtocol::Axi4Lite,
         std::nullopt,
         {"several sets of AXI4-Lite slave ports, with the prefixes \"s0_\", \"s1_\": choose "
          "one with --prefix"}},
        {"no set at all",
         {"i clk", "o q 8"},
         BusProtocol::Apb,
         std::nullopt,
         {"no APB slave ports found: looked for PSEL, PENABLE, PWRITE, PADDR, PWDATA, PRDATA "
          "after any prefix (letter case ignored) among the module's ports clk, q"}},
        {"nothing after the given prefix",
         apb,
         BusProtocol::Apb,
         "apb_",
         {"no APB slave ports found: looked for PSEL, PENABLE, PWRITE, PADDR, PWDATA, PRDATA "
          "after the prefix \"apb_\" (letter case ignored) among the module's ports PCLK, PSEL, "
          "PENABLE, PWRITE, PADDR, PWDATA, PRDATA"}},
        {"an address wider than 32 bits",
         replaced(apb, "i PADDR 8", "i PADDR 40"),
         BusProtocol::Apb,
         std::nullopt,
         {"port PADDR is 40 bits wide: APB PADDR may have at most 32 bits"}},
        {"data of 64 bits",
         replaced(replaced(apb, "i PWDATA 32", "i PWDATA 64"), "o PRDATA 32", "o PRDATA 64"),
         BusProtocol::Apb,
         std::nullopt,
         {"port PWDATA is 64 bits wide: APB PWDATA may have at most 32 bits",
          "port PRDATA is 64 bits wide: APB PRDATA may have at most 32 bits"}},
        {"data of neither 8, 16 nor 32 bits, and the two data unequal",
         replaced(apb, "i PWDATA 32", "i PWDATA 24"),
         BusProtocol::Apb,
         std::nullopt,
         {"port PWDATA is 24 bits wide: APB PWDATA must have 8, 16 or 32 bits",
          "the write data PWDATA has 24 bits but the read data PRDATA has 32: they must be "
          "equally wide"}},
        {"a strobe of other than one bit per byte",
         With(apb, {"i PSTRB 2"}),
         BusProtocol::Apb,
         std::nullopt,
         {"the strobe PSTRB has 2 bits but the write data PWDATA has 4 bytes: it must have one "
          "bit per byte"}},
        {"a handshake of two bits",
         replaced(apb, "i PSEL", "i PSEL 2"),
         BusProtocol::Apb,
         std::nullopt,
         {"port PSEL is 2 bits wide: APB PSEL must be 1 bit"}},
        {"two spellings of one signal",
         With(apb, {"i PSTRB 4", "i PWSTRB 4"}),
         BusProtocol::Apb,
         std::nullopt,
         {"several ports could be APB PSTRB: PSTRB, PWSTRB; only one of them may carry it"}},
        {"no clock",
         Without(apb, "PCLK"),
         BusProtocol::Apb,
         std::nullopt,
         {"no clock: looked for a 1-bit input named like ACLK, PCLK, clk, clk_i, wb_clk_i or "
          "i_clk (letter case ignored)"}},
    };
}

TEST(BusPorts, RefusesWhatIsMissingAmbiguousOrTooWide) {
    for (const RefusalCase& c : RefusalCases()) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(FindBusPorts(Ports(c.ports), c.protocol, c.prefix).problems, c.problems);
    }
}

// A master's port set (stb_o, ack_i) is not a slave's: its marks say so.
TEST(BusPorts, TakesNoMastersPorts) {
    const auto master = Ports({"i clk_i", "o cyc_o", "o stb_o", "o we_o", "o adr_o 8", "o dat_o 8",
                               "i dat_i 8", "i ack_i"});
    const BusPortSet set = FindBusPorts(master, BusProtocol::Wishbone, std::nullopt);
    ASSERT_EQ(set.problems.size(), 1u);
    EXPECT_EQ(set.problems[0].rfind("no Wishbone slave ports found", 0), 0u);
}

} // namespace
} // namespace kestrel
