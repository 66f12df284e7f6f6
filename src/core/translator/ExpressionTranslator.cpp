// The expression translator (being filled in).
#include "translator/ExpressionTranslator.h"

namespace kestrel {

std::string TranslateExpression(std::string_view, TranslationState&, GenerationRun&) { return {}; }
void AppendTranslatedExpression(std::string&, std::string_view, TranslationState&,
                                GenerationRun&) {}
TokenClass ClassifyToken(std::string_view, TranslationState&, const GenerationRun&) {
    return TokenClass::Unrecognized;
}
bool IsParameter(std::string_view, TranslationState&, const GenerationRun&) { return false; }
bool IsSignal(std::string_view, TranslationState&, const GenerationRun&) { return false; }
bool IsVariable(std::string_view, const TranslationState&) { return false; }
bool IsOperand(std::string_view, const TranslationState&) { return false; }
bool IsOperatorToken(std::string_view) { return false; }
bool IsNumericLiteral(std::string_view) { return false; }
std::string MapOperator(std::string_view, TranslationState&, GenerationRun&) { return {}; }
std::string MapOperand(std::string_view, const TranslationState&) { return {}; }
std::string SignalReadText(std::string_view, TranslationState&, GenerationRun&) { return {}; }
std::string SignalWriteTarget(std::string_view, TranslationState&, GenerationRun&) { return {}; }
std::string VariableReadText(std::string_view, TranslationState&, const GenerationRun&) {
    return {};
}
std::string VariableWriteTarget(std::string_view, TranslationState&, const GenerationRun&) {
    return {};
}

} // namespace kestrel
