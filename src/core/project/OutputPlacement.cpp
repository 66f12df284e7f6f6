// Finds output file names that would make Generate write outside the project: an empty
// name, a folder that does not exist, or a folder inside another project (a folder at or
// above the file's folder that holds a .tp file, found by walking up from the file's folder
// and stopping at the project's own folder). A name that is not a full path is read from
// the project's folder ("Output/Tran.cpp"), never from the folder a command runs in. A
// missing folder inside the project is its own business (the commands make Output). Points
// them back at the project's Output folder on request, with the library when it lay beside
// them.
#include "project/OutputPlacement.h"

#include "model/ProjectPaths.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

#include <array>
#include <filesystem>
#include <system_error>

namespace kestrel {

namespace fs = std::filesystem;

namespace {

// The three names in the order Generate writes them, with what the user calls them.
struct OutputName {
    std::string GenerationSettings::*field;
    const char* label;
    const char* defaultName;
};
constexpr std::array<OutputName, 3> kOutputNames = {{
    {&GenerationSettings::interfaceHeaderPath, "Interface header", "TLM_AIC.h"},
    {&GenerationSettings::transactorHeaderPath, "Transactor header", "Tran.h"},
    {&GenerationSettings::transactorCppPath, "Transactor C++ file", "Tran.cpp"},
}};

bool IsFullPath(std::string_view path) {
    return !path.empty() && IsPathSeparator(path.front());
}

fs::path Normal(std::string_view storedPath) {
    fs::path path = NativePath(storedPath).lexically_normal();
    // "/a/b/" and "/a/b" are the same folder.
    if (!path.has_filename() && path.has_parent_path() && path != path.root_path())
        path = path.parent_path();
    return path;
}

bool SameFolder(const fs::path& a, const fs::path& b) {
    if (a == b) return true;
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

bool Inside(const fs::path& path, const fs::path& folder) {
    auto p = path.begin();
    for (auto f = folder.begin(); f != folder.end(); ++f, ++p)
        if (p == path.end() || *p != *f) return false;
    return true;
}

bool HoldsProjectFile(const fs::path& folder) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->path().extension() == ".tp" && it->is_regular_file(typeError)) return true;
    }
    return false;
}

// The first folder from `folder` up to the root that holds a .tp file, unless the
// project's own folder comes first; empty when there is none.
std::optional<fs::path> OtherProjectAbove(fs::path folder, const fs::path& own) {
    while (true) {
        if (SameFolder(folder, own)) return std::nullopt;
        if (HoldsProjectFile(folder)) return folder;
        if (!folder.has_parent_path() || folder.parent_path() == folder) return std::nullopt;
        folder = folder.parent_path();
    }
}

// "a", "a and b", "a, b and c"
std::string JoinedNames(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += i + 1 == names.size() ? " and " : ", ";
        text += names[i];
    }
    return text;
}

// One clause per problem and folder: "X and Y lie in /a/b, a folder that does not exist".
std::string Account(const std::vector<MisplacedOutputFile>& misplaced) {
    std::vector<std::string> clauses;
    std::vector<bool> told(misplaced.size(), false);
    for (std::size_t i = 0; i < misplaced.size(); ++i) {
        if (told[i]) continue;
        std::vector<std::string> names;
        for (std::size_t j = i; j < misplaced.size(); ++j) {
            if (misplaced[j].problem == misplaced[i].problem &&
                misplaced[j].folder == misplaced[i].folder) {
                names.push_back(misplaced[j].storedName.empty() ? "\"\"" : misplaced[j].storedName);
                told[j] = true;
            }
        }
        const bool one = names.size() == 1;
        std::string clause = JoinedNames(names);
        switch (misplaced[i].problem) {
        case OutputProblem::NoFileName: clause += one ? " names no file" : " name no file"; break;
        case OutputProblem::MissingFolder:
            clause += (one ? " lies in " : " lie in ") + misplaced[i].folder +
                      ", a folder that does not exist";
            break;
        case OutputProblem::OtherProject:
            clause += (one ? " lies inside " : " lie inside ") + misplaced[i].folder +
                      ", the folder of another project, whose files Generate would replace";
            break;
        }
        clauses.push_back(std::move(clause));
    }
    std::string text;
    for (const std::string& clause : clauses) text += (text.empty() ? "" : "; ") + clause;
    return text;
}

std::string Beginning(const ProjectRecord& record, const std::vector<MisplacedOutputFile>& found) {
    return "the generated files of the project in " + record.projectFolder +
           " are set to go outside it: " + Account(found);
}

} // namespace

std::string OutputFileInProject(std::string_view projectFolder, std::string_view storedName) {
    if (storedName.empty() || IsFullPath(storedName)) return std::string(storedName);
    return JoinPath(projectFolder, {storedName});
}

