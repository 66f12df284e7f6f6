// The tables of a run: loaded in one order, then prepared.
#include "generate/RunTables.h"

#include "model/Assignments.h"
#include "model/ProjectOptions.h"
#include "model/ProjectPaths.h"
#include "model/RtlSignal.h"
#include "model/TlmFunction.h"
#include "platform/FileSystem.h"

namespace kestrel {

std::vector<Status> LoadRunTables(std::string_view projectFolder, ProjectTables& tables,
                                  AbsentTableFiles absent) {
    std::vector<Status> failures;
    auto keep = [&](Status status) {
        if (!status) failures.push_back(std::move(status));
    };
    const bool readAll = absent == AbsentTableFiles::MadeEmpty;
    if (readAll || FileExists(InputPath(projectFolder, kTlmFunctionFile)))
        keep(LoadTlmFunctions(projectFolder, tables.functions));
    if (readAll || FileExists(InputPath(projectFolder, kRtlSignalFile)))
        keep(LoadRtlSignals(projectFolder, tables.signals));
    keep(LoadOptions(projectFolder, tables.options));
    keep(LoadAsmlAssignment(projectFolder, tables.asml));
    keep(LoadAsfAssignment(projectFolder, tables.asf));
    return failures;
}

PreparedTables PrepareTables(const ProjectTables& stored, ClockSelection& clock) {
    PreparedTables tables = TransactorView(stored);
    NormalizeInitValues(tables.signals);
    FindClockSignal(tables.signals, tables.options, clock);
    return tables;
}

} // namespace kestrel
