// The names of the project tables that the translator resolves, taken once per function.
#include "translator/TranslationState.h"

#include "codegen/GenerationRun.h"

namespace kestrel {

void PrepareTranslationNames(TranslationState&, const GenerationRun&) {}

} // namespace kestrel
