// The testbench folder: the plan (which port goes where, through which adapter) and the
// texts of its files. Every text is ASCII C++ or CMake; names are the project's own.
#include "sim/Testbench.h"

#include "codegen/DeclarationHelpers.h"
#include "generate/RunTables.h"
#include "model/ProjectPaths.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "platform/Text.h"
#include "project/OutputPlacement.h"
#include "project/ProjectCommands.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <sstream>

namespace kestrel {

namespace {

int Clamped(int count, int most) {
    return std::clamp(count, 0, most);
}

PortDirection DeclaredDirection(const RtlSignal& signal) {
    std::string text = Trim(signal.directionText.Text());
    if (text == "sc_out") return PortDirection::Out;
    if (text == "sc_inout") return PortDirection::InOut;
    return PortDirection::In;
}

std::string DeclarationText(const TestbenchPort& port) {
    std::string direction = port.rtlDirection == PortDirection::Out     ? "sc_out"
                            : port.rtlDirection == PortDirection::InOut ? "sc_inout"
                                                                        : "sc_in";
    return direction + " <" + port.transactorType + "> " + port.name;
}

std::string RtlDeclarationText(const RtlPort& port) {
    std::string text(DirectionWord(port.direction));
    if (port.width > 1) text += " [" + std::to_string(port.width - 1) + ":0]";
    return text + " " + port.name + (port.place.empty() ? "" : " (" + port.place + ")");
}

// The names of a function's parameters, in order, for a call.
std::vector<std::string> ParameterNames(const TlmFunction& function) {
    std::vector<std::string> names;
    int count = Clamped(function.parameterCount, kMaxParameters);
    for (int p = 1; p <= count; ++p)
        names.push_back(
            Trim(function.parameters[static_cast<std::size_t>(p)].parameterName.Text()));
    return names;
}

std::string Joined(const std::vector<std::string>& words, std::string_view between) {
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i)
        text += (i ? std::string(between) : "") + words[i];
    return text;
}

} // namespace

std::vector<std::string> PlanTestbench(const std::string& projectName, const ProjectTables& tables,
                                       const RtlModule* rtl, TestbenchPlan& plan) {
    std::vector<std::string> problems;
    plan = TestbenchPlan{};
    plan.projectName = projectName;
    const GenerationSettings& settings = tables.settings;
    plan.transactorClass = Trim(settings.transactorClassName);
    plan.interfaceClass = Trim(settings.interfaceClassName);
    plan.transactorHeader = AfterLastSeparator(settings.transactorHeaderPath);
    plan.interfaceHeader = AfterLastSeparator(settings.interfaceHeaderPath);
    plan.transactorCpp = settings.transactorCppPath;
    for (const std::string& path : {settings.transactorHeaderPath, settings.interfaceHeaderPath}) {
        std::string folder = BeforeLastSeparator(path);
        if (std::find(plan.includeFolders.begin(), plan.includeFolders.end(), folder) ==
            plan.includeFolders.end())
            plan.includeFolders.push_back(folder);
    }
    plan.clockOnPositiveEdge = tables.options.clockPositiveEdge;
    plan.clockPeriod = tables.options.clockPeriod;
    plan.clockUnit = Trim(tables.options.periodUnit);
    if (plan.clockPeriod <= 0)
        problems.push_back("the clock period is " + std::to_string(plan.clockPeriod) + " " +
                           plan.clockUnit + ": set a positive period in the code settings");

    for (int f = 1; f <= Clamped(tables.functions.count, kMaxFunctions); ++f)
        plan.functions.push_back(&tables.functions[f]);

    for (int s = 1; s <= Clamped(tables.signals.count, kMaxSignals); ++s) {
        const RtlSignal& signal = tables.signals[s];
        TestbenchPort port;
        port.name = Trim(signal.signalName.Text());
        std::string type = Trim(signal.dataTypeText.Text());
        port.width = 1;
        if (signal.dataTypeIndex == 1 || type == "sc_lv") {
            port.width = signal.width;
            port.transactorType = "sc_lv<" + std::to_string(signal.width) + ">";
            if (signal.width < 1)
                problems.push_back("port " + port.name + ": sc_lv of width " +
                                   std::to_string(signal.width));
        } else {
            port.transactorType = type;
        }
        port.rtlDirection = DeclaredDirection(signal);
        port.isClock = signal.isClock;
        if (port.isClock) {
            if (!plan.clockName.empty()) continue; // Generate uses the first clock
            plan.clockName = port.name;
            if (port.transactorType != "bool")
                problems.push_back("clock port " + port.name + " is declared " +
                                   port.transactorType + ": the testbench drives a bool clock");
        }
        plan.ports.push_back(port);
    }
    if (plan.clockName.empty())
        problems.push_back("the project declares no clock port: the transactor's steps wait "
                           "for its edges (declare a bool sc_in port as the clock)");

    if (!rtl) return problems;
    plan.rtl = *rtl;
    std::set<std::string> declared;
    for (TestbenchPort& port : plan.ports) {
        declared.insert(port.name);
        auto found = std::find_if(rtl->ports.begin(), rtl->ports.end(),
                                  [&](const RtlPort& p) { return p.name == port.name; });
        if (found == rtl->ports.end()) {
            problems.push_back("port " + port.name + ": the project declares " +
                               DeclarationText(port) + ", module " + rtl->name +
                               " has no port of that name");
            continue;
        }
        const RtlPort& rtlPort = *found;
        bool typeKnown = port.transactorType == "bool" || port.transactorType == "sc_logic" ||
                         port.transactorType.rfind("sc_lv<", 0) == 0;
        if (!typeKnown) {
            problems.push_back("port " + port.name + ": type " + port.transactorType +
                               " cannot be connected to Verilog (use bool, sc_logic or sc_lv)");
            continue;
        }
        if (rtlPort.width != port.width) {
            problems.push_back(
                "port " + port.name + ": the project declares " + DeclarationText(port) + " (" +
                std::to_string(port.width) + (port.width == 1 ? " bit" : " bits") + "), module " +
                rtl->name + " declares " + RtlDeclarationText(rtlPort) + " (" +
                std::to_string(rtlPort.width) + (rtlPort.width == 1 ? " bit" : " bits") + ")");
            continue;
        }
        if (rtlPort.direction != port.rtlDirection) {
            problems.push_back("port " + port.name + ": the project declares " +
                               DeclarationText(port) + " (the RTL's " +
                               std::string(DirectionWord(port.rtlDirection)) + "), module " +
                               rtl->name + " declares " + RtlDeclarationText(rtlPort));
            continue;
        }
        if (rtlPort.direction == PortDirection::InOut) {
            problems.push_back("port " + port.name + ": " + RtlDeclarationText(rtlPort) +
                               " is bidirectional; a verilated model has no bidirectional "
                               "ports (split it into an input and an output)");
            continue;
        }
        port.pinType = VerilatedPinType(rtlPort.width);
    }
    for (const RtlPort& rtlPort : rtl->ports) {
        if (declared.count(rtlPort.name)) continue;
        if (rtlPort.direction == PortDirection::InOut) {
            problems.push_back("port " + rtlPort.name + ": " + RtlDeclarationText(rtlPort) +
                               " is bidirectional; a verilated model has no bidirectional ports");
            continue;
        }
        plan.extraPins.push_back(rtlPort);
        if (rtlPort.direction != PortDirection::In || rtlPort.width != 1) continue;
        if (ResetLevel level = ResetLevelOfName(rtlPort.name); level != ResetLevel::None)
            plan.resets.push_back({rtlPort.name, level == ResetLevel::ActiveLow});
    }
    return problems;
}

