// The rules of a socket mapping. Each role's parameter must be declared in its function,
// carry no other role and be passed and typed as the module passes it: the address by value
// as an integer, the write's data by value and the read's by reference (not const), both of
// one width of 8, 16 or 32 bits, the strobe by value with a bit per byte lane, the response
// by reference as an integer. Every other parameter the function reads needs a fixed value;
// the outputs nobody reads are dropped. No array anywhere. The address range fits the address
// type and the 32-bit address space.
#include "tlm2/Tlm2Rules.h"

#include "platform/Text.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace kestrel {

namespace {

int TypeBits(const std::string& type) {
    if (type == "bool") return 1;
    if (type == "char" || type == "unsigned char") return 8;
    if (type == "short" || type == "unsigned short") return 16;
    if (type == "int" || type == "unsigned int") return 32;
    return 0;
}

const Tlm2Parameter* FindParameter(const std::vector<Tlm2Parameter>& parameters,
                                   const std::string& name) {
    for (const Tlm2Parameter& p : parameters)
        if (p.name == name) return &p;
    return nullptr;
}

const char* const kIntegerTypes = "char, short, int or their unsigned forms";

struct Side {
    const char* what; // "write", "read"
    const std::string& function;
    const Tlm2Roles& roles;
    std::vector<Tlm2Parameter> parameters;
};

void Add(std::vector<Tlm2Problem>& problems, const char* flag, std::string text) {
    problems.push_back({flag, std::move(text)});
}

std::string Named(const char* role, const Tlm2Parameter& p, const std::string& function) {
    return std::string("the ") + role + " parameter " + p.name + " of " + function;
}

// The address, data, strobe or response parameter of one side: declared, no array, passed
// and typed as the module passes it.
void CheckRole(const Side& side, const char* role, const std::string& name, const char* flag,
               std::vector<Tlm2Problem>& problems) {
    if (name.empty()) {
        Add(problems, flag,
            std::string("no parameter of ") + side.function + " carries the " + role);
        return;
    }
    const Tlm2Parameter* p = FindParameter(side.parameters, name);
    if (!p) {
        Add(problems, flag,
            std::string("the ") + role + " parameter " + name + " is not a parameter of " +
                side.function);
        return;
    }
    const std::string named = Named(role, *p, side.function);
    if (p->isArray) {
        Add(problems, flag, named + " is an array; the socket passes single values only");
        return;
    }
    const std::string r = role;
    const bool wantsOutput = r == "response" || (r == "data" && std::string(side.what) == "read");
    if (wantsOutput && !p->Output())
        Add(problems, flag,
            named + " is passed " + (p->byReference ? "as a const reference" : "by value") +
                "; the " + (r == "data" ? "read's data" : r) +
                " must be passed by reference (not const), for the function to return it");
    if (!wantsOutput && p->byReference)
        Add(problems, flag,
            named + " is passed by reference; the " + (r == "data" ? "write's data" : r) +
                " must be passed by value");
    if (r != "strobe" && !p->Integer())
        Add(problems, flag,
            named + " is of type " + p->type + "; the " + r + " must be an integer (" +
                kIntegerTypes + ")");
}

void CheckSide(const Side& side, std::vector<Tlm2Problem>& problems) {
    const Tlm2Roles& roles = side.roles;
    CheckRole(side, "address", roles.address, "--address", problems);
    CheckRole(side, "data", roles.data, "--data", problems);
    if (!roles.strobe.empty()) CheckRole(side, "strobe", roles.strobe, "--strobe", problems);
    if (!roles.response.empty())
        CheckRole(side, "response", roles.response, "--response", problems);
    const std::pair<const char*, const std::string*> named[] = {{"address", &roles.address},
                                                                {"data", &roles.data},
                                                                {"strobe", &roles.strobe},
                                                                {"response", &roles.response}};
    for (std::size_t i = 0; i < 4; ++i)
        for (std::size_t j = i + 1; j < 4; ++j)
            if (!named[j].second->empty() && *named[i].second == *named[j].second)
                Add(problems, (std::string("--") + named[j].first).c_str(),
                    "the parameter " + *named[j].second + " of " + side.function +
                        " cannot carry both the " + named[i].first + " and the " + named[j].first);
}

bool CarriesRole(const Tlm2Roles& roles, const std::string& name) {
    return name == roles.address || name == roles.data || name == roles.strobe ||
           name == roles.response;
}

const std::string* FixedValue(const Tlm2Mapping& mapping, const std::string& name) {
    for (const auto& [parameter, value] : mapping.fixed)
        if (parameter == name) return &value;
    return nullptr;
}

// The parameters that carry no role: arrays refused, inputs given their fixed value.
void CheckOthers(const Side& side, const Tlm2Mapping& mapping, std::vector<Tlm2Problem>& problems) {
    for (const Tlm2Parameter& p : side.parameters) {
        if (CarriesRole(side.roles, p.name)) continue;
        if (p.isArray) {
            Add(problems, side.what[0] == 'w' ? "--write" : "--read",
                "the parameter " + p.name + " of " + side.function +
                    " is an array; the socket passes single values only");
            continue;
        }
        if (p.Output()) continue;
        const std::string* value = FixedValue(mapping, p.name);
        if (!value)
            Add(problems, "--fixed",
                "the parameter " + p.name + " of " + side.function + " is passed " +
                    (p.byReference ? "as a const reference" : "by value") +
                    " and the socket has no value for it; give it one with --fixed " + p.name +
                    "=VALUE");
        else if (!Tlm2FixedExpression(p, *value))
            Add(problems, "--fixed",
                "the value " + *value + " of " + p.name + " does not fit its type " + p.type +
                    (p.bits == 1 ? " (true, false, 0 or 1)"
                                 : " (a whole number in decimal or 0x hex within its range)"));
    }
}

// Fixed values that name no parameter left to the caller.
void CheckFixedNames(const std::vector<Side>& sides, const std::vector<std::string>& needed,
                     const Tlm2Mapping& mapping, std::vector<Tlm2Problem>& problems) {
    for (const auto& [name, value] : mapping.fixed)
        if (std::find(needed.begin(), needed.end(), name) == needed.end())
            Add(problems, "--fixed",
                name + "=" + value + " names no parameter of " + sides[0].function + " or " +
                    sides[1].function + " that needs a fixed value");
}

void CheckWidths(const std::vector<Side>& sides, std::vector<Tlm2Problem>& problems) {
    const Tlm2Parameter* data[2] = {FindParameter(sides[0].parameters, sides[0].roles.data),
                                    FindParameter(sides[1].parameters, sides[1].roles.data)};
    if (data[0] && data[1] && data[0]->Integer() && data[1]->Integer() &&
        data[0]->bits != data[1]->bits)
        Add(problems, "--data",
            "the data of " + sides[0].function + " (" + data[0]->name + ", " + data[0]->type +
                ") and of " + sides[1].function + " (" + data[1]->name + ", " + data[1]->type +
                ") differ in width; they must be the same");
    const Tlm2Parameter* strobe = FindParameter(sides[0].parameters, sides[0].roles.strobe);
    if (data[0] && data[0]->Integer() && strobe && !strobe->byReference &&
        strobe->bits < data[0]->bits / 8)
        Add(problems, "--strobe",
            Named("strobe", *strobe, sides[0].function) + " (" + strobe->type +
                ") has fewer bits than the " + std::to_string(data[0]->bits / 8) +
                " byte lanes of its data");
    else if (strobe && !strobe->byReference && strobe->bits == 0)
        Add(problems, "--strobe",
            Named("strobe", *strobe, sides[0].function) + " is of type " + strobe->type +
                "; the strobe must be an integer or bool");
}

void CheckRange(const TlmFunctionTable& functions, const Tlm2Mapping& mapping,
                std::vector<Tlm2Problem>& problems) {
    const int bits = Tlm2AddressBits(functions, mapping);
    const std::uint64_t reach = std::uint64_t{1} << bits;
    const std::uint64_t size = Tlm2EffectiveSize(mapping, bits);
    if (mapping.size > reach)
        Add(problems, "--size",
            "the size " + Tlm2Hex(mapping.size) + " is more than the address parameters reach (" +
                Tlm2Hex(reach) + " bytes with " + std::to_string(bits) + " bits)");
    else if (mapping.base + size > (std::uint64_t{1} << 32) || mapping.base + size < size)
        Add(problems, "--base",
            "the target from " + Tlm2Hex(mapping.base) + " for " + Tlm2Hex(size) +
                " bytes ends beyond the 32-bit address space (0x100000000)");
}

} // namespace

