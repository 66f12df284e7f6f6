// Display texts of declarations: the signature column of the function list.
#include "project/Declarations.h"

#include <algorithm>

namespace kestrel {

std::string FunctionSignatureText(const TlmFunction& function) {
    std::string text = "( ";
    int count = std::clamp<int>(function.parameterCount, 0, kMaxParameters);
    for (int j = 1; j <= count; ++j) {
        const TlmParameter& p = function.parameters[static_cast<std::size_t>(j)];
        if (p.isConst) text += "const ";
        text += p.typeText.Text();
        text += " ";
        text += p.passMarker.Text();
        text += " ";
        text += p.parameterName.Text();
        if (p.isArray) text += " []";
        if (j != count) text += ", ";
    }
    text += " )";
    return text;
}

} // namespace kestrel
