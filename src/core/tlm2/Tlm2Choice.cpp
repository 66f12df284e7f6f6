// The choice of a socket mapping: what the user names is taken as named, the rest is kept
// from the project's mapping or proposed from the declarations. The write is a function with
// an address and a data parameter passed by value, the read one whose data comes back by
// reference (a name holding write/wr or read/rd settles a tie); the roles are found by their
// parameters' names, types and passing. Two candidates for one choice are refused, naming
// both and the flag that chooses; then the whole mapping is checked by the rules.
#include "tlm2/Tlm2Mapping.h"

#include "platform/Text.h"
#include "tlm2/Tlm2Rules.h"

#include <algorithm>
#include <array>

namespace kestrel {

namespace {

enum Role { kAddress, kData, kStrobe, kResponse };
constexpr std::array<const char*, 4> kRoleNames = {"address", "data", "strobe", "response"};

bool OneOf(const std::string& text, std::initializer_list<std::string_view> names) {
    return std::find(names.begin(), names.end(), text) != names.end();
}

// Whether a parameter can carry a role of the write (or the read), by name, type and passing.
bool Fits(const Tlm2Parameter& p, Role role, bool write) {
    const std::string name = AsciiLower(p.name);
    if (p.isArray) return false;
    switch (role) {
    case kAddress:
        return !p.byReference && p.Integer() &&
               (name.ends_with("addr") || name.ends_with("address"));
    case kData:
        return p.Integer() && (write ? !p.byReference : p.Output()) && name.ends_with("data");
    case kStrobe:
        return write && !p.byReference && p.bits > 0 &&
               (OneOf(name, {"be", "byte_enable", "strobe"}) || name.ends_with("strb"));
    case kResponse:
        return p.Output() && p.Integer() &&
               OneOf(name, {"resp", "bresp", "rresp", "err", "error", "response"});
    }
    return false;
}

std::vector<std::string> Candidates(const std::vector<Tlm2Parameter>& parameters, Role role,
                                    bool write) {
    std::vector<std::string> names;
    for (const Tlm2Parameter& p : parameters)
        if (Fits(p, role, write)) names.push_back(p.name);
    return names;
}

// "a", "both a and b", "a, b and c"
std::string Listed(const std::vector<std::string>& names) {
    std::string text = names.size() == 2 ? "both " : "";
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += i + 1 == names.size() ? " and " : ", ";
        text += names[i];
    }
    return text;
}

// The request's NAME or WRITE,READ for one side; none when the flag is not given.
std::optional<std::string> ForSide(const std::optional<std::string>& flag, bool write) {
    if (!flag) return std::nullopt;
    const std::size_t comma = flag->find(',');
    if (comma == std::string::npos) return Trim(*flag);
    return Trim(write ? flag->substr(0, comma) : flag->substr(comma + 1));
}

struct Proposal {
    const TlmFunctionTable& functions;
    const Tlm2Request& request;
    const Tlm2Mapping* kept;
    Tlm2Mapping mapping;
    std::vector<std::string> problems;
    std::vector<std::string> notes;
    // Per role, what was proposed for the write and the read ("" none; unset not proposed).
    std::array<std::array<std::optional<std::string>, 2>, 4> proposed;

