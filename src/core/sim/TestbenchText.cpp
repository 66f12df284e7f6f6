// The texts of the testbench files, one emitter per section of each file. The emitters
// read the plan and the wiring derived from it once (which signal each port has, what the
// RTL is bound to, through which adapter), and write through a CodeWriter.
#include "sim/Testbench.h"

#include "codegen/CodeWriter.h"
#include "codegen/DeclarationHelpers.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace kestrel {

namespace {

std::string Joined(const std::vector<std::string>& words, std::string_view between) {
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i)
        text += (i ? std::string(between) : "") + words[i];
    return text;
}

// The names of a function's parameters, in order, for a call.
std::string CallArguments(const TlmFunction& function) {
    std::vector<std::string> names;
    int count = function.UsedParameterCount();
    for (int p = 1; p <= count; ++p)
        names.push_back(
            Trim(function.parameters[static_cast<std::size_t>(p)].parameterName.Text()));
    return Joined(names, ", ");
}

// The module in the transactor's place: the transactor, or its socket module.
const std::string& TransactorClass(const TestbenchPlan& plan) {
    return plan.tlm2 ? plan.tlm2->className : plan.transactorClass;
}

// The member of the Testbench that counts the transactions completed.
std::string_view CountingMember(const TestbenchPlan& plan) {
    return plan.tlm2 ? "bus" : "tlm";
}

std::string RtlClass(const TestbenchPlan& plan) {
    return plan.rtl ? "V" + plan.rtl->name : "Rtl";
}

std::string ClockEdgeEvent(const TestbenchPlan& plan) {
    return plan.clockName + (plan.clockOnPositiveEdge ? ".posedge_event()" : ".negedge_event()");
}

// The first lines of every file: who wrote it, and whose it is.
void WriteHead(CodeWriter& w, std::string_view file, const TestbenchPlan& plan, bool userFile) {
    w.line({"// ", WrittenByText(file, plan)});
    if (userFile) {
        w.line("// Yours to edit: Kestrel writes this file only when it is missing.");
        return;
    }
    w.line("// Rewritten by every Simulate and every run of kestrel-cli testbench and sim; put "
           "your own");
    w.line({"// code in ", TransactionsFileName(plan), plan.rtl ? "" : " and rtl.h", "."});
}

// How sc_main wires one declared port, decided once for every section.
struct PortWiring {
    std::string name;
    std::string type; // of the signal, on the transactor's side
    bool clock = false;
    bool input = false;           // of the RTL
    std::string rtlSignal;        // what the RTL's port is bound to
    std::string pinType;          // behind an adapter: the verilated port's type
    std::string adapter;          // the adapter's type; empty: the RTL is bound straight
    std::string adapterArguments; // of its constructor
    std::string from, to;         // the signals it copies between
};

// An input of the RTL that sc_main watches, to name it when the time limit is reached
// and it never changed: the signal on the RTL's side of the adapter.
struct WatchedPin {
    std::string name;
    std::string type;   // of the signal
    std::string signal; // in the Testbench module
};

struct Wiring {
    std::vector<PortWiring> ports; // as declared, the clock among them
    std::vector<WatchedPin> watched;
};

PortWiring WirePort(const TestbenchPort& port) {
    PortWiring wiring;
    wiring.name = port.name;
    wiring.type = port.transactorType;
    wiring.clock = port.isClock;
    wiring.input = port.rtlDirection == PortDirection::In;
    wiring.rtlSignal = port.name;
    if (port.isClock || !port.adapted()) return wiring;
    const bool toRtl = wiring.input;
    const std::string pin = port.name + "_pin";
    const std::string width = std::to_string(port.width);
    wiring.rtlSignal = pin;
    wiring.pinType = port.pinType;
    wiring.adapter = toRtl ? "kestrel_tb::ToRtl<" + port.transactorType + ", " + port.pinType +
                                 ", " + width + ">"
                           : "kestrel_tb::FromRtl<" + port.pinType + ", " + port.transactorType +
                                 ", " + width + ">";
    wiring.adapterArguments =
        "\"" + port.name + "_adapter\"" + (toRtl ? ", \"" + port.name + "\"" : "");
    wiring.from = toRtl ? port.name : pin;
    wiring.to = toRtl ? pin : port.name;
    return wiring;
}

Wiring WireTestbench(const TestbenchPlan& plan) {
    Wiring wiring;
    for (const TestbenchPort& port : plan.ports) wiring.ports.push_back(WirePort(port));
    for (const PortWiring& port : wiring.ports)
        if (!port.clock && port.input)
            wiring.watched.push_back(
                {port.name, port.adapter.empty() ? port.type : port.pinType, port.rtlSignal});
    for (const RtlPort& pin : plan.extraPins)
        if (pin.direction == PortDirection::In)
            wiring.watched.push_back({pin.name, VerilatedPinType(pin.width), "pins." + pin.name});
    return wiring;
}

