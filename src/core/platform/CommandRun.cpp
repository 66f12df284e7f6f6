// Runs a tool found in PATH with its standard output and error on one pipe, so that its
// lines can be shown as they come, in the order it wrote them.
#include "platform/CommandRun.h"

#include "platform/ChildProcess.h"

namespace kestrel {

namespace {

constexpr std::size_t kMaxKeptOutput = 1024 * 1024;

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

void Keep(RunOutcome& outcome, std::string_view bytes) {
    outcome.output.append(bytes);
    if (outcome.output.size() > kMaxKeptOutput)
        outcome.output.erase(0, outcome.output.size() - kMaxKeptOutput);
}

} // namespace

RunOutcome RunCommand(const CommandLine& command, std::chrono::milliseconds timeout,
                      const OutputLineSink& onLine, const std::atomic<bool>* stop) {
    RunOutcome outcome;
    ChildCommand child;
    child.program = command.program;
    child.words = command.words;
    child.searchPath = true;
    child.workingFolder = command.workingFolder;
    child.environment = command.environment;
    child.mergeErrors = true;
    std::string pending;
    ChildEnd end = RunChild(
        child, timeout,
        [&](int, std::string_view bytes) {
            Keep(outcome, bytes);
            pending.append(bytes);
            Deliver(pending, onLine);
        },
        stop);
    if (!pending.empty()) {
        pending += '\n';
        Deliver(pending, onLine);
    }
    outcome.started = end.started;
    outcome.timedOut = end.timedOut;
    outcome.stopped = end.stopped;
    outcome.exitCode = end.exitCode;
    if (!end.started) outcome.output = end.failure;
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
