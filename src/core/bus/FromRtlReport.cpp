// BusPortLines: what FindBusPorts found, as the lines from-rtl prints and the window shows:
// the protocol and prefix, one line per signal of the protocol's table found (its role, the
// RTL's port, direction and width), the clock, the reset and how the testbench drives it,
// and the optional signals the RTL lacks, which the transactor leaves alone.
#include "bus/FromRtl.h"

#include <algorithm>

namespace kestrel {

namespace {

std::string Padded(std::string text, std::size_t width) {
    if (text.size() < width) text.resize(width, ' ');
    return text;
}

std::string PortText(const BusPort& port) {
    return port.name + " (" + std::string(DirectionWord(port.direction)) + ", " +
           std::to_string(port.width) + (port.width == 1 ? " bit)" : " bits)");
}

} // namespace

std::vector<std::string> BusPortLines(const BusPortSet& ports) {
    std::vector<std::string> lines;
    lines.push_back(std::string(BusProtocolTitle(ports.protocol)) + " slave ports " +
                    (ports.prefix.empty() ? std::string("without a prefix")
                                          : "with the prefix \"" + ports.prefix + "\"") +
                    ":");
    std::vector<std::string> missing;
    for (const BusSignal& signal : BusSignals(ports.protocol)) {
        if (const BusPort* port = ports.Port(signal.role))
            lines.push_back("  " + Padded(std::string(signal.name), 8) + " -> " + PortText(*port));
        else if (!signal.required)
            missing.push_back(std::string(signal.name));
    }
    lines.push_back("  " + Padded("clock", 8) + " -> " +
                    (ports.clock.empty() ? std::string("none") : ports.clock));
    if (ports.reset)
        lines.push_back("  " + Padded("reset", 8) + " -> " + ports.reset->name +
                        (ports.reset->activeLow ? " (active low)" : " (active high)") +
                        ": held asserted by the testbench, then released");
    else
        lines.push_back("  " + Padded("reset", 8) + " -> none found");
    std::string absent;
    for (const std::string& name : missing) absent += (absent.empty() ? "" : ", ") + name;
    lines.push_back("  optional signals the RTL lacks: " + (absent.empty() ? "none" : absent));
    return lines;
}

} // namespace kestrel