void WriteSimMainHead(CodeWriter& w, const TestbenchPlan& plan) {
    WriteHead(w, "sc_main.cpp", plan, false);
    w.line("//");
    w.line({"// The clock (", std::to_string(plan.clockPeriod), " ", plan.clockUnit,
            ", steps on the ", plan.clockOnPositiveEdge ? "rising" : "falling",
            " edge), one signal per port, the transactor"});
    w.lines({"// and the RTL bound to them, a VCD trace of every port (waves.vcd) and the top "
             "thread,",
             "// which resets the RTL (ResetRtl, reset.h), calls RunTransactions on an active "
             "clock edge",
             "// and then stops the simulation.",
             "//   sim [--until TIME]   e.g. --until 50us (default 1 ms of simulated time)"});
    if (plan.tlm2) {
        w.line({"// Through the TLM-2.0 socket: ", plan.tlm2->className,
                " in the transactor's place, an initiator"});
        w.lines({"// socket bound to its socket, and RunTransactions given the initiator "
                 "socket's forward",
                 "// interface."});
    }
    if (plan.monitor) {
        w.line({"// The protocol monitor (kestrel_monitor.h) checks the ", plan.monitor->title,
                " bus on every active clock edge."});
    }
    w.line({"#include \"", plan.tlm2 ? plan.tlm2->fileName : plan.transactorHeader, "\""});
    w.line("#include \"kestrel_pins.h\"");
    if (plan.monitor) w.line("#include \"kestrel_monitor.h\"");
    w.lines({"#include \"rtl_pins.h\"", "#include \"reset.h\""});
    w.line({"#include \"", plan.rtl ? RtlClass(plan) + ".h" : "rtl.h", "\""});
    w.blank();
    if (plan.tlm2)
        w.lines({"#include <tlm.h>", "#include <tlm_utils/simple_initiator_socket.h>", ""});
    w.lines({"#include <cstdio>", "#include <cstring>", "#include <string>", ""});
    if (plan.tlm2)
        w.line("void RunTransactions(tlm::tlm_fw_transport_if<>& bus, RtlPins& pins);");
    else
        w.line({"void RunTransactions(", plan.interfaceClass, "& tlm, RtlPins& pins);"});
    w.blank();
}

void WriteCountingInterface(CodeWriter& w, const TestbenchPlan& plan) {
    w.lines({"namespace {", "",
             "// The transactor seen through its interface, counting the calls that returned."});
    w.line({"class CountingTlm : public ", plan.interfaceClass, " {"});
    w.line("public:");
    {
        auto members = w.block();
        w.line({"explicit CountingTlm(", plan.interfaceClass, "& target) : target_(target) {}"});
        w.line("unsigned long completed = 0;");
        for (const TlmFunction* function : plan.functions) {
            const std::string name = Trim(function->functionName.Text());
            const std::string returnType = Trim(function->returnTypeText.Text());
            const std::string call = "target_." + name + "(" + CallArguments(*function) + ")";
            w.blank();
            auto body = w.block(returnType + " " + name + " ( " + ParameterListText(*function) +
                                    " ) override {",
                                "}");
            if (returnType == "void")
                w.lines({call + ";", "++completed;"});
            else
                w.lines({returnType + " result = " + call + ";", "++completed;", "return result;"});
        }
    }
    w.lines({"", "private:"});
    w.line({"    ", plan.interfaceClass, "& target_;"});
    w.lines({"};", "", "} // namespace", ""});
}

// Through the socket: the initiator, a socket of the bus width bound to the socket
// module's, and its forward interface counting the b_transport calls that returned.
void WriteSocketInitiator(CodeWriter& w, const TestbenchPlan& plan) {
    w.lines(
        {"namespace {", "", "// The initiator of the transactions, bound to the socket module."});
    {
        auto initiator = w.block("struct Initiator : sc_core::sc_module {", "};");
        w.line({"using Socket = tlm_utils::simple_initiator_socket<Initiator, ",
                std::to_string(plan.tlm2->dataBits), ">;"});
        w.line("Socket socket;");
        w.lines({"explicit Initiator(sc_core::sc_module_name name)",
                 "    : sc_core::sc_module(name), socket(\"socket\") {}"});
    }
    w.lines({"",
             "// The initiator socket's forward interface, counting the b_transport calls that "
             "returned.",
             "class CountingBus : public tlm::tlm_fw_transport_if<> {", "public:"});
    {
        auto members = w.block();
        w.line("explicit CountingBus(Initiator::Socket& socket) : socket_(socket) {}");
        w.lines({"unsigned long completed = 0;", "",
                 "void b_transport(tlm::tlm_generic_payload& payload, sc_core::sc_time& delay) "
                 "override {",
                 "    socket_->b_transport(payload, delay);", "    ++completed;", "}",
                 "tlm::tlm_sync_enum nb_transport_fw(tlm::tlm_generic_payload& payload, "
                 "tlm::tlm_phase& phase,",
                 "                                   sc_core::sc_time& delay) override {",
                 "    return socket_->nb_transport_fw(payload, phase, delay);", "}",
                 "bool get_direct_mem_ptr(tlm::tlm_generic_payload& payload, tlm::tlm_dmi& dmi) "
                 "override {",
                 "    return socket_->get_direct_mem_ptr(payload, dmi);", "}",
                 "unsigned int transport_dbg(tlm::tlm_generic_payload& payload) override {",
                 "    return socket_->transport_dbg(payload);", "}"});
    }
    w.lines({"", "private:"});
    w.lines({"    Initiator::Socket& socket_;", "};", "", "} // namespace", ""});
}

