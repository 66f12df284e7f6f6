// The socket mapping's file, tlm2.json in the project folder: a JSON object a user can read
// and edit,
//   {"write": {"function": "Write", "address": "address", "data": "data", "strobe": "",
//              "response": ""},
//    "read": {"function": "Read", "address": "address", "data": "data", "response": ""},
//    "fixed": {"mode": "0"}, "base": "0x0", "size": ""}
// ("" for no strobe, no response, and the size of the address type's range). Names are
// UTF-8 in the file and Windows-1252 inside the core. Reading checks every field's type, so
// a damaged or hand-broken file is an error naming the file, never a half mapping; whether
// the names fit the declarations is the rules' business (Tlm2Rules).
#include "tlm2/Tlm2Mapping.h"

#include "model/JsonFile.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "tlm2/Tlm2Rules.h"

namespace kestrel {

namespace {

using Json = JsonValue;

// Why a field cannot be read; empty when it could.
using Failure = std::string;

// The text as stored (Windows-1252), none when it holds a control character or one the code
// page lacks.
std::optional<std::string> Stored(const std::string& utf8) {
    for (char c : utf8)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return std::nullopt;
    return Utf8ToCp1252(utf8);
}

Failure ReadText(const Json& object, const char* key, bool required, std::string& text) {
    const auto found = object.find(key);
    if (found == object.end()) return required ? "\"" + std::string(key) + "\" is missing" : "";
    if (!found->is_string()) return "\"" + std::string(key) + "\" is not a text";
    std::optional<std::string> stored = Stored(found->get_ref<const std::string&>());
    if (!stored) return "\"" + std::string(key) + "\" holds a character names cannot have";
    text = Trim(*stored);
    return {};
}

// A number as a text in decimal or 0x hex, or as a JSON number.
Failure ReadNumber(const Json& object, const char* key, std::uint64_t& value) {
    const auto found = object.find(key);
    if (found == object.end()) return {};
    if (found->is_number_unsigned()) {
        value = found->get<std::uint64_t>();
        return {};
    }
    const std::string text = found->is_string() ? Trim(found->get_ref<const std::string&>()) : "?";
    std::optional<std::uint64_t> parsed = text.empty() ? std::uint64_t{0} : ParseTlm2Number(text);
    if (!parsed) return "\"" + std::string(key) + "\" is not a number (decimal or 0x hex)";
    value = *parsed;
    return {};
}

Failure ReadRoles(const Json& root, const char* key, std::string& function, Tlm2Roles& roles) {
    const auto found = root.find(key);
    if (found == root.end() || !found->is_object())
        return "\"" + std::string(key) + "\" is missing or not an object";
    const Json& side = *found;
    for (Failure failure :
         {ReadText(side, "function", true, function),
          ReadText(side, "address", true, roles.address), ReadText(side, "data", true, roles.data),
          ReadText(side, "strobe", false, roles.strobe),
          ReadText(side, "response", false, roles.response)})
        if (!failure.empty()) return "\"" + std::string(key) + "\": " + failure;
    return {};
}

Failure ReadFixed(const Json& root, std::vector<std::pair<std::string, std::string>>& fixed) {
    const auto found = root.find("fixed");
    if (found == root.end()) return {};
    if (!found->is_object()) return "\"fixed\" is not an object";
    for (const auto& [name, value] : found->items()) {
        std::optional<std::string> storedName = Stored(name);
        std::string text;
        if (value.is_number_integer())
            text = value.dump();
        else if (value.is_string())
            text = Stored(value.get_ref<const std::string&>()).value_or("?");
        else
            return "\"fixed\": the value of \"" + name + "\" is not a text or a number";
        if (!storedName) return "\"fixed\" names a parameter with a character names cannot have";
        fixed.emplace_back(Trim(*storedName), Trim(text));
    }
    return {};
}

Failure ReadMapping(const Json& root, Tlm2Mapping& mapping) {
    if (!root.is_object()) return "it is not a JSON object";
    for (Failure failure : {ReadRoles(root, "write", mapping.writeFunction, mapping.write),
                            ReadRoles(root, "read", mapping.readFunction, mapping.read),
                            ReadFixed(root, mapping.fixed), ReadNumber(root, "base", mapping.base),
                            ReadNumber(root, "size", mapping.size)})
        if (!failure.empty()) return failure;
    return {};
}

Json RolesJson(const std::string& function, const Tlm2Roles& roles, bool withStrobe) {
    Json side{{"function", Cp1252ToUtf8(function)},
              {"address", Cp1252ToUtf8(roles.address)},
              {"data", Cp1252ToUtf8(roles.data)}};
    if (withStrobe) side["strobe"] = Cp1252ToUtf8(roles.strobe);
    side["response"] = Cp1252ToUtf8(roles.response);
    return side;
}

} // namespace

std::string Tlm2MappingPath(const std::string& projectFolder) {
    return JoinPath(projectFolder, {kTlm2MappingFile});
}

Status LoadTlm2Mapping(const std::string& projectFolder, std::optional<Tlm2Mapping>& mapping) {
    mapping.reset();
    Tlm2Mapping loaded;
    bool present = false;
    const Status read = ReadJsonFile(
        Tlm2MappingPath(projectFolder), [&](const Json& root) { return ReadMapping(root, loaded); },
        present);
    if (read && present) mapping = std::move(loaded);
    return read;
}

Status SaveTlm2Mapping(const std::string& projectFolder, const Tlm2Mapping& mapping) {
    Json fixed = Json::object();
    for (const auto& [name, value] : mapping.fixed) fixed[Cp1252ToUtf8(name)] = Cp1252ToUtf8(value);
    const Json root{{"write", RolesJson(mapping.writeFunction, mapping.write, true)},
                    {"read", RolesJson(mapping.readFunction, mapping.read, false)},
                    {"fixed", fixed},
                    {"base", Tlm2Hex(mapping.base)},
                    {"size", mapping.size == 0 ? std::string() : Tlm2Hex(mapping.size)}};
    return WriteJsonFile(Tlm2MappingPath(projectFolder), root);
}

} // namespace kestrel
