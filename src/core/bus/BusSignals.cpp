// The three bus protocols by name, and the table of each protocol's signals as its slave
// sees them: direction, required or optional, how wide, and the names they go by.
#include "bus/BusPorts.h"

#include "platform/Text.h"

namespace kestrel {

namespace {

constexpr PortDirection In = PortDirection::In;
constexpr PortDirection Out = PortDirection::Out;
constexpr bool Required = true;
constexpr bool Optional = false;

const std::vector<BusSignal> kAxi4Lite{
    {BusRole::AwAddr, "AWADDR", In, Required, BusWidth::Address, {"awaddr"}},
    {BusRole::AwProt, "AWPROT", In, Optional, BusWidth::Field, {"awprot"}},
    {BusRole::AwValid, "AWVALID", In, Required, BusWidth::Bit, {"awvalid"}},
    {BusRole::AwReady, "AWREADY", Out, Required, BusWidth::Bit, {"awready"}},
    {BusRole::WData, "WDATA", In, Required, BusWidth::Data, {"wdata"}},
    {BusRole::WStrb, "WSTRB", In, Optional, BusWidth::Strobe, {"wstrb"}},
    {BusRole::WValid, "WVALID", In, Required, BusWidth::Bit, {"wvalid"}},
    {BusRole::WReady, "WREADY", Out, Required, BusWidth::Bit, {"wready"}},
    {BusRole::BResp, "BRESP", Out, Optional, BusWidth::Field, {"bresp"}},
    {BusRole::BValid, "BVALID", Out, Required, BusWidth::Bit, {"bvalid"}},
    {BusRole::BReady, "BREADY", In, Required, BusWidth::Bit, {"bready"}},
    {BusRole::ArAddr, "ARADDR", In, Required, BusWidth::Address, {"araddr"}},
    {BusRole::ArProt, "ARPROT", In, Optional, BusWidth::Field, {"arprot"}},
    {BusRole::ArValid, "ARVALID", In, Required, BusWidth::Bit, {"arvalid"}},
    {BusRole::ArReady, "ARREADY", Out, Required, BusWidth::Bit, {"arready"}},
    {BusRole::RData, "RDATA", Out, Required, BusWidth::Data, {"rdata"}},
    {BusRole::RResp, "RRESP", Out, Optional, BusWidth::Field, {"rresp"}},
    {BusRole::RValid, "RVALID", Out, Required, BusWidth::Bit, {"rvalid"}},
    {BusRole::RReady, "RREADY", In, Required, BusWidth::Bit, {"rready"}},
};

const std::vector<BusSignal> kApb{
    {BusRole::PSel, "PSEL", In, Required, BusWidth::Bit, {"psel"}},
    {BusRole::PEnable, "PENABLE", In, Required, BusWidth::Bit, {"penable"}},
    {BusRole::PWrite, "PWRITE", In, Required, BusWidth::Bit, {"pwrite"}},
    {BusRole::PAddr, "PADDR", In, Required, BusWidth::Address, {"paddr"}},
    {BusRole::PWData, "PWDATA", In, Required, BusWidth::Data, {"pwdata"}},
    {BusRole::PRData, "PRDATA", Out, Required, BusWidth::Data, {"prdata"}},
    {BusRole::PReady, "PREADY", Out, Optional, BusWidth::Bit, {"pready"}},
    {BusRole::PSlvErr, "PSLVERR", Out, Optional, BusWidth::Bit, {"pslverr"}},
    {BusRole::PStrb, "PSTRB", In, Optional, BusWidth::Strobe, {"pstrb", "pwstrb"}},
    {BusRole::PProt, "PPROT", In, Optional, BusWidth::Field, {"pprot"}},
};

// DAT_I and DAT_O share their name: a direction mark, or else the port's direction, tells
// them apart.
const std::vector<BusSignal> kWishbone{
    {BusRole::Cyc, "CYC", In, Required, BusWidth::Bit, {"cyc"}},
    {BusRole::Stb, "STB", In, Required, BusWidth::Bit, {"stb"}},
    {BusRole::We, "WE", In, Required, BusWidth::Bit, {"we"}},
    {BusRole::Adr, "ADR", In, Required, BusWidth::Address, {"adr", "addr"}},
    {BusRole::DatI, "DAT_I", In, Required, BusWidth::Data, {"dat", "data"}},
    {BusRole::DatO, "DAT_O", Out, Required, BusWidth::Data, {"dat", "data"}},
    {BusRole::Ack, "ACK", Out, Required, BusWidth::Bit, {"ack"}},
    {BusRole::Sel, "SEL", In, Optional, BusWidth::Field, {"sel"}},
    {BusRole::Err, "ERR", Out, Optional, BusWidth::Bit, {"err"}},
    {BusRole::Rty, "RTY", Out, Optional, BusWidth::Bit, {"rty"}},
    {BusRole::Stall, "STALL", Out, Optional, BusWidth::Bit, {"stall"}},
};

} // namespace

std::string_view BusProtocolName(BusProtocol protocol) {
    switch (protocol) {
    case BusProtocol::Axi4Lite: return "axi4-lite";
    case BusProtocol::Apb: return "apb";
    case BusProtocol::Wishbone: return "wishbone";
    }
    return "";
}

std::string_view BusProtocolTitle(BusProtocol protocol) {
    switch (protocol) {
    case BusProtocol::Axi4Lite: return "AXI4-Lite";
    case BusProtocol::Apb: return "APB";
    case BusProtocol::Wishbone: return "Wishbone";
    }
    return "";
}

std::optional<BusProtocol> ParseBusProtocol(std::string_view text) {
    const std::string word = AsciiLower(text);
    for (BusProtocol protocol : {BusProtocol::Axi4Lite, BusProtocol::Apb, BusProtocol::Wishbone})
        if (word == BusProtocolName(protocol)) return protocol;
    return std::nullopt;
}

std::string BusProtocolNames() {
    return "axi4-lite, apb, wishbone";
}

const std::vector<BusSignal>& BusSignals(BusProtocol protocol) {
    switch (protocol) {
    case BusProtocol::Apb: return kApb;
    case BusProtocol::Wishbone: return kWishbone;
    case BusProtocol::Axi4Lite: break;
    }
    return kAxi4Lite;
}

const BusPort* BusPortSet::Port(BusRole role) const {
    for (const BusPort& port : ports)
        if (port.role == role) return &port;
    return nullptr;
}

} // namespace kestrel
