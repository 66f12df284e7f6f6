// The Generate command. In order: take the dialog's class names and paths, reload the
// five project tables, reverse the signal directions, rewrite the initial values and
// find the clock, reset the log and progress, run the route of the generation method
// (FSM, AsmL or template), then append the summary and write the log file. A translating
// route records the map of its generated lines, which is kept in the user's cache folder
// (LineMap.h) for the build's diagnostics; the log never speaks of it.
#include "generate/Generate.h"

#include "codegen/OutputFiles.h"
#include "generate/Routes.h"
#include "generate/RunTables.h"
#include "model/ProjectPaths.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "project/OutputPlacement.h"
#include "project/ProjectCommands.h"
#include "tlm2/Tlm2Mapping.h"

#include <memory>
#include <vector>

namespace kestrel {

namespace {

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

// Keeps the record of the run's map, or forgets the one of an earlier run. The map is a help for
// later commands, which translate again without it: failing to keep it is no error of
// Generate.
void KeepLineMap(const std::string& projectFolder, const LineRecord& record) {
    if (!record.Complete() || !SaveLineRecord(record))
        ForgetLineMap(NativePath(projectFolder).lexically_normal().string());
}

// A project with a socket mapping gets its socket module again, from the same tables as the
// run; what became of it is the session's, not the log's.
SocketModuleOutcome WriteSocketModule(const GenerateRequest& request, const ProjectTables& stored) {
    SocketModuleOutcome outcome;
    std::optional<Tlm2Mapping> mapping;
    if (Status loaded = LoadTlm2Mapping(request.projectFolder, mapping); !loaded) {
        outcome.problems.push_back(loaded.message());
        return outcome;
    }
    if (!mapping) return outcome;
    Tlm2WriteResult written = WriteTlm2Module(request.projectName, request.projectFolder, stored,
                                              *mapping, kWriterGenerate);
    outcome.problems = written.problems;
    if (!written.status) outcome.problems.push_back(written.status.message());
    outcome.written = written.written;
    return outcome;
}

} // namespace

int Generate(const GenerateRequest& request, GenerationSession& session, const Clock& clock,
             const BehaviourRoutes& routes) {
    // Nothing is written into a folder that is not there.
    MakeMissingProjectFolders(request.projectFolder);

    auto stored = std::make_unique<ProjectTables>();
    stored->settings = request.settings;
    // Every failure is kept to be logged once the log is reset.
    std::vector<Status> loadFailures = LoadRunTables(request.projectFolder, *stored);
    // Output names that are not full paths lie in the project, not where the command runs.
    ResolveOutputNames(request.projectFolder, stored->settings);
    stored->options.libraryFile =
        OutputFileInProject(request.projectFolder, stored->options.libraryFile);
    GenerationRun run{request.projectFolder, request.projectName,
                      PrepareTables(*stored, session.clock), session, clock};
    const PreparedTables& tables = run.tables;

    int method = request.method.value_or(tables.options.generationMethod);
    GenerationLog& log = session.log;
    log.ResetLog();
    session.notes.clear();
    session.socket = {};
    log.SetupProgress(method, tables.functions.count, tables.options.makeLibrary);

    // Generating from tables that could not be read would replace good output files with
    // wrong ones; such a run reports the failures and writes only the log.
    for (const Status& failure : loadFailures) log.LogError(failure.message());
    LineRecord record;
    if (method == kMethodFsm || method == kMethodAsml) run.lineRecord = &record;
    if (loadFailures.empty()) {
        RunRoute(method, run, routes);
        session.socket = WriteSocketModule(request, *stored);
    }
    KeepLineMap(run.projectFolder, record);

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
    if (Status read = PeekProject(projectFilePath, record, &result.createdFolders); !read) {
        result.status = read;
        return result;
    }

    GenerateRequest request;
    request.projectFolder = record.projectFolder;
    request.projectName = record.projectName;
    request.method = method;
    if (Status loaded = LoadGenerationSettings(request.projectFolder, request.settings); !loaded) {
        result.status = loaded;
        return result;
    }

    ObserverScope scope(session.log, observer ? observer : session.log.Observer());
    result.errorCount = Generate(request, session, clock, routes);
    result.socket = session.socket;
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
