// Maps the AsmL type name of a var or const declaration to its SystemC type: the fixed
// table first, then an enumeration the function declared (which wins), else nothing.
#include "translator/TypeMapping.h"

#include <array>
#include <utility>

namespace kestrel {

namespace {

constexpr std::array<std::pair<std::string_view, std::string_view>, 13> kTypeTable = {{
    {"Boolean", "bool"},
    {"Byte", "unsigned char"},
    {"Short", "unsigned short"},
    {"Integer", "unsigned int"},
    {"Long", "unsigned long"},
    {"Char", "char"},
    {"Logic", "sc_logic"},
    {"Lv_2", "sc_lv <2> "},
    {"Lv_4", "sc_lv <4> "},
    {"Lv_8", "sc_lv <8> "},
    {"Lv_16", "sc_lv <16> "},
    {"Lv_32", "sc_lv <32> "},
    {"Lv_64", "sc_lv <64> "},
}};

std::string_view TrimBlanks(std::string_view text) {
    std::size_t begin = text.find_first_not_of(' ');
    if (begin == std::string_view::npos) return {};
    std::size_t end = text.find_last_not_of(' ');
    return text.substr(begin, end - begin + 1);
}

} // namespace

std::string MapAsmLType(std::string_view typeName, TranslationState& state,
                        const GenerationRun& run) {
    std::string_view name = TrimBlanks(typeName);
    std::string result;
    for (const auto& [asmlType, systemcType] : kTypeTable) {
        if (asmlType == name) {
            result = systemcType;
            break;
        }
    }
    if (!name.empty()) {
        for (int e = 0; e < state.declaredEnumCount; ++e) {
            if (state.declaredEnums[static_cast<std::size_t>(e)].name == name) {
                PrepareTranslationNames(state, run);
                result = state.names.functionPrefix;
                result += name;
                break;
            }
        }
    }
    return result;
}

} // namespace kestrel
