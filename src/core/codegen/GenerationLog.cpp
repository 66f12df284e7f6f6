// The generation log: appends step, line and error texts to the status text, counts
// errors, drives the progress value, and writes <ProjectName>.log at the end of a run.
// Every change is passed on to the observer as it happens.
#include "codegen/GenerationLog.h"

#include "codegen/DeclarationHelpers.h"
#include "platform/FileSystem.h"

namespace kestrel {

namespace {
// The counters are 16-bit values; they stop at the top instead of wrapping.
constexpr int kCounterLimit = 32767;
} // namespace

void GenerationLog::Append(std::string_view text) {
    text_.append(text);
    if (observer_) observer_->OnText(text);
}

void GenerationLog::ReportProgress() {
    if (observer_) observer_->OnProgress(progressValue_, progressMaximum_);
}

void GenerationLog::ResetLog() {
    errors_ = 0;
    warnings_ = 0;
    text_.clear();
    if (observer_) observer_->OnReset();
}

void GenerationLog::SetupProgress(int method, int functionCount, bool makeLibrary) {
    progressValue_ = 0;
    if (method == 1 || method == 2)
        progressMaximum_ = functionCount + 4 + (makeLibrary ? 1 : 0);
    else if (method == 3)
        progressMaximum_ = 3;
    else
        progressMaximum_ = 0;
    ReportProgress();
}

void GenerationLog::LogStep(std::string_view text) {
    Append(std::string(text) + "...");
}

void GenerationLog::LogLine(std::string_view text) {
    Append(std::string(text) + "\r\n");
}

void GenerationLog::LogError(std::string_view text) {
    if (errors_ < kCounterLimit) ++errors_;
    Append("\r\nERROR: " + std::string(text) + "\r\n");
}

void GenerationLog::AdvanceProgress() {
    // A progress bar refuses values past its maximum; the value stays there.
    if (progressValue_ < progressMaximum_) ++progressValue_;
    ReportProgress();
}

void GenerationLog::LogSummary() {
    LogLine("");
    LogLine("Transactor Generation Completed!");
    LogLine(std::to_string(errors_) + " Error(s), " + std::to_string(warnings_) + " Warning(s)");
}

std::string LogFileText(std::string_view projectName, const LocalDateTime& now,
                        std::string_view statusText) {
    std::string out;
    out.append(projectName).append(" Log file\r\n");
    out.append("\r\n");
    out.append("Date: ").append(DateStampText(now)).append("\r\n");
    out.append(46, '-').append("\r\n");
    out.append("\r\n");
    out.append(statusText).append("\r\n");
    return out;
}

Status GenerationLog::WriteLogFile(std::string_view projectFolder, std::string_view projectName,
                                   const Clock& clock) const {
    std::string path = JoinPath(projectFolder, {std::string(projectName) + ".log"});
    return WriteFileAtomic(path, LogFileText(projectName, clock.Now(), text_));
}

} // namespace kestrel
