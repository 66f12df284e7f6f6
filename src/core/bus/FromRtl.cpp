// MakeProjectFromRtl: everything that can refuse is checked before anything is made (the
// request, New Project's checks, the Verilog's bus, the declarations and the code settings,
// all in memory); then the project is made through the core's own project commands in the
// order a user would follow (New Project, the two declaration lists, the code settings, the
// behaviour and its assignment, the RTL and protocol choices, the socket mapping, Generate),
// and the lines to print say what was found and written and how to simulate.
#include "bus/FromRtl.h"

#include "bus/FromRtlBehaviour.h"
#include "bus/FromRtlDeclarations.h"
#include "bus/ProtocolChoice.h"
#include "generate/Generate.h"
#include "generate/RunTables.h"
#include "model/ProjectPaths.h"
#include "model/ProjectTables.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/System.h"
#include "platform/Text.h"
#include "project/CodeSettings.h"
#include "project/ProjectCommands.h"
#include "sim/RtlChoice.h"
#include "tlm2/Tlm2Mapping.h"

#include <memory>

namespace kestrel {

namespace {

// What the checks prepare for the making.
struct Plan {
    RtlModule module;
    BusDeclarations declarations;
    ProjectOptions options;
};

std::string OneLine(const InputRefusal& refusal) {
    std::string text = refusal.text;
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, " ");
    return text;
}

std::vector<std::string> CheckRequest(const FromRtlRequest& request, NewProjectDraft& draft) {
    std::vector<std::string> problems;
    if (std::string problem = PeriodProblem(request.period, request.unit); !problem.empty())
        problems.push_back(problem);
    if (request.rtlFiles.empty()) problems.push_back("no Verilog file given");
    for (const std::string& file : request.rtlFiles)
        if (!FileExists(file)) problems.push_back("the Verilog file " + file + " does not exist");
    if (std::optional<InputRefusal> refusal = CheckNewProject(draft))
        problems.push_back(OneLine(*refusal));
    else if (!DirectoryExists(draft.location))
        problems.push_back("the location " + draft.location + " is not a folder");
    return problems;
}

// "AXI4-Lite master of axil_ram (S_AXI_)"
std::string Title(const BusPortSet& ports, const RtlModule& module) {
    return std::string(BusProtocolTitle(ports.protocol)) + " master of " + module.name +
           (ports.prefix.empty() ? std::string() : " (" + ports.prefix + ")");
}

std::optional<InputRefusal> PlanSettings(const FromRtlRequest& request,
                                         const NewProjectDraft& draft, const BusPortSet& ports,
                                         Plan& plan) {
    LinuxSystemInfo system;
    plan.options =
        DefaultProjectOptions(draft.name, draft.location + draft.name, system.LoggedOnUserName());
    CodeSettingsDraft settings = DraftFromOptions(plan.options);
    settings.method = request.asml ? kMethodAsml : kMethodFsm;
    settings.periodText = std::to_string(request.period);
    settings.periodUnitIndex = *TimeUnitIndexOf(request.unit);
    settings.title = Title(ports, plan.module);
    std::string files;
    for (const std::string& file : request.rtlFiles)
        files += (files.empty() ? "" : ", ") + AfterLastSeparator(file);
    settings.comment = "The " + std::string(BusProtocolTitle(ports.protocol)) +
                       " bus master of the slave " + plan.module.name + " (" + files +
                       "), made by kestrel-cli from-rtl.";
    return ApplyCodeSettings(settings, plan.options);
}

// The declaration lists' OKs and the code settings' OK.
Status Declare(ProjectRecord& record, const Plan& plan) {
    TlmFunctionTable functions;
    for (const FunctionDraft& function : plan.declarations.functions)
        ApplyFunctionDraft(functions, 0, function);
    if (Status s = AcceptFunctionList(record, functions); !s) return s;
    auto signals = std::make_unique<RtlSignalTable>();
    CommandOutcome saved = AcceptSignalList(record, plan.declarations.signals, *signals);
    if (saved.refusal) return Status::Error(OneLine(*saved.refusal));
    if (!saved.status) return saved.status;
    return SaveOptions(record.projectFolder, plan.options);
}

// The RTL files and top, and the protocol with its prefix, kept with the project.
Status KeepChoices(const FromRtlRequest& request, const ProjectRecord& record,
                   const BusPortSet& ports) {
    if (Status s = SaveRtlChoice(record.projectFolder, {request.rtlFiles, request.top}); !s)
        return s;
    return SaveProtocolChoice(record.projectFolder, {ports.protocol, ports.prefix});
}

// The socket's size: the bytes the address port reaches, when fewer than its type's range.
std::optional<std::string> SocketSize(const BusPortSet& ports) {
    for (BusRole role : {BusRole::AwAddr, BusRole::PAddr, BusRole::Adr})
        if (const BusPort* port = ports.Port(role))
            if (port->width % 8 != 0) return std::to_string(1ull << port->width);
    return std::nullopt;
}

// The proposed mapping must be the bus functions with every role of their parameters.
std::string MappingProblem(const Tlm2Mapping& mapping, bool strobe) {
    const Tlm2Roles full{kBusAddressParameter, kBusDataParameter, strobe ? kBusStrobeParameter : "",
                         kBusResponseParameter};
    Tlm2Roles read = full;
    read.strobe.clear();
    if (mapping.writeFunction == kBusWriteFunction && mapping.readFunction == kBusReadFunction &&
        mapping.write == full && mapping.read == read)
        return {};
    return "the proposed TLM-2.0 socket mapping does not carry the bus functions' parameters";
}

Status KeepMapping(const ProjectRecord& record, const BusPortSet& ports, std::string& written) {
    auto tables = std::make_unique<ProjectTables>();
    if (Status s = LoadProjectLook(record.projectFolder, *tables); !s) return s;
    Tlm2Request request;
    request.size = SocketSize(ports);
    const Tlm2Choice choice = ChooseTlm2Mapping(tables->functions, request);
    if (!choice.mapping)
        return Status::Error(choice.problems.empty() ? "no TLM-2.0 socket mapping"
                                                     : choice.problems.front());
    const bool strobe =
        ports.Has(BusRole::WStrb) || ports.Has(BusRole::PStrb) || ports.Has(BusRole::Sel);
    if (std::string problem = MappingProblem(*choice.mapping, strobe); !problem.empty())
        return Status::Error(problem);
    const Tlm2KeepResult kept = KeepTlm2Mapping(record.projectName, record.projectFolder, *tables,
                                                *choice.mapping, kWriterFromRtl);
    if (!kept.problems.empty()) return Status::Error(kept.problems.front());
    written = kept.written;
    return kept.status;
}

Status RunGenerate(const ProjectRecord& record) {
    GenerationSession session;
    SystemClock clock;
    const GenerateProjectResult generated =
        GenerateProject(ProjectFilePath(record), session, clock, nullptr);
    if (!generated.status) return generated.status;
    if (generated.errorCount > 0)
        return Status::Error("Generate logged " + std::to_string(generated.errorCount) +
                             " error(s): see " +
                             JoinPath(record.projectFolder, {record.projectName + ".log"}));
    return {};
}

std::string Shell(const std::string& path) {
    return path.find_first_of(" '\"$\\") == std::string::npos ? path : "'" + path + "'";
}

// The lines after the bus: the files made and the runs to start.
Status Summary(const ProjectRecord& record, const std::vector<std::string>& behaviour,
               const std::string& socket, const FromRtlProgress& progress, FromRtlResult& result) {
    auto say = [&](const std::string& line) {
        result.lines.push_back(line);
        progress(line);
    };
    const std::string& folder = record.projectFolder;
    GenerationSettings settings;
    if (Status s = LoadGenerationSettings(folder, settings); !s) return s;
    say("made the project " + result.projectFile);
    for (const std::string& file : behaviour) say("wrote " + file);
    for (const char* kept : {kRtlChoiceFile, kProtocolChoiceFile, kTlm2MappingFile})
        say("wrote " + JoinPath(folder, {kept}));
    for (const std::string& file : {settings.interfaceHeaderPath, settings.transactorHeaderPath,
                                    settings.transactorCppPath, socket})
        say("wrote " + file);
    const std::string tp = Shell(result.projectFile);
    result.simCommand = "kestrel-cli sim " + tp + " --tlm2";
    say("simulate through the TLM-2.0 socket (your transactions in "
        "Output/testbench/transactions_tlm2.cpp):");
    say("  " + result.simCommand);
    say("or with the functions called directly (Output/testbench/"
        "transactions.cpp):");
    say("  kestrel-cli sim " + tp);
    return {};
}

// Checks everything that may refuse; the problems say why nothing is made.
void Prepare(const FromRtlRequest& request, const FromRtlProgress& progress, NewProjectDraft& draft,
             Plan& plan, FromRtlResult& result) {
    result.problems = CheckRequest(request, draft);
    if (!result.problems.empty()) return;
    progress("Reading the Verilog's ports with Verilator...");
    result.status = ReadRtlModule(request.rtlFiles, request.top, plan.module);
    if (!result.status) return;
    result.ports = FindBusPorts(plan.module.ports, request.protocol, request.prefix);
    result.problems = result.ports.problems;
    if (!result.problems.empty()) return;
    result.lines = BusPortLines(result.ports);
    result.lines.insert(result.lines.begin(), "Verilog top module: " + plan.module.name);
    for (const std::string& line : result.lines) progress(line);
    if (auto refusal = MakeBusDeclarations(result.ports, plan.declarations))
        result.problems.push_back(OneLine(*refusal));
    else if (auto refused = PlanSettings(request, draft, result.ports, plan))
        result.problems.push_back(OneLine(*refused));
}

} // namespace

