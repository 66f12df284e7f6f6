#pragma once
// The tables of a run, shared by Generate, check and show: loaded in one order, and
// prepared once into the transactor's view. (The project file itself is read by
// PeekProject, for every command alike.)
#include "codegen/DeclarationHelpers.h"
#include "model/ProjectTables.h"
#include "platform/Status.h"

#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// What a table file that does not exist yet becomes. A run leaves an empty file behind
// (as every loader of the tables does); a look at the project changes nothing.
enum class AbsentTableFiles { MadeEmpty, ReadAsEmpty };

// Loads the five tables a run reads from Input: the functions, the signals, the options
// and the two behaviour assignments, in that order. Every table is tried; the failures
// are given back in that order (none when all loaded). The generation settings are not
// among them: Generate takes them from its dialog.
std::vector<Status> LoadRunTables(std::string_view projectFolder, ProjectTables& tables,
                                  AbsentTableFiles absent = AbsentTableFiles::MadeEmpty);

// A look at a generated project, as build, sim and the testbench take it: the five tables
// (absent files read as empty), then the generation settings with their output names
// resolved in the project's folder. The first failure is given back.
Status LoadProjectLook(std::string_view projectFolder, ProjectTables& tables);

// The stored tables as the transactor sees them: signal directions reversed, initial
// values rewritten for SystemC, and the clock signal found.
PreparedTables PrepareTables(const ProjectTables& stored, ClockSelection& clock);

} // namespace kestrel
