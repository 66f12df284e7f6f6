// The run's thread calls RunSimulation with the runner's stop flag; every step and line it
// reports is added to a pending text, and one queued call per batch hands that text to the
// window's thread, so a build that prints thousands of lines does not flood the event
// queue. When the thread ends, the rest of the text goes out, then Finished.
#include "SimulationRunner.h"

#include "GuiText.h"
#include "sim/BuildFailure.h"
#include "sim/CompilerDiagnostics.h"
#include "sim/SourceMap.h"

#include <QMutexLocker>
#include <QThread>

namespace kestrel {

namespace {

// A line as a program printed it (native text), without its line end or colour escapes.
QString NativeLine(std::string_view line) {
    std::string text = WithoutEscapes(line);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
    return QString::fromStdString(text) + QLatin1Char('\n');
}

bool BuildFailed(const SimulationOutcome& outcome) {
    return (outcome.reached == SimulationStep::Configure ||
            outcome.reached == SimulationStep::Build) &&
           outcome.status.ok() && !outcome.stopped && !outcome.timedOut;
}

} // namespace

SimulationRunner::SimulationRunner(QObject* parent) : QObject(parent) {}

SimulationRunner::~SimulationRunner() {
    StopAndWait();
}

void SimulationRunner::Start(const SimulationRequest& request) {
    if (thread_) return;
    stop_ = false;
    report_ = std::make_unique<SimulationReport>();
    SimulationReport* report = report_.get();
    thread_ = QThread::create([this, request, report] {
        SimulationEvents events;
        events.step = [this](std::string_view step) {
            Append(QStringLiteral("== ") + NativeLine(step));
        };
        events.buildLine = [this](std::string_view line) { Append(NativeLine(line)); };
        events.simLine = events.buildLine;
        events.notice = [this](std::string_view notice) {
            Append(QStringLiteral("sim: ") + NativeLine(notice));
        };
        report->outcome = RunSimulation(request, events, &stop_);
        if (!BuildFailed(report->outcome)) return;
        BuildFailureReport failure = DescribeBuildFailure(report->outcome);
        report->diagnostics = std::move(failure.lines);
        report->failure = std::move(failure.what);
    });
    connect(thread_, &QThread::finished, this, &SimulationRunner::OnThreadFinished);
    thread_->start();
}

void SimulationRunner::Stop() {
    stop_ = true;
}

void SimulationRunner::StopAndWait() {
    if (!thread_) return;
    stop_ = true;
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    report_.reset();
    QMutexLocker lock(&pendingLock_);
    pending_.clear();
}

void SimulationRunner::Append(const QString& lines) {
    bool first = false;
    {
        QMutexLocker lock(&pendingLock_);
        first = pending_.isEmpty();
        pending_ += lines;
    }
    if (first) QMetaObject::invokeMethod(this, &SimulationRunner::Flush, Qt::QueuedConnection);
}

void SimulationRunner::Flush() {
    QString lines;
    {
        QMutexLocker lock(&pendingLock_);
        lines.swap(pending_);
    }
    if (!lines.isEmpty()) Q_EMIT Output(lines);
}

void SimulationRunner::OnThreadFinished() {
    // A late notice of a run that StopAndWait ended already, or of an earlier thread.
    if (!thread_ || !thread_->isFinished()) return;
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    Flush();
    std::unique_ptr<SimulationReport> report = std::move(report_);
    Q_EMIT Finished(*report);
}

QString SimulationSummaryText(const SimulationReport& report) {
    const SimulationOutcome& outcome = report.outcome;
    if (outcome.stopped) return QStringLiteral("\nSimulation stopped.\n");
    QString text;
    if (!outcome.testbench.problems.empty()) {
        for (const std::string& problem : outcome.testbench.problems)
            text += FromCore(problem) + QLatin1Char('\n');
        return text + QStringLiteral("No testbench written.\n");
    }
    if (outcome.timedOut)
        return QStringLiteral("\nThe %1 ran past its time-out and was stopped.\n")
            .arg(outcome.reached == SimulationStep::Run ? QStringLiteral("simulation")
                                                        : QStringLiteral("build"));
    if (!outcome.status) return FromCore(outcome.status.message()) + QLatin1Char('\n');
    if (BuildFailed(outcome)) {
        text = report.failure.empty() ? QStringLiteral("\nThe simulation did not build.\n")
                                      : QStringLiteral("\nThe simulation did not build: %1.\n")
                                            .arg(FromCore(report.failure));
        if (!report.diagnostics.empty())
            text += QLatin1Char('\n') + QString::fromStdString(report.diagnostics);
        return text;
    }
    text = QStringLiteral("\nTransactions completed: %1\nSimulated time: %2\nWaveform: %3\n")
               .arg(outcome.transactions)
               .arg(FromCore(SimulatedTimeText(outcome)), FromCore(outcome.waveform));
    if (outcome.testbench.plan.monitor)
        text += QStringLiteral("Protocol violations: %1\n")
                    .arg(outcome.protocolViolations ? QString::number(*outcome.protocolViolations)
                                                    : QStringLiteral("not reported"));
    if (outcome.exitCode != 0) {
        std::string end = SimulationEndText(outcome);
        end[0] = 'T';
        text += FromCore(end) + QStringLiteral(".\n");
    }
    return text;
}

} // namespace kestrel
