#pragma once
// The first step of the FSM route: every function that is not a library function and has
// an ASF diagram assigned is read from its diagram in Input and written as an AsmL
// namespace into Temp/clean.asml.
#include "codegen/GenerationRun.h"
#include "fsm/AsfReader.h"
#include "fsm/FsmAsmlWriter.h"
#include "translator/DiagnosticCollector.h"

#include <string_view>
#include <vector>

namespace kestrel {

// Logs "Creating clean.asml from ASF files...", converts the functions in table order
// (the namespace is written even when its diagram had problems), replaces
// Temp/clean.asml, logs "Done!" and advances the progress. Every problem is logged as
// an error and placed at its diagram line. Returns the text of clean.asml, which the
// translation reads, with the diagram line of each of its lines.
FsmAsmlText ConvertAsfDiagrams(GenerationRun& run, DiagnosticCollector& places);

// The conversion alone, in memory: every assigned diagram read from Input and its
// namespace appended, the problems logged and placed as above. Writes nothing.
FsmAsmlText AsfDiagramsAsAsml(GenerationRun& run, DiagnosticCollector& places);

// One diagram's part of the conversion: the namespace of the diagram as read (from the
// file at `path`) appended to `out` with `signature`, its path the next of
// out.diagramPaths. Gives the writer's problems; the namespace is written all the same.
std::vector<DiagramProblem> AppendDiagramNamespace(const DiagramReading& reading,
                                                   std::string_view path,
                                                   std::string_view functionName,
                                                   std::string_view signature, FsmAsmlText& out);

// Temp/clean.asml of a project.
std::string CleanAsmlPath(std::string_view projectFolder);

} // namespace kestrel
