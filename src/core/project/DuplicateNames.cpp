// The declared names that clash in the generated C++: each list's names are grouped as
// C++ reads them (trimmed, case kept), and every name with more than one entry becomes a
// warning that names it and the rows that have it.
#include "project/DuplicateNames.h"

#include "platform/Text.h"

#include <algorithm>
#include <map>
#include <set>

namespace kestrel {

namespace {

// "rows 1 and 3", "rows 1, 3 (library) and 4".
std::string PositionsText(const char* what, const std::vector<int>& positions,
                          const std::vector<DeclaredName>* names) {
    std::string text = what;
    for (std::size_t i = 0; i < positions.size(); ++i) {
        if (i > 0) text += i + 1 == positions.size() ? " and " : ", ";
        text += std::to_string(positions[i]);
        const std::size_t at = static_cast<std::size_t>(positions[i] - 1);
        if (names && (*names)[at].isLibrary) text += " (library)";
    }
    return text;
}

// The names of a table's declared entries (from 1), with whether a library brought them.
template <class Table, class Field>
std::vector<DeclaredName> DeclaredNames(const Table& table, Field name) {
    std::vector<DeclaredName> names;
    for (const auto& entry : table.Used()) names.push_back({(entry.*name).Text(), entry.isLibrary});
    return names;
}

std::vector<DeclaredName> FunctionNames(const TlmFunctionTable& functions) {
    return DeclaredNames(functions, &TlmFunction::functionName);
}

std::vector<DeclaredName> PortNames(const RtlSignalTable& signals) {
    return DeclaredNames(signals, &RtlSignal::signalName);
}

} // namespace

std::vector<SharedName> FindSharedNames(const std::vector<DeclaredName>& names) {
    std::vector<SharedName> shared;
    std::map<std::string, std::size_t> seen; // name -> its entry in `shared`
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::string name = Trim(names[i].name);
        if (name.empty()) continue;
        auto [at, added] = seen.try_emplace(name, shared.size());
        if (added) shared.push_back({name, {}});
        shared[at->second].positions.push_back(static_cast<int>(i + 1));
    }
    std::erase_if(shared, [](const SharedName& s) { return s.positions.size() < 2; });
    return shared;
}

namespace {

// "2 functions are named Write (rows 1 and 3): ..." for each name of `names` (the rows of
// one list of members of the transactor class) used more than once.
std::vector<std::string> MemberNameWarnings(std::string_view kind,
                                            const std::vector<DeclaredName>& names) {
    std::vector<std::string> warnings;
    for (const SharedName& s : FindSharedNames(names))
        warnings.push_back(std::to_string(s.positions.size()) + " " + std::string(kind) +
                           " are named " + s.name + " (" +
                           PositionsText("rows ", s.positions, &names) +
                           "): the generated transactor declares " + s.name +
                           " more than once and does not compile; rename all but one");
    return warnings;
}

} // namespace

std::vector<std::string> FunctionNameWarnings(const std::vector<DeclaredName>& functions) {
    return MemberNameWarnings("functions", functions);
}

std::vector<std::string> ParameterNameWarnings(std::string_view function,
                                               const std::vector<std::string>& parameters) {
    std::vector<DeclaredName> names;
    for (const std::string& p : parameters) names.push_back({p, false});
    const std::string owner = Trim(function).empty() ? "this function" : Trim(function);
    std::vector<std::string> warnings;
    for (const SharedName& s : FindSharedNames(names))
        warnings.push_back(owner + " has " + std::to_string(s.positions.size()) +
                           " parameters named " + s.name + " (" +
                           PositionsText("parameters ", s.positions, nullptr) +
                           "): its generated declaration does not compile; rename all but one");
    return warnings;
}

std::vector<std::string> PortNameWarnings(const std::vector<DeclaredName>& ports) {
    return MemberNameWarnings("ports", ports);
}

std::vector<std::string> FunctionTableNameWarnings(const TlmFunctionTable& functions) {
    std::vector<std::string> warnings = FunctionNameWarnings(FunctionNames(functions));
    for (const TlmFunction& function : functions.Used()) {
        std::vector<std::string> parameters;
        for (const TlmParameter& p : function.UsedParameters())
            parameters.push_back(p.parameterName.Text());
        for (std::string& w : ParameterNameWarnings(function.functionName.Text(), parameters))
            warnings.push_back(std::move(w));
    }
    return warnings;
}

std::vector<std::string> PortTableNameWarnings(const RtlSignalTable& signals,
                                               const TlmFunctionTable& functions) {
    const std::vector<DeclaredName> ports = PortNames(signals);
    std::vector<std::string> warnings = PortNameWarnings(ports);
    // A port and a function of one name are two members of the transactor class.
    std::set<std::string> functionNames;
    for (const DeclaredName& f : FunctionNames(functions)) functionNames.insert(Trim(f.name));
    std::set<std::string> told;
    for (const DeclaredName& p : ports) {
        const std::string name = Trim(p.name);
        if (name.empty() || !functionNames.count(name) || !told.insert(name).second) continue;
        warnings.push_back("the port " + name + " has the name of the function " + name +
                           ": the generated transactor class declares both and does not "
                           "compile; rename one of them");
    }
    return warnings;
}

} // namespace kestrel
