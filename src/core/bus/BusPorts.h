#pragma once
// A bus slave's port set among a Verilog module's ports: the three protocols a transactor
// can be the master of, the table of each protocol's signals, and FindBusPorts, which finds
// them by name after a prefix (letter case ignored), with the clock and the reset, and
// refuses what is missing, ambiguous or too wide.
#include "sim/RtlPorts.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

enum class BusProtocol { Axi4Lite, Apb, Wishbone };

// "axi4-lite", "apb", "wishbone": the words of --protocol.
std::string_view BusProtocolName(BusProtocol protocol);
// "AXI4-Lite", "APB", "Wishbone": the protocol in a sentence.
std::string_view BusProtocolTitle(BusProtocol protocol);
// The protocol of a word of --protocol, letter case ignored; none for any other word.
std::optional<BusProtocol> ParseBusProtocol(std::string_view text);
// "axi4-lite, apb, wishbone", for a usage message.
std::string BusProtocolNames();

// What a port does in its protocol.
enum class BusRole {
    // AXI4-Lite
    AwAddr,
    AwProt,
    AwValid,
    AwReady,
    WData,
    WStrb,
    WValid,
    WReady,
    BResp,
    BValid,
    BReady,
    ArAddr,
    ArProt,
    ArValid,
    ArReady,
    RData,
    RResp,
    RValid,
    RReady,
    // APB
    PSel,
    PEnable,
    PWrite,
    PAddr,
    PWData,
    PRData,
    PReady,
    PSlvErr,
    PStrb,
    PProt,
    // Wishbone classic
    Cyc,
    Stb,
    We,
    Adr,
    DatI,
    DatO,
    Ack,
    Sel,
    Err,
    Rty,
    Stall,
};

// How wide a signal may be: one bit, an address or data (at most 32 bits, data 8, 16 or 32),
// a write strobe of one bit per data byte, or any other field of at most 32 bits
// (protection, responses, Wishbone's SEL, whose granularity may be other than a byte).
enum class BusWidth { Bit, Address, Data, Strobe, Field };

struct BusSignal {
    BusRole role;
    std::string_view name;   // "AWADDR", "DAT_I"
    PortDirection direction; // as the slave sees it
    bool required = true;
    BusWidth width = BusWidth::Bit;
    // The names after the prefix, in lower case ("pstrb", "pwstrb").
    std::vector<std::string_view> spellings;
};

// The protocol's signals in their usual order, required and optional.
const std::vector<BusSignal>& BusSignals(BusProtocol protocol);

struct BusPort {
    BusRole role;
    std::string name; // as in the RTL
    int width = 1;
    PortDirection direction = PortDirection::In;
};

struct BusReset {
    std::string name;
    bool activeLow = false;
};

struct BusPortSet {
    BusProtocol protocol = BusProtocol::Axi4Lite;
    std::string prefix;         // as written in the RTL, or as given
    std::vector<BusPort> ports; // the signals found, in the protocol's order
    std::string clock;          // empty when none was found
    std::optional<BusReset> reset;
    // Each refusal, a sentence without a full stop; the set is usable when there is none.
    std::vector<std::string> problems;

    const BusPort* Port(BusRole role) const;
    bool Has(BusRole role) const { return Port(role) != nullptr; }
};

// The two functions of a bus master's transactor: write(address, data[, strobe], response)
// and read(address, data, response), response (and the read's data) by reference.
enum class BusFunction { Write, Read };
inline constexpr const char* kBusWriteFunction = "write";
inline constexpr const char* kBusReadFunction = "read";
inline constexpr const char* kBusAddressParameter = "address";
inline constexpr const char* kBusDataParameter = "data";
inline constexpr const char* kBusStrobeParameter = "strobe";
inline constexpr const char* kBusResponseParameter = "response";

// Finds the protocol's slave ports among `ports`. A name is the prefix, then one of the
// signal's spellings, letter case ignored (S_AXI_AWVALID, s_axil_awvalid, PSEL); Wishbone
// names may carry a direction mark as the slave sees it (wb_stb_i, i_wb_stb, ack_o; dat_i
// is the write data, dat_o the read data). Without `prefix` the prefix is the one before
// the only whole set of required signals. The clock and the reset are found by their
// names, preferring those after the prefix.
BusPortSet FindBusPorts(const std::vector<RtlPort>& ports, BusProtocol protocol,
                        const std::optional<std::string>& prefix);

} // namespace kestrel