std::string WrittenByText(std::string_view file, const TestbenchPlan& plan) {
    return std::string(file) + " - written by " + plan.writer + " for project " + plan.projectName +
           ".";
}

namespace {

std::string Header(std::string_view file, const TestbenchPlan& plan, bool userFile) {
    std::string text = "// " + WrittenByText(file, plan) + "\n";
    if (userFile)
        text += "// Yours to edit: Kestrel writes this file only when it is missing.\n";
    else
        text +=
            "// Rewritten by every Simulate and every run of kestrel-cli testbench and sim; put "
            "your own\n// code in transactions.cpp" +
            std::string(plan.rtl ? "" : " and rtl.h") + ".\n";
    return text;
}

std::string RtlClass(const TestbenchPlan& plan) {
    return plan.rtl ? "V" + plan.rtl->name : "Rtl";
}

std::string ClockEdgeEvent(const TestbenchPlan& plan) {
    return plan.clockName + (plan.clockOnPositiveEdge ? ".posedge_event()" : ".negedge_event()");
}

void WriteCountingInterface(std::ostringstream& out, const TestbenchPlan& plan) {
    out << "// The transactor seen through its interface, counting the calls that returned.\n"
        << "class CountingTlm : public " << plan.interfaceClass << " {\n"
        << "public:\n"
        << "    explicit CountingTlm(" << plan.interfaceClass << "& target) : target_(target) {}\n"
        << "    unsigned long completed = 0;\n";
    for (const TlmFunction* function : plan.functions) {
        std::string name = Trim(function->functionName.Text());
        std::string returnType = Trim(function->returnTypeText.Text());
        std::string call = "target_." + name + "(" + Joined(ParameterNames(*function), ", ") + ")";
        out << "\n    " << returnType << " " << name << " ( " << ParameterListText(*function)
            << " ) override {\n";
        if (returnType == "void")
            out << "        " << call << ";\n        ++completed;\n";
        else
            out << "        " << returnType << " result = " << call << ";\n"
                << "        ++completed;\n        return result;\n";
        out << "    }\n";
    }
    out << "\nprivate:\n    " << plan.interfaceClass << "& target_;\n};\n";
}

// An input of the RTL that sc_main watches, to name it when the time limit is reached
// and it never changed: the signal on the RTL's side of the adapter.
struct WatchedPin {
    std::string name;
    std::string type;   // of the signal
    std::string signal; // in the Testbench module
};

std::vector<WatchedPin> WatchedPins(const TestbenchPlan& plan) {
    std::vector<WatchedPin> pins;
    for (const TestbenchPort& port : plan.ports)
        if (!port.isClock && port.rtlDirection == PortDirection::In)
            pins.push_back({port.name, port.adapted() ? port.pinType : port.transactorType,
                            port.name + (port.adapted() ? "_pin" : "")});
    for (const RtlPort& pin : plan.extraPins)
        if (pin.direction == PortDirection::In)
            pins.push_back({pin.name, VerilatedPinType(pin.width), "pins." + pin.name});
    return pins;
}

} // namespace