void WriteTestbenchMembers(CodeWriter& w, const TestbenchPlan& plan, const Wiring& wiring) {
    w.line({"sc_core::sc_clock ", plan.clockName, ";"});
    for (const PortWiring& port : wiring.ports)
        if (!port.clock) w.line({"sc_core::sc_signal<", port.type, "> ", port.name, ";"});
    for (const PortWiring& port : wiring.ports)
        if (!port.adapter.empty())
            w.line({"sc_core::sc_signal<", port.pinType, "> ", port.rtlSignal, ";"});
    w.line("RtlPins pins;");
    w.line({TransactorClass(plan), " transactor;"});
    w.line({RtlClass(plan), " rtl;"});
    if (plan.tlm2) w.line("Initiator initiator;");
    for (const PortWiring& port : wiring.ports)
        if (!port.adapter.empty()) w.line({port.adapter, " ", port.name, "_adapter;"});
    for (const WatchedPin& watched : wiring.watched)
        w.line({"kestrel_tb::ChangeWatch<", watched.type, "> ", watched.name, "_watch;"});
    if (plan.monitor) w.line("kestrel_tb::BusMonitor monitor;");
    w.line(plan.tlm2 ? "CountingBus bus;" : "CountingTlm tlm;");
    w.lines({"bool finished = false;", "", "KESTREL_TB_PROCESSES(Testbench)"});
}

// The signal of the Testbench that carries an RTL port: a declared port's own (the
// transactor's 4-state side), or the RtlPins signal of an undeclared one.
std::string SignalOfPort(const TestbenchPlan& plan, const std::string& port) {
    for (const TestbenchPort& declared : plan.ports)
        if (declared.name == port) return declared.name;
    return "pins." + port;
}

void WriteMonitorBinding(CodeWriter& w, const TestbenchPlan& plan) {
    const BusMonitorPlan& monitor = *plan.monitor;
    for (const BusMonitorPin& pin : monitor.pins)
        w.line({"monitor.Watch(\"", pin.role, "\", ", SignalOfPort(plan, pin.port), ", ",
                std::to_string(pin.width), ");"});
    if (!monitor.reset.empty())
        w.line({"monitor.WatchReset(", SignalOfPort(plan, monitor.reset), ", ",
                monitor.resetActiveLow ? "true" : "false", ");"});
}

void WriteTestbenchConstructor(CodeWriter& w, const TestbenchPlan& plan, const Wiring& wiring) {
    w.line("explicit Testbench(sc_core::sc_module_name name)");
    auto body = w.block({}, "}");
    w.line(": sc_core::sc_module(name),");
    w.line({"  ", plan.clockName, "(\"", plan.clockName, "\", sc_core::sc_time(",
            std::to_string(plan.clockPeriod), ", sc_core::", plan.clockUnit, ")),"});
    for (const PortWiring& port : wiring.ports)
        if (!port.clock) w.line({"  ", port.name, "(\"", port.name, "\"),"});
    for (const PortWiring& port : wiring.ports)
        if (!port.adapter.empty()) w.line({"  ", port.rtlSignal, "(\"", port.rtlSignal, "\"),"});
    w.lines({"  transactor(\"transactor\"),", "  rtl(\"rtl\"),"});
    if (plan.tlm2) w.line("  initiator(\"initiator\"),");
    for (const PortWiring& port : wiring.ports)
        if (!port.adapter.empty())
            w.line({"  ", port.name, "_adapter(", port.adapterArguments, "),"});
    for (const WatchedPin& watched : wiring.watched)
        w.line({"  ", watched.name, "_watch(\"", watched.name, "_watch\"),"});
    if (plan.monitor)
        w.line({"  monitor(\"monitor\", kestrel_tb::Bus::", plan.monitor->busEnum, ", ",
                std::to_string(plan.monitor->hangCycles), ", ", ClockEdgeEvent(plan), "),"});
    w.line(plan.tlm2 ? "  bus(initiator.socket) {" : "  tlm(transactor) {");
    if (plan.tlm2) w.line("initiator.socket.bind(transactor.socket);");
    for (const PortWiring& port : wiring.ports)
        w.line({"transactor.", port.name, "(", port.name, ");"});
    for (const PortWiring& port : wiring.ports)
        w.line({"rtl.", port.name, "(", port.rtlSignal, ");"});
    for (const PortWiring& port : wiring.ports)
        if (!port.adapter.empty()) {
            w.line({port.name, "_adapter.from(", port.from, ");"});
            w.line({port.name, "_adapter.to(", port.to, ");"});
        }
    for (const RtlPort& pin : plan.extraPins) w.line({"rtl.", pin.name, "(pins.", pin.name, ");"});
    for (const WatchedPin& watched : wiring.watched)
        w.line({watched.name, "_watch.in(", watched.signal, ");"});
    if (plan.monitor) WriteMonitorBinding(w, plan);
    w.line("SC_THREAD(Run);");
}

void WriteTestbenchRun(CodeWriter& w, const TestbenchPlan& plan) {
    w.lines({"// The transactor's steps end on the active clock edge, and a TLM call is expected "
             "to",
             "// begin on one: a call that begins between two edges keeps its first outputs "
             "across",
             "// two edges.",
             "// ResetRtl (reset.h) asserts and releases the RTL's resets first."});
    auto body = w.block("void Run() {", "}");
    w.line({"ResetRtl(pins, ", ClockEdgeEvent(plan), ");"});
    w.line({"wait(", ClockEdgeEvent(plan), ");"});
    w.line({"RunTransactions(", CountingMember(plan), ", pins);"});
    w.lines({"finished = true;", "sc_core::sc_stop();"});
}

