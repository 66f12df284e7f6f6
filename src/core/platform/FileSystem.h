#pragma once
// File helpers of the core. Paths inside the core are Windows-1252 byte strings as
// stored in the project files; NativePath turns one into a path of this machine.
#include "platform/Status.h"

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>

namespace kestrel {

// The separator of project paths on this machine.
inline constexpr char kPathSeparator = '/';

// True for both separators a project path may contain ('/' and '\').
constexpr bool IsPathSeparator(char c) {
    return c == '/' || c == '\\';
}

// folder + separator + each part, joined with the native separator.
std::string JoinPath(std::string_view folder, std::initializer_list<std::string_view> parts);

// The part of a path after its last '/' or '\' (the whole path when it has none).
std::string AfterLastSeparator(std::string_view path);

// The part of a path before its last '/' or '\' (empty when it has none).
std::string BeforeLastSeparator(std::string_view path);

// A stored (Windows-1252) path as a path of this machine (UTF-8 on Linux).
std::filesystem::path NativePath(std::string_view storedPath);

// A path of this machine as stored text (Windows-1252); characters the code page
// lacks become '?'.
std::string StoredPath(const std::filesystem::path& path);

bool FileExists(std::string_view storedPath);      // a regular file (or link to one)
bool DirectoryExists(std::string_view storedPath); // a folder (or link to one)

// Reads a whole file. A missing file is an error unless missingIsEmpty is set.
Status ReadFileBytes(std::string_view storedPath, std::string& bytes, bool missingIsEmpty = false);

// Replaces a file with the given bytes atomically: the bytes go to a temporary file in
// the same folder, which is flushed and renamed over the target. On failure the old
// file is left as it was and no temporary file remains.
Status WriteFileAtomic(std::string_view storedPath, std::string_view bytes);

// Replaces a file atomically with bytes written piece by piece, for contents too large to
// hold in memory. Open creates a temporary file beside the target (exclusively, so no
// link is followed); Commit flushes it and renames it over the target, which replaces a
// symbolic link standing at the target rather than the file it points to. A writer
// destroyed or aborted before Commit removes its temporary file and leaves the target alone.
class AtomicFileWriter {
public:
    AtomicFileWriter() = default;
    ~AtomicFileWriter() { Abort(); }
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    Status Open(std::string_view storedPath);
    Status Write(std::string_view bytes);
    // flushToDisk waits until the bytes are on the disk before the rename, so that even a
    // power cut leaves the old or the new file. Without it the replacement is still atomic
    // for the running system (an error or a crash of the program leaves the old file), and
    // large working files are written at the speed of the page cache instead of the disk.
    Status Commit(bool flushToDisk = true);
    void Abort();

    // The descriptor of the temporary file, for writers that place bytes at explicit
    // offsets themselves (pwrite, copy_file_range); -1 when not open.
    int Descriptor() const { return fd_; }
    // The stored path of the temporary file, for writers that reopen it by name (the
    // library packer appends entries to it file by file); empty when not open.
    std::string TemporaryPath() const;

private:
    int fd_ = -1;
    std::string storedPath_; // for messages
    std::string target_;     // native path of the file to replace
    std::string temp_;       // native path of the temporary file
};

// Writes a record at offset 0 without truncating: the new file is `record` followed by
// the old file's bytes beyond record.size(). Atomic like WriteFileAtomic.
Status OverlayFileAtomic(std::string_view storedPath, std::string_view record);

// Creates an empty file when none exists; an existing file is left alone.
Status TouchFile(std::string_view storedPath);

Status MakeDirectory(std::string_view storedPath);
Status RemoveFileIfExists(std::string_view storedPath);
Status CopyFileOverwrite(std::string_view from, std::string_view to);

// A human-readable reason for the last errno value.
std::string ErrnoText(int error);

} // namespace kestrel