    void Refuse(const std::string& flag, const std::string& text) {
        problems.push_back(flag + ": " + text + ".");
    }
};

bool CanBe(const TlmFunction& f, bool write) {
    const std::vector<Tlm2Parameter> parameters = Tlm2Parameters(f);
    return !Candidates(parameters, kAddress, write).empty() &&
           !Candidates(parameters, kData, write).empty();
}

bool Hinted(const std::string& function, bool write) {
    const std::string name = AsciiLower(function);
    return write ? name.find("write") != std::string::npos || name.find("wr") != std::string::npos
                 : name.find("read") != std::string::npos || name.find("rd") != std::string::npos;
}

// The function of one side: given, kept, or the one function that can be it.
std::string ChooseFunction(Proposal& p, bool write, const std::string& other) {
    const std::optional<std::string>& given = write ? p.request.write : p.request.read;
    const char* flag = write ? "--write" : "--read";
    if (given) return Trim(*given);
    if (p.kept) return write ? p.kept->writeFunction : p.kept->readFunction;
    std::vector<std::string> all, hinted;
    for (const TlmFunction& f : p.functions.Used()) {
        const std::string name = f.functionName.Text();
        if (name == other || !CanBe(f, write)) continue;
        all.push_back(name);
        if (Hinted(name, write)) hinted.push_back(name);
    }
    const std::vector<std::string>& candidates = all.size() > 1 && !hinted.empty() ? hinted : all;
    if (candidates.size() == 1) {
        p.notes.push_back(std::string(write ? "write: " : "read: ") + candidates[0] +
                          (write ? " (data by value)" : " (data by reference)"));
        return candidates[0];
    }
    if (candidates.empty())
        p.Refuse(flag, std::string("no function can be the bus ") + (write ? "write" : "read") +
                           ": it needs an address parameter passed by value (addr, address or a "
                           "name ending in addr) and a data parameter passed " +
                           (write ? "by value" : "by reference") +
                           " (data or a name ending in data); choose one with " + flag);
    else
        p.Refuse(flag, Listed(candidates) + " could be the " + (write ? "write" : "read") +
                           "; choose one with " + flag);
    return {};
}

const std::optional<std::string>& RoleFlag(const Tlm2Request& request, Role role) {
    switch (role) {
    case kAddress: return request.address;
    case kData: return request.data;
    case kStrobe: return request.strobe;
    case kResponse: break;
    }
    return request.response;
}

std::string& RoleOf(Tlm2Roles& roles, Role role) {
    switch (role) {
    case kAddress: return roles.address;
    case kData: return roles.data;
    case kStrobe: return roles.strobe;
    case kResponse: break;
    }
    return roles.response;
}

// One role of one side, proposed: the one parameter that fits it.
void ProposeRole(Proposal& p, bool write, const std::vector<Tlm2Parameter>& parameters, Role role,
                 const std::string& function, std::string& chosen) {
    const std::vector<std::string> candidates = Candidates(parameters, role, write);
    const std::string flag = std::string("--") + kRoleNames[role];
    if (candidates.size() > 1) {
        p.Refuse(flag, Listed(candidates) + " of " + function + " could carry the " +
                           kRoleNames[role] + "; choose one with " + flag);
        return;
    }
    if (candidates.empty() && (role == kAddress || role == kData)) {
        p.Refuse(flag, "no parameter of " + function + " can carry the " + kRoleNames[role] +
                           "; choose one with " + flag);
        return;
    }
    chosen = candidates.empty() ? "" : candidates[0];
    p.proposed[role][write ? 0 : 1] = chosen;
}

void ChooseRoles(Proposal& p, bool write) {
    const std::string& function = write ? p.mapping.writeFunction : p.mapping.readFunction;
    Tlm2Roles& roles = write ? p.mapping.write : p.mapping.read;
    const TlmFunction* declared = FindTlm2Function(p.functions, function);
    const bool keep = p.kept && function == (write ? p.kept->writeFunction : p.kept->readFunction);
    if (keep) roles = write ? p.kept->write : p.kept->read;
    for (Role role : {kAddress, kData, kStrobe, kResponse}) {
        if (role == kStrobe && !write) continue;
        const std::optional<std::string>& flag = RoleFlag(p.request, role);
        if (role == kStrobe && flag && flag->find(',') != std::string::npos) {
            p.Refuse("--strobe", "only the write has a strobe; give one name");
            continue;
        }
        if (flag)
            RoleOf(roles, role) = *ForSide(flag, write);
        else if (!keep && declared)
            ProposeRole(p, write, Tlm2Parameters(*declared), role, function, RoleOf(roles, role));
    }
}

void NoteRoles(Proposal& p) {
    for (Role role : {kAddress, kData, kStrobe, kResponse}) {
        const auto& [write, read] = p.proposed[role];
        if (!write && !read) continue;
        auto shown = [](const std::string& name) { return name.empty() ? "none" : name; };
        std::string line = std::string(kRoleNames[role]) + ": ";
        if ((write && read && *write == *read) || role == kStrobe)
            line += shown(*write);
        else if (write && read)
            line += shown(*write) + " (" + p.mapping.writeFunction + "), " + shown(*read) + " (" +
                    p.mapping.readFunction + ")";
        else
            line += write ? shown(*write) + " (" + p.mapping.writeFunction + ")"
                          : shown(*read) + " (" + p.mapping.readFunction + ")";
        p.notes.push_back(line);
    }
}

// The fixed values in the order of the parameters that need one: given, else kept. Kept ones
// no parameter needs any more are dropped; given ones are left for the rules to refuse.
void ChooseFixed(Proposal& p) {
    std::vector<std::pair<std::string, std::string>> given;
    for (const std::string& entry : p.request.fixed) {
        const std::size_t equals = entry.find('=');
        const std::string name = Trim(entry.substr(0, equals));
        if (equals == std::string::npos || name.empty() || Trim(entry.substr(equals + 1)).empty())
            p.Refuse("--fixed", entry + ": give a parameter and its value as NAME=VALUE");
        else
            given.emplace_back(name, Trim(entry.substr(equals + 1)));
    }
    auto value = [](const auto& entries, const std::string& name) -> const std::string* {
        const std::string* found = nullptr;
        for (const auto& [entry, entryValue] : entries)
            if (entry == name) found = &entryValue;
        return found;
    };
    const std::vector<std::string> needed = Tlm2FixedNames(p.functions, p.mapping);
    for (const std::string& name : needed) {
        const std::string* chosen = value(given, name);
        if (!chosen && p.kept) chosen = value(p.kept->fixed, name);
        if (chosen) p.mapping.fixed.emplace_back(name, *chosen);
    }
    for (const auto& [name, entryValue] : given)
        if (std::find(needed.begin(), needed.end(), name) == needed.end())
            p.mapping.fixed.emplace_back(name, entryValue);
    if (p.kept)
        for (const auto& [name, entryValue] : p.kept->fixed)
            if (std::find(needed.begin(), needed.end(), name) == needed.end() &&
                !value(given, name))
                p.notes.push_back("fixed: " + name + "=" + entryValue +
                                  " dropped (no parameter needs it now)");
}

void ChooseRange(Proposal& p) {
    if (p.kept) {
        p.mapping.base = p.kept->base;
        p.mapping.size = p.kept->size;
    }
    if (p.request.base) {
        std::optional<std::uint64_t> base = ParseTlm2Number(*p.request.base);
        if (!base)
            p.Refuse("--base",
                     *p.request.base + " is not a number; give it in decimal or as 0x hex");
        else
            p.mapping.base = *base;
    }
    if (p.request.size) {
        std::optional<std::uint64_t> size = ParseTlm2Number(*p.request.size);
        if (!size)
            p.Refuse("--size",
                     *p.request.size + " is not a number; give it in decimal or as 0x hex");
        else if (*size == 0)
            p.Refuse("--size", "the target must have at least 1 byte");
        else
            p.mapping.size = *size;
    }
}

void NoteRange(Proposal& p) {
    if (p.kept) return;
    const int bits = Tlm2AddressBits(p.functions, p.mapping);
    if (!p.request.base) p.notes.push_back("base: " + Tlm2Hex(p.mapping.base));
    if (!p.request.size)
        p.notes.push_back("size: " + Tlm2Hex(Tlm2EffectiveSize(p.mapping, bits)) + " (the " +
                          std::to_string(bits) + "-bit address range)");
}

// The outputs of the two functions that carry no role.
void NoteDropped(Proposal& p) {
    std::vector<std::string> dropped;
    for (bool write : {true, false}) {
        const std::string& function = write ? p.mapping.writeFunction : p.mapping.readFunction;
        const Tlm2Roles& roles = write ? p.mapping.write : p.mapping.read;
        const TlmFunction* declared = FindTlm2Function(p.functions, function);
        if (!declared) continue;
        for (const Tlm2Parameter& parameter : Tlm2Parameters(*declared))
            if (parameter.Output() && !parameter.isArray && parameter.name != roles.data &&
                parameter.name != roles.response)
                dropped.push_back(parameter.name + " of " + function);
    }
    if (dropped.empty()) return;
    std::string line = "dropped: ";
    for (std::size_t i = 0; i < dropped.size(); ++i) line += (i ? ", " : "") + dropped[i];
    p.notes.push_back(line + " (outputs the socket does not read)");
}

} // namespace