void WriteTestbenchModule(CodeWriter& w, const TestbenchPlan& plan) {
    const Wiring wiring = WireTestbench(plan);
    {
        auto module = w.block("SC_MODULE(Testbench) {", "};");
        WriteTestbenchMembers(w, plan, wiring);
        WriteTestbenchConstructor(w, plan, wiring);
        w.blank();
        WriteTestbenchRun(w, plan);
    }
    w.blank();
}

// sc_main's command line, before the simulation.
void WriteSimMainStart(CodeWriter& w, const TestbenchPlan& plan) {
    w.lines({"sc_core::sc_time limit(1, sc_core::SC_MS);", "for (int i = 1; i < argc; ++i) {",
             "    if (std::strcmp(argv[i], \"--until\") == 0 && i + 1 < argc &&",
             "        kestrel_tb::ParseTime(argv[i + 1], limit)) {", "        ++i;",
             "        continue;", "    }",
             "    std::fprintf(stderr, \"usage: %s [--until TIME]   (TIME like 50us, 2 ms)\\n\", "
             "argv[0]);",
             "    return 2;", "}",
             "sc_core::sc_report_handler::set_actions(sc_core::SC_INFO, sc_core::SC_DO_NOTHING);",
             "Testbench tb(\"tb\");",
             "sc_core::sc_trace_file* waves = sc_core::sc_create_vcd_trace_file(\"waves\");",
             "waves->set_time_unit(1, sc_core::SC_PS);"});
    w.line({"sc_core::sc_trace(waves, tb.", plan.clockName, ", \"", plan.clockName, "\");"});
    for (const TestbenchPort& port : plan.ports)
        if (!port.isClock)
            w.line({"sc_core::sc_trace(waves, tb.", port.name, ", \"", port.name, "\");"});
    for (const RtlPort& pin : plan.extraPins)
        w.line({"sc_core::sc_trace(waves, tb.pins.", pin.name, ", \"", pin.name, "\");"});
    w.blank();
}

// sc_main's report after the simulation, and its exit status.
void WriteSimMainReport(CodeWriter& w, const TestbenchPlan& plan) {
    w.lines({"sc_core::sc_start(limit);", "sc_core::sc_close_vcd_trace_file(waves);",
             "for (const kestrel_tb::UnknownDrive& drive : kestrel_tb::UnknownDrives())",
             "    std::printf(\"kestrel-sim: port %s: X or Z driven towards the RTL %lu "
             "time(s)\\n\",",
             "                drive.port.c_str(), drive.count);"});
    w.line({"const sc_core::sc_time clock(", std::to_string(plan.clockPeriod),
            ", sc_core::", plan.clockUnit, ");"});
    w.lines({"std::printf(\"kestrel-sim: %lu transaction(s) completed in %s (%.0f clock "
             "cycles)\\n\","});
    w.line({"            tb.", CountingMember(plan),
            ".completed, sc_core::sc_time_stamp().to_string().c_str(),"});
    w.lines({"            sc_core::sc_time_stamp() / clock);",
             "std::printf(\"kestrel-sim: waveform waves.vcd\\n\");"});
    if (plan.monitor) w.lines({"if (!tb.monitor.Report())", "    return 1;"});
    w.lines(
        {"if (!tb.finished) {",
         "    std::printf(\"kestrel-sim: the time limit of %s was reached before "
         "RunTransactions \"",
         "                \"returned (a transactor waiting for an answer that never comes?); \"",
         "                \"raise it with --until\\n\",",
         "                limit.to_string().c_str());",
         "    const std::string unchanged = kestrel_tb::UnchangedInputs();",
         "    if (!unchanged.empty())",
         "        std::printf(\"kestrel-sim: inputs of the RTL that never changed: %s\\n\",",
         "                    unchanged.c_str());", "    return 3;", "}",
         "if (kestrel_tb::Failures() != 0) {",
         "    std::printf(\"kestrel-sim: %lu check(s) failed\\n\", kestrel_tb::Failures());",
         "    return 1;", "}", "return 0;"});
}

} // namespace

std::string PinAdapterText(std::string_view header, std::string_view writer) {
    CodeWriter w;
    w.line({"// kestrel_pins.h - written by ", writer, "; rewritten on every run."});
    return w.take() + std::string(header);
}

std::string MonitorHeaderText(std::string_view header, std::string_view writer) {
    CodeWriter w;
    w.line({"// kestrel_monitor.h - written by ", writer, "; rewritten on every run."});
    return w.take() + std::string(header);
}

std::string SimMainText(const TestbenchPlan& plan) {
    CodeWriter w;
    WriteSimMainHead(w, plan);
    if (plan.tlm2)
        WriteSocketInitiator(w, plan);
    else
        WriteCountingInterface(w, plan);
    WriteTestbenchModule(w, plan);
    {
        auto main = w.block("int sc_main(int argc, char* argv[]) {", "}");
        WriteSimMainStart(w, plan);
        WriteSimMainReport(w, plan);
    }
    return w.take();
}

