#pragma once
// One simulation of a generated project: its testbench folder written, configured and
// built with CMake (the build folder is kept, so a change rebuilds only what it touches),
// and `sim` run in the testbench folder, each step bounded in time and stoppable.
#include "platform/CommandRun.h"
#include "sim/SourceMap.h"
#include "sim/Testbench.h"

#include <atomic>
#include <functional>
#include <optional>
#include <string>

namespace kestrel {

struct SimulationRequest {
    TestbenchRequest testbench;
    std::string until; // the simulated-time limit ("50us"); empty: the testbench's default
    std::chrono::milliseconds buildTimeout = std::chrono::minutes(20);
    std::chrono::milliseconds runTimeout = std::chrono::minutes(20);
    int jobs = 0; // parallel compiles; 0: one per processor
};

struct SimulationEvents {
    std::function<void(std::string_view step)> step; // "Building ...", one per step
    OutputLineSink buildLine;                        // the build's lines as they come
    OutputLineSink simLine;                          // the simulation's lines as they come
    // What the testbench makes of the RTL before it is built ("resets: PRESETn (active
    // low), held for 4 clock cycles by reset.h, then released").
    std::function<void(std::string_view notice)> notice;
};

enum class SimulationStep { Testbench, Configure, Build, Run, Done };

struct SimulationOutcome {
    SimulationStep reached = SimulationStep::Testbench; // the step that failed, or Done
    TestbenchResult testbench;
    Status status;           // why the step failed, when it is not a build or run failure
    std::string buildOutput; // the output of a failed configure or build
    // The diagnostics of a failed build, each moved to the AsmL line or diagram object
    // that produced its generated line where there is one (at the generated place when
    // the project changed since it was generated).
    std::vector<MappedDiagnostic> diagnostics;
    int exitCode = -1;     // of `sim`
    bool timedOut = false; // a step ran past its time-out and was stopped
    bool stopped = false;  // stopped on request
    unsigned long transactions = 0;
    std::string simulatedTime; // "320 ns"
    bool timeLimitReached = false;
    std::string unchangedInputs; // at the time limit: "PRESETn, wdata"
    std::string waveform;        // the VCD file's path
    // With a protocol check: the violations the monitor counted (none: it did not report).
    std::optional<unsigned long> protocolViolations;
    bool ok() const { return reached == SimulationStep::Done && exitCode == 0; }
};

SimulationOutcome RunSimulation(const SimulationRequest& request, const SimulationEvents& events,
                                const std::atomic<bool>* stop = nullptr);

// Reads the summary lines the testbench's sc_main prints ("kestrel-sim: ...").
void ReadSimulationSummary(std::string_view line, SimulationOutcome& outcome);

// The simulated time of a run as its summary gave it ("320 ns"), or why there is none: a
// simulation that ended before its summary (a SystemC error, a crash).
std::string SimulatedTimeText(const SimulationOutcome& outcome);

// Why a run that built did not end well, as "the simulation ended with status 1 (...)";
// empty when it ended with status 0.
std::string SimulationEndText(const SimulationOutcome& outcome);

} // namespace kestrel
