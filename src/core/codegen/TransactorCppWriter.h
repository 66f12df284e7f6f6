#pragma once
// The transactor implementation file (Tran.cpp by default), full and template variants.
#include "codegen/SectionFileReader.h"
#include "model/ProjectTables.h"
#include "platform/Clock.h"

#include <string>
#include <vector>

namespace kestrel {

// The full implementation: per function its update procedure (the .upd lines) and the
// function itself (the .ini lines, an empty line, the .asm lines). sections[f - 1]
// belongs to function f; a missing entry splices nothing.
std::string WriteTransactorCpp(const ProjectTables& tables, const LocalDateTime& now,
                               const std::vector<FunctionSections>& sections);

// The template implementation: every function with an empty body, no update procedure.
std::string WriteTemplateCpp(const ProjectTables& tables, const LocalDateTime& now);

} // namespace kestrel