std::string RtlPinsText(const TestbenchPlan& plan) {
    CodeWriter w;
    WriteHead(w, "rtl_pins.h", plan, false);
    w.lines({"//", "// The RTL's ports that the project does not declare, one signal each of the",
             "// verilated port's own type, for RunTransactions to drive and watch. Inputs start "
             "at 0;",
             "// ResetRtl (reset.h) drives those named as resets first. Each signal accepts "
             "writes from",
             "// more than one process (RunTransactions and the processes it spawns), though not "
             "two in",
             "// the same delta cycle.", "#ifndef KESTREL_RTL_PINS_H", "#define KESTREL_RTL_PINS_H",
             "", "#include <systemc.h>", "", "#include <cstdint>", ""});
    {
        auto pins = w.block("struct RtlPins {", "};");
        for (const RtlPort& pin : plan.extraPins)
            w.line({"sc_core::sc_signal<", VerilatedPinType(pin.width),
                    ", sc_core::SC_MANY_WRITERS> ", pin.name, "{\"", pin.name, "\"}; // ",
                    DirectionWord(pin.direction), " of the RTL"});
        if (plan.extraPins.empty()) w.line("// (every port of the RTL is a port of the project)");
    }
    w.lines({"", "#endif"});
    return w.take();
}

namespace {

// The value an output of rtl.h starts with: an undriven 4-state signal reads X, which the
// transactor's conditions and toInt would see.
std::string ZeroOf(const TestbenchPort& port) {
    const std::string& type = port.transactorType;
    if (type == "bool") return "false";
    if (type == "sc_logic") return "sc_dt::sc_logic(false)";
    if (port.width > 0 && type.rfind("sc_lv<", 0) == 0) return type + "(0)";
    return type + "()";
}

std::string_view PortClass(PortDirection direction) {
    return direction == PortDirection::Out     ? "sc_core::sc_out<"
           : direction == PortDirection::InOut ? "sc_core::sc_inout<"
                                               : "sc_core::sc_in<";
}

} // namespace

std::string RtlStubText(const TestbenchPlan& plan) {
    CodeWriter w;
    WriteHead(w, "rtl.h", plan, true);
    w.lines({"//",
             "// The RTL design the transactor drives, as a SystemC module with the project's "
             "ports",
             "// (directions as the RTL sees them). Describe its behaviour here, or give",
             "// kestrel-cli testbench/sim your Verilog with --rtl instead.",
             "#ifndef KESTREL_RTL_H", "#define KESTREL_RTL_H", "", "#include <systemc.h>", ""});
    {
        auto module = w.block("SC_MODULE(Rtl) {", "};");
        for (const TestbenchPort& port : plan.ports)
            w.line({PortClass(port.rtlDirection), port.transactorType, "> ", port.name, ";"});
        w.blank();
        {
            auto constructor = w.block("SC_CTOR(Rtl) {", "}");
            for (const TestbenchPort& port : plan.ports)
                if (port.rtlDirection != PortDirection::In)
                    w.line({port.name, ".initialize(", ZeroOf(port), ");"});
            w.line("SC_METHOD(Tick);");
            if (!plan.clockName.empty())
                w.line({"sensitive << ", plan.clockName,
                        plan.clockOnPositiveEdge ? ".pos()" : ".neg()", ";"});
            w.line("dont_initialize();");
        }
        w.lines({"", "// Runs on every active clock edge.", "void Tick() {", "}"});
    }
    w.lines({"", "#endif"});
    return w.take();
}

namespace {

void WriteTransactionsHead(CodeWriter& w, const TestbenchPlan& plan) {
    WriteHead(w, "transactions.cpp", plan, true);
    w.lines({"//",
             "// RunTransactions is called on an active clock edge with the transactor seen "
             "through its",
             "// interface; the simulation stops when it returns. kestrel_tb::Check(condition, "
             "\"what\")",
             "// counts a failed check: sim then exits 1."});
    w.line({"#include \"", plan.interfaceHeader, "\""});
    w.lines(
        {"#include \"kestrel_pins.h\"", "#include \"rtl_pins.h\"", "", "#include <iostream>", ""});
}

// What RunTransactions may do with the RTL's undeclared pins: drive its inputs, and tie
// an output to an input by a method the transactions start.
void WritePinHints(CodeWriter& w, const TestbenchPlan& plan) {
    bool hasOutput = false, hasInput = false;
    for (const RtlPort& pin : plan.extraPins) {
        (pin.direction == PortDirection::Out ? hasOutput : hasInput) = true;
        if (pin.direction == PortDirection::In) w.line({"// pins.", pin.name, ".write(...);"});
    }
    if (!hasOutput || !hasInput) return;
    w.lines({"// To tie an output of the RTL to one of its inputs of the same type (a serial "
             "line looped",
             "// back, say), start a method that copies it:", "//   sc_core::sc_spawn_options tie;",
             "//   tie.spawn_method();",
             "//   tie.set_sensitivity(&pins.OUTPUT.value_changed_event());",
             "//   sc_core::sc_spawn([&pins] { pins.INPUT.write(pins.OUTPUT.read()); }, "
             "\"tie\", &tie);"});
}

// One example call of a function: its parameters at 0, the call, and what it gave back.
void WriteExampleCall(CodeWriter& w, const TlmFunction& function) {
    const std::string name = Trim(function.functionName.Text());
    const std::string returnType = Trim(function.returnTypeText.Text());
    auto call = w.block("{", "}");
    std::string printed;
    int count = function.UsedParameterCount();
    for (int p = 1; p <= count; ++p) {
        const TlmParameter& parameter = function.parameters[static_cast<std::size_t>(p)];
        const std::string pname = Trim(parameter.parameterName.Text());
        w.line({Trim(parameter.typeText.Text()), " ", pname,
                parameter.isArray ? "[16] = {};" : " = 0;"});
        if (parameter.passIndex == 1 && !parameter.isArray && !parameter.isConst)
            printed += " << \"  " + pname + " \" << +" + pname;
    }
    const std::string made = "tlm." + name + "(" + CallArguments(function) + ");";
    if (returnType == "void")
        w.line(made);
    else
        w.line({returnType, " result = ", made});
    w.line({"std::cout << sc_core::sc_time_stamp() << \"  ", name, "\"",
            returnType == "void" ? "" : " << \" returned \" << +result", printed,
            " << std::endl;"});
}

} // namespace

