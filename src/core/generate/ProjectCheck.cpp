// Check of a project's behaviour: the preparation of a Generate run without its log file,
// then the route of the method with the output writers switched off and the errors
// collected with their places; the warnings of the declarations and of the AsmL apart.
#include "generate/ProjectCheck.h"

#include "generate/RunTables.h"
#include "model/ProjectPaths.h"
#include "project/DuplicateNames.h"
#include "project/ProjectCommands.h"
#include "translator/AsmlLint.h"

#include <memory>
#include <vector>

namespace kestrel {

namespace {

void WarnAboutDeclarations(const GenerationRun& run, bool bodiesTranslated, Diagnostics& warnings) {
    const std::string functions = InputPath(run.projectFolder, kTlmFunctionFile);
    for (std::string& message : FunctionTableNameWarnings(run.tables.functions))
        warnings.push_back({functions, 0, std::move(message), Severity::Warning});
    for (std::string& message : FunctionDeclarationWarnings(run.tables.functions, bodiesTranslated))
        warnings.push_back({functions, 0, std::move(message), Severity::Warning});
    const std::string signals = InputPath(run.projectFolder, kRtlSignalFile);
    for (std::string& message : PortTableNameWarnings(run.tables.signals, run.tables.functions))
        warnings.push_back({signals, 0, std::move(message), Severity::Warning});
    for (std::string& message : PortDeclarationWarnings(run.tables.signals))
        warnings.push_back({signals, 0, std::move(message), Severity::Warning});
}

} // namespace

CheckResult CheckProject(std::string_view projectFilePath, GenerationSession& session,
                         const Clock& clock, RouteEnvironment environment,
                         std::optional<int> method) {
    CheckResult result;
    ProjectRecord record;
    if (Status read = PeekProject(projectFilePath, record, &result.createdFolders); !read) {
        result.status = read;
        return result;
    }
    auto stored = std::make_unique<ProjectTables>();
    if (std::vector<Status> failures = LoadRunTables(record.projectFolder, *stored);
        !failures.empty()) {
        result.status = failures.front();
        return result;
    }
    GenerationRun run{record.projectFolder, record.projectName,
                      PrepareTables(*stored, session.clock), session, clock};
    const PreparedTables& tables = run.tables;

    result.method = method.value_or(tables.options.generationMethod);
    session.log.ResetLog();
    session.log.SetupProgress(result.method, tables.functions.count, false);
    environment.writeOutputs = false;
    environment.diagnostics = &result.diagnostics;
    environment.warnings = &result.warnings;
    WarnAboutDeclarations(run, result.method == kMethodFsm || result.method == kMethodAsml,
                          result.warnings);
    if (result.method == kMethodFsm) RunFsmRoute(run, environment);
    if (result.method == kMethodAsml) RunAsmlRoute(run, environment);
    return result;
}

} // namespace kestrel
