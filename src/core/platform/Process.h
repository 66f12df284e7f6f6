#pragma once
// The process seam: the external converters (kestrel-docgen, kestrel-docextract) run as
// programs of their own. A run is always bounded in time; tests inject a fake runner.
#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

struct ProcessOutcome {
    bool started = false;    // false: the program could not be started (see errorOutput)
    bool timedOut = false;   // still running when the wait ended; it was stopped
    int exitCode = -1;       // the exit status of a program that ended by itself
    std::string errorOutput; // what the program wrote on its standard error (cut at 64 KiB)
    std::string output{};    // what it wrote on its standard output (cut at 64 KiB)

    bool succeeded() const { return started && !timedOut && exitCode == 0; }
};

class ProcessRunner {
public:
    virtual ~ProcessRunner() = default;
    // Runs a program (a native path) with its arguments (native text, passed as they are,
    // no shell) and waits for it at most `timeout`; a program still running then is killed.
    virtual ProcessOutcome Run(const std::string& program,
                               const std::vector<std::string>& arguments,
                               std::chrono::milliseconds timeout) = 0;
};

// Starts the program with posix_spawn; its standard input is /dev/null, its standard
// output and standard error are captured.
class LinuxProcessRunner final : public ProcessRunner {
public:
    ProcessOutcome Run(const std::string& program, const std::vector<std::string>& arguments,
                       std::chrono::milliseconds timeout) override;
};

// The full path of `name` as the shell finds it in PATH (an empty entry is the current
// folder; without PATH, /usr/local/bin:/usr/bin:/bin); empty when it is not there. A name
// holding a slash is returned as it is when that file is executable.
std::string FindProgram(std::string_view name);

// The folder of the running executable (native path), where the converters lie.
std::string RunningProgramFolder();

} // namespace kestrel