std::vector<Tlm2Parameter> Tlm2Parameters(const TlmFunction& function) {
    std::vector<Tlm2Parameter> parameters;
    for (const TlmParameter& p : function.UsedParameters()) {
        Tlm2Parameter view;
        view.name = p.parameterName.Text();
        view.type = p.typeText.Text();
        view.byReference = p.passMarker.Text() == "&";
        view.isConst = p.isConst;
        view.isArray = p.isArray;
        view.bits = TypeBits(view.type);
        parameters.push_back(std::move(view));
    }
    return parameters;
}

const TlmFunction* FindTlm2Function(const TlmFunctionTable& functions, std::string_view name) {
    for (const TlmFunction& f : functions.Used())
        if (!name.empty() && f.functionName.Text() == name) return &f;
    return nullptr;
}

std::vector<Tlm2Problem> CheckTlm2Mapping(const TlmFunctionTable& functions,
                                          const Tlm2Mapping& mapping) {
    std::vector<Tlm2Problem> problems;
    const TlmFunction* write = FindTlm2Function(functions, mapping.writeFunction);
    const TlmFunction* read = FindTlm2Function(functions, mapping.readFunction);
    if (!write)
        Add(problems, "--write",
            "the write function " + mapping.writeFunction + " is not declared");
    if (!read)
        Add(problems, "--read", "the read function " + mapping.readFunction + " is not declared");
    if (!write || !read) return problems;
    if (write == read)
        Add(problems, "--read",
            "the write and the read are both " + mapping.writeFunction +
                "; they must be two functions");
    std::vector<Side> sides;
    sides.push_back({"write", mapping.writeFunction, mapping.write, Tlm2Parameters(*write)});
    sides.push_back({"read", mapping.readFunction, mapping.read, Tlm2Parameters(*read)});
    if (!mapping.read.strobe.empty())
        Add(problems, "--strobe", "the read has no strobe; only the write's strobe is mapped");
    for (const Side& side : sides) CheckSide(side, problems);
    CheckWidths(sides, problems);
    CheckRange(functions, mapping, problems);
    // A parameter whose role is refused would only be named again as one without a value.
    if (!problems.empty()) return problems;
    for (const Side& side : sides) CheckOthers(side, mapping, problems);
    CheckFixedNames(sides, Tlm2FixedNames(functions, mapping), mapping, problems);
    return problems;
}

