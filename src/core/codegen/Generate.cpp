// The Generate command. In order: take the dialog's class names and paths, reload the
// five project tables, reverse the signal directions, rewrite the initial values and
// find the clock, reset the log and progress, run the route of the generation method
// (FSM, AsmL or template), then append the summary and write the log file.
#include "codegen/Generate.h"

#include "codegen/DeclarationHelpers.h"
#include "codegen/OutputFiles.h"
#include "model/ProjectPaths.h"
#include "model/ProjectRecord.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "translator/Routes.h"

#include <filesystem>
#include <vector>

namespace kestrel {

namespace {

// Reloads the stored tables; every failure is kept to be logged once the log is reset.
std::vector<std::string> LoadTables(std::string_view folder, ProjectTables& tables) {
    std::vector<std::string> failures;
    auto keep = [&](Status status) {
        if (!status) failures.push_back(status.message());
    };
    keep(LoadTlmFunctions(folder, tables.functions));
    keep(LoadRtlSignals(folder, tables.signals));
    keep(LoadOptions(folder, tables.options));
    keep(LoadAsmlAssignment(folder, tables.asml));
    keep(LoadAsfAssignment(folder, tables.asf));
    return failures;
}

void RunRoute(int method, GenerationRun& run, const BehaviourRoutes& routes) {
    switch (method) {
    case kMethodFsm:
        if (routes.fsm)
            routes.fsm(run);
        else
            RunFsmRoute(run);
        break;
    case kMethodAsml:
        if (routes.asml)
            routes.asml(run);
        else
            RunAsmlRoute(run);
        break;
    case kMethodTemplate: RunTemplateRoute(run); break;
    default: break;
    }
}

// Restores the log's observer when a call that set it returns.
class ObserverScope {
public:
    ObserverScope(GenerationLog& log, LogObserver* observer)
        : log_(log), previous_(log.Observer()) {
        log_.SetObserver(observer);
    }
    ~ObserverScope() { log_.SetObserver(previous_); }
    ObserverScope(const ObserverScope&) = delete;
    ObserverScope& operator=(const ObserverScope&) = delete;

private:
    GenerationLog& log_;
    LogObserver* previous_;
};

} // namespace

int Generate(const GenerateRequest& request, GenerationSession& session, const Clock& clock,
             const BehaviourRoutes& routes) {
    GenerationRun run{request.projectFolder, request.projectName, {}, session, clock};
    ProjectTables& tables = run.tables;
    // Nothing is written into a folder that is not there.
    MakeMissingProjectFolders(request.projectFolder);

    tables.settings = request.settings;
    std::vector<std::string> loadFailures = LoadTables(request.projectFolder, tables);

    ReverseDirections(tables.signals);
    NormalizeInitValues(tables.signals);
    FindClockSignal(tables.signals, tables.options, session.clock);

    int method = request.method.value_or(tables.options.generationMethod);
    GenerationLog& log = session.log;
    log.ResetLog();
    session.notes.clear();
    log.SetupProgress(method, tables.functions.count, tables.options.makeLibrary);

    // Generating from tables that could not be read would replace good output files with
    // wrong ones; such a run reports the failures and writes only the log.
    for (const std::string& failure : loadFailures) log.LogError(failure);
    if (loadFailures.empty()) RunRoute(method, run, routes);

    log.LogSummary();
    Status logged = log.WriteLogFile(request.projectFolder, request.projectName, clock);
    if (!logged) log.LogError(logged.message());
    return log.ErrorCount();
}

GenerateProjectResult GenerateProject(std::string_view projectFilePath, GenerationSession& session,
                                      const Clock& clock, LogObserver* observer,
                                      const BehaviourRoutes& routes, std::optional<int> method) {
    GenerateProjectResult result;
    ProjectRecord record;
    if (Status read = ReadProjectFile(projectFilePath, record); !read) {
        result.status = read;
        return result;
    }
    if (record.projectName.empty() ||
        record.projectName.find_first_of("/\\") != std::string::npos) {
        result.status = Status::Error("The project file \"" + std::string(projectFilePath) +
                                      "\" holds no usable project name");
        return result;
    }

    // Like opening a project: the folder is the one that holds the .tp file.
    std::error_code ec;
    std::filesystem::path native = std::filesystem::absolute(NativePath(projectFilePath), ec);
    if (ec) native = NativePath(projectFilePath);

    GenerateRequest request;
    request.projectFolder = StoredPath(native.parent_path());
    request.projectName = record.projectName;
    request.method = method;
    result.createdFolders = MakeMissingProjectFolders(request.projectFolder);
    if (Status loaded = LoadGenerationSettings(request.projectFolder, request.settings); !loaded) {
        result.status = loaded;
        return result;
    }

    ObserverScope scope(session.log, observer ? observer : session.log.Observer());
    result.errorCount = Generate(request, session, clock, routes);
    return result;
}

GenerationSettings TrimmedSettings(const GenerationSettings& boxes) {
    GenerationSettings trimmed;
    trimmed.interfaceClassName = Trim(boxes.interfaceClassName);
    trimmed.transactorClassName = Trim(boxes.transactorClassName);
    trimmed.transactorCppPath = Trim(boxes.transactorCppPath);
    trimmed.transactorHeaderPath = Trim(boxes.transactorHeaderPath);
    trimmed.interfaceHeaderPath = Trim(boxes.interfaceHeaderPath);
    return trimmed;
}

Status AcceptGenerateDialog(std::string_view projectFolder, const GenerationSettings& boxes) {
    return SaveGenerationSettings(projectFolder, TrimmedSettings(boxes));
}

} // namespace kestrel
