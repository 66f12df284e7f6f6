#pragma once
// The one place a program is started and waited for: posix_spawn in a process group of
// its own, standard input /dev/null, standard output and error read through pipes while
// it runs (so a chatty program never blocks on a full pipe), bounded in time, stoppable
// from another thread, and killed with whatever it started when it is not waited for.
// The process runner and the command runner are made of it.
#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

struct ChildCommand {
    std::string program;            // a path; a name is looked up in PATH when `searchPath`
    std::vector<std::string> words; // the arguments, passed as they are (no shell)
    bool searchPath = false;
    std::string workingFolder;            // empty: the caller's
    std::vector<std::string> environment; // "NAME=value" added to or replacing the caller's
    bool mergeErrors = false;             // standard error on the standard output's pipe
};

struct ChildEnd {
    bool started = false;  // false: not started; `failure` says why
    bool timedOut = false; // still running at the deadline; killed
    bool stopped = false;  // killed on request
    int exitCode = -1;     // the exit status; 128 + signal for a program that was killed
    std::string failure;
};

// Bytes as they arrive: stream 1 the standard output (both when merged), 2 the error.
using ChildBytesSink = std::function<void(int stream, std::string_view bytes)>;

ChildEnd RunChild(const ChildCommand& command, std::chrono::milliseconds timeout,
                  const ChildBytesSink& onBytes, const std::atomic<bool>* stop = nullptr);

} // namespace kestrel