std::string SimMainText(const TestbenchPlan& plan) {
    std::ostringstream out;
    out << Header("sc_main.cpp", plan, false) << "//\n"
        << "// The clock (" << plan.clockPeriod << " " << plan.clockUnit << ", steps on the "
        << (plan.clockOnPositiveEdge ? "rising" : "falling")
        << " edge), one signal per port, the transactor\n"
        << "// and the RTL bound to them, a VCD trace of every port (waves.vcd) and the top "
           "thread,\n"
        << "// which resets the RTL (ResetRtl, reset.h), calls RunTransactions on an active clock "
           "edge\n"
        << "// and then stops the simulation.\n"
        << "//   sim [--until TIME]   e.g. --until 50us (default 1 ms of simulated time)\n"
        << "#include \"" << plan.transactorHeader << "\"\n"
        << "#include \"kestrel_pins.h\"\n"
        << "#include \"rtl_pins.h\"\n"
        << "#include \"reset.h\"\n"
        << "#include \"" << (plan.rtl ? RtlClass(plan) + ".h" : std::string("rtl.h")) << "\"\n"
        << "\n#include <cstdio>\n#include <cstring>\n#include <string>\n\n"
        << "void RunTransactions(" << plan.interfaceClass << "& tlm, RtlPins& pins);\n\n"
        << "namespace {\n\n";
    WriteCountingInterface(out, plan);
    out << "\n} // namespace\n\n";

    // The top module.
    out << "SC_MODULE(Testbench) {\n"
        << "    sc_core::sc_clock " << plan.clockName << ";\n";
    for (const TestbenchPort& port : plan.ports)
        if (!port.isClock)
            out << "    sc_core::sc_signal<" << port.transactorType << "> " << port.name << ";\n";
    for (const TestbenchPort& port : plan.ports)
        if (!port.isClock && port.adapted())
            out << "    sc_core::sc_signal<" << port.pinType << "> " << port.name << "_pin;\n";
    out << "    RtlPins pins;\n"
        << "    " << plan.transactorClass << " transactor;\n"
        << "    " << RtlClass(plan) << " rtl;\n";
    for (const TestbenchPort& port : plan.ports) {
        if (port.isClock || !port.adapted()) continue;
        std::string width = std::to_string(port.width);
        if (port.rtlDirection == PortDirection::In)
            out << "    kestrel_tb::ToRtl<" << port.transactorType << ", " << port.pinType << ", "
                << width << "> " << port.name << "_adapter;\n";
        else
            out << "    kestrel_tb::FromRtl<" << port.pinType << ", " << port.transactorType << ", "
                << width << "> " << port.name << "_adapter;\n";
    }
    for (const WatchedPin& watched : WatchedPins(plan))
        out << "    kestrel_tb::ChangeWatch<" << watched.type << "> " << watched.name
            << "_watch;\n";
    out << "    CountingTlm tlm;\n"
        << "    bool finished = false;\n\n"
        << "    KESTREL_TB_PROCESSES(Testbench)\n"
        << "    explicit Testbench(sc_core::sc_module_name name)\n"
        << "        : sc_core::sc_module(name),\n"
        << "          " << plan.clockName << "(\"" << plan.clockName << "\", sc_core::sc_time("
        << plan.clockPeriod << ", sc_core::" << plan.clockUnit << ")),\n";
    for (const TestbenchPort& port : plan.ports)
        if (!port.isClock) out << "          " << port.name << "(\"" << port.name << "\"),\n";
    for (const TestbenchPort& port : plan.ports)
        if (!port.isClock && port.adapted())
            out << "          " << port.name << "_pin(\"" << port.name << "_pin\"),\n";
    out << "          transactor(\"transactor\"),\n"
        << "          rtl(\"rtl\"),\n";
    for (const TestbenchPort& port : plan.ports) {
        if (port.isClock || !port.adapted()) continue;
        out << "          " << port.name << "_adapter(\"" << port.name << "_adapter\"";
        if (port.rtlDirection == PortDirection::In) out << ", \"" << port.name << "\"";
        out << "),\n";
    }
    for (const WatchedPin& watched : WatchedPins(plan))
        out << "          " << watched.name << "_watch(\"" << watched.name << "_watch\"),\n";
    out << "          tlm(transactor) {\n";
    for (const TestbenchPort& port : plan.ports)
        out << "        transactor." << port.name << "(" << port.name << ");\n";
    for (const TestbenchPort& port : plan.ports)
        out << "        rtl." << port.name << "(" << port.name << (port.adapted() ? "_pin" : "")
            << ");\n";
    for (const TestbenchPort& port : plan.ports) {
        if (port.isClock || !port.adapted()) continue;
        bool toRtl = port.rtlDirection == PortDirection::In;
        out << "        " << port.name << "_adapter.from(" << port.name << (toRtl ? "" : "_pin")
            << ");\n"
            << "        " << port.name << "_adapter.to(" << port.name << (toRtl ? "_pin" : "")
            << ");\n";
    }
    for (const RtlPort& pin : plan.extraPins)
        out << "        rtl." << pin.name << "(pins." << pin.name << ");\n";
    for (const WatchedPin& watched : WatchedPins(plan))
        out << "        " << watched.name << "_watch.in(" << watched.signal << ");\n";
    out << "        SC_THREAD(Run);\n"
        << "    }\n\n"
        << "    // The transactor's steps end on the active clock edge, and a TLM call is expected "
           "to\n"
        << "    // begin on one: a call that begins between two edges keeps its first outputs "
           "across\n"
        << "    // two edges.\n"
        << "    // ResetRtl (reset.h) asserts and releases the RTL's resets first.\n"
        << "    void Run() {\n"
        << "        ResetRtl(pins, " << ClockEdgeEvent(plan) << ");\n"
        << "        wait(" << ClockEdgeEvent(plan) << ");\n"
        << "        RunTransactions(tlm, pins);\n"
        << "        finished = true;\n"
        << "        sc_core::sc_stop();\n"
        << "    }\n"
        << "};\n\n";

    out << "int sc_main(int argc, char* argv[]) {\n"
        << "    sc_core::sc_time limit(1, sc_core::SC_MS);\n"
        << "    for (int i = 1; i < argc; ++i) {\n"
        << "        if (std::strcmp(argv[i], \"--until\") == 0 && i + 1 < argc &&\n"
        << "            kestrel_tb::ParseTime(argv[i + 1], limit)) {\n"
        << "            ++i;\n"
        << "            continue;\n"
        << "        }\n"
        << "        std::fprintf(stderr, \"usage: %s [--until TIME]   (TIME like 50us, 2 ms)\\n\", "
           "argv[0]);\n"
        << "        return 2;\n"
        << "    }\n"
        << "    sc_core::sc_report_handler::set_actions(sc_core::SC_INFO, "
           "sc_core::SC_DO_NOTHING);\n"
        << "    Testbench tb(\"tb\");\n"
        << "    sc_core::sc_trace_file* waves = sc_core::sc_create_vcd_trace_file(\"waves\");\n"
        << "    waves->set_time_unit(1, sc_core::SC_PS);\n"
        << "    sc_core::sc_trace(waves, tb." << plan.clockName << ", \"" << plan.clockName
        << "\");\n";
    for (const TestbenchPort& port : plan.ports)
        if (!port.isClock)
            out << "    sc_core::sc_trace(waves, tb." << port.name << ", \"" << port.name
                << "\");\n";
    for (const RtlPort& pin : plan.extraPins)
        out << "    sc_core::sc_trace(waves, tb.pins." << pin.name << ", \"" << pin.name
            << "\");\n";
    out << "\n    sc_core::sc_start(limit);\n"
        << "    sc_core::sc_close_vcd_trace_file(waves);\n"
        << "    for (const kestrel_tb::UnknownDrive& drive : kestrel_tb::UnknownDrives())\n"
        << "        std::printf(\"kestrel-sim: port %s: X or Z driven towards the RTL %lu "
           "time(s)\\n\",\n"
        << "                    drive.port.c_str(), drive.count);\n"
        << "    const sc_core::sc_time clock(" << plan.clockPeriod
        << ", sc_core::" << plan.clockUnit << ");\n"
        << "    std::printf(\"kestrel-sim: %lu transaction(s) completed in %s (%.0f clock "
           "cycles)\\n\",\n"
        << "                tb.tlm.completed, sc_core::sc_time_stamp().to_string().c_str(),\n"
        << "                sc_core::sc_time_stamp() / clock);\n"
        << "    std::printf(\"kestrel-sim: waveform waves.vcd\\n\");\n"
        << "    if (!tb.finished) {\n"
        << "        std::printf(\"kestrel-sim: the time limit of %s was reached before "
           "RunTransactions \"\n"
        << "                    \"returned (a transactor waiting for an answer that never comes?); "
           "\"\n"
        << "                    \"raise it with --until\\n\",\n"
        << "                    limit.to_string().c_str());\n"
        << "        const std::string unchanged = kestrel_tb::UnchangedInputs();\n"
        << "        if (!unchanged.empty())\n"
        << "            std::printf(\"kestrel-sim: inputs of the RTL that never changed: %s\\n\",\n"
        << "                        unchanged.c_str());\n"
        << "        return 3;\n"
        << "    }\n"
        << "    if (kestrel_tb::Failures() != 0) {\n"
        << "        std::printf(\"kestrel-sim: %lu check(s) failed\\n\", kestrel_tb::Failures());\n"
        << "        return 1;\n"
        << "    }\n"
        << "    return 0;\n"
        << "}\n";
    return out.str();
}

