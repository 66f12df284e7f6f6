// Adding a transactor library to a project. ExtractLibrary first checks the whole
// library without writing anything: the archive walk (every size plain digits, inside
// the file), every entry name usable as a file name inside Temp, and the room left in
// the two tables. It then unpacks the two table entries into the working files and
// checks the function names they hold (each function's section files are later looked
// up in Temp by that name), extracts the other entries in file order, and only at the
// end appends the records to the in-memory tables. Extraction writes a temporary file
// made exclusively beside the target and renames it over the target, so a link planted
// in Temp is replaced, never followed.
#include "library/LibraryImport.h"

#include "codegen/SectionFileReader.h"
#include "library/Archive.h"
#include "model/ProjectPaths.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "project/ProjectCommands.h"

#include <algorithm>
#include <filesystem>
#include <memory>

namespace kestrel {

namespace {

namespace fs = std::filesystem;

// Windows-1252 bytes that have no character; they become C1 controls in a file name.
bool IsUndefinedCp1252(unsigned char b) {
    return b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
}

bool IsWorkingFile(std::string_view entryName, std::string_view workingFile) {
    return Cp1252Lower(entryName) == workingFile;
}

// The first entry of a name (letter case ignored), as extraction finds it.
const ArchiveEntry* FindEntry(const std::vector<ArchiveEntry>& entries, std::string_view name) {
    for (const ArchiveEntry& entry : entries)
        if (IsWorkingFile(entry.name, name)) return &entry;
    return nullptr;
}

// Whole records of a table entry; a trailing partial record is ignored, as the loader does.
std::uint64_t RecordCount(const ArchiveEntry* entry, std::size_t recordSize) {
    return entry ? entry->size / recordSize : 0;
}

LibraryImportResult Refused(std::string text, std::string reason) {
    LibraryImportResult result;
    result.refusal = InputRefusal{std::move(text), std::string(kLibraryErrorTitle)};
    result.reason = std::move(reason);
    return result;
}

LibraryImportResult ExtractFailed(std::string reason) {
    return Refused(std::string(kExtractFailedText), std::move(reason));
}

// The progress bar of the window, reported to the observer when there is one.
class Progress {
public:
    Progress(LibraryImportObserver* observer, int maximum)
        : observer_(observer), maximum_(maximum) {
        Report();
    }
    void Advance() {
        ++value_;
        Report();
    }

private:
    void Report() {
        if (observer_) observer_->OnProgress(value_, maximum_);
    }
    LibraryImportObserver* observer_;
    int maximum_;
    int value_ = 0;
};

// Removes the two working files when the import ends, however it ends.
class WorkingFiles {
public:
    explicit WorkingFiles(std::string_view projectFolder)
        : functions_(TempPath(projectFolder, kLibraryFunctionFile)),
          signals_(TempPath(projectFolder, kLibrarySignalFile)) {}
    ~WorkingFiles() { Remove(); }
    WorkingFiles(const WorkingFiles&) = delete;
    WorkingFiles& operator=(const WorkingFiles&) = delete;

