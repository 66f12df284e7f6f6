#pragma once
// The log of a Generate run: the status text shown in the Generate dialog (and printed
// by the command line), the error and warning counts and the progress bar. Status text
// is Windows-1252 bytes with CR LF line ends.
#include "platform/Clock.h"
#include "platform/Status.h"

#include <string>
#include <string_view>

namespace kestrel {

// Follows the log as it grows: the status box and progress bar of the dialog, or the
// standard output of the command line.
class LogObserver {
public:
    virtual ~LogObserver() = default;
    // `appended` was added at the end of the status text.
    virtual void OnText(std::string_view appended) = 0;
    virtual void OnProgress(int value, int maximum) = 0;
    // The status text was emptied at the start of a run.
    virtual void OnReset() {}
};

class GenerationLog {
public:
    // Not owned; may be null. The observer must outlive its registration.
    void SetObserver(LogObserver* observer) { observer_ = observer; }
    LogObserver* Observer() const { return observer_; }

    // Counts back to 0, status text emptied.
    void ResetLog();
    // Progress 0 of: functionCount + 4 (+1 with makeLibrary) for the FSM and AsmL
    // methods, 3 for the template method, 0 for any other method.
    void SetupProgress(int method, int functionCount, bool makeLibrary);

    // Appends the text and "..." without ending the line.
    void LogStep(std::string_view text);
    // Appends the text and CR LF.
    void LogLine(std::string_view text);
    // Counts an error; the message stands on a line of its own behind "ERROR: ".
    void LogError(std::string_view text);
    void AdvanceProgress();
    // The closing lines: an empty line, "Transactor Generation Completed!" and the counts.
    void LogSummary();

    // Writes <projectFolder>/<projectName>.log: a heading with the date of `clock` and
    // the whole status text.
    Status WriteLogFile(std::string_view projectFolder, std::string_view projectName,
                        const Clock& clock) const;

    const std::string& StatusText() const { return text_; }
    int ErrorCount() const { return errors_; }
    int WarningCount() const { return warnings_; }
    int ProgressValue() const { return progressValue_; }
    int ProgressMaximum() const { return progressMaximum_; }

private:
    void Append(std::string_view text);
    void ReportProgress();

    LogObserver* observer_ = nullptr;
    std::string text_;
    int errors_ = 0;
    int warnings_ = 0;
    int progressValue_ = 0;
    int progressMaximum_ = 0;
};

// The log file's text for a status text (what WriteLogFile writes).
std::string LogFileText(std::string_view projectName, const LocalDateTime& now,
                        std::string_view statusText);

} // namespace kestrel
