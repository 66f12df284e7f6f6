#pragma once
// Adding transactor libraries to a project: ExtractLibrary, which unpacks a library into
// the project's Temp folder and appends its functions and signals to the in-memory tables,
// and the logic of the Add Library window (load, folder listing, Add Library, OK) that the
// window and kestrel-cli add-library call.
//
// A library comes from another person and is untrusted: before anything is written, the
// whole archive is walked and every entry name and size checked, and a library that does
// not fit the tables is refused. Nothing is ever written outside Temp.
#include "model/ProjectOptions.h"
#include "model/ProjectRecord.h"
#include "model/RtlSignal.h"
#include "model/TlmFunction.h"
#include "platform/Status.h"
#include "project/InputRefusal.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

inline constexpr std::string_view kExtractFailedText = "Unable to Extract Transactor Library";
inline constexpr std::string_view kLibraryErrorTitle = "Lib Error";
inline constexpr std::string_view kLibraryAddedTitle = "Library Added";
inline constexpr std::string_view kLibraryTooLargeText =
    "Unable to Add Transactor Library.\r\n"
    "A project holds at most 25 TLM Functions and 25 RTL Signals.";

// Why an archive entry name cannot be a file name inside Temp ("is empty", "contains a
// path separator", ...); empty when it can. Refused: an empty name, "." and "..", a name
// containing '/' or '\' (which covers absolute paths), a zero byte, a control character
// (including the five Windows-1252 bytes that have no character), or more than 255 bytes.
std::string EntryNameProblem(std::string_view name);

// Follows an import: the Add Library window fills its entry list and drives its
// progress bar from these calls.
class LibraryImportObserver {
public:
    virtual ~LibraryImportObserver() = default;
    // The entry names of the library, in file order (ListExtract). Called once the
    // library has been checked, before anything is extracted.
    virtual void OnEntries(const std::vector<std::string>& names) = 0;
    // ProgressBarAddLib: minimum 0; maximum = entries + 3; the value advances by one per
    // extracted entry, once for the functions, once for the signals and once at the end.
    virtual void OnProgress(int value, int maximum) = 0;
};

struct LibraryImportResult {
    // The message box of a library that was not added: kExtractFailedText (or
    // kLibraryTooLargeText) with the title kLibraryErrorTitle.
    std::optional<InputRefusal> refusal;
    // What is wrong, naming the library file; empty on success.
    std::string reason;
    int functionsAdded = 0;
    int signalsAdded = 0;

    bool ok() const { return !refusal; }
};

// Unpacks every entry of the library into <projectFolder>/Temp under its own name and
// appends the records of its two tables after the project's own items, in library order
// (whether or not their names are already present). On refusal the tables are unchanged;
// entries extracted before a failed extraction stay in Temp. The two working files
// (Temp/lib_tlm_func.dat, Temp/lib_rtl_sig.dat) are removed in every case.
LibraryImportResult ExtractLibrary(std::string_view projectFolder, std::string_view libraryPath,
                                   TlmFunctionTable& functions, RtlSignalTable& signals,
                                   LibraryImportObserver* observer = nullptr);

// The names (no folder) of the "*.tlib" files of a folder, letter case of the extension
// ignored, sorted; empty when the folder cannot be read.
std::vector<std::string> ListLibraryFiles(std::string_view folder);

// The folder the Add Library window starts in: LibraryFolder, or the project folder when
// LibraryFolder does not exist or holds no file.
std::string StartingLibraryFolder(std::string_view libraryFolder, std::string_view projectFolder);

// What the Add Library window works on while it is open: in-memory copies of the tables
// loaded when it opened, and the folder it shows with its library files.
struct AddLibraryState {
    TlmFunctionTable functions;
    RtlSignalTable signals;
    ProjectOptions options;
    std::string folder;             // LabelLibFolder
    std::vector<std::string> files; // FileLib
};

// Opening the window: loads the two tables and the options and shows the starting folder.
Status LoadAddLibrary(std::string_view projectFolder, AddLibraryState& state);

// Showing a folder (at load and after the folder browser): lists its library files.
void ShowLibraryFolder(AddLibraryState& state, std::string_view folder);

// EnDisAddLib: Add Library is enabled while the folder lists at least one library.
bool CanAddLibrary(const AddLibraryState& state);

// The message box after Add Library.
struct AddLibraryOutcome {
    bool added = false;
    std::string text;   // "<file> Added Successfully!" or the refusal's text
    std::string title;  // "Library Added" or "Lib Error"
    std::string reason; // on refusal: what is wrong, naming the file
};

// Add Library: extracts the library `fileName` of the shown folder into the state's tables.
AddLibraryOutcome AddLibrary(std::string_view projectFolder, AddLibraryState& state,
                             std::string_view fileName, LibraryImportObserver* observer = nullptr);

// The same for a library given by its full path; the message names the file without its
// folder.
AddLibraryOutcome AddLibraryFile(std::string_view projectFolder, AddLibraryState& state,
                                 std::string_view libraryPath,
                                 LibraryImportObserver* observer = nullptr);

// OK: the shown folder becomes LibraryFolder; the options and both tables are saved; the
// declared flags and the stage are recomputed and the project file is written. Stops at
// the first file error.
Status AcceptAddLibrary(ProjectRecord& record, AddLibraryState& state);

} // namespace kestrel
