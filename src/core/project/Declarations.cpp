// Display texts of declarations: the signature column of the function list.
#include "project/Declarations.h"

#include <algorithm>

namespace kestrel {

std::string FunctionSignatureText(const TlmFunction& function) {
    std::string text = "( ";
    for (const TlmParameter& p : function.UsedParameters()) {
        if (&p != &function.UsedParameters().front()) text += ", ";
        if (p.isConst) text += "const ";
        text += p.typeText.Text();
        text += " ";
        text += p.passMarker.Text();
        text += " ";
        text += p.parameterName.Text();
        if (p.isArray) text += " []";
    }
    text += " )";
    return text;
}

} // namespace kestrel
