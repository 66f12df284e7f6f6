// The check command: runs the translation of the project's method with the output
// writers off and prints the collected errors as FILE:LINE: error: MESSAGE lines, then the
// warnings as FILE:LINE: warning: MESSAGE lines; lines of a diagram under the object they
// are about.
#include "CheckCommand.h"

#include "CliApp.h"
#include "CliSupport.h"
#include "fsm/AsfChecks.h"
#include "fsm/AsfDocument.h"
#include "generate/ProjectCheck.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

#include <map>
#include <optional>
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
    // A diagram line is named by its object, as a compiler names the function a line is
    // in: "FILE: In action of state REQUEST:" ahead of the lines of each object in turn.
    std::map<std::string, std::optional<AsfDocument>> diagrams;
    std::string lastFile, lastScope;
    auto print = [&](const Diagnostic& diagnostic) {
        std::string scope;
        const std::string& file = diagnostic.file;
        if (diagnostic.line > 0 && file.size() > 4 &&
            Cp1252Lower(file.substr(file.size() - 4)) == ".asf") {
            auto [at, added] = diagrams.try_emplace(file);
            if (added) {
                std::string bytes;
                AsfDocument doc;
                if (ReadFileBytes(file, bytes).ok() && AsfDocument::Load(bytes, file, doc).ok())
                    at->second = std::move(doc);
            }
            if (at->second) scope = DiagramLineScope(*at->second, diagnostic.line);
        }
        if (!scope.empty() && (file != lastFile || scope != lastScope))
            err << Show(file) << ": In " << scope << ":\n";
        lastFile = file;
        lastScope = scope;
        err << FormatDiagnostic(diagnostic) << "\n";
    };
    for (const Diagnostic& diagnostic : result.diagnostics) print(diagnostic);
    for (const Diagnostic& warning : result.warnings) print(warning);
    out << Show(projectPath) << ": " << result.diagnostics.size() << " error(s), "
        << result.warnings.size() << " warning(s)\n";
    return result.diagnostics.empty() ? kExitOk : kExitRefused;
}

} // namespace kestrel::cli
