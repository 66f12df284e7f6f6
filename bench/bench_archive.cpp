// Measures packing and unpacking a large file with the library archive against a plain
// `cp` of the same file and against `tar` packing and unpacking it, and the peak memory of
// this process while it does so.
//
// Usage: bench_archive [MiB,...]   (or KESTREL_BENCH_ARCHIVE_MB; default 512,1024: 512 MiB
// and 1 GiB, one after the other)
// The file is made in a fresh folder under $TMPDIR (or /tmp), which is removed at the end.
// `cp` runs once to warm the page cache; then each round times cp, pack and unpack once
// and the best time of each counts (KESTREL_BENCH_ROUNDS, default 5): on a shared or virtual
// machine single runs vary by a factor of two or more. Exits 1 when a target is missed.
#include "library/Archive.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using kestrel::AddFileToArchive;
using kestrel::ExtractFromArchive;

// Goals: pack and unpack each take at most 1.2 times as long as cp, and less than tar.
constexpr double kGoalTimeRatio = 1.2;
constexpr double kTargetPeakMiB = 16.0;

// A positive whole number from the text, or the fallback when there is no text.
long long PositiveSetting(const char* text, long long fallback, const char* what) {
    if (!text || !*text) return fallback;
    char* end = nullptr;
    long long value = std::strtoll(text, &end, 10);
    if (*end != '\0' || value <= 0) {
        std::fprintf(stderr, "bench_archive: %s \"%s\" is not a positive whole number\n", what,
                     text);
        std::exit(2);
    }
    return value;
}

double PeakResidentMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // ru_maxrss is in KiB on Linux
}

// The one-minute load average, or 0 when unknown.
double LoadAverage() {
    double load = 0;
    if (std::FILE* file = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(file, "%lf", &load) != 1) load = 0;
        std::fclose(file);
    }
    return load;
}

// Writes `bytes` bytes of a varying pattern in 1 MiB pieces.
bool MakeFile(const fs::path& path, long long bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    std::vector<unsigned char> piece(1 << 20);
    for (long long done = 0; done < bytes;) {
        for (std::size_t i = 0; i < piece.size(); ++i)
            piece[i] = static_cast<unsigned char>((done / 4096 + i * 13) & 0xFF);
        auto n = static_cast<std::size_t>(std::min<long long>(bytes - done, piece.size()));
        if (std::fwrite(piece.data(), 1, n, file) != n) {
            std::fclose(file);
            return false;
        }
        done += static_cast<long long>(n);
    }
    return std::fclose(file) == 0;
}

