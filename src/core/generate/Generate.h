#pragma once
// The Generate command: one generation run from fresh copies of the project tables, with
// the class names and paths of the Generate dialog (or the stored settings), ending in
// the summary and the log file. Also the OK of the Generate dialog.
#include "codegen/GenerationRun.h"
#include "generate/BehaviourRoutes.h"
#include "model/ProjectOptions.h"
#include "platform/Clock.h"
#include "platform/Status.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

struct GenerateRequest {
    std::string projectFolder; // full path, no trailing separator
    std::string projectName;
    // The five class-name and path values, used as given (the dialog passes its boxes
    // untrimmed); they are not saved.
    GenerationSettings settings;
    // Replaces the stored generation method for this run when set.
    std::optional<int> method;
};

// Runs Generate: loads the tables, prepares them (directions, initial values, clock),
// resets the session's log, runs the route of the method, appends the summary and
// writes <projectName>.log. A table that cannot be loaded is logged as an error and no
// route runs. After the route, a project with a socket mapping gets its socket module
// <header>_tlm2.h written again (session.socket says how; the log does not). Returns the
// run's error count.
int Generate(const GenerateRequest& request, GenerationSession& session, const Clock& clock,
             const BehaviourRoutes& routes = {});

struct GenerateProjectResult {
    // Fails when the project file or gen.dat cannot be read; no run took place then.
    Status status;
    int errorCount = 0;
    // The project folders (Input, Temp, Output) that were missing and were made.
    std::vector<std::string> createdFolders;
    // The socket module written again for a project with a socket mapping (tlm2.json), or why
    // it was not; both empty for a project without one.
    SocketModuleOutcome socket;
};

// Generate for a project file with the stored settings of Input/gen.dat, as the command
// line runs it. The project folder is the folder holding the .tp file. `observer`
// follows the status text and progress during the run; when null, the session log's own
// observer (if any) does.
GenerateProjectResult GenerateProject(std::string_view projectFilePath, GenerationSession& session,
                                      const Clock& clock, LogObserver* observer,
                                      const BehaviourRoutes& routes = {},
                                      std::optional<int> method = std::nullopt);

// OK of the Generate dialog: the five boxes, each trimmed, are saved as the project's
// generation settings.
GenerationSettings TrimmedSettings(const GenerationSettings& boxes);
Status AcceptGenerateDialog(std::string_view projectFolder, const GenerationSettings& boxes);

} // namespace kestrel
