// File helpers: path joining with the native separator, code-page conversion of paths,
// and atomic replacement of files (temporary file in the same folder, fsync, rename).
#include "platform/FileSystem.h"

#include "platform/Text.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel {

namespace {

Status IoError(std::string_view what, std::string_view storedPath, int error) {
    return Status::Error("Cannot " + std::string(what) + " " + Quoted(storedPath) + ": " +
                         ErrnoText(error));
}

// Writes all bytes to fd; false with errno set on failure.
bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// The permissions of the file being replaced; a new file gets the usual 0666 & ~umask.
mode_t ReplacedFileMode(const char* target) {
    struct stat st {};
    if (::stat(target, &st) == 0) return st.st_mode & 07777;
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

std::string ErrnoText(int error) {
    return std::strerror(error);
}

std::string JoinPath(std::string_view folder, std::initializer_list<std::string_view> parts) {
    std::string out(folder);
    for (std::string_view part : parts) {
        out.push_back(kPathSeparator);
        out.append(part);
    }
    return out;
}

std::string AfterLastSeparator(std::string_view path) {
    std::size_t pos = path.find_last_of("/\\");
    return std::string(pos == std::string_view::npos ? path : path.substr(pos + 1));
}

std::string BeforeLastSeparator(std::string_view path) {
    std::size_t pos = path.find_last_of("/\\");
    return pos == std::string_view::npos ? std::string() : std::string(path.substr(0, pos));
}

std::filesystem::path NativePath(std::string_view storedPath) {
    std::string utf8 = Cp1252ToUtf8(storedPath);
    return std::filesystem::path(utf8);
}

std::string StoredPath(const std::filesystem::path& path) {
    return Utf8ToCp1252Lossy(path.string());
}

bool FileExists(std::string_view storedPath) {
    std::error_code ec;
    return std::filesystem::is_regular_file(NativePath(storedPath), ec);
}

bool DirectoryExists(std::string_view storedPath) {
    std::error_code ec;
    return std::filesystem::is_directory(NativePath(storedPath), ec);
}

Status ReadFileBytes(std::string_view storedPath, std::string& bytes, bool missingIsEmpty) {
    bytes.clear();
    std::string native = NativePath(storedPath).string();
    int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT && missingIsEmpty) return Status::Ok();
        return IoError("read", storedPath, errno);
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        return Status::Error("Cannot read " + Quoted(storedPath) + ": it is a folder");
    }
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            int error = errno;
            ::close(fd);
            bytes.clear();
            return IoError("read", storedPath, error);
        }
        if (n == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return Status::Ok();
}

Status WriteFileAtomic(std::string_view storedPath, std::string_view bytes) {
    std::filesystem::path target = NativePath(storedPath);
    std::string tempName = target.string() + ".kestrel-tmp-XXXXXX";
    int fd = ::mkostemp(tempName.data(), O_CLOEXEC);
    if (fd < 0) return IoError("write", storedPath, errno);

    ::fchmod(fd, ReplacedFileMode(target.c_str()));
    // The temporary file goes; the error is the one of the step that failed.
    auto fail = [&](int error) {
        ::unlink(tempName.c_str());
        return IoError("write", storedPath, error);
    };

    if (!WriteAll(fd, bytes) || ::fsync(fd) != 0) {
        int error = errno;
        ::close(fd);
        return fail(error);
    }
    if (::close(fd) != 0) return fail(errno);
    // A write-protected file stays protected: refuse as the desktop would.
    if (::access(target.c_str(), F_OK) == 0 && ::access(target.c_str(), W_OK) != 0)
        return fail(errno);
    if (::rename(tempName.c_str(), target.c_str()) != 0) return fail(errno);
    return Status::Ok();
}

Status AtomicFileWriter::Open(std::string_view storedPath) {
    Abort();
    storedPath_ = std::string(storedPath);
    target_ = NativePath(storedPath).string();
    temp_ = target_ + ".kestrel-tmp-XXXXXX";
    fd_ = ::mkostemp(temp_.data(), O_CLOEXEC);
    if (fd_ < 0) {
        int error = errno;
        temp_.clear();
        return IoError("write", storedPath, error);
    }
    ::fchmod(fd_, ReplacedFileMode(target_.c_str()));
    return Status::Ok();
}

std::string AtomicFileWriter::TemporaryPath() const {
    if (temp_.empty()) return {};
    // The random part of the name is ASCII: the stored path with the same suffix.
    return storedPath_ + temp_.substr(target_.size());
}

Status AtomicFileWriter::Write(std::string_view bytes) {
    if (fd_ < 0) return Status::Error("Cannot write " + Quoted(storedPath_) + ": it is not open");
    if (!WriteAll(fd_, bytes)) {
        int error = errno;
        Abort();
        return IoError("write", storedPath_, error);
    }
    return Status::Ok();
}

Status AtomicFileWriter::Commit(bool flushToDisk) {
    if (fd_ < 0) return Status::Error("Cannot write " + Quoted(storedPath_) + ": it is not open");
    int error = 0;
    if (flushToDisk && ::fsync(fd_) != 0) error = errno;
    if (::close(fd_) != 0 && error == 0) error = errno;
    fd_ = -1;
    // A write-protected file stays protected: refuse as the desktop would.
    if (error == 0 && ::access(target_.c_str(), F_OK) == 0 && ::access(target_.c_str(), W_OK) != 0)
        error = errno;
    if (error == 0 && ::rename(temp_.c_str(), target_.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temp_.c_str());
        temp_.clear();
        return IoError("write", storedPath_, error);
    }
    temp_.clear();
    return Status::Ok();
}

void AtomicFileWriter::Abort() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
}

Status OverlayFileAtomic(std::string_view storedPath, std::string_view record) {
    std::string old;
    if (Status s = ReadFileBytes(storedPath, old, /*missingIsEmpty=*/true); !s) return s;
    std::string bytes(record);
    if (old.size() > record.size()) bytes.append(old, record.size());
    return WriteFileAtomic(storedPath, bytes);
}

Status TouchFile(std::string_view storedPath) {
    std::string native = NativePath(storedPath).string();
    int fd = ::open(native.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return IoError("create", storedPath, errno);
    ::close(fd);
    return Status::Ok();
}

Status MakeDirectory(std::string_view storedPath) {
    std::string native = NativePath(storedPath).string();
    if (::mkdir(native.c_str(), 0777) != 0 && !(errno == EEXIST && DirectoryExists(storedPath)))
        return Status::Error("Cannot create the folder " + Quoted(storedPath) + ": " +
                             ErrnoText(errno));
    return Status::Ok();
}

Status RemoveFileIfExists(std::string_view storedPath) {
    std::string native = NativePath(storedPath).string();
    if (::unlink(native.c_str()) != 0 && errno != ENOENT)
        return IoError("delete", storedPath, errno);
    return Status::Ok();
}

Status CopyFileOverwrite(std::string_view from, std::string_view to) {
    std::string bytes;
    if (Status s = ReadFileBytes(from, bytes); !s) return s;
    return WriteFileAtomic(to, bytes);
}

} // namespace kestrel
