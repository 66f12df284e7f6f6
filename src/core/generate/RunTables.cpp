// The tables of a run: loaded in one order, then prepared.
#include "generate/RunTables.h"

#include "model/Assignments.h"
#include "model/ProjectOptions.h"
#include "model/ProjectPaths.h"
#include "model/RtlSignal.h"
#include "model/TlmFunction.h"
#include "platform/FileSystem.h"
#include "project/OutputPlacement.h"

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

Status LoadProjectLook(std::string_view projectFolder, ProjectTables& tables) {
    std::vector<Status> failures =
        LoadRunTables(projectFolder, tables, AbsentTableFiles::ReadAsEmpty);
    if (!failures.empty()) return failures.front();
    if (Status loaded = LoadGenerationSettings(projectFolder, tables.settings); !loaded)
        return loaded;
    ResolveOutputNames(projectFolder, tables.settings);
    return Status::Ok();
}

PreparedTables PrepareTables(const ProjectTables& stored, ClockSelection& clock) {
    PreparedTables tables = TransactorView(stored);
    NormalizeInitValues(tables.signals);
    FindClockSignal(tables.signals, tables.options, clock);
    return tables;
}

} // namespace kestrel
