// Runs a tool with posix_spawnp in its own process group, its standard output and error
// on one pipe that is read while it runs, so that its lines can be shown as they come
// and a full pipe never blocks it.
#include "platform/CommandRun.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace kestrel {

namespace {

constexpr std::size_t kMaxKeptOutput = 1024 * 1024;

using SteadyClock = std::chrono::steady_clock;

// The caller's environment with `changes` ("NAME=value") added or replacing.
std::vector<std::string> MergedEnvironment(const std::vector<std::string>& changes) {
    std::vector<std::string> merged;
    for (char** entry = environ; *entry; ++entry) {
        std::string_view text(*entry);
        std::string_view name = text.substr(0, text.find('='));
        bool replaced = false;
        for (const std::string& change : changes)
            if (change.compare(0, name.size() + 1, std::string(name) + "=") == 0) replaced = true;
        if (!replaced) merged.emplace_back(text);
    }
    merged.insert(merged.end(), changes.begin(), changes.end());
    return merged;
}

// Splits what arrived into lines for the sink; a partial last line waits in `pending`.
void Deliver(std::string& pending, const OutputLineSink& onLine) {
    std::size_t start = 0;
    for (std::size_t end; (end = pending.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string_view line(pending.data() + start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (onLine) onLine(line);
    }
    pending.erase(0, start);
}

void Keep(RunOutcome& outcome, const char* bytes, std::size_t count) {
    outcome.output.append(bytes, count);
    if (outcome.output.size() > kMaxKeptOutput)
        outcome.output.erase(0, outcome.output.size() - kMaxKeptOutput);
}

} // namespace

RunOutcome RunCommand(const CommandLine& command, std::chrono::milliseconds timeout,
                      const OutputLineSink& onLine, const std::atomic<bool>* stop) {
    RunOutcome outcome;
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        outcome.output = std::string("cannot create a pipe: ") + std::strerror(errno);
        return outcome;
    }
    ::fcntl(pipeEnds[0], F_SETFL, ::fcntl(pipeEnds[0], F_GETFL) | O_NONBLOCK);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 2);
    if (!command.workingFolder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, command.workingFolder.c_str());

    std::vector<std::string> words;
    words.push_back(command.program);
    words.insert(words.end(), command.words.begin(), command.words.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    std::vector<std::string> environment = MergedEnvironment(command.environment);
    std::vector<char*> envp;
    for (std::string& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);

    pid_t pid = -1;
    int spawned = ::posix_spawnp(&pid, command.program.c_str(), &actions, &attributes, argv.data(),
                                 envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    if (spawned != 0) {
        ::close(pipeEnds[0]);
        outcome.output = command.program + ": " + std::strerror(spawned);
        return outcome;
    }
    outcome.started = true;

    const SteadyClock::time_point deadline = SteadyClock::now() + timeout;
    std::string pending;
    bool pipeOpen = true;
    int status = 0;
    bool reaped = false;
    auto drain = [&] {
        char buffer[8192];
        while (pipeOpen) {
            ssize_t got = ::read(pipeEnds[0], buffer, sizeof buffer);
            if (got > 0) {
                Keep(outcome, buffer, static_cast<std::size_t>(got));
                pending.append(buffer, static_cast<std::size_t>(got));
                Deliver(pending, onLine);
                continue;
            }
            if (got == 0 || (errno != EINTR && errno != EAGAIN)) pipeOpen = false;
            break;
        }
    };
    while (true) {
        if (pipeOpen) {
            pollfd fd{pipeEnds[0], POLLIN, 0};
            if (::poll(&fd, 1, 100) > 0) drain();
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            reaped = true;
            break;
        }
        if (stop && stop->load()) {
            outcome.stopped = true;
            break;
        }
        if (SteadyClock::now() >= deadline) {
            outcome.timedOut = true;
            break;
        }
    }
    if (!reaped) {
        ::kill(-pid, SIGKILL);
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    // What it wrote just before it ended; the read end does not block, so a descendant
    // that keeps the pipe open cannot hold us here.
    drain();
    if (!pending.empty()) {
        pending += '\n';
        Deliver(pending, onLine);
    }
    ::close(pipeEnds[0]);
    if (reaped) {
        if (WIFEXITED(status))
            outcome.exitCode = WEXITSTATUS(status);
        else
            outcome.exitCode = 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    }
    return outcome;
}

std::string CommandText(const CommandLine& command) {
    auto quoted = [](const std::string& word) {
        if (!word.empty() && word.find_first_of(" \t\"'$\\") == std::string::npos) return word;
        std::string text = "'";
        for (char c : word) text += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return text + "'";
    };
    std::string text = quoted(command.program);
    for (const std::string& word : command.words) text += " " + quoted(word);
    return text;
}

} // namespace kestrel
