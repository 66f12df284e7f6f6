// Making the fixed folders of a project that a copy lacks.
#include "model/ProjectPaths.h"

namespace kestrel {

std::vector<std::string> MakeMissingProjectFolders(std::string_view folder) {
    std::vector<std::string> created;
    if (folder.empty() || !DirectoryExists(folder)) return created;
    for (const char* name : {"Input", "Temp", "Output"}) {
        const std::string path = JoinPath(folder, {name});
        if (DirectoryExists(path) || FileExists(path)) continue;
        if (MakeDirectory(path).ok()) created.emplace_back(name);
    }
    return created;
}

std::string MissingFoldersNote(const std::vector<std::string>& created) {
    if (created.empty()) return {};
    std::string text = created.size() == 1 ? "Created the missing project folder "
                                           : "Created the missing project folders ";
    for (std::size_t i = 0; i < created.size(); ++i) {
        if (i > 0) text += i + 1 == created.size() ? " and " : ", ";
        text += created[i];
    }
    return text;
}

} // namespace kestrel
