// The testbench folder: the plan (which port goes where, through which adapter) and the
// writing of its files, whose texts TestbenchText.cpp emits. Names are the project's own.
#include "sim/Testbench.h"

#include "generate/RunTables.h"
#include "model/ProjectPaths.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "platform/Text.h"
#include "project/ProjectCommands.h"
#include "tlm2/Tlm2Mapping.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <utility>

namespace kestrel {

namespace {

// The direction the port's declaration text gives (what Generate writes); anything but
// sc_out and sc_inout is an input.
PortDirection DeclaredDirection(const RtlSignal& signal) {
    switch (DirectionOfName(signal.directionText.Text())) {
    case SignalDirection::Out: return PortDirection::Out;
    case SignalDirection::InOut: return PortDirection::InOut;
    default: return PortDirection::In;
    }
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

// The settings and the clock of the plan, from the stored tables.
void PlanSettings(const ProjectTables& tables, TestbenchPlan& plan,
                  std::vector<std::string>& problems) {
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
    for (const TlmFunction& function : tables.functions.Used()) plan.functions.push_back(&function);
}

// The declared ports, the first clock among them.
void PlanPorts(const ProjectTables& tables, TestbenchPlan& plan,
               std::vector<std::string>& problems) {
    for (const RtlSignal& signal : tables.signals.Used()) {
        TestbenchPort port;
        port.name = Trim(signal.signalName.Text());
        std::string type = Trim(signal.dataTypeText.Text());
        port.width = 1;
        if (signal.DataType() == SignalDataType::LogicVector ||
            DataTypeOfName(type) == SignalDataType::LogicVector) {
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
}

// Why a declared port cannot be bound to the RTL's port of its name; empty when it can.
std::string PortMismatch(const TestbenchPort& port, const RtlPort& rtlPort,
                         const std::string& module) {
    bool typeKnown = port.transactorType == "bool" || port.transactorType == "sc_logic" ||
                     port.transactorType.rfind("sc_lv<", 0) == 0;
    if (!typeKnown)
        return "port " + port.name + ": type " + port.transactorType +
               " cannot be connected to Verilog (use bool, sc_logic or sc_lv)";
    if (rtlPort.width != port.width)
        return "port " + port.name + ": the project declares " + DeclarationText(port) + " (" +
               std::to_string(port.width) + (port.width == 1 ? " bit" : " bits") + "), module " +
               module + " declares " + RtlDeclarationText(rtlPort) + " (" +
               std::to_string(rtlPort.width) + (rtlPort.width == 1 ? " bit" : " bits") + ")";
    if (rtlPort.direction != port.rtlDirection)
        return "port " + port.name + ": the project declares " + DeclarationText(port) +
               " (the RTL's " + std::string(DirectionWord(port.rtlDirection)) + "), module " +
               module + " declares " + RtlDeclarationText(rtlPort);
    if (rtlPort.direction == PortDirection::InOut)
        return "port " + port.name + ": " + RtlDeclarationText(rtlPort) +
               " is bidirectional; a verilated model has no bidirectional ports (split it into "
               "an input and an output)";
    return {};
}

// Every declared port matched to the RTL's by name, and the RTL's other ports.
void PlanRtl(const RtlModule& rtl, TestbenchPlan& plan, std::vector<std::string>& problems) {
    plan.rtl = rtl;
    std::set<std::string> declared;
    for (TestbenchPort& port : plan.ports) {
        declared.insert(port.name);
        auto found = std::find_if(rtl.ports.begin(), rtl.ports.end(),
                                  [&](const RtlPort& p) { return p.name == port.name; });
        if (found == rtl.ports.end()) {
            problems.push_back("port " + port.name + ": the project declares " +
                               DeclarationText(port) + ", module " + rtl.name +
                               " has no port of that name");
            continue;
        }
        if (std::string problem = PortMismatch(port, *found, rtl.name); !problem.empty())
            problems.push_back(problem);
        else
            port.pinType = VerilatedPinType(found->width);
    }
    for (const RtlPort& rtlPort : rtl.ports) {
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
}

} // namespace

std::vector<std::string> PlanTestbench(const std::string& projectName, const ProjectTables& tables,
                                       const RtlModule* rtl, TestbenchPlan& plan) {
    std::vector<std::string> problems;
    plan = TestbenchPlan{};
    plan.projectName = projectName;
    PlanSettings(tables, plan, problems);
    PlanPorts(tables, plan, problems);
    if (rtl) PlanRtl(*rtl, plan, problems);
    return problems;
}

std::string ProtocolCheckNotice(const TestbenchResult& result) {
    if (!result.plan.monitor) return {};
    const BusMonitorPlan& monitor = *result.plan.monitor;
    return "protocol check: " + monitor.title + ", prefix " +
           (monitor.prefix.empty() ? std::string("(none)") : monitor.prefix) +
           ", a request unanswered after " + std::to_string(monitor.hangCycles) +
           " clock cycles is a hang";
}

std::string WrittenByText(std::string_view file, const TestbenchPlan& plan) {
    return std::string(file) + " - written by " + plan.writer + " for project " + plan.projectName +
           ".";
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
    if (!OneCMakeListElement(define))
        return "--define " + std::string(name) +
               ": the value holds a square bracket without its pair, which CMake would join "
               "with what follows";
    return {};
}

std::string FindCompatHeader() {
    std::string folder = RunningProgramFolder();
    std::string path = folder + "/../share/kestrel/kestrel_systemc.h";
    if (!FileExists(path)) return {};
    return StoredPath(std::filesystem::weakly_canonical(NativePath(path)));
}

namespace {

// The project's record and the tables the plan is made from, with the output names resolved.
Status LoadTestbenchTables(const std::string& projectFile, ProjectRecord& record,
                           ProjectTables& tables) {
    if (Status peeked = PeekProject(projectFile, record); !peeked) return peeked;
    return LoadProjectLook(record.projectFolder, tables);
}

// The request's options and the paths the build file names, as CMake can take them.
std::vector<std::string> BuildProblems(const TestbenchRequest& request, const TestbenchPlan& plan) {
    std::vector<std::string> problems;
    for (const std::string& define : request.defines)
        if (std::string problem = DefineProblem(define); !problem.empty())
            problems.push_back(problem);
    for (const std::string& folder : request.includeFolders)
        if (!DirectoryExists(folder))
            problems.push_back("--include " + folder + ": no such folder");
    // CMake takes a backslash in a path for a separator or an escape, and its own
    // modules (the compiler checks, Verilator's) stop in a build folder whose path holds a
    // semicolon, a double quote or a hash.
    const std::string& folder = plan.folder;
    if (std::size_t at = folder.find_first_of(";\"#\\\r\n"); at != std::string::npos)
        problems.push_back("the testbench folder " + folder + " holds " +
                           (folder[at] == '\n' || folder[at] == '\r'
                                ? std::string("a line break")
                                : "'" + std::string(1, folder[at]) + "'") +
                           ", which CMake cannot build in: choose another folder");
    std::vector<std::string> paths = {plan.transactorCpp};
    for (const auto* more : {&plan.includeFolders, &plan.rtlFiles, &plan.userIncludeFolders})
        paths.insert(paths.end(), more->begin(), more->end());
    for (const std::string& path : paths) {
        if (path.find_first_of("\\\r\n") != std::string::npos)
            problems.push_back("the path " + path +
                               " holds a backslash or a line break, which CMake cannot "
                               "build from: rename the folder or file");
        else if (!OneCMakeListElement(CMakePath(path, plan)))
            problems.push_back("the path " + path +
                               " holds a square bracket without its pair, which CMake cannot "
                               "build from: rename the folder or file");
    }
    return problems;
}

// The bus monitor of a run that checks a protocol, found among the RTL's ports; a run without
// Verilog has no bus to watch.
std::vector<std::string> PlanMonitor(const TestbenchRequest& request, const RtlModule* rtl,
                                     TestbenchPlan& plan) {
    if (!rtl)
        return {"the protocol check watches the bus ports of the RTL: give its Verilog (--rtl, or "
                "the files the project keeps)"};
    if (!request.findBus) return {"the protocol check is not available to this program"};
    if (request.protocol->hangCycles < 1)
        return {"--hang-cycles " + std::to_string(request.protocol->hangCycles) +
                ": give at least 1 clock cycle"};
    BusMonitorPlan monitor;
    std::vector<std::string> problems = request.findBus(*request.protocol, *rtl, monitor);
    if (problems.empty()) plan.monitor = monitor;
    return problems;
}

// The plan of the request's testbench, its problems in result.problems.
Status PlanRequest(const TestbenchRequest& request, const ProjectRecord& record,
                   const ProjectTables& tables, TestbenchResult& result) {
    std::optional<RtlModule> rtl;
    std::vector<std::string> rtlFiles;
    for (const std::string& file : request.rtlFiles)
        rtlFiles.push_back(StoredPath(std::filesystem::absolute(NativePath(file))));
    if (!rtlFiles.empty()) {
        RtlModule module;
        if (Status read = ReadRtlModule(rtlFiles, request.top, module); !read) return read;
        rtl = module;
    }
    TestbenchPlan& plan = result.plan;
    result.problems = PlanTestbench(Trim(record.projectName), tables, rtl ? &*rtl : nullptr, plan);
    if (request.protocol) {
        std::vector<std::string> more = PlanMonitor(request, rtl ? &*rtl : nullptr, plan);
        result.problems.insert(result.problems.end(), more.begin(), more.end());
    }
    plan.rtlFiles = rtlFiles;
    plan.projectFolder = record.projectFolder;
    plan.folder = result.folder;
    plan.writer = request.writer;
    plan.defines = request.defines;
    for (const std::string& folder : request.includeFolders)
        plan.userIncludeFolders.push_back(
            StoredPath(std::filesystem::absolute(NativePath(folder)).lexically_normal()));
    std::vector<std::string> more = BuildProblems(request, plan);
    result.problems.insert(result.problems.end(), more.begin(), more.end());
    return Status::Ok();
}

// Through the socket: the project's mapping and the module it resolves to, in the plan;
// no mapping, or one that no longer fits the declarations, is a problem.
Status PlanTlm2(const ProjectRecord& record, const ProjectTables& tables, TestbenchResult& result) {
    std::optional<Tlm2Mapping> mapping;
    if (Status loaded = LoadTlm2Mapping(record.projectFolder, mapping); !loaded) return loaded;
    const std::string name = Trim(record.projectName);
    if (!mapping) {
        result.problems.push_back("project " + name +
                                  " has no TLM-2.0 socket mapping: run kestrel-cli tlm2 first");
        return Status::Ok();
    }
    Tlm2Module module;
    std::vector<std::string> problems = ResolveTlm2Module(name, tables, *mapping, module);
    result.problems.insert(result.problems.end(), problems.begin(), problems.end());
    if (problems.empty()) result.plan.tlm2 = module;
    return Status::Ok();
}

// Writes the plan's socket module beside the transactor header (left as it is when its
// text is the same but for the line naming who wrote it).
void WriteSocketModule(const ProjectTables& tables, const std::string& projectFolder,
                       const TestbenchPlan& plan, TestbenchResult& result) {
    Tlm2Module module = *plan.tlm2;
    module.writer = plan.writer;
    Tlm2WriteResult written =
        WriteTlm2Module(Tlm2ModulePath(projectFolder, tables.settings), module);
    result.status = written.status;
    result.tlm2Module = written.written;
    result.tlm2ModuleWritten = written.changed;
}

// Reads the runtime headers copied into every testbench: kestrel_systemc.h and, beside
// it, kestrel_pins.h, and kestrel_monitor.h when the run checks a protocol.
Status ReadRuntimeHeaders(const std::string& compatHeader, bool monitored, std::string& compat,
                          std::string& pins, std::string& monitor) {
    const std::string folder = BeforeLastSeparator(compatHeader);
    const std::string pinsHeader = JoinPath(folder, {"kestrel_pins.h"});
    const std::string monitorHeader = JoinPath(folder, {"kestrel_monitor.h"});
    std::vector<std::pair<const char*, std::string>> headers = {{"kestrel_systemc.h", compatHeader},
                                                                {"kestrel_pins.h", pinsHeader}};
    if (monitored) headers.push_back({"kestrel_monitor.h", monitorHeader});
    for (const auto& [name, path] : headers)
        if (compatHeader.empty() || !FileExists(path))
            return Status::Error(std::string(name) + " is not installed beside the program (" +
                                 RunningProgramFolder() + "/../share/kestrel)");
    if (Status read = ReadFileBytes(compatHeader, compat); !read) return read;
    if (monitored)
        if (Status read = ReadFileBytes(monitorHeader, monitor); !read) return read;
    return ReadFileBytes(pinsHeader, pins);
}

// Writes the files in order until one cannot be written: a user's file only when it is
// missing, any other only when its bytes changed (it keeps its time otherwise, so the
// build does not redo what it made of it).
void WriteFiles(const std::vector<std::pair<std::string, std::string>>& files,
                const std::set<std::string>& userFiles, TestbenchResult& result) {
    for (const auto& [name, text] : files) {
        const std::string path = JoinPath(result.folder, {name});
        const bool exists = FileExists(path);
        std::string old;
        if (exists && userFiles.count(name)) {
            result.kept.push_back(name);
        } else if (exists && ReadFileBytes(path, old).ok() && old == text) {
            result.unchanged.push_back(name);
        } else {
            if (result.status = WriteFileAtomic(path, text); !result.status) return;
            result.written.push_back(name);
        }
    }
}

} // namespace

TestbenchResult WriteTestbench(const TestbenchRequest& request) {
    TestbenchResult result;
    ProjectRecord record;
    auto tables = std::make_unique<ProjectTables>();
    if (result.status = LoadTestbenchTables(request.projectFile, record, *tables); !result.status)
        return result;
    result.folder = request.folder.empty() ? JoinPath(record.projectFolder, {"Output", "testbench"})
                                           : request.folder;
    if (result.status = PlanRequest(request, record, *tables, result); !result.status)
        return result;
    if (request.tlm2)
        if (result.status = PlanTlm2(record, *tables, result); !result.status) return result;
    // The plan points into the tables; it must not outlive this call with them.
    TestbenchPlan plan = result.plan;
    result.plan.functions.clear();
    if (!result.problems.empty()) return result;
    if (!FileExists(plan.transactorCpp)) {
        result.problems.push_back("the generated transactor " + plan.transactorCpp +
                                  " does not exist: run Generate first");
        return result;
    }
    std::string compat, pins, monitor;
    if (result.status = ReadRuntimeHeaders(request.compatHeader, plan.monitor.has_value(), compat,
                                           pins, monitor);
        !result.status)
        return result;
    if (plan.tlm2) {
        WriteSocketModule(*tables, record.projectFolder, plan, result);
        if (!result.ok()) return result;
    }
    if (result.status = MakeDirectory(result.folder); !result.status) return result;
    std::vector<std::pair<std::string, std::string>> files = {
        {"kestrel_systemc.h", compat},
        {"kestrel_pins.h", PinAdapterText(pins, plan.writer)},
        {"rtl_pins.h", RtlPinsText(plan)},
        {"sc_main.cpp", SimMainText(plan)}};
    if (plan.monitor)
        files.insert(files.begin() + 2,
                     {"kestrel_monitor.h", MonitorHeaderText(monitor, plan.writer)});
    if (!plan.rtl) files.push_back({"rtl.h", RtlStubText(plan)});
    const std::string transactions = TransactionsFileName(plan);
    files.push_back(
        {transactions, plan.tlm2 ? Tlm2TransactionsText(plan) : TransactionsText(plan)});
    files.push_back({"reset.h", ResetText(plan)});
    files.push_back({"CMakeLists.txt", CMakeListsText(plan)});
    WriteFiles(files, {"rtl.h", transactions, "reset.h"}, result);
    return result;
}

} // namespace kestrel
