// The names of the project tables that the translator resolves: the function's trimmed
// name and parameters and every signal with its direction, taken once per function so
// that looking a token up never trims or allocates.
#include "translator/TranslationState.h"

#include <algorithm>

namespace kestrel {

void TakeTranslationNames(TranslationState& state, const GenerationRun& run, int slot) {
    TranslationNames& names = state.names;
    names = TranslationNames{};
    names.ready = true;
    names.function = slot;

    const TlmFunctionTable& functions = run.tables.functions;
    if (slot >= 1 && slot <= kMaxFunctions) {
        const TlmFunction& function = functions[slot];
        names.functionName = function.functionName.Text();
        int count = std::clamp<int>(function.parameterCount, 0, kMaxParameters);
        for (int p = 1; p <= count; ++p) {
            names.parameters[static_cast<std::size_t>(names.parameterCount++)] =
                function.parameters[static_cast<std::size_t>(p)].parameterName.Text();
        }
    }
    names.functionPrefix = names.functionName + "_";

    const RtlSignalTable& signals = run.tables.signals;
    int count = std::clamp<int>(signals.count, 0, kMaxSignals);
    for (int s = 1; s <= count; ++s) {
        auto slot = static_cast<std::size_t>(names.signalCount++);
        names.signalNames[slot] = signals[s].signalName.Text();
        names.signalDirections[slot] = signals[s].directionIndex;
    }
}

} // namespace kestrel
