// The `show` command's two forms. JSON texts are UTF-8; the project files are Windows-1252.
#include "ShowCommand.h"

#include "CliSupport.h"
#include "model/ProjectOptions.h"
#include "platform/Text.h"
#include "project/Declarations.h"
#include "tlm2/Tlm2Rules.h"

#include <algorithm>
#include <ostream>

namespace kestrel::cli {

namespace {

using Json = nlohmann::ordered_json;

std::string MethodName(int method) {
    switch (method) {
    case kMethodFsm: return "fsm";
    case kMethodAsml: return "asml";
    case kMethodTemplate: return "template";
    default: return "unknown";
    }
}

Json FunctionToJson(const TlmFunction& f) {
    Json params = Json::array();
    for (const TlmParameter& p : f.UsedParameters()) {
        params.push_back(Json{{"type", Show(p.typeText.Text())},
                              {"typeIndex", p.typeIndex},
                              {"byReference", p.passMarker.Text() == "&"},
                              {"name", Show(p.parameterName.Text())},
                              {"const", static_cast<bool>(p.isConst)},
                              {"array", static_cast<bool>(p.isArray)}});
    }
    return Json{{"name", Show(f.functionName.Text())},
                {"returnType", Show(f.returnTypeText.Text())},
                {"returnTypeIndex", f.returnTypeIndex},
                {"signature", Show(FunctionSignatureText(f))},
                {"parameters", params},
                {"asfFile", Show(f.asfFileName.Text())},
                {"fsmAssigned", static_cast<bool>(f.fsmAssigned)},
                {"library", static_cast<bool>(f.isLibrary)}};
}

Json SignalToJson(const RtlSignal& s) {
    return Json{
        {"name", Show(s.signalName.Text())},        {"direction", Show(s.directionText.Text())},
        {"directionIndex", s.directionIndex},       {"dataType", Show(s.dataTypeText.Text())},
        {"dataTypeIndex", s.dataTypeIndex},         {"width", s.width},
        {"init", Show(s.initValue.Text())},         {"clock", static_cast<bool>(s.isClock)},
        {"library", static_cast<bool>(s.isLibrary)}};
}

// The size a mapping gives, or the range of its address type.
std::string SizeText(const ProjectSnapshot& snap) {
    const int bits = Tlm2AddressBits(snap.tables.functions, *snap.tlm2);
    return Tlm2Hex(Tlm2EffectiveSize(*snap.tlm2, bits)) +
           (snap.tlm2->size == 0 ? " (the " + std::to_string(bits) + "-bit address range)" : "");
}

Json RolesToJson(const std::string& function, const Tlm2Roles& roles, bool write) {
    Json side{
        {"function", Show(function)}, {"address", Show(roles.address)}, {"data", Show(roles.data)}};
    if (write) side["strobe"] = Show(roles.strobe);
    side["response"] = Show(roles.response);
    return side;
}

Json RtlToJson(const ProjectSnapshot& snap) {
    Json files = Json::array();
    for (const std::string& file : snap.rtl->files)
        files.push_back(Show(RtlStoredName(snap.record.projectFolder, file)));
    return Json{{"files", files}, {"top", Show(snap.rtl->top)}};
}

Json Tlm2ToJson(const ProjectSnapshot& snap) {
    const Tlm2Mapping& m = *snap.tlm2;
    Json fixed = Json::object();
    for (const auto& [name, value] : m.fixed) fixed[Show(name)] = Show(value);
    const int bits = Tlm2AddressBits(snap.tables.functions, m);
    return Json{{"write", RolesToJson(m.writeFunction, m.write, true)},
                {"read", RolesToJson(m.readFunction, m.read, false)},
                {"fixed", fixed},
                {"base", Tlm2Hex(m.base)},
                {"size", Tlm2Hex(Tlm2EffectiveSize(m, bits))},
                {"sizeGiven", m.size != 0},
                {"module", Show(Tlm2ModulePath(snap.record.projectFolder, snap.tables.settings))}};
}

} // namespace

Json SnapshotToJson(const ProjectSnapshot& snap) {
    const ProjectRecord& r = snap.record;
    const ProjectOptions& o = snap.tables.options;
    const GenerationSettings& g = snap.tables.settings;
    Json functions = Json::array();
    for (const TlmFunction& f : snap.tables.functions.Used())
        functions.push_back(FunctionToJson(f));
    Json signals = Json::array();
    for (const RtlSignal& s : snap.tables.signals.Used()) signals.push_back(SignalToJson(s));
    Json json{{"project",
               {{"name", Show(r.projectName)},
                {"folder", Show(r.projectFolder)},
                {"tlmDeclared", static_cast<bool>(r.tlmDeclared)},
                {"rtlDeclared", static_cast<bool>(r.rtlDeclared)},
                {"stage", r.projectStage}}},
              {"options",
               {{"method", MethodName(o.generationMethod)},
                {"methodIndex", o.generationMethod},
                {"clockPositiveEdge", static_cast<bool>(o.clockPositiveEdge)},
                {"useSetupTime", static_cast<bool>(o.useSetupTime)},
                {"setupTime", o.setupTime},
                {"setupUnit", Show(o.setupUnit)},
                {"setupUnitIndex", o.setupUnitIndex},
                {"clockPeriod", o.clockPeriod},
                {"periodUnit", Show(o.periodUnit)},
                {"periodUnitIndex", o.periodUnitIndex},
                {"setupWait", o.setupWait},
                {"setupWaitUnit", Show(o.setupWaitUnit)},
                {"makeLibrary", static_cast<bool>(o.makeLibrary)},
                {"libraryFile", Show(o.libraryFile)},
                {"libraryFolder", Show(o.libraryFolder)},
                {"title", Show(o.title)},
                {"author", Show(o.author)},
                {"company", Show(o.company)},
                {"comment", Cp1252ToUtf8(o.comment)},
                {"useCommentInHeaders", static_cast<bool>(o.useCommentInHeaders)}}},
              {"settings",
               {{"interfaceClassName", Show(g.interfaceClassName)},
                {"transactorClassName", Show(g.transactorClassName)},
                {"transactorCppPath", Show(g.transactorCppPath)},
                {"transactorHeaderPath", Show(g.transactorHeaderPath)},
                {"interfaceHeaderPath", Show(g.interfaceHeaderPath)}}},
              {"asml",
               {{"documentPath", Show(snap.tables.asml.asmlDocumentPath)},
                {"documentLabel", Show(snap.tables.asml.asmlDocumentLabel)},
                {"assigned", static_cast<bool>(snap.tables.asml.asmlAssigned)}}},
              {"asf", {{"templatePath", Show(snap.tables.asf.asfTemplatePath)}}},
              {"functions", functions},
              {"signals", signals}};
    if (snap.tlm2) json["tlm2"] = Tlm2ToJson(snap);
    if (snap.rtl) json["rtl"] = RtlToJson(snap);
    return json;
}

namespace {

void PrintProject(std::ostream& out, const ProjectRecord& r) {
    out << "Project:    " << Show(r.projectName) << "\n"
        << "Folder:     " << Show(r.projectFolder) << "\n"
        << "Stage:      " << r.projectStage
        << " (functions declared: " << (r.tlmDeclared ? "yes" : "no")
        << ", signals declared: " << (r.rtlDeclared ? "yes" : "no") << ")\n\n";
}

// One line per CR LF-separated part; the line end that saved settings always give a
// comment ends its last line and opens no line of its own.
void PrintComment(std::ostream& out, std::string comment) {
    if (comment.size() >= 2 && comment.compare(comment.size() - 2, 2, "\r\n") == 0)
        comment.resize(comment.size() - 2);
    if (comment.empty()) return;
    std::size_t start = 0;
    while (true) {
        std::size_t end = comment.find("\r\n", start);
        out << "    | " << Show(comment.substr(start, end - start)) << "\n";
        if (end == std::string::npos) break;
        start = end + 2;
    }
}

void PrintCodeSettings(std::ostream& out, const ProjectOptions& o) {
    out << "Code settings\n"
        << "  Method:          " << MethodName(o.generationMethod) << " (" << o.generationMethod
        << ")\n"
        << "  Clock edge:      " << (o.clockPositiveEdge ? "positive" : "negative") << "\n"
        << "  Clock period:    " << o.clockPeriod << " " << Show(o.periodUnit) << "\n"
        << "  Setup time:      ";
    if (o.useSetupTime)
        out << o.setupTime << " " << Show(o.setupUnit) << "\n";
    else
        out << "not used\n";
    // The wait is worked out when code settings are saved; a new project has none yet.
    out << "  Setup wait:      " << o.setupWait
        << (o.setupWaitUnit.empty() ? std::string(" (worked out when code settings are saved)")
                                    : " " + Show(o.setupWaitUnit))
        << "\n"
        << "  Make library:    " << (o.makeLibrary ? "yes" : "no") << "\n"
        << "  Library file:    " << Show(o.libraryFile) << "\n"
        << "  Library folder:  " << Show(o.libraryFolder) << "\n"
        << "  Title:           " << Show(o.title) << "\n"
        << "  Author:          " << Show(o.author) << "\n"
        << "  Company:         " << Show(o.company) << "\n"
        << "  Comment in headers: " << (o.useCommentInHeaders ? "yes" : "no") << "\n"
        << "  Comment:\n";
    PrintComment(out, o.comment);
}

void PrintFilesAndBehaviour(std::ostream& out, const ProjectTables& tables) {
    const GenerationSettings& g = tables.settings;
    out << "\nGenerated files\n"
        << "  Interface class:   " << Show(g.interfaceClassName) << "\n"
        << "  Transactor class:  " << Show(g.transactorClassName) << "\n"
        << "  Transactor C++:    " << Show(g.transactorCppPath) << "\n"
        << "  Transactor header: " << Show(g.transactorHeaderPath) << "\n"
        << "  Interface header:  " << Show(g.interfaceHeaderPath) << "\n\n";

    out << "Behaviour\n"
        << "  AsmL document:   " << Show(tables.asml.asmlDocumentLabel)
        << (tables.asml.asmlAssigned ? " (assigned)" : "") << "\n"
        << "  AsmL template:   " << Show(tables.asml.asmlDocumentPath) << "\n"
        << "  ASF template:    " << Show(tables.asf.asfTemplatePath) << "\n\n";
}

void PrintDeclarations(std::ostream& out, const ProjectTables& tables) {
    int functions = tables.functions.UsedCount();
    out << "TLM functions (" << functions << ")\n";
    for (int i = 1; i <= functions; ++i) {
        const TlmFunction& f = tables.functions[i];
        out << "  " << i << ". " << Show(f.returnTypeText.Text()) << " "
            << Show(f.functionName.Text()) << " " << Show(FunctionSignatureText(f));
        if (f.fsmAssigned) out << "  [FSM: " << Show(f.asfFileName.Text()) << "]";
        if (f.isLibrary) out << "  [library]";
        out << "\n";
    }
    int signals = tables.signals.UsedCount();
    out << "\nRTL ports (" << signals << ")\n";
    for (int i = 1; i <= signals; ++i) {
        const RtlSignal& s = tables.signals[i];
        out << "  " << i << ". " << Show(s.directionText.Text()) << " "
            << Show(s.dataTypeText.Text());
        if (s.DataType() == SignalDataType::LogicVector) out << "<" << s.width << ">";
        out << " " << Show(s.signalName.Text()) << " = " << Show(s.initValue.Text());
        if (s.isClock) out << "  [clock]";
        if (s.isLibrary) out << "  [library]";
        out << "\n";
    }
}

void PrintTlm2Side(std::ostream& out, const char* label, const std::string& function,
                   const Tlm2Roles& roles, bool write) {
    auto shown = [](const std::string& name) {
        return name.empty() ? std::string("none") : Show(name);
    };
    out << label << Show(function) << " (address: " << shown(roles.address)
        << ", data: " << shown(roles.data);
    if (write) out << ", strobe: " << shown(roles.strobe);
    out << ", response: " << shown(roles.response) << ")\n";
}

// The project's Verilog as rtl.json keeps it: relative to the project folder when inside it.
void PrintRtl(std::ostream& out, const ProjectSnapshot& snap) {
    out << "\nRTL for Simulate\n  Files:  ";
    for (std::size_t i = 0; i < snap.rtl->files.size(); ++i)
        out << (i ? ", " : "")
            << Show(RtlStoredName(snap.record.projectFolder, snap.rtl->files[i]));
    out << "\n  Top:    " << (snap.rtl->top.empty() ? "the files' own" : Show(snap.rtl->top))
        << "\n";
}

void PrintTlm2(std::ostream& out, const ProjectSnapshot& snap) {
    const Tlm2Mapping& m = *snap.tlm2;
    out << "\nTLM-2.0 socket\n";
    PrintTlm2Side(out, "  Write:  ", m.writeFunction, m.write, true);
    PrintTlm2Side(out, "  Read:   ", m.readFunction, m.read, false);
    out << "  Fixed:  ";
    for (std::size_t i = 0; i < m.fixed.size(); ++i)
        out << (i ? ", " : "") << Show(m.fixed[i].first) << "=" << Show(m.fixed[i].second);
    out << (m.fixed.empty() ? "none\n" : "\n") << "  Base:   " << Tlm2Hex(m.base) << "\n"
        << "  Size:   " << SizeText(snap) << "\n"
        << "  Module: " << Show(Tlm2ModulePath(snap.record.projectFolder, snap.tables.settings))
        << "\n";
}

} // namespace

void PrintSnapshot(std::ostream& out, const ProjectSnapshot& snap) {
    PrintProject(out, snap.record);
    PrintCodeSettings(out, snap.tables.options);
    PrintFilesAndBehaviour(out, snap.tables);
    PrintDeclarations(out, snap.tables);
    if (snap.tlm2) PrintTlm2(out, snap);
    if (snap.rtl) PrintRtl(out, snap);
}

} // namespace kestrel::cli
