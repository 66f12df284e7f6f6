#pragma once
// Long-running tools (CMake, the compiler, Verilator, a simulation): run in a working
// folder, with their standard output and standard error merged and handed over line by
// line while they run, bounded in time and stoppable from another thread.
#include "platform/Process.h" // FindProgram

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

struct CommandLine {
    std::string program;            // a path, or a name looked up in PATH
    std::vector<std::string> words; // the arguments, passed as they are (no shell)
    std::string workingFolder;      // empty: the caller's
    // Added to (or replacing) the caller's environment, as "NAME=value".
    std::vector<std::string> environment;
};

struct RunOutcome {
    bool started = false;  // false: the program could not be started (see output)
    bool timedOut = false; // still running at the deadline; it and its children were stopped
    bool stopped = false;  // stopped on request
    int exitCode = -1;     // the exit status; 128 + signal for a program that was killed
    std::string output;    // everything it printed (the last 1 MiB of it)

    bool succeeded() const { return started && !timedOut && !stopped && exitCode == 0; }
};

using OutputLineSink = std::function<void(std::string_view line)>;

// Runs `command` and waits for it at most `timeout`. Every complete line of its output
// (without the line end) goes to `onLine` as soon as it arrives, on the calling thread.
// When `stop` becomes true the program's process group is killed.
RunOutcome RunCommand(const CommandLine& command, std::chrono::milliseconds timeout,
                      const OutputLineSink& onLine = {}, const std::atomic<bool>* stop = nullptr);

// "g++ -c a.cpp": a command line as a user would type it (words with blanks quoted).
std::string CommandText(const CommandLine& command);

} // namespace kestrel
