#pragma once
// What one Generate run hands to its route and writers: the project, its freshly loaded
// and prepared tables, the log and clock values that live across runs, and the clock.
#include "codegen/DeclarationHelpers.h"
#include "codegen/GenerationLog.h"
#include "codegen/LineMap.h"
#include "model/ProjectTables.h"
#include "platform/Clock.h"

#include <string>
#include <vector>

namespace kestrel {

// The TLM-2.0 socket module a run wrote again for a project with a socket mapping: the file
// written, or why it was not. Both empty for a project without a mapping.
struct SocketModuleOutcome {
    std::string written;
    std::vector<std::string> problems;
};

// Lives for the program's life (the dialog keeps one): the log and the clock values keep
// their contents from one run to the next.
struct GenerationSession {
    GenerationLog log;
    ClockSelection clock;
    // Problems of the last run that its log does not show: a library that could not be
    // written ends in "Done!" like any other, so the command line reports these apart.
    std::vector<std::string> notes;
    // The socket module of the last run; the log does not speak of it.
    SocketModuleOutcome socket;
};

struct GenerationRun {
    std::string projectFolder; // full path, no trailing separator
    std::string projectName;
    // As loaded at the start of the run with the settings of the dialog's boxes, then
    // prepared (generate/RunTables): the directions reversed, the initial values rewritten.
    PreparedTables tables;
    GenerationSession& session;
    const Clock& clock;
    // The function being translated (1 to the function count), shared by a route and
    // its translators.
    int currentFunction = 0;
    // When set, the route records here the origin of every translated section line and the
    // writers where they spliced each section, for the map of the run (LineMap.h).
    LineRecord* lineRecord = nullptr;

    GenerationLog& log() { return session.log; }
};

} // namespace kestrel
