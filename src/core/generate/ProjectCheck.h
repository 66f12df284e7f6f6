#pragma once
// Check: a translation of a project's behaviour that writes no output files, no library
// and no log file, and gives back every error with its file and line, and apart from them
// the warnings for AsmL and declarations that translate but give SystemC that does not
// compile or does not behave. clean.asml and the section files in Temp are written as in
// Generate.
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
    // The errors, as Generate logs and counts them.
    Diagnostics diagnostics;
    // The warnings: first the declarations' (Input/tlm_func.dat, Input/rtl_sig.dat, as a
    // whole), then those of the translated AsmL at their lines. Never counted as errors.
    Diagnostics warnings;
    int method = 0;
};

// Loads and prepares the tables like Generate (directions, initial values, clock) and
// runs the route of the project's method (or of `method` when given) with
// environment.writeOutputs off. The template method translates nothing; its declarations
// are checked all the same. The status text stays in session.log.
CheckResult CheckProject(std::string_view projectFilePath, GenerationSession& session,
                         const Clock& clock, RouteEnvironment environment = {},
                         std::optional<int> method = std::nullopt);

} // namespace kestrel
