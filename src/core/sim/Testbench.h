#pragma once
// The testbench folder of a project: everything a simulation of the generated
// transactor needs beside Tran.h / Tran.cpp, buildable with CMake without Kestrel.
//   sc_main.cpp     the clock, one signal per port, the transactor and the RTL bound to
//                   them, pin adapters, a VCD trace, the top thread, the time limit
//   kestrel_pins.h  the adapters between 4-state and 2-state ports, and the run's report
//   rtl_pins.h      struct RtlPins: the RTL's ports that the project does not declare
//   reset.h         ResetRtl: the RTL's reset inputs asserted, then released, before
//                   RunTransactions
//   rtl.h           (no Verilog given) an RTL module with the project's ports, to fill
//   transactions.cpp RunTransactions: one example call of every TLM function, to edit
//   CMakeLists.txt  the build of `sim` (Verilator's verilate() when there is Verilog)
// rtl.h, transactions.cpp and reset.h are the user's: written only when missing.
// Through the TLM-2.0 socket (--tlm2) the transactor's place is taken by its socket module
// (<header>_tlm2.h, written beside the transactor header), an initiator socket is bound to
// it, and transactions_tlm2.cpp (the user's) takes the place of transactions.cpp.
#include "model/ProjectTables.h"
#include "platform/Status.h"
#include "sim/RtlPorts.h"
#include "tlm2/Tlm2Module.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// Who writes a testbench folder, as the header comment of each file names it.
inline constexpr const char* kWriterTestbench = "kestrel-cli testbench";
inline constexpr const char* kWriterSim = "kestrel-cli sim";
inline constexpr const char* kWriterWindow = "Kestrel's Simulate (Generate window)";

// One declared port as the testbench wires it.
struct TestbenchPort {
    std::string name;
    std::string transactorType; // "sc_logic", "sc_lv<8>", "bool" (the transactor's side)
    int width = 1;
    PortDirection rtlDirection = PortDirection::In; // as declared: the RTL's view
    bool isClock = false;
    std::string pinType; // with Verilog: the verilated port's type; empty otherwise
    bool adapted() const { return !pinType.empty() && pinType != transactorType; }
};

// How a pin's name marks it as a reset: not at all, asserted high, or asserted low.
enum class ResetLevel { None, ActiveHigh, ActiveLow };

// The level of a reset input by its name, letter case ignored: the word rst or reset
// (areset, preset, hreset alike), after nothing, after a prefix ending in '_', or after one
// letter (P, H, A: PRESETn, HRESETn, S_AXI_ARESETN); then optionally n or _n for active
// low, then optionally _i for an input (wb_rst_i, rst_ni). A single n before the word
// (nRST, n_reset) is active low too. Anything else (first, burst, resetval, rst_sync) is
// not a reset.
ResetLevel ResetLevelOfName(std::string_view name);

// The reset inputs found among the RTL's undeclared pins.
struct ResetPin {
    std::string name;
    bool activeLow = false;
};

// How many active clock edges reset.h holds the resets asserted for.
constexpr int kResetCycles = 4;

// The protocol check a simulation is asked for: the protocol by its --protocol word
// ("axi4-lite", "apb", "wishbone"; empty: the project's own, protocol.json), the prefix of
// the bus ports (none: the project's, or found among the RTL's ports) and how many active
// clock edges a request may wait for its answer.
constexpr int kDefaultHangCycles = 256;
struct ProtocolCheckRequest {
    std::string protocol;
    std::optional<std::string> prefix;
    int hangCycles = kDefaultHangCycles;
};

// The monitor the testbench puts on the bus (share/kestrel/kestrel_monitor.h): which RTL
// port plays which role, the slave's reset, and the hang limit.
struct BusMonitorPin {
    std::string role; // as the monitor names it: "AWVALID", "PSEL", "DAT_I"
    std::string port; // the RTL's port
    int width = 1;
};

struct BusMonitorPlan {
    std::string protocol; // "axi4-lite"
    std::string title;    // "AXI4-Lite"
    std::string busEnum;  // the monitor's kestrel_tb::Bus: "Axi4Lite", "Apb", "Wishbone"
    std::string prefix;
    int hangCycles = kDefaultHangCycles;
    std::vector<BusMonitorPin> pins;
    std::string reset; // the RTL's reset port; empty: none
    bool resetActiveLow = false;
};

// Finds the bus a protocol check watches among the RTL's ports; the problems (ports missing,
// ambiguous, too wide) when it cannot. The protocols live in a layer above this one: the
// faces hand it in through the request (see ArmProtocolCheck in bus/BusMonitor.h).
using BusMonitorFinder = std::function<std::vector<std::string>(
    const ProtocolCheckRequest& request, const RtlModule& rtl, BusMonitorPlan& monitor)>;

struct TestbenchPlan {
    std::string projectName;
    std::string transactorClass;
    std::string interfaceClass;
    std::string transactorHeader; // file names, as Tran.cpp includes them
    std::string interfaceHeader;
    std::string transactorCpp;               // stored path of the generated Tran.cpp
    std::vector<std::string> includeFolders; // where the generated headers are
    std::string clockName;
    bool clockOnPositiveEdge = true;
    int clockPeriod = 1;
    std::string clockUnit = "SC_NS";
    std::vector<TestbenchPort> ports;
    std::vector<const TlmFunction*> functions;
    std::optional<RtlModule> rtl;      // the Verilog top, when given
    std::vector<std::string> rtlFiles; // absolute
    std::vector<RtlPort> extraPins;    // RTL ports the project does not declare
    std::vector<ResetPin> resets;      // the 1-bit inputs among them named as resets
    // Where the files are, for the build file: paths inside the project folder are written
    // relative to the testbench folder when it lies in the project too, so that the folder
    // builds wherever the project is moved. Empty: every path in full.
    std::string projectFolder;
    std::string folder;
    std::string writer = kWriterTestbench;       // who writes the files, for their header comment
    std::vector<std::string> defines;            // NAME or NAME=VALUE, for every C++ file
    std::vector<std::string> userIncludeFolders; // absolute, for every C++ file
    // Through the TLM-2.0 socket: the socket module in the transactor's place.
    std::optional<Tlm2Module> tlm2;
    // The protocol monitor on the bus, when the run checks a protocol.
    std::optional<BusMonitorPlan> monitor;
};