std::string RtlPinsText(const TestbenchPlan& plan) {
    std::ostringstream out;
    out << Header("rtl_pins.h", plan, false)
        << "//\n// The RTL's ports that the project does not declare, one signal each of the\n"
        << "// verilated port's own type, for RunTransactions to drive and watch. Inputs start "
           "at 0;\n"
        << "// ResetRtl (reset.h) drives those named as resets first. Each signal accepts "
           "writes from\n"
        << "// more than one process (RunTransactions and the processes it spawns), though not "
           "two in\n"
        << "// the same delta cycle.\n"
        << "#ifndef KESTREL_RTL_PINS_H\n#define KESTREL_RTL_PINS_H\n\n"
        << "#include <systemc.h>\n\n#include <cstdint>\n\n"
        << "struct RtlPins {\n";
    for (const RtlPort& pin : plan.extraPins)
        out << "    sc_core::sc_signal<" << VerilatedPinType(pin.width)
            << ", sc_core::SC_MANY_WRITERS> " << pin.name << "{\"" << pin.name << "\"}; // "
            << DirectionWord(pin.direction) << " of the RTL\n";
    if (plan.extraPins.empty()) out << "    // (every port of the RTL is a port of the project)\n";
    out << "};\n\n#endif\n";
    return out.str();
}

