#pragma once
// Check: a translation of a project's behaviour that writes no output files, no library
// and no log file, and gives back every error with its file and line. clean.asml and the
// section files in Temp are written as in Generate.
#include "codegen/GenerationRun.h"
#include "generate/Routes.h"
#include "platform/Clock.h"
#include "platform/Status.h"

#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

struct CheckResult {
    // Fails when the project file or a table file cannot be read; nothing was checked then.
    Status status;
    // The project folders (Input, Temp, Output) that were missing and were made.
    std::vector<std::string> createdFolders;
    Diagnostics diagnostics;
    int method = 0;
};

// Loads and prepares the tables like Generate (directions, initial values, clock) and
// runs the route of the project's method (or of `method` when given) with
// environment.writeOutputs off. The template method translates nothing. The status text
// stays in session.log.
CheckResult CheckProject(std::string_view projectFilePath, GenerationSession& session,
                         const Clock& clock, RouteEnvironment environment = {},
                         std::optional<int> method = std::nullopt);

} // namespace kestrel
