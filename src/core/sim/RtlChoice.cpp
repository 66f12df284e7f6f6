// The project's RTL, rtl.json in the project folder: a JSON object a user can read and edit,
//   {"files": ["rtl/memory.v", "/home/me/ip/fifo.v"], "top": "memory"}
// (a file inside the project folder relative to it, any other one in full; "" for the files'
// own top). Paths are UTF-8 in the file and Windows-1252 inside the core. Reading checks
// every field's type, so a damaged or hand-broken file is an error naming the file.
#include "sim/RtlChoice.h"

#include "model/JsonFile.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace kestrel {

namespace {

using Json = JsonValue;

// Why the object cannot be read; empty when it could.
std::string ReadChoice(const Json& root, const std::string& projectFolder, RtlChoice& choice) {
    if (!root.is_object()) return "it is not a JSON object";
    const auto files = root.find("files");
    if (files == root.end() || !files->is_array()) return "\"files\" is missing or not a list";
    for (const Json& file : *files) {
        if (!file.is_string() || Trim(file.get_ref<const std::string&>()).empty())
            return "\"files\" holds an entry that is not a file name";
        const std::string stored = Utf8ToCp1252Lossy(Trim(file.get_ref<const std::string&>()));
        choice.files.push_back(
            NativePath(stored).is_absolute()
                ? stored
                : StoredPath((NativePath(projectFolder) / NativePath(stored)).lexically_normal()));
    }
    const auto top = root.find("top");
    if (top == root.end()) return {};
    if (!top->is_string()) return "\"top\" is not a text";
    choice.top = Utf8ToCp1252Lossy(Trim(top->get_ref<const std::string&>()));
    return {};
}

} // namespace

std::string RtlChoicePath(const std::string& projectFolder) {
    return JoinPath(projectFolder, {kRtlChoiceFile});
}

std::string RtlStoredName(const std::string& projectFolder, const std::string& file) {
    const std::filesystem::path folder = NativePath(projectFolder).lexically_normal();
    const std::filesystem::path path = NativePath(file).lexically_normal();
    if (!path.is_absolute() || !folder.is_absolute()) return file;
    const std::filesystem::path relative = path.lexically_relative(folder);
    if (relative.empty() || *relative.begin() == "..") return StoredPath(path);
    return StoredPath(relative.generic_string());
}

Status LoadRtlChoice(const std::string& projectFolder, std::optional<RtlChoice>& choice) {
    choice.reset();
    RtlChoice loaded;
    bool present = false;
    const Status read = ReadJsonFile(
        RtlChoicePath(projectFolder),
        [&](const Json& root) { return ReadChoice(root, projectFolder, loaded); }, present);
    if (read && present && !loaded.files.empty()) choice = std::move(loaded);
    return read;
}

Status SaveRtlChoice(const std::string& projectFolder, const RtlChoice& choice) {
    if (choice.files.empty()) return RemoveFileIfExists(RtlChoicePath(projectFolder));
    Json files = Json::array();
    for (const std::string& file : choice.files)
        files.push_back(Cp1252ToUtf8(RtlStoredName(projectFolder, file)));
    const Json root{{"files", files}, {"top", Cp1252ToUtf8(choice.top)}};
    return WriteJsonFile(RtlChoicePath(projectFolder), root);
}

std::string RtlChoiceLine(const RtlChoice& choice) {
    std::string line = "rtl: using the project's Verilog: ";
    for (std::size_t i = 0; i < choice.files.size(); ++i)
        line += (i ? ", " : "") + AfterLastSeparator(choice.files[i]);
    if (!choice.top.empty()) line += " (top " + choice.top + ")";
    return line;
}

Status CheckRtlChoiceFiles(const RtlChoice& choice, const std::string& replace) {
    for (const std::string& file : choice.files)
        if (!FileExists(file))
            return Status::Error("the project's Verilog file " + Quoted(file) +
                                 " no longer exists: " + replace);
    return {};
}

} // namespace kestrel
