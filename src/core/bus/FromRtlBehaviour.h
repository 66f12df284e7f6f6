#pragma once
// The behaviour of a project made from a bus slave's Verilog, written and assigned as the
// assignment windows' OK would: the AsmL document (method asml) or a state diagram per
// function (method fsm).
#include "bus/BusPorts.h"
#include "model/ProjectRecord.h"
#include "platform/Status.h"

#include <string>
#include <vector>

namespace kestrel {

// Writes the behaviour of the project's write and read functions and assigns it; `written`
// gets the files the project now uses.
Status WriteBusBehaviour(ProjectRecord& record, const BusPortSet& ports, bool asml,
                         std::vector<std::string>& written);

} // namespace kestrel
