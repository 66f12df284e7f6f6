#pragma once
// `kestrel-cli show`: a project's record, options, settings, assignments and declarations,
// as text or as JSON.
#include "model/ProjectRecord.h"
#include "model/ProjectTables.h"
#include "sim/RtlChoice.h"
#include "tlm2/Tlm2Mapping.h"

#include <iosfwd>
#include <nlohmann/json.hpp>
#include <optional>

namespace kestrel::cli {

// Everything `show` prints, loaded from a project folder.
struct ProjectSnapshot {
    ProjectRecord record;
    ProjectTables tables;
    std::optional<Tlm2Mapping> tlm2; // the TLM-2.0 socket mapping, when the project has one
    std::optional<RtlChoice> rtl;    // the Verilog it simulates against, when it keeps some
};

nlohmann::ordered_json SnapshotToJson(const ProjectSnapshot& snapshot);
void PrintSnapshot(std::ostream& out, const ProjectSnapshot& snapshot);

} // namespace kestrel::cli
