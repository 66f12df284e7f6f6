#pragma once
// The in-memory copies of a project's table files. Dialogs and Generate load the
// tables they need from Input when they start and save them when the user confirms.
#include "model/Assignments.h"
#include "model/ProjectOptions.h"
#include "model/RtlSignal.h"
#include "model/TlmFunction.h"

namespace kestrel {

struct ProjectTables {
    TlmFunctionTable functions;
    RtlSignalTable signals;
    ProjectOptions options;
    GenerationSettings settings;
    AsmlAssignment asml;
    AsfAssignment asf;
};

} // namespace kestrel