// Builds the plan from the stored tables (declared directions) and, with Verilog, its top
// module. Every mismatch between the project and the RTL is a problem, named with the
// port and both declarations; the plan is usable only when there is none.
std::vector<std::string> PlanTestbench(const std::string& projectName, const ProjectTables& tables,
                                       const RtlModule* rtl, TestbenchPlan& plan);

// The texts of the testbench files.
std::string SimMainText(const TestbenchPlan& plan);
// kestrel_pins.h as the testbench holds it: a line naming `writer` (kWriterTestbench, ...),
// then `header`, the installed share/kestrel/kestrel_pins.h.
std::string PinAdapterText(std::string_view header, std::string_view writer);
std::string RtlPinsText(const TestbenchPlan& plan);
std::string RtlStubText(const TestbenchPlan& plan);
std::string TransactionsText(const TestbenchPlan& plan);
// transactions_tlm2.cpp: an example of every command through the socket (plan.tlm2 set).
std::string Tlm2TransactionsText(const TestbenchPlan& plan);
// The user's file of the transactions: transactions.cpp, or transactions_tlm2.cpp.
std::string TransactionsFileName(const TestbenchPlan& plan);
std::string ResetText(const TestbenchPlan& plan);
// kestrel_monitor.h as the testbench holds it: a line naming `writer`, then `header`.
std::string MonitorHeaderText(std::string_view header, std::string_view writer);

// The first line of every file's header comment: which file, who wrote it, for which project.
std::string WrittenByText(std::string_view file, const TestbenchPlan& plan);
std::string CMakeListsText(const TestbenchPlan& plan);

// `text` as one quoted CMake argument ("..." with \\, \", \$ and \; escaped), so that a path
// or a value with blanks, quotes, dollars or semicolons reaches the command as it is.
// `prefix` goes in front unescaped (a variable reference such as ${CMAKE_CURRENT_SOURCE_DIR}/).
std::string CMakeQuoted(std::string_view text, std::string_view prefix = {});
// A path as the build file names it, quoted: from the testbench folder (plan.folder) when
// both lie in the project folder (the testbench then moves with the project), in full
// otherwise.
std::string CMakePath(const std::string& storedPath, const TestbenchPlan& plan);
// True when CMake keeps `text` one element of a list: its square brackets pair up (an
// unpaired one joins it with the elements after it, wherever it is) and it does not end in
// a backslash (which escapes the separator after it).
bool OneCMakeListElement(std::string_view text);

// Why a --define is refused ("NAME" or "NAME=VALUE", NAME a C identifier, no line break in
// VALUE, no backslash at its end and no unpaired square bracket); empty when it is fine.
std::string DefineProblem(std::string_view define);

struct TestbenchRequest {
    std::string projectFile;               // the .tp (stored path)
    std::vector<std::string> rtlFiles;     // Verilog files; none: rtl.h
    std::string top;                       // the Verilog top module; empty: the files' own
    std::string folder;                    // empty: <project>/Output/testbench
    std::string compatHeader;              // kestrel_systemc.h to copy in, kestrel_pins.h beside it
    std::string writer = kWriterTestbench; // for the files' header comment
    std::vector<std::string> defines;      // NAME or NAME=VALUE, for every C++ file
    std::vector<std::string> includeFolders; // for every C++ file
    // Through the project's TLM-2.0 socket (its mapping, tlm2.json): the socket module is
    // written beside the transactor header and takes the transactor's place.
    bool tlm2 = false;
    // A protocol monitor on the bus (needs the Verilog); `findBus` finds its ports, and is
    // set with the protocol by ArmProtocolCheck (bus/BusMonitor.h).
    std::optional<ProtocolCheckRequest> protocol;
    BusMonitorFinder findBus;
};

struct TestbenchResult {
    Status status;                     // a file could not be read or written
    std::vector<std::string> problems; // refusals: nothing was written
    std::string folder;
    std::vector<std::string> written;   // file names, in writing order
    std::vector<std::string> unchanged; // already there with the same bytes
    std::vector<std::string> kept;      // the user's files that were already there
    std::string tlm2Module;             // --tlm2: the socket module's path
    bool tlm2ModuleWritten = false;     // false: it held the same text already
    TestbenchPlan plan;
    bool ok() const { return status.ok() && problems.empty(); }
};

// Plans the testbench and writes its folder (each file atomically; rtl.h,
// transactions.cpp or transactions_tlm2.cpp, and reset.h only when missing).
TestbenchResult WriteTestbench(const TestbenchRequest& request);

// Which pins the run treats as resets, for sim and testbench to print: "resets: PRESETn
// (active low), held for 4 clock cycles by reset.h", or, when reset.h is the user's
// already, that it drives them; empty without resets.
std::string ResetsNotice(const TestbenchResult& result);

// The protocol check of the run, for sim and testbench to print: "protocol check: AXI4-Lite,
// prefix S_AXI_, a request unanswered after 256 clock cycles is a hang"; empty without one.
std::string ProtocolCheckNotice(const TestbenchResult& result);

// kestrel_systemc.h beside the running program (build tree or installation), where
// kestrel_pins.h lies too; empty when it is not found.
std::string FindCompatHeader();

} // namespace kestrel
