// Library creation at the end of the FSM and AsmL routes. The declaration tables are
// reloaded from Input (so the library holds the directions as declared, not the reversed
// copy Generate works on), every record is flagged as a library item, and the two tables
// are written as working files into Temp. The library is then built under a temporary
// name beside the library file: the two working files first, then the four section files
// of every function in table order (library functions of earlier libraries included), and
// renamed over the library file, so a failed run never leaves a half-written library.
// A section file that does not exist is created empty and packed as an empty entry.
// Creation reports no failure in the log: it always ends in "Done!" and counts no error.
// A library that could not be written keeps the old one and leaves a note on the session.
#include "library/LibraryCreation.h"

#include "codegen/SectionFileReader.h"
#include "library/Archive.h"
#include "library/LibraryImport.h"
#include "model/ProjectPaths.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

#include <array>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace kestrel {

namespace {

constexpr std::array<std::string_view, 4> kSectionExtensions = {
    kDeclarationSection, kInitialisationSection, kBehaviourSection, kUpdateSection};

// A section file that does not exist is created empty, as packing it would; created
// exclusively, so a link standing at its name is never followed to make a file elsewhere.
void CreateIfMissing(std::string_view storedPath) {
    std::string native = NativePath(storedPath).string();
    int fd = ::open(native.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd >= 0) ::close(fd);
}

// The message of a failed append, naming the library file where it names the library
// under construction: the temporary name means nothing to the user, and the file is gone
// once the build is abandoned.
std::string NamingTheLibrary(std::string message, std::string_view temporary,
                             std::string_view libraryFile) {
    for (std::size_t at = message.find(temporary); at != std::string::npos;
         at = message.find(temporary, at + libraryFile.size()))
        message.replace(at, temporary.size(), libraryFile);
    return message;
}

// Writes the library into `archive` (the build's temporary file of `libraryFile`); the
// first failure is returned.
Status PackLibrary(const GenerationRun& run, const TlmFunctionTable& functions,
                   const std::string& archive, std::string_view libraryFile) {
    const std::string& folder = run.projectFolder;
    std::string error;
    auto add = [&](const std::string& file, std::string_view entry) {
        if (AddFileToArchive(archive, file, entry, &error)) return Status::Ok();
        return Status::Error(NamingTheLibrary(std::move(error), archive, libraryFile));
    };
    if (Status s = add(TempPath(folder, kLibraryFunctionFile), kLibraryFunctionFile); !s) return s;
    if (Status s = add(TempPath(folder, kLibrarySignalFile), kLibrarySignalFile); !s) return s;
    for (int f = 1; f <= functions.count; ++f) {
        std::string name = functions[f].functionName.Text();
        for (std::string_view extension : kSectionExtensions) {
            std::string entry = name + std::string(extension);
            // A name that is not a plain file name would make the section file's path
            // leave Temp; such a function cannot be packed.
            if (std::string why = EntryNameProblem(entry); !why.empty())
                return Status::Error("The section file of function " + Quoted(name) +
                                     " cannot be packed: its name " + why);
            std::string path = SectionFilePath(folder, name, extension);
            CreateIfMissing(path);
            if (Status s = add(path, entry); !s) return s;
        }
    }
    return Status::Ok();
}

Status WriteLibrary(const GenerationRun& run, const TlmFunctionTable& functions,
                    const RtlSignalTable& signals) {
    const std::string& folder = run.projectFolder;
    if (Status s = SaveTlmFunctionsTo(TempPath(folder, kLibraryFunctionFile), functions); !s)
        return s;
    if (Status s = SaveRtlSignalsTo(TempPath(folder, kLibrarySignalFile), signals); !s) return s;

    // Packed into a temporary file beside the library, which takes the library's place
    // only when every entry is in.
    AtomicFileWriter build;
    if (Status s = build.Open(run.tables.options.libraryFile); !s) return s;
    if (Status s =
            PackLibrary(run, functions, build.TemporaryPath(), run.tables.options.libraryFile);
        !s)
        return s;
    return build.Commit();
}

} // namespace

void CreateLibrary(GenerationRun& run) {
    if (!run.tables.options.makeLibrary) return;
    GenerationLog& log = run.log();
    log.LogStep("Creating Library " + run.tables.options.libraryFile);

    // The tables as declared, not the prepared copy of the run; heap-held, they are large.
    auto functions = std::make_unique<TlmFunctionTable>();
    auto signals = std::make_unique<RtlSignalTable>();
    Status loaded = LoadTlmFunctions(run.projectFolder, *functions);
    if (loaded) loaded = LoadRtlSignals(run.projectFolder, *signals);
    Status written = loaded;
    if (loaded) {
        for (int f = 1; f <= functions->count; ++f) (*functions)[f].isLibrary = true;
        for (int s = 1; s <= signals->count; ++s) (*signals)[s].isLibrary = true;
        written = WriteLibrary(run, *functions, *signals);
    }
    if (!written)
        run.session.notes.push_back("The library " + Quoted(run.tables.options.libraryFile) +
                                    " was not written: " + written.message());

    // The working files exist only while a library is made.
    (void)RemoveFileIfExists(TempPath(run.projectFolder, kLibraryFunctionFile));
    (void)RemoveFileIfExists(TempPath(run.projectFolder, kLibrarySignalFile));
    log.LogLine("Done!");
    log.AdvanceProgress();
}

} // namespace kestrel