std::optional<int> TimeUnitIndexOf(std::string_view text) {
    const std::string lower = AsciiLower(text);
    for (std::size_t i = 0; i < kTimeUnits.size(); ++i) {
        const std::string unit = AsciiLower(kTimeUnits[i]);
        if (lower == unit || "sc_" + lower == unit) return static_cast<int>(i);
    }
    return std::nullopt;
}

std::string PeriodProblem(int period, const std::string& unit) {
    if (period < 1 || period > 32767)
        return "the clock period " + std::to_string(period) +
               " is not a whole number from 1 to "
               "32767";
    if (!TimeUnitIndexOf(unit))
        return "the time unit \"" + unit +
               "\" is none of SC_FS, SC_PS, SC_NS, SC_US, SC_MS, SC_SEC";
    return {};
}

Status ProbeBusPorts(const std::vector<std::string>& rtlFiles, const std::string& top,
                     BusProtocol protocol, const std::optional<std::string>& prefix,
                     BusPortSet& found) {
    RtlModule module;
    if (Status s = ReadRtlModule(rtlFiles, top, module); !s) return s;
    found = FindBusPorts(module.ports, protocol, prefix);
    return {};
}

FromRtlResult MakeProjectFromRtl(const FromRtlRequest& request) {
    return MakeProjectFromRtl(request, [](const std::string&) {});
}

FromRtlResult MakeProjectFromRtl(const FromRtlRequest& request, const FromRtlProgress& progress) {
    FromRtlResult result;
    NewProjectDraft draft{request.name, request.location};
    auto plan = std::make_unique<Plan>();
    Prepare(request, progress, draft, *plan, result);
    if (!result.ok()) return result;

    LinuxSystemInfo system;
    ProjectRecord record;
    const CommandOutcome made = NewProject(draft, system, record);
    if (made.refusal) result.problems.push_back(OneLine(*made.refusal));
    result.status = made.status;
    if (!result.ok()) return result;
    result.projectFile = ProjectFilePath(record);

    std::vector<std::string> behaviour;
    std::string socket;
    result.status = Declare(record, *plan);
    if (result.status)
        result.status = WriteBusBehaviour(record, result.ports, request.asml, behaviour);
    if (result.status) result.status = KeepChoices(request, record, result.ports);
    if (result.status) result.status = KeepMapping(record, result.ports, socket);
    if (result.status) {
        progress("Generating the transactor...");
        result.status = RunGenerate(record);
    }
    if (result.status) result.status = Summary(record, behaviour, socket, progress, result);
    return result;
}

} // namespace kestrel