    void Remove() {
        (void)RemoveFileIfExists(functions_);
        (void)RemoveFileIfExists(signals_);
    }
    const std::string& Functions() const { return functions_; }
    const std::string& Signals() const { return signals_; }

private:
    std::string functions_;
    std::string signals_;
};

// Checks the walk, the names and the room in the tables; nothing is written.
LibraryImportResult CheckLibrary(std::string_view libraryPath,
                                 const std::vector<ArchiveEntry>& entries,
                                 const TlmFunctionTable& functions, const RtlSignalTable& signals) {
    for (const ArchiveEntry& entry : entries) {
        if (std::string why = EntryNameProblem(entry.name); !why.empty())
            return ExtractFailed(Quoted(libraryPath) + " holds an entry named " +
                                 Shown(entry.name) + " that cannot be extracted: the name " + why);
    }
    std::uint64_t libraryFunctions =
        RecordCount(FindEntry(entries, kLibraryFunctionFile), TlmFunction::kRecordSize);
    std::uint64_t librarySignals =
        RecordCount(FindEntry(entries, kLibrarySignalFile), RtlSignal::kRecordSize);
    auto own = [](std::int16_t count) {
        return static_cast<std::uint64_t>(std::max<int>(count, 0));
    };
    if (own(functions.count) + libraryFunctions > kMaxFunctions ||
        own(signals.count) + librarySignals > kMaxSignals)
        return Refused(std::string(kLibraryTooLargeText),
                       Quoted(libraryPath) + " holds " + std::to_string(libraryFunctions) +
                           " functions and " + std::to_string(librarySignals) +
                           " signals; the project has " + std::to_string(own(functions.count)) +
                           " functions and " + std::to_string(own(signals.count)) +
                           " signals of its own");
    return {};
}

// Extracts one table entry into its working file and reads its records.
template <typename Table, typename Load>
Status ExtractTable(std::string_view libraryPath, const ArchiveEntry* entry,
                    const std::string& workingFile, Table& table, Load load) {
    table.count = 0;
    if (!entry) return Status::Ok(); // a library without this table adds none of its items
    std::string error;
    if (!ExtractFromArchive(libraryPath, entry->name, workingFile, &error))
        return Status::Error(error);
    return load(workingFile, table);
}

// Each imported function's section files are looked up in Temp by its name.
Status CheckFunctionNames(std::string_view libraryPath, const TlmFunctionTable& table) {
    for (int f = 1; f <= table.count; ++f) {
        std::string name = table[f].functionName.Text();
        std::string why = EntryNameProblem(name + std::string(kDeclarationSection));
        if (!why.empty())
            return Status::Error(Quoted(libraryPath) + " holds a function named " + Shown(name) +
                                 " whose section files cannot lie in Temp: the name " + why);
    }
    return Status::Ok();
}

} // namespace

std::string EntryNameProblem(std::string_view name) {
    if (name.empty()) return "is empty";
    if (name.size() > kArchiveMaxNameLength) return "is longer than 255 bytes";
    if (name == "." || name == "..") return "names a folder";
    for (char c : name) {
        auto b = static_cast<unsigned char>(c);
        if (b == 0) return "holds a zero byte";
        if (IsPathSeparator(c)) return "contains a path separator";
        if (b < 0x20 || b == 0x7F || IsUndefinedCp1252(b)) return "holds a control character";
    }
    return {};
}

LibraryImportResult ExtractLibrary(std::string_view projectFolder, std::string_view libraryPath,
                                   TlmFunctionTable& functions, RtlSignalTable& signals,
                                   LibraryImportObserver* observer) {
    std::vector<ArchiveEntry> entries;
    std::string error;
    if (!ListArchiveEntries(libraryPath, entries, &error)) return ExtractFailed(error);
    if (LibraryImportResult checked = CheckLibrary(libraryPath, entries, functions, signals);
        !checked.ok())
        return checked;

    std::vector<std::string> names;
    names.reserve(entries.size());
    for (const ArchiveEntry& entry : entries) names.push_back(entry.name);
    if (observer) observer->OnEntries(names);
    Progress progress(observer, static_cast<int>(entries.size()) + 3);

    WorkingFiles working(projectFolder);
    auto libraryFunctions = std::make_unique<TlmFunctionTable>();
    auto librarySignals = std::make_unique<RtlSignalTable>();
    if (Status s = ExtractTable(libraryPath, FindEntry(entries, kLibraryFunctionFile),
                                working.Functions(), *libraryFunctions, LoadTlmFunctionsFrom);
        !s)
        return ExtractFailed(s.message());
    if (Status s = ExtractTable(libraryPath, FindEntry(entries, kLibrarySignalFile),
                                working.Signals(), *librarySignals, LoadRtlSignalsFrom);
        !s)
        return ExtractFailed(s.message());
    if (Status s = CheckFunctionNames(libraryPath, *libraryFunctions); !s)
        return ExtractFailed(s.message());

    for (const ArchiveEntry& entry : entries) {
        // The two tables are already in their working files.
        if (!IsWorkingFile(entry.name, kLibraryFunctionFile) &&
            !IsWorkingFile(entry.name, kLibrarySignalFile) &&
            !ExtractFromArchive(libraryPath, entry.name, TempPath(projectFolder, entry.name),
                                &error))
            return ExtractFailed(error);
        progress.Advance();
    }

    // The checks above leave room for every record.
    LibraryImportResult result;
    for (int k = 1; k <= libraryFunctions->count; ++k)
        functions[functions.count + k] = (*libraryFunctions)[k];
    functions.count = static_cast<std::int16_t>(functions.count + libraryFunctions->count);
    result.functionsAdded = libraryFunctions->count;
    progress.Advance();
    for (int k = 1; k <= librarySignals->count; ++k)
        signals[signals.count + k] = (*librarySignals)[k];
    signals.count = static_cast<std::int16_t>(signals.count + librarySignals->count);
    result.signalsAdded = librarySignals->count;
    progress.Advance();

    working.Remove();
    progress.Advance();
    return result;
}

std::vector<std::string> ListLibraryFiles(std::string_view folder) {
    std::vector<std::string> files;
    std::error_code ec;
    for (fs::directory_iterator it(NativePath(folder), ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        std::string name = StoredPath(it->path().filename());
        if (name.size() > 5 && AsciiLower(name.substr(name.size() - 5)) == ".tlib")
            files.push_back(std::move(name));
    }
    std::sort(files.begin(), files.end(), [](const std::string& a, const std::string& b) {
        std::string la = AsciiLower(a), lb = AsciiLower(b);
        return la != lb ? la < lb : a < b;
    });
    return files;
}

std::string StartingLibraryFolder(std::string_view libraryFolder, std::string_view projectFolder) {
    std::error_code ec;
    if (!libraryFolder.empty()) {
        for (fs::directory_iterator it(NativePath(libraryFolder), ec), end; !ec && it != end;
             it.increment(ec)) {
            std::error_code typeError;
            if (it->is_regular_file(typeError)) return std::string(libraryFolder);
        }
    }
    return std::string(projectFolder);
}

Status LoadAddLibrary(std::string_view projectFolder, AddLibraryState& state) {
    if (Status s = LoadTlmFunctions(projectFolder, state.functions); !s) return s;
    if (Status s = LoadRtlSignals(projectFolder, state.signals); !s) return s;
    if (Status s = LoadOptions(projectFolder, state.options); !s) return s;
    ShowLibraryFolder(state, StartingLibraryFolder(state.options.libraryFolder, projectFolder));
    return Status::Ok();
}

void ShowLibraryFolder(AddLibraryState& state, std::string_view folder) {
    state.folder = std::string(folder);
    state.files = ListLibraryFiles(folder);
}

bool CanAddLibrary(const AddLibraryState& state) {
    return !state.files.empty();
}

AddLibraryOutcome AddLibraryFile(std::string_view projectFolder, AddLibraryState& state,
                                 std::string_view libraryPath, LibraryImportObserver* observer) {
    AddLibraryOutcome outcome;
    LibraryImportResult result =
        ExtractLibrary(projectFolder, libraryPath, state.functions, state.signals, observer);
    if (!result.ok()) {
        outcome.text = result.refusal->text;
        outcome.title = result.refusal->title;
        outcome.reason = result.reason;
        return outcome;
    }
    outcome.added = true;
    outcome.text = AfterLastSeparator(libraryPath) + " Added Successfully!";
    outcome.title = std::string(kLibraryAddedTitle);
    return outcome;
}

AddLibraryOutcome AddLibrary(std::string_view projectFolder, AddLibraryState& state,
                             std::string_view fileName, LibraryImportObserver* observer) {
    return AddLibraryFile(projectFolder, state, JoinPath(state.folder, {fileName}), observer);
}

Status AcceptAddLibrary(ProjectRecord& record, AddLibraryState& state) {
    const std::string& folder = record.projectFolder;
    state.options.libraryFolder = state.folder;
    if (Status s = SaveOptions(folder, state.options); !s) return s;
    if (Status s = SaveTlmFunctions(folder, state.functions); !s) return s;
    if (Status s = SaveRtlSignals(folder, state.signals); !s) return s;
    RecomputeStage(record, state.functions.count, state.signals.count);
    return SaveProjectFile(record);
}

} // namespace kestrel