std::string TransactionsText(const TestbenchPlan& plan) {
    CodeWriter w;
    WriteTransactionsHead(w, plan);
    {
        auto body =
            w.block("void RunTransactions(" + plan.interfaceClass + "& tlm, RtlPins& pins) {", "}");
        w.line("(void)pins;");
        WritePinHints(w, plan);
        for (const TlmFunction* function : plan.functions) WriteExampleCall(w, *function);
    }
    return w.take();
}

std::string TransactionsFileName(const TestbenchPlan& plan) {
    return plan.tlm2 ? "transactions_tlm2.cpp" : "transactions.cpp";
}

namespace {

std::string Hex(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
    return text;
}

// "{0x10, 0x11, ...}": `count` bytes counting up from `first`.
std::string ByteList(unsigned count, unsigned first) {
    std::vector<std::string> bytes;
    for (unsigned i = 0; i < count; ++i) bytes.push_back(Hex((first + i) & 0xffu));
    return "{" + Joined(bytes, ", ") + "}";
}

void WriteTlm2TransactionsHead(CodeWriter& w, const TestbenchPlan& plan) {
    const Tlm2Module& module = *plan.tlm2;
    WriteHead(w, "transactions_tlm2.cpp", plan, true);
    w.lines({"//",
             "// RunTransactions is called on an active clock edge with the forward interface of "
             "an",
             "// initiator socket bound to the TLM-2.0 target socket of the transactor"});
    w.line({"// (", module.className, ", ", module.fileName,
            "); the simulation stops when it returns. Every b_transport"});
    w.lines({"// that returns counts as a transaction completed. kestrel_tb::Check(condition, "
             "\"what\")",
             "// counts a failed check: sim then exits 1.", "#include \"kestrel_pins.h\"",
             "#include \"rtl_pins.h\"", "", "#include <tlm.h>", "", "#include <cstdio>",
             "#include <vector>", "", "namespace {", ""});
    w.line({"const sc_dt::uint64 kBase = ", Hex(module.base), "; // the target's first address"});
    w.line({"const sc_dt::uint64 kSize = ", Hex(module.size), "; // its bytes"});
    w.line({"const unsigned int kBeat = ", std::to_string(module.dataBits / 8),
            "; // bytes per bus beat"});
    w.blank();
}

// The helper that sets up a generic payload, sends it and prints what it did.
void WriteTlm2TransportHelper(CodeWriter& w) {
    w.lines(
        {"// One b_transport: `command` of data.size() bytes at `address`, from `data` (a write) "
         "or",
         "// into it (a read), with the byte enables `enables` (0xff: the byte is "
         "transferred, 0x00:",
         "// not; repeated over the data; none: every byte). Prints it and returns the "
         "response.",
         "tlm::tlm_response_status Transport(tlm::tlm_fw_transport_if<>& bus, "
         "tlm::tlm_command command,",
         "                                   sc_dt::uint64 address, std::vector<unsigned "
         "char>& data,",
         "                                   std::vector<unsigned char> enables = {}) {"});
    {
        auto body = w.block({}, "}");
        w.lines({"tlm::tlm_generic_payload payload;",
                 "payload.set_command(command);",
                 "payload.set_address(address);",
                 "payload.set_data_ptr(data.data());",
                 "payload.set_data_length(static_cast<unsigned int>(data.size()));",
                 "payload.set_streaming_width(static_cast<unsigned int>(data.size()));",
                 "payload.set_byte_enable_ptr(enables.empty() ? nullptr : enables.data());",
                 "payload.set_byte_enable_length(static_cast<unsigned int>(enables.size()));",
                 "payload.set_response_status(tlm::TLM_INCOMPLETE_RESPONSE);",
                 "sc_core::sc_time delay = sc_core::SC_ZERO_TIME; // the target waits it out",
                 "bus.b_transport(payload, delay);",
                 "const char* what = command == tlm::TLM_WRITE_COMMAND  ? \"write\"",
                 "                   : command == tlm::TLM_READ_COMMAND ? \"read\"",
                 "                                                      : \"ignore\";",
                 "std::printf(\"%s  %-6s %2u byte(s) at 0x%llx%s:\", "
                 "sc_core::sc_time_stamp().to_string().c_str(),",
                 "            what, static_cast<unsigned>(data.size()), static_cast<unsigned long "
                 "long>(address),",
                 "            enables.empty() ? \"\" : \" with byte enables\");",
                 "for (unsigned char byte : data) std::printf(\" %02x\", byte);",
                 "std::printf(\"  -> %s\\n\", payload.get_response_string().c_str());",
                 "return payload.get_response_status();"});
    }
    w.lines({"", "} // namespace", ""});
}

// An example of every command: one beat, several beats, byte enables, ignore, an error.
void WriteTlm2Examples(CodeWriter& w, const TestbenchPlan& plan) {
    const Tlm2Module& module = *plan.tlm2;
    const unsigned beat = static_cast<unsigned>(module.dataBits / 8);
    const bool roomAbove = module.base + module.size > module.base;
    w.line("// A write and a read of one beat.");
    w.line({"std::vector<unsigned char> one = ", ByteList(beat, 0x5a), ";"});
    w.lines({"Transport(bus, tlm::TLM_WRITE_COMMAND, kBase, one);",
             "std::vector<unsigned char> oneBack(kBeat, 0);",
             "Transport(bus, tlm::TLM_READ_COMMAND, kBase, oneBack);", "",
             "// Several bytes in one transaction: the target splits them into beats."});
    w.line({"std::vector<unsigned char> block = ", ByteList(4 * beat, 0x10), ";"});
    w.lines({"Transport(bus, tlm::TLM_WRITE_COMMAND, kBase, block);",
             "std::vector<unsigned char> blockBack(block.size(), 0);",
             "Transport(bus, tlm::TLM_READ_COMMAND, kBase, blockBack);", "",
             "// Byte enables: a read of every other byte (those not enabled keep their 0xee)...",
             "std::vector<unsigned char> some(block.size(), 0xee);",
             "Transport(bus, tlm::TLM_READ_COMMAND, kBase, some, {0xff, 0x00});"});
    if (module.hasStrobe)
        w.line("// ...and a write of every other byte: the byte enables become the strobe.");
    else
        w.lines({"// ...and a write with byte enables: the write has no strobe, so the target "
                 "answers",
                 "// TLM_BYTE_ENABLE_ERROR_RESPONSE and no pin moves."});
    w.lines({"Transport(bus, tlm::TLM_WRITE_COMMAND, kBase, block, {0xff, 0x00});", "",
             "// An ignore command: TLM_OK_RESPONSE, and no pin moves.",
             "std::vector<unsigned char> nothing(kBeat, 0);",
             "Transport(bus, tlm::TLM_IGNORE_COMMAND, kBase, nothing);", "",
             "// Outside the target: TLM_ADDRESS_ERROR_RESPONSE, and no pin moves."});
    w.line({"Transport(bus, tlm::TLM_READ_COMMAND, ", roomAbove ? "kBase + kSize" : "kBase - kBeat",
            ", nothing);"});
}

} // namespace

