// A preloaded library that makes one file operation fail, for the fault injection suite.
// It counts the calls of one kind on paths under a folder and fails the N-th one with a
// chosen errno; everything else passes through to the C library. Controlled by:
//   KESTREL_FAULT_ROOT    absolute folder whose files are counted (nothing else is)
//   KESTREL_FAULT_KIND    open | write | sync | rename | mkdir
//   KESTREL_FAULT_N       the call to fail, from 1
//   KESTREL_FAULT_ERRNO   the error number it fails with
//   KESTREL_FAULT_REPORT  file that receives "<kind> <path>" when the fault is hit
// "open" covers open, openat, creat and the mkstemp family (an open that only reads is
// reported as "read"); "write" covers write, pwrite,
// writev, copy_file_range and splice into a counted file; "sync" covers fsync and fdatasync.
// Programs this one starts run without the library: the variables are removed from the
// environment at load time, so only the command under test is faulted.
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <initializer_list>
#include <limits.h>
#include <stdint.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

namespace {

enum Kind { kOpen, kWrite, kSync, kRename, kMkdir, kNone };

struct Settings {
    char root[PATH_MAX] = {};
    std::size_t rootLength = 0;
    Kind kind = kNone;
    long failAt = 0;
    int error = EIO;
    char report[PATH_MAX] = {};
    long seen = 0;
    bool hit = false;
};

Settings settings;

// Paths of the counted descriptors (those opened under the root).
constexpr int kMaxTracked = 4096;
char* tracked[kMaxTracked];

template <typename F> F Next(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

__attribute__((constructor)) void Load() {
    const char* root = std::getenv("KESTREL_FAULT_ROOT");
    const char* kind = std::getenv("KESTREL_FAULT_KIND");
    const char* n = std::getenv("KESTREL_FAULT_N");
    const char* error = std::getenv("KESTREL_FAULT_ERRNO");
    const char* report = std::getenv("KESTREL_FAULT_REPORT");
    if (root && kind && n) {
        std::snprintf(settings.root, sizeof settings.root, "%s", root);
        settings.rootLength = std::strlen(settings.root);
        const char* names[] = {"open", "write", "sync", "rename", "mkdir"};
        for (int k = 0; k < kNone; ++k)
            if (std::strcmp(kind, names[k]) == 0) settings.kind = static_cast<Kind>(k);
        settings.failAt = std::atol(n);
        if (error) settings.error = std::atoi(error);
        if (report) std::snprintf(settings.report, sizeof settings.report, "%s", report);
    }
    for (const char* name : {"LD_PRELOAD", "KESTREL_FAULT_ROOT", "KESTREL_FAULT_KIND",
                             "KESTREL_FAULT_N", "KESTREL_FAULT_ERRNO", "KESTREL_FAULT_REPORT"})
        unsetenv(name);
}

// The absolute form of `path` as seen from `dirfd`, without resolving links.
bool Absolute(int dirfd, const char* path, char* out) {
    if (!path) return false;
    if (path[0] == '/') return std::snprintf(out, PATH_MAX, "%s", path) < PATH_MAX;
    char base[PATH_MAX];
    if (dirfd == AT_FDCWD) {
        if (!getcwd(base, sizeof base)) return false;
    } else {
        char link[64];
        std::snprintf(link, sizeof link, "/proc/self/fd/%d", dirfd);
        ssize_t n = readlink(link, base, sizeof base - 1);
        if (n < 0) return false;
        base[n] = '\0';
    }
    return std::snprintf(out, PATH_MAX, "%s/%s", base, path) < PATH_MAX;
}

bool UnderRoot(const char* absolute) {
    return settings.rootLength > 0 &&
           std::strncmp(absolute, settings.root, settings.rootLength) == 0 &&
           (absolute[settings.rootLength] == '/' || absolute[settings.rootLength] == '\0');
}

void Report(const char* kind, const char* path) {
    settings.hit = true;
    if (!settings.report[0]) return;
    auto realOpen = Next<int (*)(const char*, int, ...)>("open");
    int fd = realOpen(settings.report, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return;
    char line[PATH_MAX + 16];
    int n = std::snprintf(line, sizeof line, "%s %s\n", kind, path ? path : "?");
    auto realWrite = Next<ssize_t (*)(int, const void*, size_t)>("write");
    if (n > 0 && realWrite(fd, line, static_cast<size_t>(n)) < 0) {
        // Nothing to do: the test then sees no report and fails on its own.
    }
    close(fd);
}

// Counts a call of `kind` on `path` (absolute, under the root); true when it must fail.
// The report names the kind, or "read" for an open that only reads.
// Whether this call is the one to fail; if so it is reported and errno is set, so the
// caller only returns its failure value.
bool Fails(Kind kind, const char* path, bool readOnly = false) {
    if (settings.kind != kind || settings.hit || !path || !UnderRoot(path)) return false;
    if (++settings.seen != settings.failAt) return false;
    const char* names[] = {"open", "write", "sync", "rename", "mkdir"};
    Report(readOnly ? "read" : names[kind], path);
    errno = settings.error;
    return true;
}

const char* TrackedPath(int fd) {
    return fd >= 0 && fd < kMaxTracked ? tracked[fd] : nullptr;
}

void Track(int fd, const char* absolute) {
    if (fd < 0 || fd >= kMaxTracked) return;
    std::free(tracked[fd]);
    tracked[fd] = UnderRoot(absolute) ? strdup(absolute) : nullptr;
}

int OpenAt(int dirfd, const char* path, int flags, mode_t mode, const char* name) {
    char absolute[PATH_MAX] = {};
    bool known = Absolute(dirfd, path, absolute);
    if (known && Fails(kOpen, absolute, (flags & O_ACCMODE) == O_RDONLY && !(flags & O_CREAT)))
        return -1;
    int fd;
    if (std::strcmp(name, "openat") == 0 || std::strcmp(name, "openat64") == 0)
        fd = Next<int (*)(int, const char*, int, ...)>(name)(dirfd, path, flags, mode);
    else
        fd = Next<int (*)(const char*, int, ...)>(name)(path, flags, mode);
    if (fd >= 0 && known) Track(fd, absolute);
    return fd;
}

template <typename Real, typename... Args>
int TempFile(const char* name, char* pattern, Args... args) {
    char absolute[PATH_MAX] = {};
    if (Absolute(AT_FDCWD, pattern, absolute) && Fails(kOpen, absolute)) return -1;
    int fd = Next<Real>(name)(pattern, args...);
    if (fd >= 0 && Absolute(AT_FDCWD, pattern, absolute)) Track(fd, absolute);
    return fd;
}

} // namespace

extern "C" {

// The mode argument of open and openat is there only when the call may make a file.
#define KESTREL_MODE_ARGUMENT(flags)                                                               \
    va_list ap;                                                                                    \
    va_start(ap, flags);                                                                           \
    mode_t mode = (flags & (O_CREAT | O_TMPFILE)) ? va_arg(ap, mode_t) : 0;                        \
    va_end(ap)
#define KESTREL_OPEN(name)                                                                         \
    int name(const char* path, int flags, ...) {                                                   \
        KESTREL_MODE_ARGUMENT(flags);                                                              \
        return OpenAt(AT_FDCWD, path, flags, mode, #name);                                         \
    }
#define KESTREL_OPENAT(name)                                                                       \
    int name(int dirfd, const char* path, int flags, ...) {                                        \
        KESTREL_MODE_ARGUMENT(flags);                                                              \
        return OpenAt(dirfd, path, flags, mode, #name);                                            \
    }
KESTREL_OPEN(open)
KESTREL_OPEN(open64)
KESTREL_OPENAT(openat)
KESTREL_OPENAT(openat64)

int creat(const char* path, mode_t mode) {
    return OpenAt(AT_FDCWD, path, O_WRONLY | O_CREAT | O_TRUNC, mode, "open");
}

int mkstemp(char* pattern) {
    return TempFile<int (*)(char*)>("mkstemp", pattern);
}
int mkostemp(char* pattern, int flags) {
    return TempFile<int (*)(char*, int)>("mkostemp", pattern, flags);
}
int mkostemp64(char* pattern, int flags) {
    return TempFile<int (*)(char*, int)>("mkostemp64", pattern, flags);
}

int close(int fd) {
    if (fd >= 0 && fd < kMaxTracked && tracked[fd]) {
        std::free(tracked[fd]);
        tracked[fd] = nullptr;
    }
    return Next<int (*)(int)>("close")(fd);
}

// A call of `kind` on the counted file `fd`, returning `result`: the call `name` with
// `parameters`, its arguments `arguments`.
#define KESTREL_ON_FILE(kind, result, name, fd, parameters, arguments)                             \
    result name parameters {                                                                       \
        if (Fails(kind, TrackedPath(fd))) return -1;                                               \
        return Next<result(*) parameters>(#name) arguments;                                        \
    }
// A write into a counted file.
#define KESTREL_WRITE(name, fd, parameters, arguments)                                             \
    KESTREL_ON_FILE(kWrite, ssize_t, name, fd, parameters, arguments)
KESTREL_WRITE(write, fd, (int fd, const void* bytes, size_t count), (fd, bytes, count))
KESTREL_WRITE(writev, fd, (int fd, const struct iovec* parts, int count), (fd, parts, count))
KESTREL_WRITE(pwrite, fd, (int fd, const void* bytes, size_t count, off_t offset),
              (fd, bytes, count, offset))
KESTREL_WRITE(pwrite64, fd, (int fd, const void* bytes, size_t count, off_t offset),
              (fd, bytes, count, offset))
KESTREL_WRITE(copy_file_range, out,
              (int in, off_t* inOffset, int out, off_t* outOffset, size_t count, unsigned flags),
              (in, inOffset, out, outOffset, count, flags))
// The kernel-side copy from a pipe into a file counts as a write into that file; filling
// the pipe from a file writes nothing of the user's.
KESTREL_WRITE(splice, out,
              (int in, loff_t* inOffset, int out, loff_t* outOffset, size_t count, unsigned flags),
              (in, inOffset, out, outOffset, count, flags))

// A flush of a counted file to the disk.
KESTREL_ON_FILE(kSync, int, fsync, fd, (int fd), (fd))
KESTREL_ON_FILE(kSync, int, fdatasync, fd, (int fd), (fd))

// A call that makes the file or folder `path` (seen from `dir`): the call `name` with
// `parameters`, its arguments `arguments`.
#define KESTREL_MAKE(kind, name, dir, path, parameters, arguments)                                 \
    int name parameters {                                                                          \
        char absolute[PATH_MAX] = {};                                                              \
        if (Absolute(dir, path, absolute) && Fails(kind, absolute)) return -1;                     \
        return Next<int(*) parameters>(#name) arguments;                                           \
    }
KESTREL_MAKE(kRename, rename, AT_FDCWD, to, (const char* from, const char* to), (from, to))
KESTREL_MAKE(kRename, renameat, toDir, to,
             (int fromDir, const char* from, int toDir, const char* to), (fromDir, from, toDir, to))
KESTREL_MAKE(kRename, renameat2, toDir, to,
             (int fromDir, const char* from, int toDir, const char* to, unsigned flags),
             (fromDir, from, toDir, to, flags))
KESTREL_MAKE(kMkdir, mkdir, AT_FDCWD, path, (const char* path, mode_t mode), (path, mode))

} // extern "C"
