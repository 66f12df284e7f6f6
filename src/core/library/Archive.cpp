// Reads and writes the library archive. Adding appends "name\0size\0content" at the end;
// listing and extracting walk the entries from the first byte, reading each name and size
// text from a 256-byte window and stepping over the content without reading it. Every
// size text is checked (plain decimal digits, fits in 64 bits, no more than the bytes the
// file still holds) before anything is done with it, so a damaged file is reported and
// never makes the walk allocate, loop or read past the end. Contents are copied in pieces
// of 1,000,000 bytes, by the kernel from file to file through a pipe where it can, else
// through one buffer of at most that size, so memory use does not grow with the file.
#include "library/Archive.h"

#include "platform/FileSystem.h"
#include "platform/Text.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel {

namespace {

// Closes the descriptor it holds.
class FileHandle {
public:
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int get() const { return fd_; }
    // Closes now; false with errno set when the close reports an error.
    bool Close() {
        int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

bool Fail(std::string* error, std::string message) {
    if (error) *error = std::move(message);
    return false;
}

std::string CannotMessage(std::string_view what, std::string_view storedPath, int errorNumber) {
    return "Cannot " + std::string(what) + " " + Quoted(storedPath) + ": " + ErrnoText(errorNumber);
}

std::string DamagedMessage(std::string_view archivePath, std::string_view detail) {
    return Quoted(archivePath) + " is damaged: " + std::string(detail);
}

// Reads up to `count` bytes at `offset`, retrying short reads; the number read, or -1.
long long ReadAt(int fd, std::uint64_t offset, char* buffer, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        ssize_t n = ::pread(fd, buffer + done, count - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<long long>(done);
}

// Writes all bytes at `offset`; false with errno set on failure.
bool WriteAt(int fd, std::uint64_t offset, const char* bytes, std::size_t count) {
    while (count > 0) {
        ssize_t n = ::pwrite(fd, bytes, count, static_cast<off_t>(offset));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes += n;
        count -= static_cast<std::size_t>(n);
        offset += static_cast<std::uint64_t>(n);
    }
    return true;
}

// Why a content copy stopped.
struct CopyFailure {
    enum Kind { None, Read, Write, Shorter } kind = None;
    int errorNumber = 0;
};

// A pipe large enough to carry one piece, through which the kernel moves a piece from one
// file's cache to the other's without passing it through this process. The pipe holds
// references to the cached pages, not a copy. A piece is written in one call, so the
// destination's cache is filled in runs of a million bytes: handing the kernel smaller runs
// at an offset that is not a page multiple (the contents follow a header of any length)
// splits the cache into many small blocks and makes the copy a third slower than cp.
class PiecePipe {
public:
    PiecePipe() {
        if (::pipe2(fds_, O_CLOEXEC) != 0) {
            fds_[0] = fds_[1] = -1;
            return;
        }
        // A piece that does not start on a page boundary touches two pages more than it
        // holds; a system that allows less still works, in more rounds.
        (void)::fcntl(fds_[1], F_SETPIPE_SZ, static_cast<int>(kWanted));
    }
    ~PiecePipe() {
        for (int fd : fds_)
            if (fd >= 0) ::close(fd);
    }
    PiecePipe(const PiecePipe&) = delete;
    PiecePipe& operator=(const PiecePipe&) = delete;
    bool usable() const { return fds_[0] >= 0; }

    // Moves `count` bytes from `in` at *inPos to `out` at *outPos, advancing both. False
    // when the kernel cannot or fails; *outPos then tells how far the output is complete
    // (bytes taken from the input but not yet written are dropped).
    bool Move(int in, loff_t* inPos, int out, loff_t* outPos, std::size_t count) {
        while (count > 0) {
            ssize_t got = ::splice(in, inPos, fds_[1], nullptr, count, SPLICE_F_MOVE);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) return false; // unsupported, failed, or the input ended early
            auto pending = static_cast<std::size_t>(got);
            while (pending > 0) {
                ssize_t put = ::splice(fds_[0], nullptr, out, outPos, pending, SPLICE_F_MOVE);
                if (put < 0 && errno == EINTR) continue;
                if (put <= 0) {
                    Drop();
                    return false;
                }
                pending -= static_cast<std::size_t>(put);
            }
            count -= static_cast<std::size_t>(got);
        }
        return true;
    }

private:
    static constexpr std::size_t kWanted = 1 << 20;

    // Empties the pipe, so that it is closed clean.
    void Drop() {
        (void)::fcntl(fds_[0], F_SETFL, O_NONBLOCK);
        char sink[4096];
        while (::read(fds_[0], sink, sizeof sink) > 0) {
        }
    }

    int fds_[2] = {-1, -1};
};

// Copies `count` bytes from `in` at inOffset to `out` at outOffset in consecutive pieces of
// 1,000,000 bytes, the last piece holding the rest. The pieces go through a pipe, moved by
// the kernel (see PiecePipe), which is as fast as a plain file copy. Where the kernel cannot
// (file systems without support) or reports any error, the rest is read into a buffer of
// at most 1,000,000 bytes and written from it, piece by piece, which also tells a failed
// read from a failed write.
CopyFailure CopyContent(int in, std::uint64_t inOffset, int out, std::uint64_t outOffset,
                        std::uint64_t count) {
    std::uint64_t copied = 0;
    {
        PiecePipe pipe;
        while (pipe.usable() && copied < count) {
            auto piece = static_cast<std::size_t>(
                std::min<std::uint64_t>(count - copied, kArchivePieceSize));
            auto inPos = static_cast<loff_t>(inOffset + copied);
            auto outPos = static_cast<loff_t>(outOffset + copied);
            bool moved = pipe.Move(in, &inPos, out, &outPos, piece);
            copied = static_cast<std::uint64_t>(outPos) - outOffset;
            if (!moved) break;
        }
    }
    if (copied == count) return {};

    std::unique_ptr<char[]> buffer(new char[static_cast<std::size_t>(
        std::min<std::uint64_t>(count - copied, kArchivePieceSize))]);
    while (copied < count) {
        auto piece =
            static_cast<std::size_t>(std::min<std::uint64_t>(count - copied, kArchivePieceSize));
        long long got = ReadAt(in, inOffset + copied, buffer.get(), piece);
        if (got < 0) return {CopyFailure::Read, errno};
        if (static_cast<std::size_t>(got) != piece) return {CopyFailure::Shorter, 0};
        if (!WriteAt(out, outOffset + copied, buffer.get(), piece))
            return {CopyFailure::Write, errno};
        copied += piece;
    }
    return {};
}

// Opens a file that must be a regular file. O_NONBLOCK keeps a named pipe from blocking
// the open; it changes nothing for a regular file.
int OpenRegular(std::string_view storedPath, int flags, std::string_view what,
                std::uint64_t& length, std::string* error) {
    std::string native = NativePath(storedPath).string();
    int fd = ::open(native.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        Fail(error, errno == EISDIR ? "Cannot " + std::string(what) + " " + Quoted(storedPath) +
                                          ": it is a folder"
                                    : CannotMessage(what, storedPath, errno));
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        Fail(error, CannotMessage(what, storedPath, errno));
        ::close(fd);
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        Fail(error, "Cannot " + std::string(what) + " " + Quoted(storedPath) +
                        (S_ISDIR(st.st_mode) ? ": it is a folder" : ": it is not a plain file"));
        ::close(fd);
        return -1;
    }
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    length = static_cast<std::uint64_t>(st.st_size);
    return fd;
}

struct EntryHeader {
    std::string name;
    std::uint64_t contentOffset = 0; // 0-based position of the first content byte
    std::uint64_t size = 0;
};

// Reads the zero-terminated text of a 256-byte window at `offset`. On failure stores the
// reason (using `what` to name the field) and returns false.
bool ReadWindowText(int fd, std::uint64_t length, std::uint64_t offset, std::string_view what,
                    std::string_view archivePath, std::string& text, std::string* error) {
    char window[kArchiveWindowSize];
    long long got = ReadAt(fd, offset, window, sizeof window);
    if (got < 0) return Fail(error, CannotMessage("read", archivePath, errno));
    char* end = window + got;
    char* zero = std::find(window, end, '\0');
    if (zero == end) {
        std::string where = std::string(what) + " at byte " + std::to_string(offset + 1);
        if (offset + static_cast<std::uint64_t>(got) >= length)
            return Fail(error,
                        DamagedMessage(archivePath, where + " is cut off by the end of the file"));
        return Fail(error,
                    DamagedMessage(archivePath, where + " has no zero byte within " +
                                                    std::to_string(kArchiveWindowSize) + " bytes"));
    }
    text.assign(window, zero);
    return true;
}

// Reads the header of the entry at `offset` and checks that its content lies inside the file.
bool ReadEntryHeader(int fd, std::uint64_t length, std::uint64_t offset,
                     std::string_view archivePath, EntryHeader& entry, std::string* error) {
    if (!ReadWindowText(fd, length, offset, "the entry name", archivePath, entry.name, error))
        return false;
    std::uint64_t sizeOffset = offset + entry.name.size() + 1;
    std::string entryShown = "entry " + Shown(entry.name);
    if (sizeOffset >= length)
        return Fail(error, DamagedMessage(archivePath,
                                          entryShown + " ends after its name, without a size"));
    std::string sizeText;
    if (!ReadWindowText(fd, length, sizeOffset, "the size of " + entryShown, archivePath, sizeText,
                        error))
        return false;

    // Plain decimal digits only: no sign, no blanks, no leading zeros, as the writer makes it.
    std::string sizeShown = "the size " + Shown(sizeText) + " of " + entryShown;
    if (sizeText.empty())
        return Fail(error, DamagedMessage(archivePath, entryShown + " has an empty size"));
    std::uint64_t size = 0;
    for (char c : sizeText) {
        if (c < '0' || c > '9')
            return Fail(error, DamagedMessage(archivePath, sizeShown + " is not a number"));
    }
    if (sizeText.size() > 1 && sizeText[0] == '0')
        return Fail(error, DamagedMessage(archivePath, sizeShown + " has a leading zero"));
    for (char c : sizeText) {
        auto digit = static_cast<std::uint64_t>(c - '0');
        if (size > (UINT64_MAX - digit) / 10)
            return Fail(error, DamagedMessage(archivePath, sizeShown + " is too large"));
        size = size * 10 + digit;
    }

    entry.contentOffset = sizeOffset + sizeText.size() + 1;
    std::uint64_t remaining = entry.contentOffset <= length ? length - entry.contentOffset : 0;
    if (size > remaining)
        return Fail(error,
                    DamagedMessage(archivePath, entryShown + " promises " + std::to_string(size) +
                                                    " bytes but the file holds only " +
                                                    std::to_string(remaining) + " more"));
    entry.size = size;
    return true;
}

// Opens an archive for the walk; an empty archive holds no entry and is refused.
int OpenArchiveForReading(std::string_view archivePath, std::uint64_t& length, std::string* error) {
    int fd = OpenRegular(archivePath, O_RDONLY, "read", length, error);
    if (fd >= 0 && length == 0) {
        ::close(fd);
        Fail(error, Quoted(archivePath) + " is not a library: the file is empty");
        return -1;
    }
    return fd;
}

} // namespace

bool AddFileToArchive(std::string_view archivePath, std::string_view filePath,
                      std::string_view entryName, std::string* error) {
    if (entryName.size() > kArchiveMaxNameLength || entryName.find('\0') != std::string::npos)
        return Fail(error,
                    "Cannot add " + Quoted(filePath) + " to " + Quoted(archivePath) +
                        ": the entry name " + Shown(entryName) +
                        (entryName.size() > kArchiveMaxNameLength ? " is longer than 255 bytes"
                                                                  : " holds a zero byte"));

    std::uint64_t archiveLength = 0;
    FileHandle archive(OpenRegular(archivePath, O_RDWR | O_CREAT, "write", archiveLength, error));
    if (archive.get() < 0) return false;
    std::uint64_t fileLength = 0;
    FileHandle file(OpenRegular(filePath, O_RDONLY | O_CREAT, "read", fileLength, error));
    if (file.get() < 0) return false;

    // Whatever goes wrong from here, the archive is cut back to its old length so the
    // entries before stay readable and no partial entry is left at the end.
    auto rollBack = [&](std::string message) {
        if (::ftruncate(archive.get(), static_cast<off_t>(archiveLength)) != 0) {
            // Nothing more can be done; the message below still names the first failure.
        }
        return Fail(error, std::move(message));
    };

    std::string header(entryName);
    header.push_back('\0');
    header += std::to_string(fileLength);
    header.push_back('\0');
    if (!WriteAt(archive.get(), archiveLength, header.data(), header.size()))
        return rollBack(CannotMessage("write", archivePath, errno));

    CopyFailure failure =
        CopyContent(file.get(), 0, archive.get(), archiveLength + header.size(), fileLength);
    switch (failure.kind) {
    case CopyFailure::None: break;
    case CopyFailure::Read: return rollBack(CannotMessage("read", filePath, failure.errorNumber));
    case CopyFailure::Write:
        return rollBack(CannotMessage("write", archivePath, failure.errorNumber));
    case CopyFailure::Shorter:
        return rollBack("Cannot read " + Quoted(filePath) +
                        ": the file became shorter while it was being added");
    }
    if (!archive.Close()) return Fail(error, CannotMessage("write", archivePath, errno));
    return true;
}

bool ListArchiveEntries(std::string_view archivePath, std::vector<ArchiveEntry>& entries,
                        std::string* error) {
    entries.clear();
    std::uint64_t length = 0;
    FileHandle archive(OpenArchiveForReading(archivePath, length, error));
    if (archive.get() < 0) return false;

    std::uint64_t offset = 0;
    while (offset < length) {
        EntryHeader entry;
        if (!ReadEntryHeader(archive.get(), length, offset, archivePath, entry, error)) {
            entries.clear();
            return false;
        }
        offset = entry.contentOffset + entry.size;
        entries.push_back({std::move(entry.name), entry.size});
    }
    return true;
}

bool ListArchive(std::string_view archivePath, std::vector<std::string>& names,
                 std::string* error) {
    names.clear();
    std::vector<ArchiveEntry> entries;
    if (!ListArchiveEntries(archivePath, entries, error)) return false;
    names.reserve(entries.size());
    for (ArchiveEntry& entry : entries) names.push_back(std::move(entry.name));
    return true;
}

bool ExtractFromArchive(std::string_view archivePath, std::string_view entryName,
                        std::string_view outputPath, std::string* error) {
    std::uint64_t length = 0;
    FileHandle archive(OpenArchiveForReading(archivePath, length, error));
    if (archive.get() < 0) return false;

    std::string wanted = Cp1252Lower(entryName);
    EntryHeader entry;
    bool found = false;
    std::uint64_t offset = 0;
    while (offset < length && !found) {
        if (!ReadEntryHeader(archive.get(), length, offset, archivePath, entry, error))
            return false;
        found = Cp1252Lower(entry.name) == wanted;
        offset = entry.contentOffset + entry.size;
    }
    if (!found)
        return Fail(error, Quoted(archivePath) + " holds no entry named " + Shown(entryName));

    AtomicFileWriter output;
    if (Status s = output.Open(outputPath); !s) return Fail(error, s.message());
    CopyFailure failure =
        CopyContent(archive.get(), entry.contentOffset, output.Descriptor(), 0, entry.size);
    switch (failure.kind) {
    case CopyFailure::None: break;
    case CopyFailure::Read:
        return Fail(error, CannotMessage("read", archivePath, failure.errorNumber));
    case CopyFailure::Write:
        return Fail(error, CannotMessage("write", outputPath, failure.errorNumber));
    case CopyFailure::Shorter:
        return Fail(error, DamagedMessage(archivePath, "entry " + Shown(entry.name) +
                                                           " is cut off by the end of the file"));
    }
    // Extracted entries are working copies of what the library holds, so the output is not
    // forced to the disk: that would bind extraction to the disk's speed, several times
    // slower than a plain copy. The rename still keeps a failed extraction from leaving a
    // partial file.
    if (Status s = output.Commit(/*flushToDisk=*/false); !s) return Fail(error, s.message());
    return true;
}

} // namespace kestrel
