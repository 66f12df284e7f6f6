#pragma once
// TEMPORARY stand-in for the from-rtl header of branch i27-from, so that the windows build
// before it is merged; dropped at the merge. The probe reads the ports and finds the bus;
// making a project is refused.
#include "bus/BusPorts.h"
#include "platform/Status.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kestrel {

struct FromRtlRequest {
    std::string name, location;
    std::vector<std::string> rtlFiles;
    std::string top;
    BusProtocol protocol = BusProtocol::Axi4Lite;
    std::optional<std::string> prefix;
    bool asml = false;
    int period = 10;
    std::string unit = "SC_NS";
};

struct FromRtlResult {
    Status status;
    std::vector<std::string> problems;
    BusPortSet ports;
    std::string projectFile;
    std::string simCommand;
    std::vector<std::string> lines;
    bool ok() const { return status.ok() && problems.empty(); }
};

inline Status ProbeBusPorts(const std::vector<std::string>& rtlFiles, const std::string& top,
                            BusProtocol protocol, const std::optional<std::string>& prefix,
                            BusPortSet& found) {
    RtlModule module;
    if (Status s = ReadRtlModule(rtlFiles, top, module); !s) return s;
    found = FindBusPorts(module.ports, protocol, prefix);
    return Status::Ok();
}

using FromRtlProgress = std::function<void(const std::string&)>;

inline FromRtlResult MakeProjectFromRtl(const FromRtlRequest&, const FromRtlProgress&) {
    FromRtlResult result;
    result.problems.push_back("from-rtl is not merged yet");
    return result;
}

inline std::vector<std::string> BusPortLines(const BusPortSet& ports) {
    auto padded = [](std::string text) {
        if (text.size() < 8) text.resize(8, ' ');
        return text;
    };
    std::vector<std::string> lines;
    lines.push_back(std::string(BusProtocolTitle(ports.protocol)) + " slave ports " +
                    (ports.prefix.empty() ? std::string("without a prefix")
                                          : "with the prefix \"" + ports.prefix + "\"") +
                    ":");
    std::string absent;
    for (const BusSignal& signal : BusSignals(ports.protocol)) {
        if (const BusPort* port = ports.Port(signal.role))
            lines.push_back("  " + padded(std::string(signal.name)) + " -> " + port->name + " (" +
                            std::string(DirectionWord(port->direction)) + ", " +
                            std::to_string(port->width) + (port->width == 1 ? " bit)" : " bits)"));
        else if (!signal.required)
            absent += (absent.empty() ? "" : ", ") + std::string(signal.name);
    }
    lines.push_back("  " + padded("clock") + " -> " + (ports.clock.empty() ? "none" : ports.clock));
    if (ports.reset)
        lines.push_back("  " + padded("reset") + " -> " + ports.reset->name +
                        (ports.reset->activeLow ? " (active low)" : " (active high)") +
                        ": held asserted by the testbench, then released");
    else
        lines.push_back("  " + padded("reset") + " -> none found");
    lines.push_back("  optional signals the RTL lacks: " + (absent.empty() ? "none" : absent));
    return lines;
}

} // namespace kestrel
