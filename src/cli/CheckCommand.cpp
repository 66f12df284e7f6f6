// The check command: runs the translation of the project's method with the output
// writers off and prints the collected errors as FILE:LINE: error: MESSAGE lines, then the
// warnings as FILE:LINE: warning: MESSAGE lines.
#include "CheckCommand.h"

#include "CliApp.h"
#include "CliSupport.h"
#include "generate/ProjectCheck.h"
#include "platform/Clock.h"

#include <ostream>

namespace kestrel::cli {

std::string FormatDiagnostic(const Diagnostic& diagnostic) {
    std::string text = Show(diagnostic.file);
    if (diagnostic.line > 0) text += ":" + std::to_string(diagnostic.line);
    text += diagnostic.severity == Severity::Warning ? ": warning: " : ": error: ";
    return text + Show(diagnostic.message);
}

int RunCheckCommand(const std::string& projectPath, std::optional<int> method, std::ostream& out,
                    std::ostream& err) {
    GenerationSession session;
    SystemClock clock;
    CheckResult result = CheckProject(projectPath, session, clock, {}, method);
    if (!result.status) return PrintFileError(err, result.status);
    PrintCreatedFolders(err, result.createdFolders);
    for (const Diagnostic& diagnostic : result.diagnostics)
        err << FormatDiagnostic(diagnostic) << "\n";
    for (const Diagnostic& warning : result.warnings) err << FormatDiagnostic(warning) << "\n";
    out << Show(projectPath) << ": " << result.diagnostics.size() << " error(s), "
        << result.warnings.size() << " warning(s)\n";
    return result.diagnostics.empty() ? kExitOk : kExitRefused;
}

} // namespace kestrel::cli
