#include "platform/ChildProcess.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

extern char** environ;

namespace kestrel {

namespace {

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

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// The read ends of the child's streams: [0] its standard output, [1] its standard error
// (-1 when merged); each closed with the object.
struct Pipes {
    int read[2] = {-1, -1};
    int write[2] = {-1, -1};
    ~Pipes() {
        for (int fd : read)
            if (fd >= 0) ::close(fd);
        CloseWriteEnds();
    }
    void CloseWriteEnds() {
        for (int& fd : write)
            if (fd >= 0) ::close(std::exchange(fd, -1));
    }
    bool Open(int count) {
        for (int i = 0; i < count; ++i) {
            int ends[2];
            if (::pipe2(ends, O_CLOEXEC) != 0) return false;
            read[i] = ends[0];
            write[i] = ends[1];
            // Only our end reads without blocking; the program's streams stay blocking.
            ::fcntl(read[i], F_SETFL, ::fcntl(read[i], F_GETFL) | O_NONBLOCK);
        }
        return true;
    }
};

} // namespace

ChildEnd RunChild(const ChildCommand& command, std::chrono::milliseconds timeout,
                  const ChildBytesSink& onBytes, const std::atomic<bool>* stop) {
    ChildEnd end;
    Pipes pipes;
    const int streams = command.mergeErrors ? 1 : 2;
    if (!pipes.Open(streams)) {
        end.failure = std::string("cannot create a pipe: ") + std::strerror(errno);
        return end;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipes.write[0], 1);
    posix_spawn_file_actions_adddup2(&actions, pipes.write[streams - 1], 2);
    if (!command.workingFolder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, command.workingFolder.c_str());

    std::vector<std::string> words{command.program};
    words.insert(words.end(), command.words.begin(), command.words.end());
    std::vector<char*> argv = Pointers(words);
    std::vector<std::string> environment;
    std::vector<char*> envp;
    if (!command.environment.empty()) {
        environment = MergedEnvironment(command.environment);
        envp = Pointers(environment);
    }

    // A process group of its own, so that a time-out or a stop ends whatever it started
    // as well.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);

    pid_t pid = -1;
    char** env = envp.empty() ? environ : envp.data();
    const int spawned =
        command.searchPath
            ? ::posix_spawnp(&pid, command.program.c_str(), &actions, &attributes, argv.data(), env)
            : ::posix_spawn(&pid, command.program.c_str(), &actions, &attributes, argv.data(), env);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    pipes.CloseWriteEnds();
    if (spawned != 0) {
        end.failure = command.program + ": " + std::strerror(spawned);
        return end;
    }
    end.started = true;

    bool open[2] = {true, streams == 2};
    // Reads what stream `i` holds now, until it would block or has ended.
    auto drain = [&](int i) {
        char buffer[8192];
        while (open[i]) {
            ssize_t got = ::read(pipes.read[i], buffer, sizeof buffer);
            if (got > 0) {
                if (onBytes)
                    onBytes(i + 1, std::string_view(buffer, static_cast<std::size_t>(got)));
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
            int streamOf[2];
            nfds_t count = 0;
            for (int i = 0; i < 2; ++i) {
                if (!open[i]) continue;
                fds[count] = {pipes.read[i], POLLIN, 0};
                streamOf[count++] = i;
            }
            // A tenth of a second at most, so that a stop is seen soon.
            if (::poll(fds, count, 100) > 0)
                for (nfds_t k = 0; k < count; ++k)
                    if (fds[k].revents != 0) drain(streamOf[k]);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            reaped = true;
            break;
        }
        if (stop && stop->load()) {
            end.stopped = true;
            break;
        }
        if (SteadyClock::now() >= deadline) {
            end.timedOut = true;
            break;
        }
    }
    if (!reaped) {
        ::kill(-pid, SIGKILL);
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    // What it wrote just before it ended; the read ends do not block, so a descendant that
    // keeps a pipe open cannot hold us here.
    for (int i = 0; i < 2; ++i) drain(i);
    if (reaped) {
        if (WIFEXITED(status))
            end.exitCode = WEXITSTATUS(status);
        else
            end.exitCode = 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    }
    return end;
}

} // namespace kestrel
