#pragma once
// The statement translator: turns a TLM function's AsmL section, line by line, into the
// SystemC statements and declarations of its four section texts, with braces for the
// blocks that AsmL marks by indentation.
#include "codegen/GenerationRun.h"
#include "translator/SectionTexts.h"
#include "translator/TranslationState.h"

#include <string>
#include <string_view>

namespace kestrel {

// Before a function's first line: the three stacks initialised, the declaration lists
// empty, previous indentation 0, pending text and enumeration value list empty, last
// kind 20 (namespace).
void ResetTranslationState(TranslationState& state);

// One line of a function's section (without its line end): MeasureIndent, TokenizeLine,
// TrackBlocks, ClassifyLine, TranslateLine, in this order. Errors go to run.log();
// a SetClockSignal line changes run.session.clock. The function is run.currentFunction.
void TranslateSourceLine(TranslationState& state, std::string_view line, GenerationRun& run,
                         SectionTexts& out);

// After a function's last line: closes every block still open, innermost first.
void CloseAllBlocks(TranslationState& state, GenerationRun& run, SectionTexts& out);

// The steps of one line, for callers that drive them one by one. Each works on
// state.line and state.tokens.

// The number of blanks before the first non-blank character (the whole length for a
// line of blanks) becomes the indentation.
void MeasureIndent(TranslationState& state);
// Splits the line into at most 64 tokens at blanks and operator characters; the excess
// tokens of a longer line are dropped and state.tokensCut is set.
void TokenizeLine(TranslationState& state, GenerationLog& log);
// After TokenizeLine: logs a cut line, unless it is a comment, namespace, import or
// function header line, whose translation the cut does not change.
void ReportCutTokens(TranslationState& state, GenerationRun& run);
// Opens and closes blocks for the change of indentation, writing braces and closing texts.
void TrackBlocks(TranslationState& state, GenerationRun& run, SectionTexts& out);
// The kind of the current line by its tokens, without setting it.
LineKind KindOfLine(TranslationState& state, GenerationRun& run);
// Sets the line kind, and the last kind unless the line is empty.
void ClassifyLine(TranslationState& state, GenerationRun& run);
// Renders the line by its kind.
void TranslateLine(TranslationState& state, GenerationRun& run, SectionTexts& out);

// Token `from`, then for each further number up to `to` a blank and that token; token
// `from` alone when `to` < from + 1; a number past the count gives the empty text.
std::string JoinTokens(const TranslationState& state, int from, int to);
// Writes the pending text to the section as one line (its line breaks make it several)
// and empties it; does nothing while it is empty.
void FlushPending(TranslationState& state, TextWriter& section);

} // namespace kestrel
