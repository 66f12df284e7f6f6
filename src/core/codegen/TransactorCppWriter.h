#pragma once
// The transactor implementation file (Tran.cpp by default), full and template variants.
#include "codegen/SectionFileReader.h"
#include "model/ProjectTables.h"
#include "platform/Clock.h"

#include <string>
#include <vector>

namespace kestrel {

// Where the section texts of one function were spliced into the implementation: the
// offset in the file's text at which the first line of each begins. The section's lines
// follow one per line of the file.
struct CppSectionPlaces {
    std::size_t update = 0;
    std::size_t initialisation = 0;
    std::size_t behaviour = 0;
};

// The full implementation: per function its update procedure (the .upd lines) and the
// function itself (the .ini lines, an empty line, the .asm lines). sections[f - 1]
// belongs to function f; a missing entry splices nothing. With `places`, receives one
// entry per function written, in table order.
std::string WriteTransactorCpp(const PreparedTables& tables, const LocalDateTime& now,
                               const std::vector<FunctionSections>& sections,
                               std::vector<CppSectionPlaces>* places = nullptr);

// The template implementation: every function with an empty body, no update procedure.
std::string WriteTemplateCpp(const PreparedTables& tables, const LocalDateTime& now);

} // namespace kestrel
