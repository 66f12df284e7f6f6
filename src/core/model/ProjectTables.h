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

// The tables as the generated transactor sees them, which the writers of the generated
// files take: every non-clock port's direction is the transactor's own (ReverseDirections).
// Only TransactorView makes them from the stored tables, so a writer cannot be handed the
// tables as stored; a run's later preparation steps work on them in place.
class PreparedTables : public ProjectTables {
public:
    PreparedTables() = default;

    friend PreparedTables TransactorView(const ProjectTables& stored);

private:
    explicit PreparedTables(const ProjectTables& stored) : ProjectTables(stored) {}
};

inline PreparedTables TransactorView(const ProjectTables& stored) {
    PreparedTables view(stored);
    ReverseDirections(view.signals);
    return view;
}

} // namespace kestrel
