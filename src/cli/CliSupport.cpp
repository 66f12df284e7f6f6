// Conversions between the terminal's UTF-8 and the project's Windows-1252 text.
#include "CliSupport.h"

#include "CliApp.h"
#include "model/ProjectPaths.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "project/OutputPlacement.h"
#include "project/ProjectCommands.h"

#include <algorithm>
#include <filesystem>
#include <ostream>

namespace kestrel::cli {

std::string ArgText(std::string_view utf8) {
    auto text = Utf8ToCp1252(utf8);
    if (!text)
        throw UsageError("\"" + std::string(utf8) +
                         "\" holds characters a project file cannot store (Windows-1252 only)");
    return *text;
}

std::string ArgPath(std::string_view utf8) {
    std::error_code ec;
    std::filesystem::path path = std::filesystem::absolute(std::filesystem::path(utf8), ec);
    if (ec) throw UsageError("\"" + std::string(utf8) + "\" is not a usable path");
    return ArgText(path.lexically_normal().string());
}

std::string Show(std::string_view stored) {
    std::string text = Cp1252ToUtf8(stored);
    // Stored texts use CR LF; a terminal wants LF.
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out.push_back(text[i]);
    }
    return out;
}

void AddProjectArgument(CLI::App* command, std::string& project) {
    command->add_option("PROJECT", project, "The project's .tp file")->required();
}

CLI::Option* AddFunctionOption(CLI::App* command, const std::string& name, std::string& function) {
    return command->add_option(name, function, "The function's name, or its number from 1");
}

CLI::Option* AddMethodOption(CLI::App* command, std::string& method,
                             const std::string& description) {
    return command->add_option("--method", method, description)
        ->check(CLI::IsMember({"fsm", "asml", "template"}));
}

int PrintRefusal(std::ostream& err, const InputRefusal& refusal) {
    err << Show(refusal.ShownTitle()) << ": " << Show(refusal.text) << "\n";
    return kExitRefused;
}

int PrintFileError(std::ostream& err, const Status& status) {
    err << "kestrel-cli: " << Show(status.message()) << "\n";
    return kExitUsage;
}

void PrintCreatedFolders(std::ostream& err, const std::vector<std::string>& created) {
    if (!created.empty()) err << "kestrel-cli: note: " << Show(MissingFoldersNote(created)) << "\n";
}

int FunctionNumber(const TlmFunctionTable& functions, std::string_view utf8) {
    const std::string wanted = Trim(ArgText(utf8));
    const int count = functions.UsedCount();
    for (int f = 1; f <= count; ++f)
        if (functions[f].functionName.Text() == wanted) return f;
    if (!wanted.empty() && wanted.size() <= 2 &&
        std::all_of(wanted.begin(), wanted.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
        std::stoi(wanted) >= 1 && std::stoi(wanted) <= count)
        return std::stoi(wanted);
    throw UsageError("the project has no TLM function \"" + Show(wanted) + "\"");
}

std::optional<int> TakeProject(std::string_view tpPath, ProjectAccess access, ProjectRecord& record,
                               std::ostream& err) {
    std::vector<std::string> created;
    if (access == ProjectAccess::Open) {
        CommandOutcome opened = OpenProject(tpPath, record);
        if (!opened.status) return PrintFileError(err, opened.status);
        created = std::move(opened.createdFolders);
    } else if (Status s = PeekProject(tpPath, record, &created); !s) {
        return PrintFileError(err, s);
    }
    PrintCreatedFolders(err, created);
    return std::nullopt;
}

void WarnOfMisplacedOutput(std::string_view tpPath, std::ostream& err) {
    ProjectRecord record;
    if (!PeekProject(tpPath, record)) return;
    // A project without its settings file has nothing stored to warn of.
    if (!FileExists(InputPath(record.projectFolder, kGenerationFile))) return;
    GenerationSettings settings;
    if (!LoadGenerationSettings(record.projectFolder, settings)) return;
    if (std::optional<std::string> warning = MisplacedOutputWarning(record, settings))
        err << "kestrel-cli: warning: " << Show(*warning) << "\n";
}

} // namespace kestrel::cli
