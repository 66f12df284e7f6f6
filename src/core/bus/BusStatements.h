#pragma once
// The statements of a bus master's machines, with the port names of one slave, as the state
// diagrams' action blocks and the AsmL steps both write them: a 1-bit port is an sc_logic
// (LOGIC_0 or LOGIC_1, read by comparing, never through toLv or toInt), a wider one an
// sc_lv. Each statement is a block of lines; the lines under an `if` are indented by two.
#include "bus/BusPorts.h"

#include <string>
#include <utility>
#include <vector>

namespace kestrel::bus {

using Block = std::vector<std::string>;

inline Block& operator+=(Block& to, const Block& more) {
    to.insert(to.end(), more.begin(), more.end());
    return to;
}

// "if CONDITION then" with the lines under it, and "else" with its own when given.
inline Block If(const std::string& condition, const Block& then, const Block& otherwise = {}) {
    Block out{"if " + condition + " then"};
    for (const std::string& line : then) out.push_back("  " + line);
    if (otherwise.empty()) return out;
    out.push_back("else");
    for (const std::string& line : otherwise) out.push_back("  " + line);
    return out;
}

// The statements, with the port names of one slave.
class Statements {
public:
    explicit Statements(const BusPortSet& ports) : ports_(ports) {}

    bool Has(BusRole role) const { return ports_.Has(role); }
    std::string Name(BusRole role) const { return ports_.Port(role)->name; }
    std::string High(BusRole role) const { return Name(role) + " = LOGIC_1"; }

    // Every bit of the port `bit`; nothing for a port the slave does not have.
    Block Set(BusRole role, char bit) const {
        if (!Has(role)) return {};
        const BusPort& port = *ports_.Port(role);
        if (port.width == 1) return {port.name + " := LOGIC_" + bit};
        return {port.name + " := \"" + std::string(static_cast<std::size_t>(port.width), bit) +
                "\""};
    }
    // The port driven with the value of a parameter.
    Block Drive(BusRole role, const std::string& parameter) const {
        if (!Has(role)) return {};
        const BusPort& port = *ports_.Port(role);
        if (port.width > 1) return {port.name + " := toLv ( " + parameter + " )"};
        return If(parameter + " = 0", {port.name + " := LOGIC_0"}, {port.name + " := LOGIC_1"});
    }
    // A parameter given the value the port shows.
    Block Take(const std::string& parameter, BusRole role) const {
        const BusPort& port = *ports_.Port(role);
        if (port.width > 1) return {parameter + " := toInt ( " + port.name + " )"};
        return If(High(role), {parameter + " := 1"}, {parameter + " := 0"});
    }
    // The response parameter from a response field, 0 without one.
    Block Response(BusRole role) const {
        if (!Has(role)) return {Assign(kBusResponseParameter, 0)};
        return Take(kBusResponseParameter, role);
    }
    // The response parameter: the value of the first of `flags` that is high, else 0.
    Block Response(const std::vector<std::pair<BusRole, int>>& flags) const {
        Block out;
        for (const auto& [role, value] : flags) {
            if (!Has(role)) continue;
            out.push_back((out.empty() ? "if " : "elseif ") + High(role) + " then");
            out.push_back("  " + Assign(kBusResponseParameter, value));
        }
        if (out.empty()) return {Assign(kBusResponseParameter, 0)};
        out.push_back("else");
        out.push_back("  " + Assign(kBusResponseParameter, 0));
        return out;
    }
    static std::string Assign(const std::string& name, int value) {
        return name + " := " + std::to_string(value);
    }

private:
    const BusPortSet& ports_;
};

} // namespace kestrel::bus
