#pragma once
// The first step of the FSM route: every function that is not a library function and has
// an ASF diagram assigned is read from its diagram in Input and written as an AsmL
// namespace into Temp/clean.asml.
#include "codegen/GenerationRun.h"
#include "fsm/FsmAsmlWriter.h"
#include "translator/DiagnosticCollector.h"

namespace kestrel {

// Logs "Creating clean.asml from ASF files...", converts the functions in table order
// (the namespace is written even when its diagram had problems), replaces
// Temp/clean.asml, logs "Done!" and advances the progress. Every problem is logged as
// an error and placed at its diagram line. Returns the text of clean.asml, which the
// translation reads, with the diagram line of each of its lines.
FsmAsmlText ConvertAsfDiagrams(GenerationRun& run, DiagnosticCollector& places);

// Temp/clean.asml of a project.
std::string CleanAsmlPath(std::string_view projectFolder);

} // namespace kestrel
