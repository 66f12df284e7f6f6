// Check of a project's behaviour: the preparation of a Generate run without its log file,
// then the route of the method with the output writers switched off and the errors
// collected with their places.
#include "translator/ProjectCheck.h"

#include "codegen/DeclarationHelpers.h"
#include "model/ProjectRecord.h"
#include "platform/FileSystem.h"

#include <filesystem>

namespace kestrel {

CheckResult CheckProject(std::string_view projectFilePath, GenerationSession& session,
                         const Clock& clock, RouteEnvironment environment,
                         std::optional<int> method) {
    CheckResult result;
    ProjectRecord record;
    if (Status read = ReadProjectFile(projectFilePath, record); !read) {
        result.status = read;
        return result;
    }
    std::error_code ec;
    std::filesystem::path native = std::filesystem::absolute(NativePath(projectFilePath), ec);
    if (ec) native = NativePath(projectFilePath);

    GenerationRun run{StoredPath(native.parent_path()), record.projectName, {}, session, clock};
    ProjectTables& tables = run.tables;
    for (Status loaded : {LoadTlmFunctions(run.projectFolder, tables.functions),
                          LoadRtlSignals(run.projectFolder, tables.signals),
                          LoadOptions(run.projectFolder, tables.options),
                          LoadAsmlAssignment(run.projectFolder, tables.asml),
                          LoadAsfAssignment(run.projectFolder, tables.asf)}) {
        if (!loaded) {
            result.status = loaded;
            return result;
        }
    }
    ReverseDirections(tables.signals);
    NormalizeInitValues(tables.signals);
    FindClockSignal(tables.signals, tables.options, session.clock);

    result.method = method.value_or(tables.options.generationMethod);
    session.log.ResetLog();
    session.log.SetupProgress(result.method, tables.functions.count, false);
    environment.writeOutputs = false;
    environment.diagnostics = &result.diagnostics;
    if (result.method == kMethodFsm) RunFsmRoute(run, environment);
    if (result.method == kMethodAsml) RunAsmlRoute(run, environment);
    return result;
}

} // namespace kestrel
