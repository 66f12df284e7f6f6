#pragma once
// Small projects and hand-built archives for the library tests.
#include "model/ProjectPaths.h"
#include "model/RtlSignal.h"
#include "model/TlmFunction.h"

#include "TestSupport.h"

#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <sys/resource.h>

namespace kestrel::test {

// A project folder with Input, Temp and Output.
inline std::string MakeProjectFolder(const std::filesystem::path& folder) {
    for (const char* sub : {"Input", "Temp", "Output"})
        std::filesystem::create_directories(folder / sub);
    return folder.string();
}

inline TlmFunction Function(std::string_view name, bool isLibrary = false) {
    TlmFunction f;
    f.functionName = name;
    f.returnTypeText = "void";
    f.returnTypeIndex = 0;
    f.isLibrary = isLibrary;
    return f;
}

inline RtlSignal Signal(std::string_view name, int direction, bool isClock = false,
                        bool isLibrary = false) {
    RtlSignal s;
    s.dataTypeText = "sc_logic";
    s.dataTypeIndex = 0;
    s.width = 1;
    s.signalName = name;
    s.directionText = kDirectionNames.at(static_cast<std::size_t>(direction));
    s.directionIndex = static_cast<std::int16_t>(direction);
    s.initValue = "0";
    s.isClock = isClock;
    s.isLibrary = isLibrary;
    return s;
}

inline void SaveFunctions(const std::string& projectFolder, const std::vector<TlmFunction>& list) {
    auto table = std::make_unique<TlmFunctionTable>();
    for (const TlmFunction& f : list) (*table)[++table->count] = f;
    ASSERT_TRUE(SaveTlmFunctions(projectFolder, *table).ok());
}

inline void SaveSignals(const std::string& projectFolder, const std::vector<RtlSignal>& list) {
    auto table = std::make_unique<RtlSignalTable>();
    for (const RtlSignal& s : list) (*table)[++table->count] = s;
    ASSERT_TRUE(SaveRtlSignals(projectFolder, *table).ok());
}

// An archive written out by hand: name, zero byte, decimal size, zero byte, content.
inline std::string Archive(const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string bytes;
    for (const auto& [name, content] : entries) {
        bytes += name;
        bytes.push_back('\0');
        bytes += std::to_string(content.size());
        bytes.push_back('\0');
        bytes += content;
    }
    return bytes;
}

// Runs `action` while the file system refuses writes past `bytes` in any one file.
inline void WithFileSizeLimit(rlim_t bytes, const std::function<void()>& action) {
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = bytes;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    action();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
}

// Every file below a folder (links listed as "-> target"), with its bytes.
inline std::map<std::string, std::string> Snapshot(const std::filesystem::path& root) {
    namespace fs = std::filesystem;
    std::map<std::string, std::string> files;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        std::string relative = fs::relative(it->path(), root).string();
        if (it->is_symlink())
            files[relative] = "-> " + fs::read_symlink(it->path()).string();
        else if (it->is_regular_file())
            files[relative] = ReadBytes(it->path());
        else
            files[relative + "/"] = "";
    }
    return files;
}

} // namespace kestrel::test