std::vector<std::string> Tlm2FixedNames(const TlmFunctionTable& functions,
                                        const Tlm2Mapping& mapping) {
    std::vector<std::string> names;
    const std::pair<const std::string*, const Tlm2Roles*> sides[] = {
        {&mapping.writeFunction, &mapping.write}, {&mapping.readFunction, &mapping.read}};
    for (const auto& [function, roles] : sides) {
        const TlmFunction* f = FindTlm2Function(functions, *function);
        if (!f) continue;
        for (const Tlm2Parameter& p : Tlm2Parameters(*f))
            if (!p.Output() && !p.isArray && !CarriesRole(*roles, p.name) &&
                std::find(names.begin(), names.end(), p.name) == names.end())
                names.push_back(p.name);
    }
    return names;
}

int Tlm2AddressBits(const TlmFunctionTable& functions, const Tlm2Mapping& mapping) {
    int bits = 0;
    const std::pair<const std::string*, const std::string*> sides[] = {
        {&mapping.writeFunction, &mapping.write.address},
        {&mapping.readFunction, &mapping.read.address}};
    for (const auto& [function, address] : sides) {
        const TlmFunction* f = FindTlm2Function(functions, *function);
        if (!f) continue;
        for (const Tlm2Parameter& p : Tlm2Parameters(*f))
            if (p.name == *address && p.Integer())
                bits = bits == 0 ? p.bits : std::min(bits, p.bits);
    }
    return bits == 0 ? 8 : bits;
}

std::uint64_t Tlm2EffectiveSize(const Tlm2Mapping& mapping, int addressBits) {
    return mapping.size != 0 ? mapping.size : std::uint64_t{1} << addressBits;
}

std::optional<std::uint64_t> ParseTlm2Number(std::string_view text) {
    const std::string trimmed = Trim(text);
    std::string_view digits = trimmed;
    int radix = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits.remove_prefix(2);
        radix = 16;
    }
    if (digits.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : digits) {
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (radix == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (radix == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) return std::nullopt;
        if (value > (std::numeric_limits<std::uint64_t>::max() - static_cast<unsigned>(digit)) /
                        static_cast<unsigned>(radix))
            return std::nullopt;
        value = value * static_cast<unsigned>(radix) + static_cast<unsigned>(digit);
    }
    return value;
}

std::string Tlm2Hex(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}

std::optional<std::string> Tlm2FixedExpression(const Tlm2Parameter& parameter,
                                               std::string_view value) {
    const std::string text = Trim(value);
    if (parameter.bits == 1) {
        if (text == "true" || text == "1") return "true";
        if (text == "false" || text == "0") return "false";
        return std::nullopt;
    }
    if (!parameter.Integer()) return std::nullopt;
    const bool negative = !text.empty() && text[0] == '-';
    const std::optional<std::uint64_t> magnitude =
        ParseTlm2Number(negative ? std::string_view(text).substr(1) : std::string_view(text));
    if (!magnitude) return std::nullopt;
    const bool isUnsigned = parameter.type.rfind("unsigned ", 0) == 0;
    const int valueBits = isUnsigned ? parameter.bits : parameter.bits - 1;
    const std::uint64_t limit = (std::uint64_t{1} << valueBits) - 1; // the largest positive value
    if (negative && (isUnsigned || *magnitude > limit + 1)) return std::nullopt;
    if (!negative && *magnitude > limit) return std::nullopt;
    if (negative && *magnitude == 0) return "0";
    return (negative ? "-" : "") + std::to_string(*magnitude);
}

} // namespace kestrel