std::string RtlStubText(const TestbenchPlan& plan) {
    std::ostringstream out;
    out << Header("rtl.h", plan, true)
        << "//\n// The RTL design the transactor drives, as a SystemC module with the project's "
           "ports\n"
        << "// (directions as the RTL sees them). Describe its behaviour here, or give\n"
        << "// kestrel-cli testbench/sim your Verilog with --rtl instead.\n"
        << "#ifndef KESTREL_RTL_H\n#define KESTREL_RTL_H\n\n"
        << "#include <systemc.h>\n\n"
        << "SC_MODULE(Rtl) {\n";
    for (const TestbenchPort& port : plan.ports)
        out << "    "
            << (port.rtlDirection == PortDirection::Out     ? "sc_core::sc_out<"
                : port.rtlDirection == PortDirection::InOut ? "sc_core::sc_inout<"
                                                            : "sc_core::sc_in<")
            << port.transactorType << "> " << port.name << ";\n";
    out << "\n    SC_CTOR(Rtl) {\n";
    // Outputs start at 0: an undriven 4-state signal reads X, which the transactor's
    // conditions and toInt would see.
    for (const TestbenchPort& port : plan.ports) {
        if (port.rtlDirection == PortDirection::In) continue;
        std::string zero = port.transactorType == "bool"       ? "false"
                           : port.transactorType == "sc_logic" ? "sc_dt::sc_logic(false)"
                           : port.width > 0 && port.transactorType.rfind("sc_lv<", 0) == 0
                               ? port.transactorType + "(0)"
                               : port.transactorType + "()";
        out << "        " << port.name << ".initialize(" << zero << ");\n";
    }
    out << "        SC_METHOD(Tick);\n";
    if (!plan.clockName.empty())
        out << "        sensitive << " << plan.clockName
            << (plan.clockOnPositiveEdge ? ".pos()" : ".neg()") << ";\n";
    out << "        dont_initialize();\n"
        << "    }\n\n"
        << "    // Runs on every active clock edge.\n"
        << "    void Tick() {\n"
        << "    }\n"
        << "};\n\n#endif\n";
    return out.str();
}

