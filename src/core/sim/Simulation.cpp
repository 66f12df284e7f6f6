// The steps of a simulation, each a program of its own: cmake (configure when the build
// file or the folder changed, then build), and the simulation. Their output is handed over line by
// line as it comes.
#include "sim/Simulation.h"

#include "platform/FileSystem.h"

#include <thread>

namespace kestrel {

void ReadSimulationSummary(std::string_view line, SimulationOutcome& outcome) {
    constexpr std::string_view kPrefix = "kestrel-sim: ";
    if (line.rfind(kPrefix, 0) != 0) return;
    line.remove_prefix(kPrefix.size());
    constexpr std::string_view kCompleted = " transaction(s) completed in ";
    if (std::size_t at = line.find(kCompleted); at != std::string_view::npos) {
        outcome.transactions = std::stoul(std::string(line.substr(0, at)));
        std::string_view rest = line.substr(at + kCompleted.size());
        outcome.simulatedTime = std::string(rest.substr(0, rest.find(" (")));
    } else if (constexpr std::string_view kProtocol = "protocol check: ";
               line.rfind(kProtocol, 0) == 0) {
        line.remove_prefix(kProtocol.size());
        outcome.protocolViolations = std::stoul(std::string(line.substr(0, line.find(' '))));
    } else if (line.find("the time limit of") == 0) {
        outcome.timeLimitReached = true;
    } else if (constexpr std::string_view kUnchanged = "inputs of the RTL that never changed: ";
               line.rfind(kUnchanged, 0) == 0) {
        outcome.unchangedInputs = std::string(line.substr(kUnchanged.size()));
    }
}

std::string SimulatedTimeText(const SimulationOutcome& outcome) {
    if (!outcome.simulatedTime.empty()) return outcome.simulatedTime;
    return "not reported: the simulation ended before its summary (its output says why)";
}

std::string SimulationEndText(const SimulationOutcome& outcome) {
    if (outcome.exitCode == 0) return {};
    std::string why;
    if (outcome.protocolViolations && *outcome.protocolViolations > 0)
        why = " (" + std::to_string(*outcome.protocolViolations) + " protocol violation(s))";
    else if (outcome.timeLimitReached && !outcome.unchangedInputs.empty())
        why = " (time limit reached; inputs of the RTL that never changed: " +
              outcome.unchangedInputs + ")";
    else if (outcome.timeLimitReached)
        why = " (time limit reached)";
    else if (outcome.exitCode == 134)
        why = " (stopped by signal 6: a failed assertion)";
    else if (outcome.exitCode > 128)
        why = " (stopped by signal " + std::to_string(outcome.exitCode - 128) + ")";
    else if (outcome.simulatedTime.empty())
        why = " before its summary";
    return "the simulation ended with status " + std::to_string(outcome.exitCode) + why;
}

SimulationOutcome RunSimulation(const SimulationRequest& request, const SimulationEvents& events,
                                const std::atomic<bool>* stop) {
    SimulationOutcome outcome;
    auto step = [&](std::string_view text) {
        if (events.step) events.step(text);
    };
    step("Writing the testbench");
    outcome.testbench = WriteTestbench(request.testbench);
    if (!outcome.testbench.ok()) {
        outcome.status = outcome.testbench.status;
        return outcome;
    }
    if (!outcome.testbench.tlm2Module.empty() && events.notice)
        events.notice("TLM-2.0 socket module " + outcome.testbench.tlm2Module +
                      (outcome.testbench.tlm2ModuleWritten ? " (written)" : " (unchanged)"));
    if (std::string resets = ResetsNotice(outcome.testbench); !resets.empty() && events.notice)
        events.notice(resets);
    if (std::string check = ProtocolCheckNotice(outcome.testbench); !check.empty() && events.notice)
        events.notice(check);
    const std::string folder = outcome.testbench.folder;
    const std::string build = JoinPath(folder, {"build"});

    std::string cmake = FindProgram("cmake");
    if (cmake.empty()) {
        outcome.reached = SimulationStep::Configure;
        outcome.status = Status::Error("cmake is not installed (Debian package cmake)");
        return outcome;
    }
    // One step of the build; its output is kept when it fails.
    auto buildStep = [&](const CommandLine& command) {
        RunOutcome run = RunCommand(command, request.buildTimeout, events.buildLine, stop);
        outcome.timedOut = run.timedOut;
        outcome.stopped = run.stopped;
        if (run.succeeded()) return true;
        outcome.buildOutput = run.output;
        SourceMap map;
        if (!LoadSourceMap(request.testbench.projectFile, map)) map = SourceMap{};
        outcome.diagnostics = MapCompilerOutput(outcome.buildOutput, map);
        return false;
    };

    // The build folder is configured when the testbench's build file or the folder differs
    // from those of its last configure (another Verilog list or top, other defines, a folder
    // moved with its project), so that the build never runs with a stale configuration.
    // A configure that failed, was stopped or ran out of time leaves its cache behind
    // without the build files and without the record; it is dropped, so that the next run
    // configures again rather than building in a half-made folder. Every configure starts
    // from a fresh cache: one made in another folder or with another generator would stop it.
    outcome.reached = SimulationStep::Configure;
    const std::string cache = JoinPath(build, {"CMakeCache.txt"});
    const std::string record = JoinPath(build, {"kestrel-configured.txt"});
    std::string buildFile, recorded;
    if (outcome.status = ReadFileBytes(JoinPath(folder, {"CMakeLists.txt"}), buildFile);
        !outcome.status)
        return outcome;
    const std::string configuration = "testbench folder " + folder + "\n" + buildFile;
    const bool hasBuildFiles =
        FileExists(JoinPath(build, {"build.ninja"})) || FileExists(JoinPath(build, {"Makefile"}));
    const bool configured = FileExists(cache) && hasBuildFiles &&
                            ReadFileBytes(record, recorded).ok() && recorded == configuration;
    if (!configured) {
        step(FileExists(cache) && hasBuildFiles
                 ? "Configuring the build again (cmake): its build file or folder changed"
                 : "Configuring the build (cmake)");
        (void)RemoveFileIfExists(record);
        (void)RemoveFileIfExists(cache);
        CommandLine configure{cmake, {"-S", folder, "-B", build}, {}, {}};
        if (!FindProgram("ninja").empty()) {
            configure.words.push_back("-G");
            configure.words.push_back("Ninja");
        }
        if (!buildStep(configure)) {
            (void)RemoveFileIfExists(cache);
            return outcome;
        }
        if (outcome.status = WriteFileAtomic(record, configuration); !outcome.status)
            return outcome;
    }

    outcome.reached = SimulationStep::Build;
    step("Building the simulation (cmake --build)");
    int jobs = request.jobs > 0
                   ? request.jobs
                   : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    CommandLine compile{cmake, {"--build", build, "-j", std::to_string(jobs)}, {}, {}};
    if (!buildStep(compile)) return outcome;

    outcome.reached = SimulationStep::Run;
    step("Running the simulation");
    CommandLine sim{JoinPath(build, {"sim"}), {}, folder, {"SC_COPYRIGHT_MESSAGE=DISABLE"}};
    if (!request.until.empty()) {
        sim.words.push_back("--until");
        sim.words.push_back(request.until);
    }
    RunOutcome ran = RunCommand(
        sim, request.runTimeout,
        [&](std::string_view line) {
            ReadSimulationSummary(line, outcome);
            if (events.simLine) events.simLine(line);
        },
        stop);
    outcome.exitCode = ran.exitCode;
    outcome.timedOut = ran.timedOut;
    outcome.stopped = ran.stopped;
    if (!ran.started) {
        outcome.status = Status::Error(ran.output);
        return outcome;
    }
    outcome.waveform = JoinPath(folder, {"waves.vcd"});
    if (!ran.timedOut && !ran.stopped) outcome.reached = SimulationStep::Done;
    return outcome;
}

} // namespace kestrel
