#pragma once
// The map of a run's generated lines, made from what the run recorded (LineRecord): the
// origins of each translated section line, and the line at which the writers spliced each
// section into Tran.cpp and Tran.h; the user's place of every line (clean.asml, or the
// diagram line and its object) is found through the origins of clean.asml's lines.
#include "codegen/GenerationRun.h"
#include "codegen/LineMap.h"
#include "generate/FunctionTranslation.h"

#include <optional>

namespace kestrel {

// Notes in `record` what its map needs of the run besides the origins and splices: the
// method, the paths of the settings, the names of the functions, and where each line of
// `source` (the clean.asml the run translated) was written by the user.
void NoteRunSources(const GenerationRun& run, const AsmlSource& source, int method,
                    LineRecord& record);

// The map of Tran.cpp and Tran.h (with the checksums the record has and no line texts).
// Nothing when the record is not complete.
std::optional<SourceMap> SourceMapFromRecord(const LineRecord& record);

} // namespace kestrel
