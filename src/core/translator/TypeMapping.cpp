// The AsmL type names of declarations mapped to SystemC types (being filled in).
#include "translator/TypeMapping.h"

namespace kestrel {

std::string MapAsmLType(std::string_view, TranslationState&, const GenerationRun&) { return {}; }

} // namespace kestrel