std::string Tlm2TransactionsText(const TestbenchPlan& plan) {
    CodeWriter w;
    WriteTlm2TransactionsHead(w, plan);
    WriteTlm2TransportHelper(w);
    {
        auto body =
            w.block("void RunTransactions(tlm::tlm_fw_transport_if<>& bus, RtlPins& pins) {", "}");
        w.line("(void)pins;");
        WritePinHints(w, plan);
        WriteTlm2Examples(w, plan);
    }
    return w.take();
}

std::string CMakeQuoted(std::string_view text, std::string_view prefix) {
    std::string quoted = "\"" + std::string(prefix);
    for (char c : text) {
        switch (c) {
        case '\\':
        case '"':
        case '$':
        case ';':
            quoted += '\\';
            quoted += c;
            break;
        case '\n': quoted += "\\n"; break;
        case '\r': quoted += "\\r"; break;
        case '\t': quoted += "\\t"; break;
        default: quoted += c;
        }
    }
    return quoted + "\"";
}

namespace {

namespace fs = std::filesystem;

// True when `path` is `folder` or lies in it (both absolute and normal).
bool LiesIn(const fs::path& path, const fs::path& folder) {
    fs::path relative = path.lexically_relative(folder);
    return !relative.empty() && *relative.begin() != "..";
}

} // namespace

std::string CMakePath(const std::string& storedPath, const TestbenchPlan& plan) {
    fs::path path = NativePath(storedPath).lexically_normal();
    if (path.is_absolute() && !plan.projectFolder.empty() && !plan.folder.empty()) {
        fs::path project = NativePath(plan.projectFolder).lexically_normal();
        fs::path folder = NativePath(plan.folder).lexically_normal();
        if (LiesIn(path, project) && LiesIn(folder, project)) {
            std::string relative = path.lexically_relative(folder).generic_string();
            return relative == "." ? "\"${CMAKE_CURRENT_SOURCE_DIR}\""
                                   : CMakeQuoted(relative, "${CMAKE_CURRENT_SOURCE_DIR}/");
        }
    }
    return CMakeQuoted(path.string());
}

bool OneCMakeListElement(std::string_view text) {
    int nesting = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\') {
            if (++i == text.size()) return false; // the escaped character is not counted
        } else if (text[i] == '[') {
            ++nesting;
        } else if (text[i] == ']') {
            --nesting;
        }
    }
    return nesting == 0;
}

