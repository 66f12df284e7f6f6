// Runs an external program with posix_spawn and waits for it with a deadline: its
// standard error is read through a pipe while it runs (so a chatty program cannot block
// on a full pipe), then the program is reaped; past the deadline it is killed.
#include "platform/Process.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace kestrel {

namespace {

constexpr std::size_t kMaxErrorOutput = 64 * 1024;

using SteadyClock = std::chrono::steady_clock;

int MillisecondsLeft(SteadyClock::time_point deadline) {
    auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
    if (left.count() <= 0) return 0;
    return left.count() > 1000 ? 1000 : static_cast<int>(left.count());
}

} // namespace

ProcessOutcome LinuxProcessRunner::Run(const std::string& program,
                                       const std::vector<std::string>& arguments,
                                       std::chrono::milliseconds timeout) {
    ProcessOutcome outcome;
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        outcome.errorOutput = std::string("cannot create a pipe: ") + std::strerror(errno);
        return outcome;
    }
    // Only our end reads without blocking; the program's standard error stays blocking.
    ::fcntl(pipeEnds[0], F_SETFL, ::fcntl(pipeEnds[0], F_GETFL) | O_NONBLOCK);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 2);

    std::vector<std::string> words;
    words.push_back(program);
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);

    // The program leads a process group of its own, so that a time-out ends whatever it
    // started as well.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);

    pid_t pid = -1;
    int spawned = ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    if (spawned != 0) {
        ::close(pipeEnds[0]);
        outcome.errorOutput = program + ": " + std::strerror(spawned);
        return outcome;
    }
    outcome.started = true;

    const SteadyClock::time_point deadline = SteadyClock::now() + timeout;
    bool pipeOpen = true;
    int status = 0;
    bool reaped = false;
    while (true) {
        if (pipeOpen) {
            pollfd fd{pipeEnds[0], POLLIN, 0};
            int ready = ::poll(&fd, 1, MillisecondsLeft(deadline));
            if (ready > 0) {
                char buffer[4096];
                ssize_t got = ::read(pipeEnds[0], buffer, sizeof buffer);
                if (got > 0) {
                    std::size_t room =
                        kMaxErrorOutput - std::min(kMaxErrorOutput, outcome.errorOutput.size());
                    outcome.errorOutput.append(buffer, std::min(room, std::size_t(got)));
                } else if (got == 0 || (errno != EINTR && errno != EAGAIN)) {
                    pipeOpen = false;
                }
            }
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            reaped = true;
            break;
        }
        if (SteadyClock::now() >= deadline) break;
    }
    if (!reaped) {
        ::kill(-pid, SIGKILL);
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        outcome.timedOut = true;
    } else {
        // Whatever the program wrote just before it ended (the read end does not block, so a
        // descendant that keeps the pipe open cannot hold us here).
        while (pipeOpen) {
            char buffer[4096];
            ssize_t got = ::read(pipeEnds[0], buffer, sizeof buffer);
            if (got <= 0) break;
            std::size_t room =
                kMaxErrorOutput - std::min(kMaxErrorOutput, outcome.errorOutput.size());
            outcome.errorOutput.append(buffer, std::min(room, std::size_t(got)));
        }
        if (WIFEXITED(status))
            outcome.exitCode = WEXITSTATUS(status);
        else
            outcome.exitCode = 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    }
    ::close(pipeEnds[0]);
    return outcome;
}

std::string RunningProgramFolder() {
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return ".";
    return self.parent_path().string();
}

} // namespace kestrel
