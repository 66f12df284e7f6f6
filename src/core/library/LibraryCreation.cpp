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

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel {

namespace {

constexpr std::array<std::string_view, 4> kSectionExtensions = {
    kDeclarationSection, kInitialisationSection, kBehaviourSection, kUpdateSection};

std::string Quoted(std::string_view text) {
    std::string out = "\"";
    out.append(text);
    out.push_back('"');
    return out;
}

// The library under construction: an empty file made exclusively beside the library file
// (so no link standing there is followed), removed again unless Commit renames it over
// the library file.
class LibraryBuild {
    static constexpr std::string_view kTempSuffix = ".kestrel-tmp-XXXXXX";

public:
    ~LibraryBuild() {
        if (!tempNative_.empty()) ::unlink(tempNative_.c_str());
    }

    Status Open(std::string_view libraryFile) {
        libraryFile_ = std::string(libraryFile);
        std::string pattern = NativePath(libraryFile).string() + std::string(kTempSuffix);
        int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (fd < 0)
            return Status::Error("Cannot write " + Quoted(libraryFile) + ": " + ErrnoText(errno));
        // A new library gets the usual permissions, an existing one keeps its own.
        struct stat st {};
        mode_t mode;
        if (::stat(NativePath(libraryFile).c_str(), &st) == 0) {
            mode = st.st_mode & 07777;
        } else {
            mode_t mask = ::umask(0);
            ::umask(mask);
            mode = 0666 & ~mask;
        }
        ::fchmod(fd, mode);
        ::close(fd);
        tempNative_ = pattern;
        // The random part of the name is ASCII, so the stored path is the library file's
        // stored path with the same suffix.
        tempStored_ = libraryFile_ + pattern.substr(pattern.size() - kTempSuffix.size());
        return Status::Ok();
    }

    const std::string& Path() const { return tempStored_; }

    // Flushes the finished library to the disk and puts it in place of the library file.
    Status Commit() {
        int fd = ::open(tempNative_.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        int error = 0;
        if (fd < 0) {
            error = errno;
        } else {
            if (::fsync(fd) != 0) error = errno;
            ::close(fd);
        }
        std::string target = NativePath(libraryFile_).string();
        if (error == 0 && ::rename(tempNative_.c_str(), target.c_str()) != 0) error = errno;
        if (error != 0)
            return Status::Error("Cannot write " + Quoted(libraryFile_) + ": " + ErrnoText(error));
        tempNative_.clear();
        return Status::Ok();
    }

private:
    std::string libraryFile_;
    std::string tempNative_;
    std::string tempStored_;
};

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

    LibraryBuild build;
    if (Status s = build.Open(run.tables.options.libraryFile); !s) return s;
    if (Status s = PackLibrary(run, functions, build.Path(), run.tables.options.libraryFile); !s)
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
