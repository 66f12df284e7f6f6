// A project's socket mapping resolved into the module written as <header>_tlm2.h: the
// mapping checked against the stored declarations (a function or parameter renamed since is
// named), the transactor's class, header and clock from the stored settings and ports, and
// both calls' arguments in declaration order with what each carries. Writing puts the
// module's text beside the transactor header, where Generate puts that header.
#include "tlm2/Tlm2Mapping.h"

#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "project/OutputPlacement.h"
#include "tlm2/Tlm2Rules.h"

namespace kestrel {

namespace {

Tlm2Role RoleOf(const Tlm2Parameter& parameter, const Tlm2Roles& roles) {
    if (parameter.name == roles.address) return Tlm2Role::Address;
    if (parameter.name == roles.data) return Tlm2Role::Data;
    if (!roles.strobe.empty() && parameter.name == roles.strobe) return Tlm2Role::Strobe;
    if (!roles.response.empty() && parameter.name == roles.response) return Tlm2Role::Response;
    return parameter.Output() ? Tlm2Role::Dropped : Tlm2Role::Fixed;
}

Tlm2Call CallOf(const TlmFunctionTable& functions, const std::string& function,
                const Tlm2Roles& roles, const Tlm2Mapping& mapping) {
    Tlm2Call call;
    call.function = function;
    for (const Tlm2Parameter& parameter : Tlm2Parameters(*FindTlm2Function(functions, function))) {
        Tlm2Argument argument;
        argument.name = parameter.name;
        argument.cppType = parameter.type;
        argument.byReference = parameter.byReference;
        argument.isConst = parameter.isConst;
        argument.role = RoleOf(parameter, roles);
        if (argument.role == Tlm2Role::Fixed)
            for (const auto& [name, value] : mapping.fixed)
                if (name == parameter.name)
                    argument.fixedValue = Tlm2FixedExpression(parameter, value).value_or(value);
        call.arguments.push_back(std::move(argument));
    }
    return call;
}

int DataBits(const TlmFunctionTable& functions, const Tlm2Mapping& mapping) {
    for (const Tlm2Parameter& p :
         Tlm2Parameters(*FindTlm2Function(functions, mapping.writeFunction)))
        if (p.name == mapping.write.data) return p.bits;
    return 8;
}

// The transactor the module stands in front of: class, header and clock.
void ResolveTransactor(const ProjectTables& tables, Tlm2Module& module,
                       std::vector<std::string>& problems) {
    module.transactorClass = Trim(tables.settings.transactorClassName);
    module.transactorHeader = AfterLastSeparator(Trim(tables.settings.transactorHeaderPath));
    if (module.transactorClass.empty())
        problems.push_back("The transactor class name is empty; set it in the Generate window or "
                           "with kestrel-cli settings --transactor-class.");
    if (module.transactorHeader.empty())
        problems.push_back("The transactor header file is not named; set it in the Generate "
                           "window or with kestrel-cli settings --header.");
    module.className = module.transactorClass + "_tlm2";
    module.fileName = Tlm2HeaderName(module.transactorHeader);
    for (const RtlSignal& signal : tables.signals.Used())
        if (signal.isClock) {
            module.clockName = signal.signalName.Text();
            break;
        }
    if (module.clockName.empty())
        problems.push_back("The project has no clock port; the socket's module runs the "
                           "transactor's functions on its clock (mark one RTL port as the clock).");
    module.clockOnPositiveEdge = tables.options.clockPositiveEdge;
    for (const RtlSignal& signal : tables.signals.Used())
        if (IsTlm2ModuleMember(Trim(signal.signalName.Text())))
            problems.push_back("The RTL port " + Trim(signal.signalName.Text()) +
                               " has the name of a member of the socket's module " +
                               module.className +
                               "; rename the port to put the socket in "
                               "front of the transactor.");
}

} // namespace

std::vector<std::string> ResolveTlm2Module(const std::string& projectName,
                                           const ProjectTables& tables, const Tlm2Mapping& mapping,
                                           Tlm2Module& module) {
    std::vector<std::string> problems;
    for (const Tlm2Problem& problem : CheckTlm2Mapping(tables.functions, mapping))
        problems.push_back("The socket mapping (" + std::string(kTlm2MappingFile) +
                           ") no longer "
                           "fits: " +
                           problem.text + "; change it with kestrel-cli tlm2 " + problem.flag +
                           ".");
    module = Tlm2Module{};
    module.projectName = projectName;
    ResolveTransactor(tables, module, problems);
    for (const std::string& function : {mapping.writeFunction, mapping.readFunction})
        if (IsTlm2ModuleMember(function))
            problems.push_back("The TLM function " + function +
                               " has the name of a member of the socket's module " +
                               module.className + "; rename the function.");
    if (!problems.empty()) return problems;
    module.write = CallOf(tables.functions, mapping.writeFunction, mapping.write, mapping);
    module.read = CallOf(tables.functions, mapping.readFunction, mapping.read, mapping);
    module.dataBits = DataBits(tables.functions, mapping);
    module.addressBits = Tlm2AddressBits(tables.functions, mapping);
    module.hasStrobe = !mapping.write.strobe.empty();
    module.base = mapping.base;
    module.size = Tlm2EffectiveSize(mapping, module.addressBits);
    return problems;
}

std::string Tlm2ModulePath(const std::string& projectFolder, const GenerationSettings& settings) {
    const std::string header = Trim(settings.transactorHeaderPath);
    if (AfterLastSeparator(header).empty()) return {};
    const std::string path = OutputFileInProject(projectFolder, header);
    return JoinPath(BeforeLastSeparator(path), {Tlm2HeaderName(AfterLastSeparator(path))});
}

Tlm2WriteResult WriteTlm2Module(const std::string& projectName, const std::string& projectFolder,
                                const ProjectTables& tables, const Tlm2Mapping& mapping,
                                const std::string& writer) {
    Tlm2Module module;
    std::vector<std::string> problems = ResolveTlm2Module(projectName, tables, mapping, module);
    if (!problems.empty()) return {Status::Ok(), std::move(problems), {}, false};
    module.writer = writer;
    return WriteTlm2Module(Tlm2ModulePath(projectFolder, tables.settings), module);
}

Tlm2KeepResult KeepTlm2Mapping(const std::string& projectName, const std::string& projectFolder,
                               const ProjectTables& tables, const Tlm2Mapping& mapping,
                               const std::string& writer) {
    Tlm2KeepResult result;
    Tlm2Module module;
    result.problems = ResolveTlm2Module(projectName, tables, mapping, module);
    if (!result.problems.empty()) return result;
    if (result.status = SaveTlm2Mapping(projectFolder, mapping); !result.status) return result;
    result.mappingSaved = true;
    module.writer = writer;
    static_cast<Tlm2WriteResult&>(result) =
        WriteTlm2Module(Tlm2ModulePath(projectFolder, tables.settings), module);
    return result;
}

Tlm2WriteResult WriteTlm2Module(const std::string& path, const Tlm2Module& module) {
    Tlm2WriteResult result;
    const std::string text = Tlm2ModuleText(module);
    auto body = [](const std::string& file) { return file.substr(file.find('\n') + 1); };
    std::string old;
    if (FileExists(path) && ReadFileBytes(path, old).ok() && body(old) == body(text)) {
        result.written = path;
        return result;
    }
    result.status = WriteFileAtomic(path, text);
    result.changed = result.status.ok();
    if (result.status) result.written = path;
    return result;
}

} // namespace kestrel
