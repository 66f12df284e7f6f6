#pragma once
// A whole project made from a bus slave's Verilog: the transactor is the master of the
// slave's AXI4-Lite, APB or Wishbone port. MakeProjectFromRtl reads the Verilog's ports,
// finds the bus, and then does what a user would do by hand, through the same core
// commands: New Project, the declarations, the code settings, each function's behaviour
// (state diagrams or AsmL) and its assignment, the RTL and protocol kept with the project,
// the TLM-2.0 socket mapping, and Generate.
#include "bus/BusPorts.h"
#include "platform/Status.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// Who first writes the socket module of such a project, for its header comment.
inline constexpr const char* kWriterFromRtl = "kestrel-cli from-rtl";

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
    // A file or tool error (Verilator's messages, a file that cannot be written).
    Status status;
    // Refusals, each a sentence without a full stop; nothing was made when there is one.
    std::vector<std::string> problems;
    BusPortSet ports;               // what was found on the bus
    std::string projectFile;        // the .tp file made
    std::string simCommand;         // "kestrel-cli sim PATH.tp --tlm2"
    std::vector<std::string> lines; // what to print: the bus found, the files written, the run
    bool ok() const { return status.ok() && problems.empty(); }
};

// Receives each line of the result as soon as it is known, and a line before each long work
// (Verilator, Generate) saying what is under way.
using FromRtlProgress = std::function<void(const std::string&)>;

FromRtlResult MakeProjectFromRtl(const FromRtlRequest& request);
FromRtlResult MakeProjectFromRtl(const FromRtlRequest& request, const FromRtlProgress& progress);

// Reads the ports of the Verilog's top module with Verilator and finds the bus among them.
// An error when Verilator refuses the files; `found.problems` holds the refusals of the bus.
Status ProbeBusPorts(const std::vector<std::string>& rtlFiles, const std::string& top,
                     BusProtocol protocol, const std::optional<std::string>& prefix,
                     BusPortSet& found);

// The time unit of a period's unit word: SC_NS, sc_ns or ns (an index into kTimeUnits).
std::optional<int> TimeUnitIndexOf(std::string_view text);

// Why a clock period cannot be used (a whole number from 1 to 32767 and a time unit); empty
// when it can.
std::string PeriodProblem(int period, const std::string& unit);

// The lines that say what was found: the protocol and prefix, each role and its port, the
// clock, the reset and its polarity, and the optional signals the RTL lacks.
std::vector<std::string> BusPortLines(const BusPortSet& ports);

} // namespace kestrel
