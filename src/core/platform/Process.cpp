// Runs an external program with posix_spawn and waits for it with a deadline: its
// standard output and error are read through pipes while it runs (so a chatty program
// cannot block on a full pipe), then the program is reaped; past the deadline it is killed.
#include "platform/Process.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace kestrel {

namespace {

constexpr std::size_t kMaxOutput = 64 * 1024; // of each stream

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
    // [0]: standard output, [1]: standard error; each a pipe's read and write end.
    int pipeEnds[2][2];
    if (::pipe2(pipeEnds[0], O_CLOEXEC) != 0) {
        outcome.errorOutput = std::string("cannot create a pipe: ") + std::strerror(errno);
        return outcome;
    }
    if (::pipe2(pipeEnds[1], O_CLOEXEC) != 0) {
        outcome.errorOutput = std::string("cannot create a pipe: ") + std::strerror(errno);
        ::close(pipeEnds[0][0]);
        ::close(pipeEnds[0][1]);
        return outcome;
    }
    // Only our ends read without blocking; the program's streams stay blocking.
    for (auto& ends : pipeEnds) ::fcntl(ends[0], F_SETFL, ::fcntl(ends[0], F_GETFL) | O_NONBLOCK);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[0][1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1][1], 2);

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
    for (auto& ends : pipeEnds) ::close(ends[1]);
    if (spawned != 0) {
        for (auto& ends : pipeEnds) ::close(ends[0]);
        outcome.errorOutput = program + ": " + std::strerror(spawned);
        return outcome;
    }
    outcome.started = true;

    std::string* texts[2] = {&outcome.output, &outcome.errorOutput};
    bool open[2] = {true, true};
    // Reads what stream `i` holds now; false once it has ended.
    auto drain = [&](int i) {
        char buffer[4096];
        while (true) {
            ssize_t got = ::read(pipeEnds[i][0], buffer, sizeof buffer);
            if (got > 0) {
                std::string& text = *texts[i];
                std::size_t room = kMaxOutput - std::min(kMaxOutput, text.size());
                text.append(buffer, std::min(room, std::size_t(got)));
                continue;
            }
            if (got < 0 && errno == EINTR) continue;
            if (got == 0 || errno != EAGAIN) open[i] = false;
            return;
        }
    };

    const SteadyClock::time_point deadline = SteadyClock::now() + timeout;
    int status = 0;
    bool reaped = false;
    while (true) {
        if (open[0] || open[1]) {
            pollfd fds[2];
            nfds_t count = 0;
            int streamOf[2];
            for (int i = 0; i < 2; ++i) {
                if (!open[i]) continue;
                fds[count] = {pipeEnds[i][0], POLLIN, 0};
                streamOf[count++] = i;
            }
            int ready = ::poll(fds, count, MillisecondsLeft(deadline));
            if (ready > 0) {
                for (nfds_t k = 0; k < count; ++k)
                    if (fds[k].revents != 0) drain(streamOf[k]);
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
        // Whatever the program wrote just before it ended (the read ends do not block, so a
        // descendant that keeps a pipe open cannot hold us here).
        for (int i = 0; i < 2; ++i)
            if (open[i]) drain(i);
        if (WIFEXITED(status))
            outcome.exitCode = WEXITSTATUS(status);
        else
            outcome.exitCode = 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    }
    for (auto& ends : pipeEnds) ::close(ends[0]);
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
