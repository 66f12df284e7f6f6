#pragma once
// The way back from a generated line to what the user wrote (SourceMap, LineMap.h). The
// map of the last Generate run is used when its files are still as that run wrote them;
// otherwise the map is made by translating the project again in memory, as Generate does,
// and assembling both files with Generate's own writers; a line is mapped only when the
// file on disk holds it as that assembly gives it. Compiler diagnostics in mapped lines
// are then moved to the user's place. Every text here is native (UTF-8), as a terminal
// and the compiler have it.
#include "codegen/LineMap.h"
#include "platform/Status.h"
#include "sim/CompilerDiagnostics.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// Makes the map of the generated files of the project `projectFilePath` (stored text, as
// every project command takes it); writes nothing. `method` chooses the translation;
// without it, the template method when that is the stored one, otherwise the method whose
// route wrote Temp/clean.asml last (the FSM route when clean.asml is what the diagrams
// give now, the AsmL route otherwise). Fails when the project or its tables cannot be
// read, and when Tran.cpp (or for the AsmL route Temp/clean.asml) has not been generated.
Status MakeSourceMap(std::string_view projectFilePath, SourceMap& map,
                     std::optional<int> method = std::nullopt);

// The map of the generated files as the build and the simulation want it: the kept map of
// the last Generate run (LoadLineMap) when it is there, maps the files of the current
// settings and was made by `method` (when given); otherwise MakeSourceMap's.
Status LoadSourceMap(std::string_view projectFilePath, SourceMap& map,
                     std::optional<int> method = std::nullopt);

struct MappedDiagnostic {
    CompilerDiagnostic compiler;       // as the compiler printed it
    std::optional<SourcePlace> source; // none: a line that comes from no user line
    std::string generatedFile;         // with a source: the generated file's full path
    std::string generatedText;         // with a source: the generated line
};

// The diagnostics of a compiler's output (g++ alone or inside a build tool's output),
// each with the user's place when it stands in a mapped line.
std::vector<MappedDiagnostic> MapCompilerOutput(std::string_view compilerOutput,
                                                const SourceMap& map);

// The diagnostics as a user reads them, one line ended by LF each. A mapped one:
//   FILE: In SCOPE:                          (when the file or scope changes)
//   FILE:LINE: SEVERITY: MESSAGE
//       in Tran.cpp:57:   addr.write( toLv ( address )  ) ;
// Any other as the compiler printed it: its context lines, its line, its quote lines.
std::string FormatMappedDiagnostics(const std::vector<MappedDiagnostic>& diagnostics);

} // namespace kestrel
