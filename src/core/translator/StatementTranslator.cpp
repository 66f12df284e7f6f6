// The statement translator (being filled in).
#include "translator/StatementTranslator.h"

namespace kestrel {

void ResetTranslationState(TranslationState& state) {
    state.indentationStack.Initialize();
    state.kindStack.Initialize();
    state.braceStack.Initialize();
}
void TranslateSourceLine(TranslationState&, std::string_view, GenerationRun&, SectionTexts&) {}
void CloseAllBlocks(TranslationState&, GenerationRun&, SectionTexts&) {}
void MeasureIndent(TranslationState&) {}
void TokenizeLine(TranslationState&, GenerationLog&) {}
void TrackBlocks(TranslationState&, GenerationRun&, SectionTexts&) {}
void ClassifyLine(TranslationState&, GenerationRun&) {}
void TranslateLine(TranslationState&, GenerationRun&, SectionTexts&) {}
std::string JoinTokens(const TranslationState&, int, int) { return {}; }
void FlushPending(TranslationState&, TextWriter&) {}

} // namespace kestrel
