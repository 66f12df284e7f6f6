#pragma once
// The bus protocol a project's simulations check, kept in the project folder
// (protocol.json) so that every simulation of a project made from a bus slave's Verilog
// watches its bus without being asked; `sim --protocol` gives it for one run.
#include "bus/BusPorts.h"
#include "platform/Status.h"

#include <optional>
#include <string>

namespace kestrel {

inline constexpr const char* kProtocolChoiceFile = "protocol.json";

struct ProtocolChoice {
    BusProtocol protocol = BusProtocol::Axi4Lite;
    // The prefix of the bus ports in the RTL, as found or given; none: found again each run.
    std::optional<std::string> prefix;
    friend bool operator==(const ProtocolChoice&, const ProtocolChoice&) = default;
};

// <project folder>/protocol.json
std::string ProtocolChoicePath(const std::string& projectFolder);

// A missing file is no choice (and no error); a damaged one is an error naming the file.
Status LoadProtocolChoice(const std::string& projectFolder, std::optional<ProtocolChoice>& choice);

// Written atomically: {"protocol": "axi4-lite", "prefix": "S_AXI_"}.
Status SaveProtocolChoice(const std::string& projectFolder, const ProtocolChoice& choice);

} // namespace kestrel
