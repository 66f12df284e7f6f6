#pragma once
// The SystemC type of an AsmL type name in a var or const declaration.
#include "codegen/GenerationRun.h"
#include "translator/TranslationState.h"

#include <string>
#include <string_view>

namespace kestrel {

// "Boolean" bool, "Byte" unsigned char, "Short" unsigned short, "Integer" unsigned int,
// "Long" unsigned long, "Char" char, "Logic" sc_logic, "Lv_N" "sc_lv <N> " (N = 2, 4, 8,
// 16, 32, 64; note the final blank); an enumeration the function declared gives the
// function prefix and its name; any other name the empty text.
std::string MapAsmLType(std::string_view typeName, TranslationState& state,
                        const GenerationRun& run);

} // namespace kestrel