std::string TransactionsText(const TestbenchPlan& plan) {
    std::ostringstream out;
    out << Header("transactions.cpp", plan, true)
        << "//\n// RunTransactions is called on an active clock edge with the transactor seen "
           "through its\n"
        << "// interface; the simulation stops when it returns. kestrel_tb::Check(condition, "
           "\"what\")\n"
        << "// counts a failed check: sim then exits 1.\n"
        << "#include \"" << plan.interfaceHeader << "\"\n"
        << "#include \"kestrel_pins.h\"\n"
        << "#include \"rtl_pins.h\"\n\n"
        << "#include <iostream>\n\n"
        << "void RunTransactions(" << plan.interfaceClass << "& tlm, RtlPins& pins) {\n"
        << "    (void)pins;\n";
    for (const RtlPort& pin : plan.extraPins)
        if (pin.direction == PortDirection::In)
            out << "    // pins." << pin.name << ".write(...);\n";
    bool hasOutput = false, hasInput = false;
    for (const RtlPort& pin : plan.extraPins)
        (pin.direction == PortDirection::Out ? hasOutput : hasInput) = true;
    if (hasOutput && hasInput) {
        // The way to tie pins together: a method the transactions start, writing the input
        // whenever the output changes.
        out << "    // To tie an output of the RTL to one of its inputs of the same type (a serial "
               "line looped\n"
            << "    // back, say), start a method that copies it:\n"
            << "    //   sc_core::sc_spawn_options tie;\n"
            << "    //   tie.spawn_method();\n"
            << "    //   tie.set_sensitivity(&pins.OUTPUT.value_changed_event());\n"
            << "    //   sc_core::sc_spawn([&pins] { pins.INPUT.write(pins.OUTPUT.read()); }, "
               "\"tie\", &tie);\n";
    }
    for (const TlmFunction* function : plan.functions) {
        std::string name = Trim(function->functionName.Text());
        std::string returnType = Trim(function->returnTypeText.Text());
        out << "    {\n";
        std::vector<std::string> results;
        int count = Clamped(function->parameterCount, kMaxParameters);
        for (int p = 1; p <= count; ++p) {
            const TlmParameter& parameter = function->parameters[static_cast<std::size_t>(p)];
            std::string type = Trim(parameter.typeText.Text());
            std::string pname = Trim(parameter.parameterName.Text());
            if (parameter.isArray)
                out << "        " << type << " " << pname << "[16] = {};\n";
            else
                out << "        " << type << " " << pname << " = 0;\n";
            if (parameter.passIndex == 1 && !parameter.isArray && !parameter.isConst)
                results.push_back(pname);
        }
        std::string call = "tlm." + name + "(" + Joined(ParameterNames(*function), ", ") + ")";
        if (returnType == "void")
            out << "        " << call << ";\n";
        else
            out << "        " << returnType << " result = " << call << ";\n";
        out << "        std::cout << sc_core::sc_time_stamp() << \"  " << name << "\"";
        if (returnType != "void") out << " << \" returned \" << +result";
        for (const std::string& r : results) out << " << \"  " << r << " \" << +" << r;
        out << " << std::endl;\n    }\n";
    }
    out << "}\n";
    return out.str();
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

std::string DefineProblem(std::string_view define) {
    std::string_view name = define.substr(0, define.find('='));
    auto identifier = [](std::string_view word) {
        if (word.empty() || std::isdigit(static_cast<unsigned char>(word.front()))) return false;
        return std::all_of(word.begin(), word.end(), [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
        });
    };
    if (!identifier(name))
        return "--define " + std::string(define) +
               ": give NAME or NAME=VALUE, NAME made of letters, digits and _ (not starting with a "
               "digit)";
    if (define.find_first_of("\r\n") != std::string_view::npos)
        return "--define " + std::string(name) + ": the value holds a line break";
    // A backslash at the end of a list element escapes CMake's separator after it.
    if (define.ends_with('\\'))
        return "--define " + std::string(name) + ": the value ends with a backslash";
    return {};
}

namespace {

namespace fs = std::filesystem;

// True when `path` is `folder` or lies in it (both absolute and normal).
bool LiesIn(const fs::path& path, const fs::path& folder) {
    fs::path relative = path.lexically_relative(folder);
    return !relative.empty() && *relative.begin() != "..";
}

// A path as the build file names it: relative to the testbench folder when both lie in
// the project folder (the testbench then moves with the project), in full otherwise.
std::string BuildPath(const std::string& storedPath, const TestbenchPlan& plan) {
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

} // namespace

std::string CMakeListsText(const TestbenchPlan& plan) {
    std::ostringstream out;
    out << "# " << WrittenByText("CMakeLists.txt", plan) << "\n"
        << "# Rewritten by every Simulate and every run of kestrel-cli testbench and sim. Builds "
           "the\n"
        << "# simulation `sim`:\n"
        << "#   cmake -S . -B build && cmake --build build && build/sim\n"
        << "# The project's own files are named from this folder, so the folder builds where the "
           "project\n"
        << "# is copied or moved; files outside the project keep their full paths.\n"
        << "# Defines and include folders for every C++ file (relative folders: from this one), "
           "and\n"
        << "# arguments of your own for Verilator, as cache variables (lists separated by ;):\n"
        << "#   cmake -S . -B build -DKESTREL_DEFINES=\"WIDTH=8;TRACE\" "
           "-DKESTREL_INCLUDE_DIRS=../include\n"
        << "#   cmake -S . -B build -DKESTREL_VERILATOR_ARGS=\"-DSIM;-Irtl/include\"\n"
        << "# kestrel-cli testbench and sim write their --define and --include options below.\n"
        << "cmake_minimum_required(VERSION 3.16)\n"
        << "project(" << plan.projectName << "_sim CXX)\n\n"
        << "set(CMAKE_CXX_STANDARD 17) # Debian's SystemC is built as C++17\n"
        << "set(CMAKE_CXX_STANDARD_REQUIRED ON)\n"
        << "set(KESTREL_DEFINES \"\" CACHE STRING\n"
        << "    \"Preprocessor definitions for every C++ file: NAME or NAME=VALUE, separated by "
           ";\")\n"
        << "set(KESTREL_INCLUDE_DIRS \"\" CACHE STRING\n"
        << "    \"Include folders for every C++ file, separated by ; (relative: from the testbench "
           "folder)\")\n";
    if (plan.rtl)
        out << "set(KESTREL_VERILATOR_ARGS \"\" CACHE STRING\n"
            << "    \"More arguments for Verilator (-DNAME, -IFOLDER, -Wno-...), separated by "
               ";\")\n";
    out << "\nfind_package(PkgConfig REQUIRED)\n"
        << "pkg_check_modules(SYSTEMC REQUIRED IMPORTED_TARGET systemc)\n"
        << "# sc_spawn, for processes the transactions start (one RTL pin tied to another).\n"
        << "add_compile_definitions(SC_INCLUDE_DYNAMIC_PROCESSES)\n\n"
        << "# The generated transactor as it is, and the transactions: kestrel_systemc.h goes "
           "ahead\n"
        << "# of both (as a precompiled header, so the SystemC headers are read once).\n"
        << "add_library(kestrel_transactor STATIC " << BuildPath(plan.transactorCpp, plan)
        << " transactions.cpp)\n"
        << "target_include_directories(kestrel_transactor PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}";
    for (const std::string& folder : plan.includeFolders) out << " " << BuildPath(folder, plan);
    out << ")\n";
    if (!plan.defines.empty() || !plan.userIncludeFolders.empty()) {
        out << "# --define and --include of kestrel-cli testbench and sim.\n";
        if (!plan.defines.empty()) {
            out << "target_compile_definitions(kestrel_transactor PUBLIC";
            for (const std::string& define : plan.defines)
                out << " " << CMakeQuoted(Cp1252ToUtf8(define)); // stored text; CMake reads UTF-8
            out << ")\n";
        }
        if (!plan.userIncludeFolders.empty()) {
            out << "target_include_directories(kestrel_transactor PUBLIC";
            for (const std::string& folder : plan.userIncludeFolders)
                out << " " << BuildPath(folder, plan);
            out << ")\n";
        }
    }
    out << "target_compile_definitions(kestrel_transactor PUBLIC ${KESTREL_DEFINES})\n"
        << "target_include_directories(kestrel_transactor PUBLIC ${KESTREL_INCLUDE_DIRS})\n"
        << "target_precompile_headers(kestrel_transactor PRIVATE kestrel_systemc.h)\n"
        << "target_compile_options(kestrel_transactor PRIVATE -Wno-return-type)\n"
        << "target_link_libraries(kestrel_transactor PUBLIC PkgConfig::SYSTEMC)\n\n"
        << "add_executable(sim sc_main.cpp)\n"
        << "set_source_files_properties(sc_main.cpp PROPERTIES COMPILE_OPTIONS\n"
        << "    \"-include;${CMAKE_CURRENT_SOURCE_DIR}/kestrel_systemc.h\")\n"
        << "target_link_libraries(sim PRIVATE kestrel_transactor)\n";
    if (plan.rtl) {
        out << "\n# The RTL, verilated for SystemC.\n"
            << "find_package(verilator REQUIRED HINTS $ENV{VERILATOR_ROOT})\n"
            << "verilate(sim SYSTEMC\n    SOURCES";
        for (const std::string& file : plan.rtlFiles) out << " " << BuildPath(file, plan);
        out << "\n    TOP_MODULE " << plan.rtl->name << "\n    PREFIX " << RtlClass(plan)
            << "\n    VERILATOR_ARGS -Wno-fatal ${KESTREL_VERILATOR_ARGS})\n";
    }
    return out.str();
}

std::string FindCompatHeader() {
    std::string folder = RunningProgramFolder();
    std::string path = folder + "/../share/kestrel/kestrel_systemc.h";
    if (!FileExists(path)) return {};
    return StoredPath(std::filesystem::weakly_canonical(NativePath(path)));
}

TestbenchResult WriteTestbench(const TestbenchRequest& request) {
    TestbenchResult result;
    ProjectRecord record;
    if (result.status = PeekProject(request.projectFile, record); !result.status) return result;
    auto tables = std::make_unique<ProjectTables>();
    std::vector<Status> failures =
        LoadRunTables(record.projectFolder, *tables, AbsentTableFiles::ReadAsEmpty);
    if (!failures.empty()) {
        result.status = failures.front();
        return result;
    }
    if (result.status = LoadGenerationSettings(record.projectFolder, tables->settings);
        !result.status)
        return result;
    ResolveOutputNames(record.projectFolder, tables->settings);

    result.folder = request.folder.empty() ? JoinPath(record.projectFolder, {"Output", "testbench"})
                                           : request.folder;
    std::optional<RtlModule> rtl;
    std::vector<std::string> rtlFiles;
    for (const std::string& file : request.rtlFiles)
        rtlFiles.push_back(StoredPath(std::filesystem::absolute(NativePath(file))));
    if (!rtlFiles.empty()) {
        RtlModule module;
        if (result.status = ReadRtlModule(rtlFiles, request.top, module); !result.status)
            return result;
        rtl = module;
    }
    result.problems =
        PlanTestbench(Trim(record.projectName), *tables, rtl ? &*rtl : nullptr, result.plan);
    result.plan.rtlFiles = rtlFiles;
    result.plan.projectFolder = record.projectFolder;
    result.plan.folder = result.folder;
    result.plan.writer = request.writer;
    result.plan.defines = request.defines;
    for (const std::string& folder : request.includeFolders)
        result.plan.userIncludeFolders.push_back(
            StoredPath(std::filesystem::absolute(NativePath(folder)).lexically_normal()));
    for (const std::string& define : request.defines)
        if (std::string problem = DefineProblem(define); !problem.empty())
            result.problems.push_back(problem);
    for (const std::string& folder : request.includeFolders)
        if (!DirectoryExists(folder))
            result.problems.push_back("--include " + folder + ": no such folder");
    // CMake takes a backslash in a path for a separator or an escape, and its own
    // modules (the compiler checks, Verilator's) stop in a build folder whose path holds a
    // semicolon, a double quote or a hash.
    if (std::size_t at = result.folder.find_first_of(";\"#\\\r\n"); at != std::string::npos)
        result.problems.push_back("the testbench folder " + result.folder + " holds " +
                                  (result.folder[at] == '\n' || result.folder[at] == '\r'
                                       ? std::string("a line break")
                                       : "'" + std::string(1, result.folder[at]) + "'") +
                                  ", which CMake cannot build in: choose another folder");
    std::vector<std::string> buildPaths = {tables->settings.transactorCppPath};
    buildPaths.insert(buildPaths.end(), result.plan.includeFolders.begin(),
                      result.plan.includeFolders.end());
    buildPaths.insert(buildPaths.end(), rtlFiles.begin(), rtlFiles.end());
    buildPaths.insert(buildPaths.end(), result.plan.userIncludeFolders.begin(),
                      result.plan.userIncludeFolders.end());
    for (const std::string& path : buildPaths)
        if (path.find_first_of("\\\r\n") != std::string::npos)
            result.problems.push_back("the path " + path +
                                      " holds a backslash or a line break, which CMake cannot "
                                      "build from: rename the folder or file");
    // The plan points into the tables; it must not outlive this call with them.
    result.plan.functions.clear();
    if (!result.problems.empty()) return result;
    if (!FileExists(tables->settings.transactorCppPath)) {
        result.problems.push_back("the generated transactor " + tables->settings.transactorCppPath +
                                  " does not exist: run Generate first");
        return result;
    }
    if (request.compatHeader.empty() || !FileExists(request.compatHeader)) {
        result.status = Status::Error("kestrel_systemc.h is not installed beside the program (" +
                                      RunningProgramFolder() + "/../share/kestrel)");
        return result;
    }
    std::string compat;
    if (result.status = ReadFileBytes(request.compatHeader, compat); !result.status) return result;
    if (result.status = MakeDirectory(result.folder); !result.status) return result;

    TestbenchPlan plan = result.plan;
    for (int f = 1; f <= Clamped(tables->functions.count, kMaxFunctions); ++f)
        plan.functions.push_back(&tables->functions[f]);
    auto write = [&](const std::string& name, const std::string& text, bool userFile) {
        std::string path = JoinPath(result.folder, {name});
        if (userFile && FileExists(path)) {
            result.kept.push_back(name);
            return true;
        }
        // An unchanged file keeps its time, so the build does not redo what it made of it.
        std::string old;
        if (FileExists(path) && ReadFileBytes(path, old).ok() && old == text) {
            result.unchanged.push_back(name);
            return true;
        }
        if (result.status = WriteFileAtomic(path, text); !result.status) return false;
        result.written.push_back(name);
        return true;
    };
    write("kestrel_systemc.h", compat, false) &&
        write("kestrel_pins.h", PinAdapterText(plan.writer), false) &&
        write("rtl_pins.h", RtlPinsText(plan), false) &&
        write("sc_main.cpp", SimMainText(plan), false) &&
        (plan.rtl || write("rtl.h", RtlStubText(plan), true)) &&
        write("transactions.cpp", TransactionsText(plan), true) &&
        write("reset.h", ResetText(plan), true) &&
        write("CMakeLists.txt", CMakeListsText(plan), false);
    return result;
}

} // namespace kestrel