void ResolveOutputNames(std::string_view projectFolder, GenerationSettings& settings) {
    for (const OutputName& output : kOutputNames)
        settings.*output.field = OutputFileInProject(projectFolder, settings.*output.field);
}

std::vector<MisplacedOutputFile> FindMisplacedOutputFiles(std::string_view projectFolder,
                                                          const GenerationSettings& settings) {
    std::vector<MisplacedOutputFile> found;
    const fs::path own = Normal(projectFolder);
    for (const OutputName& output : kOutputNames) {
        const std::string& stored = settings.*output.field;
        if (stored.empty()) {
            found.push_back({stored, OutputProblem::NoFileName, {}});
            continue;
        }
        const std::string name = OutputFileInProject(projectFolder, stored);
        const std::string storedFolder = BeforeLastSeparator(name);
        const fs::path folder = Normal(storedFolder.empty() ? name.substr(0, 1) : storedFolder);
        if (!DirectoryExists(StoredPath(folder))) {
            // The project's own Output folder may be missing (a fresh clone has no empty
            // folders; the commands make it), and a folder inside the project is its own.
            if (!Inside(folder, own))
                found.push_back({stored, OutputProblem::MissingFolder, StoredPath(folder)});
            continue;
        }
        if (std::optional<fs::path> other = OtherProjectAbove(folder, own))
            found.push_back({stored, OutputProblem::OtherProject, StoredPath(*other)});
    }
    return found;
}

std::optional<std::string> MisplacedOutputWarning(const ProjectRecord& record,
                                                  const GenerationSettings& settings) {
    const std::vector<MisplacedOutputFile> found =
        FindMisplacedOutputFiles(record.projectFolder, settings);
    if (found.empty()) return std::nullopt;
    return Beginning(record, found) + ". Point them at " +
           JoinPath(record.projectFolder, {"Output"}) + " with \"kestrel-cli settings " +
           ProjectFilePath(record) +
           " --here\", or answer Yes when the window asks on opening the project";
}

std::optional<std::string> MisplacedOutputQuestion(const ProjectRecord& record,
                                                   const GenerationSettings& settings) {
    const std::vector<MisplacedOutputFile> found =
        FindMisplacedOutputFiles(record.projectFolder, settings);
    if (found.empty()) return std::nullopt;
    std::string text = Beginning(record, found);
    text[0] = 'T';
    return text + ".\r\n\r\nPoint them at this project's Output folder, " +
           JoinPath(record.projectFolder, {"Output"}) +
           " (with the library file when it lay beside them)?";
}

std::vector<std::string> PointOutputsHere(std::string_view projectFolder,
                                          GenerationSettings& settings, ProjectOptions& options) {
    std::vector<std::string> changes;
    auto change = [&](const char* label, std::string& stored, const std::string& wanted) {
        if (stored == wanted) return;
        changes.push_back(std::string(label) + ": " + (stored.empty() ? "\"\"" : stored) + " -> " +
                          wanted);
        stored = wanted;
    };
    std::vector<fs::path> oldFolders;
    for (const OutputName& output : kOutputNames) {
        std::string& name = settings.*output.field;
        oldFolders.push_back(Normal(BeforeLastSeparator(name)));
        std::string file = AfterLastSeparator(name);
        change(output.label, name,
               OutputPath(projectFolder, file.empty() ? output.defaultName : file));
    }
    auto besideThem = [&](std::string_view folder) {
        const fs::path normal = Normal(folder);
        for (const fs::path& old : oldFolders)
            if (normal == old) return true;
        return false;
    };
    const std::string library = AfterLastSeparator(options.libraryFile);
    if (!library.empty() && besideThem(BeforeLastSeparator(options.libraryFile)))
        change("Library file", options.libraryFile, OutputPath(projectFolder, library));
    if (!options.libraryFolder.empty() && besideThem(options.libraryFolder))
        change("Library folder", options.libraryFolder, JoinPath(projectFolder, {"Output"}));
    return changes;
}

OutputsPointed PointOutputsAtProject(std::string_view projectFolder) {
    OutputsPointed result;
    GenerationSettings settings;
    ProjectOptions options;
    if (result.status = LoadGenerationSettings(projectFolder, settings); !result.status)
        return result;
    if (result.status = LoadOptions(projectFolder, options); !result.status) return result;
    const GenerationSettings settingsBefore = settings;
    const ProjectOptions optionsBefore = options;
    result.changes = PointOutputsHere(projectFolder, settings, options);
    if (!(settings == settingsBefore))
        if (result.status = SaveGenerationSettings(projectFolder, settings); !result.status)
            return result;
    if (!(options == optionsBefore)) result.status = SaveOptions(projectFolder, options);
    return result;
}

std::string OutputsAlreadyHereNote(std::string_view projectFolder) {
    return "nothing to change: the generated files already go to " +
           JoinPath(projectFolder, {"Output"});
}

} // namespace kestrel