// Runs a program (no shell) and waits for it; true when it exits with status 0.
bool Run(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool RunCp(const fs::path& from, const fs::path& to) {
    return Run({"/bin/cp", from.string(), to.string()});
}

// Copies the whole file into a new file starting at byte `offset`, in one kernel copy.
bool KernelCopyAt(const fs::path& from, const fs::path& to, std::uint64_t offset, long long bytes) {
    int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    bool ok = in >= 0 && out >= 0;
    off_t inPos = 0, outPos = static_cast<off_t>(offset);
    for (long long done = 0; ok && done < bytes;) {
        ssize_t n =
            ::copy_file_range(in, &inPos, out, &outPos, static_cast<std::size_t>(bytes - done), 0);
        ok = n > 0;
        done += n;
    }
    if (in >= 0) ::close(in);
    if (out >= 0) ::close(out);
    return ok;
}

// Deletes the step's result file, waits until no dirty pages are left, so that no step pays
// for the writeback of another, and times the step: seconds, or -1 when it failed.
template <typename Step> double Seconds(const fs::path& result, Step step) {
    std::error_code ec;
    fs::remove(result, ec);
    ::sync();
    auto start = std::chrono::steady_clock::now();
    bool ok = step();
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return ok ? seconds : -1;
}

// Removes the work folder whatever way the program ends.
struct WorkFolder {
    fs::path path;
    ~WorkFolder() {
        std::error_code ec;
        if (!path.empty()) fs::remove_all(path, ec);
    }
};

// Measures one file size; 0 when every goal is met, 1 when one is missed, 2 on failure.
int MeasureSize(long long mib, int rounds) {
    const long long bytes = mib << 20;
    const double mb = static_cast<double>(bytes) / 1e6;

    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/kestrel-bench-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        std::perror("bench_archive: cannot make a temporary folder");
        return 2;
    }
    WorkFolder work{pattern};
    const fs::path source = work.path / "payload.bin";
    const fs::path copy = work.path / "copy.bin";
    const fs::path archive = work.path / "bench.tlib";
    const fs::path output = work.path / "unpacked.bin";
    const fs::path shifted = work.path / "shifted.bin";
    const fs::path tarball = work.path / "bench.tar";
    const fs::path untarFolder = work.path / "untar";
    const fs::path untarred = untarFolder / "payload.bin";

    std::printf("archive benchmark: %lld MiB (%.0f MB) in %s, best of %d rounds\n", mib, mb,
                work.path.c_str(), rounds);
    if (!MakeFile(source, bytes)) {
        std::perror("bench_archive: cannot write the test file");
        return 2;
    }

    if (!RunCp(source, copy)) { // warms the cache
        std::fprintf(stderr, "bench_archive: cp failed\n");
        return 2;
    }
    const double peakBefore = PeakResidentMiB();
    const std::string storedSource = kestrel::StoredPath(source);
    const std::string storedArchive = kestrel::StoredPath(archive);
    const std::string storedOutput = kestrel::StoredPath(output);
    std::string error;
    auto pack = [&] {
        return AddFileToArchive(storedArchive, storedSource, "payload.bin", &error);
    };
    auto unpack = [&] {
        return ExtractFromArchive(storedArchive, "PAYLOAD.BIN", storedOutput, &error);
    };
    // The archive places the content right after its header, at a byte offset that is not a
    // multiple of the page size, so every page is copied in two parts. A kernel copy of the
    // file to that offset is the fastest any packer of this format can be: shown for reference.
    const std::uint64_t headerBytes = 11 + 1 + std::to_string(bytes).size() + 1;
    auto offsetCopy = [&] { return KernelCopyAt(source, shifted, headerBytes, bytes); };
    auto tarPack = [&] {
        return Run({"/bin/tar", "-cf", tarball.string(), "-C", work.path.string(), "payload.bin"});
    };
    auto tarUnpack = [&] {
        return Run({"/bin/tar", "-xf", tarball.string(), "-C", untarFolder.string()});
    };
    fs::create_directories(untarFolder);
    double cpSeconds = 1e300, packSeconds = 1e300, unpackSeconds = 1e300, offsetSeconds = 1e300,
           tarPackSeconds = 1e300, tarUnpackSeconds = 1e300;
    // A failed step's time is -1, which stays the minimum.
    auto best = [](double& bestSoFar, double seconds) {
        bestSoFar = bestSoFar < 0 ? bestSoFar : std::min(bestSoFar, seconds);
    };
    for (int round = 0; round < rounds; ++round) {
        // Each step first deletes its own result of the round before, so every step writes
        // its file into as much just-freed memory as the others.
        best(cpSeconds, Seconds(copy, [&] { return RunCp(source, copy); }));
        best(offsetSeconds, Seconds(shifted, offsetCopy));
        best(packSeconds, Seconds(archive, pack));
        best(unpackSeconds, Seconds(output, unpack));
        best(tarPackSeconds, Seconds(tarball, tarPack));
        best(tarUnpackSeconds, Seconds(untarred, tarUnpack));
        if (cpSeconds < 0 || offsetSeconds < 0 || packSeconds < 0 || unpackSeconds < 0 ||
            tarPackSeconds < 0 || tarUnpackSeconds < 0) {
            std::fprintf(stderr, "bench_archive: %s failed: %s\n",
                         cpSeconds < 0        ? "cp"
                         : offsetSeconds < 0  ? "the offset copy"
                         : packSeconds < 0    ? "pack"
                         : unpackSeconds < 0  ? "unpack"
                         : tarPackSeconds < 0 ? "tar -c"
                                              : "tar -x",
                         error.c_str());
            return 2;
        }
        if (fs::file_size(output) != static_cast<std::uintmax_t>(bytes) ||
            fs::file_size(archive) != static_cast<std::uintmax_t>(bytes) + headerBytes) {
            std::fprintf(stderr, "bench_archive: unexpected file sizes\n");
            return 2;
        }
    }
    const double peak = PeakResidentMiB();

    const double packRatio = packSeconds / cpSeconds;
    const double unpackRatio = unpackSeconds / cpSeconds;
    const bool packOk = packRatio <= kGoalTimeRatio && packSeconds < tarPackSeconds;
    const bool unpackOk = unpackRatio <= kGoalTimeRatio && unpackSeconds < tarUnpackSeconds;
    const bool memoryOk = peak < kTargetPeakMiB;
    std::printf("  cp        %7.3f s  %8.1f MB/s\n", cpSeconds, mb / cpSeconds);
    std::printf("  tar -c    %7.3f s  %8.1f MB/s  %.2f x cp\n", tarPackSeconds, mb / tarPackSeconds,
                tarPackSeconds / cpSeconds);
    std::printf("  tar -x    %7.3f s  %8.1f MB/s  %.2f x cp\n", tarUnpackSeconds,
                mb / tarUnpackSeconds, tarUnpackSeconds / cpSeconds);
    std::printf("  reference: kernel copy to byte %llu  %7.3f s  %8.1f MB/s  %.2f x cp\n",
                static_cast<unsigned long long>(headerBytes + 1), offsetSeconds, mb / offsetSeconds,
                offsetSeconds / cpSeconds);
    std::printf("  pack      %7.3f s  %8.1f MB/s  %.2f x cp  (goal <= %.1f x cp and faster than "
                "tar)  %s\n",
                packSeconds, mb / packSeconds, packRatio, kGoalTimeRatio, packOk ? "ok" : "MISSED");
    std::printf("  unpack    %7.3f s  %8.1f MB/s  %.2f x cp  (goal <= %.1f x cp and faster than "
                "tar)  %s\n",
                unpackSeconds, mb / unpackSeconds, unpackRatio, kGoalTimeRatio,
                unpackOk ? "ok" : "MISSED");
    std::printf("  peak resident memory %.1f MiB, %.1f MiB before packing  (goal < %.0f MiB)  "
                "%s\n",
                peak, peakBefore, kTargetPeakMiB, memoryOk ? "ok" : "MISSED");
    double load = LoadAverage();
    long cores = ::sysconf(_SC_NPROCESSORS_ONLN);
    if (load > static_cast<double>(cores))
        std::printf("  note: load average %.1f on %ld cores; the times are not reliable\n", load,
                    cores);
    return packOk && unpackOk && memoryOk ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const char* sizes = argc > 1 ? argv[1] : std::getenv("KESTREL_BENCH_ARCHIVE_MB");
    const std::string list = sizes && *sizes ? sizes : "512,1024";
    const int rounds =
        static_cast<int>(PositiveSetting(std::getenv("KESTREL_BENCH_ROUNDS"), 5, "round count"));
    int worst = 0;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t comma = std::min(list.find(',', start), list.size());
        const std::string size = list.substr(start, comma - start);
        worst =
            std::max(worst, MeasureSize(PositiveSetting(size.c_str(), 512, "size in MiB"), rounds));
        start = comma + 1;
    }
    return worst;
}
