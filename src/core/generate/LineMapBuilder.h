#pragma once
// The map of a run's generated lines, made from what the run recorded (LineRecord): the
// origins of each translated section line, and the line at which the writers spliced each
// section into Tran.cpp and Tran.h; the user's place of every line (clean.asml, or the
// diagram line and its object) is found through the run's clean.asml.
#include "codegen/GenerationRun.h"
#include "codegen/LineMap.h"
#include "generate/FunctionTranslation.h"

namespace kestrel {

// The map of the two files `record` holds for the run's settings (Tran.cpp, then Tran.h,
// with their checksums), with no line texts; `source` is the clean.asml the run translated.
// Nothing when the record lacks a file or the origins of a translated function.
std::optional<SourceMap> SourceMapFromRecord(const GenerationRun& run, const AsmlSource& source,
                                             int method, const LineRecord& record);

} // namespace kestrel
