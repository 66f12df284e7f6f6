#pragma once
// One simulation of a generated project (the core's RunSimulation) on a thread of its own,
// so that a window stays responsive through a build and run of seconds to minutes. Its
// steps and output lines reach the window's thread in batches; the end comes as Finished
// with the outcome and, for a build that failed, the compiler's diagnostics moved to the
// places the user wrote. Destroying the runner stops the run and waits for its thread.
#include "sim/Simulation.h"

#include <QMutex>
#include <QObject>
#include <QString>

#include <atomic>
#include <memory>

class QThread;

namespace kestrel {

struct SimulationReport {
    SimulationOutcome outcome;
    // A build that failed: the failed tool's error lines and the compiler's diagnostics as
    // FormatMappedDiagnostics writes them (native text), at the AsmL or diagram line where
    // the map has one (DescribeBuildFailure); empty otherwise.
    std::string diagnostics;
    std::string failure; // which tool stopped: "Verilator stopped on the Verilog", ...
};

class SimulationRunner : public QObject {
    Q_OBJECT

public:
    explicit SimulationRunner(QObject* parent = nullptr);
    ~SimulationRunner() override;

    bool IsRunning() const { return thread_ != nullptr; }
    // Starts a run; ignored while one goes on.
    void Start(const SimulationRequest& request);
    // Asks the run to stop; Finished follows once its program has been ended.
    void Stop();
    // Stops the run and waits for its thread; Finished is not emitted then.
    void StopAndWait();

Q_SIGNALS:
    // Lines of the run, each ended by LF: a step as "== <step>", the build's and the
    // simulation's lines as they printed them.
    void Output(const QString& lines);
    void Finished(const kestrel::SimulationReport& report);

private:
    void Append(const QString& lines); // on the run's thread
    void Flush();
    void OnThreadFinished();

    QThread* thread_ = nullptr;
    std::atomic<bool> stop_{false};
    QMutex pendingLock_;
    QString pending_; // output not handed to the window yet
    std::unique_ptr<SimulationReport> report_;
};

// What the window shows at the end of a run: the counts, the simulated time and the
// waveform's path as kestrel-cli sim prints them, or why it failed (refusals, a file error,
// a time-out, a build that failed with its diagnostics, the simulation's exit status).
QString SimulationSummaryText(const SimulationReport& report);

} // namespace kestrel