Tlm2Choice ChooseTlm2Mapping(const TlmFunctionTable& functions, const Tlm2Request& request,
                             const Tlm2Mapping* kept) {
    Proposal p{functions, request, kept, {}, {}, {}, {}};
    const std::string givenRead = request.read ? Trim(*request.read) : "";
    p.mapping.writeFunction = ChooseFunction(p, true, givenRead);
    p.mapping.readFunction = ChooseFunction(p, false, p.mapping.writeFunction);
    if (!p.mapping.writeFunction.empty() && p.mapping.writeFunction == p.mapping.readFunction)
        p.Refuse("--read", "the write and the read are both " + p.mapping.writeFunction +
                               "; they must be two functions");
    if (!p.problems.empty()) return {std::nullopt, p.problems, p.notes};
    for (bool write : {true, false}) ChooseRoles(p, write);
    NoteRoles(p);
    if (p.problems.empty()) ChooseFixed(p);
    ChooseRange(p);
    if (!p.problems.empty()) return {std::nullopt, p.problems, p.notes};
    for (const Tlm2Problem& problem : CheckTlm2Mapping(functions, p.mapping))
        p.problems.push_back(problem.flag + ": " + problem.text + ".");
    if (!p.problems.empty()) return {std::nullopt, p.problems, p.notes};
    NoteRange(p);
    NoteDropped(p);
    return {p.mapping, {}, p.notes};
}

} // namespace kestrel
