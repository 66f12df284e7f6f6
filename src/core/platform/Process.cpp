// Runs an external program with its two output streams captured, up to 64 KiB each; the
// search of PATH and the folder of the running executable.
#include "platform/Process.h"

#include "platform/ChildProcess.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel {

namespace {

constexpr std::size_t kMaxOutput = 64 * 1024; // of each stream

} // namespace

ProcessOutcome LinuxProcessRunner::Run(const std::string& program,
                                       const std::vector<std::string>& arguments,
                                       std::chrono::milliseconds timeout) {
    ProcessOutcome outcome;
    ChildCommand command;
    command.program = program;
    command.words = arguments;
    ChildEnd end = RunChild(command, timeout, [&outcome](int stream, std::string_view bytes) {
        std::string& text = stream == 1 ? outcome.output : outcome.errorOutput;
        const std::size_t room = kMaxOutput - std::min(kMaxOutput, text.size());
        text.append(bytes.substr(0, room));
    });
    outcome.started = end.started;
    outcome.timedOut = end.timedOut;
    outcome.exitCode = end.exitCode;
    if (!end.started) outcome.errorOutput = end.failure;
    return outcome;
}

std::string FindProgram(std::string_view name) {
    auto executable = [](const std::string& path) {
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
               ::access(path.c_str(), X_OK) == 0;
    };
    if (name.empty()) return {};
    if (name.find('/') != std::string_view::npos)
        return executable(std::string(name)) ? std::string(name) : std::string();
    const char* path = std::getenv("PATH");
    std::string_view folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
    while (!folders.empty()) {
        std::size_t colon = folders.find(':');
        std::string_view folder = folders.substr(0, colon);
        std::string candidate =
            std::string(folder.empty() ? "." : folder) + "/" + std::string(name);
        if (executable(candidate)) return candidate;
        if (colon == std::string_view::npos) break;
        folders.remove_prefix(colon + 1);
    }
    return {};
}

std::string RunningProgramFolder() {
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return ".";
    return self.parent_path().string();
}

} // namespace kestrel
