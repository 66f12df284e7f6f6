// The project's protocol check, protocol.json in the project folder: a JSON object a user can
// read and edit, {"protocol": "apb", "prefix": ""}, the protocol by its --protocol word and
// the prefix of its ports (left out: found again on each run). Reading checks every field,
// so a damaged or hand-broken file is an error naming the file.
#include "bus/ProtocolChoice.h"

#include "model/JsonFile.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace kestrel {

namespace {

// Why the object cannot be read; empty when it could.
std::string ReadChoice(const JsonValue& root, ProtocolChoice& choice) {
    if (!root.is_object()) return "it is not a JSON object";
    const auto protocol = root.find("protocol");
    if (protocol == root.end() || !protocol->is_string())
        return "\"protocol\" is missing or not a text";
    const std::optional<BusProtocol> parsed =
        ParseBusProtocol(Trim(protocol->get_ref<const std::string&>()));
    if (!parsed) return "\"protocol\" is none of " + BusProtocolNames();
    choice.protocol = *parsed;
    const auto prefix = root.find("prefix");
    if (prefix == root.end() || prefix->is_null()) return {};
    if (!prefix->is_string()) return "\"prefix\" is not a text";
    choice.prefix = Utf8ToCp1252Lossy(prefix->get_ref<const std::string&>());
    return {};
}

} // namespace

std::string ProtocolChoicePath(const std::string& projectFolder) {
    return JoinPath(projectFolder, {kProtocolChoiceFile});
}

Status LoadProtocolChoice(const std::string& projectFolder, std::optional<ProtocolChoice>& choice) {
    choice.reset();
    ProtocolChoice loaded;
    bool present = false;
    const Status read = ReadJsonFile(
        ProtocolChoicePath(projectFolder),
        [&](const JsonValue& root) { return ReadChoice(root, loaded); }, present);
    if (read && present) choice = std::move(loaded);
    return read;
}

Status SaveProtocolChoice(const std::string& projectFolder, const ProtocolChoice& choice) {
    JsonValue root{{"protocol", std::string(BusProtocolName(choice.protocol))}};
    if (choice.prefix) root["prefix"] = Cp1252ToUtf8(*choice.prefix);
    return WriteJsonFile(ProtocolChoicePath(projectFolder), root);
}

} // namespace kestrel