namespace {

// " PATH PATH ...": the build paths of `paths`, each behind a blank.
std::string BuildPaths(const std::vector<std::string>& paths, const TestbenchPlan& plan) {
    std::string text;
    for (const std::string& path : paths) text += " " + CMakePath(path, plan);
    return text;
}

void WriteBuildFileHead(CodeWriter& w, const TestbenchPlan& plan) {
    w.line({"# ", WrittenByText("CMakeLists.txt", plan)});
    w.lines({"# Rewritten by every Simulate and every run of kestrel-cli testbench and sim. "
             "Builds the",
             "# simulation `sim`:", "#   cmake -S . -B build && cmake --build build && build/sim",
             "# The project's own files are named from this folder, so the folder builds where "
             "the project",
             "# is copied or moved; files outside the project keep their full paths.",
             "# Defines and include folders for every C++ file (relative folders: from this "
             "one), and",
             "# arguments of your own for Verilator, as cache variables (lists separated by ;):",
             "#   cmake -S . -B build -DKESTREL_DEFINES=\"WIDTH=8;TRACE\" "
             "-DKESTREL_INCLUDE_DIRS=../include",
             "#   cmake -S . -B build -DKESTREL_VERILATOR_ARGS=\"-DSIM;-Irtl/include\"",
             "# kestrel-cli testbench and sim write their --define and --include options below.",
             "cmake_minimum_required(VERSION 3.16)"});
    w.line({"project(", plan.projectName, "_sim CXX)"});
    w.lines({"", "set(CMAKE_CXX_STANDARD 17) # Debian's SystemC is built as C++17",
             "set(CMAKE_CXX_STANDARD_REQUIRED ON)", "set(KESTREL_DEFINES \"\" CACHE STRING",
             "    \"Preprocessor definitions for every C++ file: NAME or NAME=VALUE, separated by "
             ";\")",
             "set(KESTREL_INCLUDE_DIRS \"\" CACHE STRING",
             "    \"Include folders for every C++ file, separated by ; (relative: from the "
             "testbench folder)\")"});
    if (plan.rtl)
        w.lines({"set(KESTREL_VERILATOR_ARGS \"\" CACHE STRING",
                 "    \"More arguments for Verilator (-DNAME, -IFOLDER, -Wno-...), separated by "
                 ";\")"});
}

// The library of the generated transactor and the transactions, with the --define and
// --include options and the cache variables.
void WriteTransactorLibrary(CodeWriter& w, const TestbenchPlan& plan) {
    w.lines({"", "find_package(PkgConfig REQUIRED)",
             "pkg_check_modules(SYSTEMC REQUIRED IMPORTED_TARGET systemc)",
             "# sc_spawn, for processes the transactions start (one RTL pin tied to another).",
             "add_compile_definitions(SC_INCLUDE_DYNAMIC_PROCESSES)", "",
             "# The generated transactor as it is, and the transactions: kestrel_systemc.h goes "
             "ahead",
             "# of both (as a precompiled header, so the SystemC headers are read once)."});
    if (plan.tlm2)
        w.line("# The socket: SystemC's TLM-2.0 headers (tlm.h, tlm_utils/) come with SystemC.");
    w.line({"add_library(kestrel_transactor STATIC ", CMakePath(plan.transactorCpp, plan), " ",
            TransactionsFileName(plan), ")"});
    w.line({"target_include_directories(kestrel_transactor PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}",
            BuildPaths(plan.includeFolders, plan), ")"});
    if (!plan.defines.empty() || !plan.userIncludeFolders.empty())
        w.line("# --define and --include of kestrel-cli testbench and sim.");
    if (!plan.defines.empty()) {
        std::string defines;
        for (const std::string& define : plan.defines)
            defines += " " + CMakeQuoted(Cp1252ToUtf8(define)); // stored text; CMake reads UTF-8
        w.line({"target_compile_definitions(kestrel_transactor PUBLIC", defines, ")"});
    }
    if (!plan.userIncludeFolders.empty())
        w.line({"target_include_directories(kestrel_transactor PUBLIC",
                BuildPaths(plan.userIncludeFolders, plan), ")"});
    w.lines({"target_compile_definitions(kestrel_transactor PUBLIC ${KESTREL_DEFINES})",
             "target_include_directories(kestrel_transactor PUBLIC ${KESTREL_INCLUDE_DIRS})",
             "target_precompile_headers(kestrel_transactor PRIVATE kestrel_systemc.h)",
             "target_compile_options(kestrel_transactor PRIVATE -Wno-return-type)",
             "target_link_libraries(kestrel_transactor PUBLIC PkgConfig::SYSTEMC)"});
}

void WriteSimulationTarget(CodeWriter& w, const TestbenchPlan& plan) {
    w.lines({"", "add_executable(sim sc_main.cpp)",
             "set_source_files_properties(sc_main.cpp PROPERTIES COMPILE_OPTIONS",
             "    \"-include;${CMAKE_CURRENT_SOURCE_DIR}/kestrel_systemc.h\")",
             "target_link_libraries(sim PRIVATE kestrel_transactor)"});
    if (!plan.rtl) return;
    w.lines({"", "# The RTL, verilated for SystemC.",
             "find_package(verilator REQUIRED HINTS $ENV{VERILATOR_ROOT})",
             "verilate(sim SYSTEMC"});
    auto arguments = w.block();
    w.line({"SOURCES", BuildPaths(plan.rtlFiles, plan)});
    w.line({"TOP_MODULE ", plan.rtl->name});
    w.line({"PREFIX ", RtlClass(plan)});
    w.line("VERILATOR_ARGS -Wno-fatal ${KESTREL_VERILATOR_ARGS})");
}

} // namespace

std::string CMakeListsText(const TestbenchPlan& plan) {
    CodeWriter w;
    WriteBuildFileHead(w, plan);
    WriteTransactorLibrary(w, plan);
    WriteSimulationTarget(w, plan);
    return w.take();
}

} // namespace kestrel
