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
        for (const TlmParameter& p : function.UsedParameters())
            names.parameters[static_cast<std::size_t>(names.parameterCount++)] =
                p.parameterName.Text();
    }
    names.functionPrefix = names.functionName + "_";

    for (const RtlSignal& signal : run.tables.signals.Used()) {
        auto slot = static_cast<std::size_t>(names.signalCount++);
        names.signalNames[slot] = signal.signalName.Text();
        names.signalDirections[slot] = signal.Direction();
    }
}

} // namespace kestrel
