#pragma once
// Shared pieces of the fuzz targets: a scratch folder for the readers that take paths,
// a check that stops the run with a message (so a broken promise is a finding just like a
// crash), and a few small text helpers. The same target bodies are built with libFuzzer
// and with the corpus replayer (fuzz/replay), so nothing here depends on libFuzzer.
#include "platform/FileSystem.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>

#define FUZZ_CHECK(condition, what)                                                                \
    do {                                                                                           \
        if (!(condition)) ::kestrel::fuzz::CheckFailed(__FILE__, __LINE__, #condition, what);      \
    } while (false)

namespace kestrel::fuzz {

[[noreturn]] inline void CheckFailed(const char* file, int line, const char* condition,
                                     std::string_view what) {
    std::fprintf(stderr, "%s:%d: check failed: %s (%.*s)\n", file, line, condition,
                 static_cast<int>(what.size()), what.data());
    std::abort();
}

// One folder per process under $TMPDIR (or /tmp), removed when the process ends. The
// targets keep everything they write inside it.
class ScratchFolder {
public:
    static const std::string& Path() {
        static ScratchFolder folder;
        return folder.path_;
    }

private:
    ScratchFolder() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/kestrel-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data())) {
            std::perror("kestrel fuzz: cannot make a scratch folder");
            std::abort();
        }
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string path_;
};

// A folder inside the scratch folder, emptied first; made with the parents it needs.
inline std::string FreshFolder(std::string_view name) {
    std::filesystem::path path = std::filesystem::path(ScratchFolder::Path()) / name;
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
    std::filesystem::create_directories(path, ec);
    FUZZ_CHECK(!ec, path.string());
    return path.string();
}

inline void WriteScratchFile(const std::string& path, std::string_view bytes) {
    Status written = WriteFileAtomic(path, bytes);
    FUZZ_CHECK(written.ok(), written.message());
}

inline std::string ReadScratchFile(const std::string& path) {
    std::string bytes;
    Status read = ReadFileBytes(path, bytes);
    FUZZ_CHECK(read.ok(), read.message());
    return bytes;
}

// How often `needle` occurs in `text` (not overlapping).
inline std::size_t Occurrences(std::string_view text, std::string_view needle) {
    std::size_t count = 0;
    for (std::size_t at = text.find(needle); at != std::string_view::npos;
         at = text.find(needle, at + needle.size()))
        ++count;
    return count;
}

// True when every CR is followed by LF and every LF preceded by CR.
inline bool OnlyCrLfLineEnds(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) return false;
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return false;
    }
    return true;
}

} // namespace kestrel::fuzz
