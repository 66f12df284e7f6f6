#pragma once
// The expression translator: renders an AsmL expression token by token into SystemC,
// resolving names against the function's parameters, the RTL signals and the names the
// function declared, and pairing parentheses across all expressions of a function.
#include "codegen/GenerationRun.h"
#include "translator/TranslationState.h"

#include <string>
#include <string_view>

namespace kestrel {

// Translates an expression whose tokens are separated by single blanks. Each token's
// rendering is followed by one blank; the empty text logs "Empty Expression".
std::string TranslateExpression(std::string_view text, TranslationState& state, GenerationRun& run);
// The same, appended to `out` (the statement translator's allocation-free form).
void AppendTranslatedExpression(std::string& out, std::string_view text, TranslationState& state,
                                GenerationRun& run);

// The first class whose test holds: parameter, signal, variable, operand, operator,
// "toInt", "toLv"; else Unrecognized.
TokenClass ClassifyToken(std::string_view token, TranslationState& state, const GenerationRun& run);

// Name tests; names are trimmed of blanks and compared exactly.
bool IsParameter(std::string_view name, TranslationState& state, const GenerationRun& run);
bool IsSignal(std::string_view name, TranslationState& state, const GenerationRun& run);
bool IsVariable(std::string_view name, const TranslationState& state);
// Numeric or string literal, LOGIC_0/1/X/Z, true/false, a declared constant or a value
// of a declared enumeration.
bool IsOperand(std::string_view token, const TranslationState& state);
// One of the 20 operator tokens: < > <= >= <> = ) ( + - * / mod and or not := : // ,
bool IsOperatorToken(std::string_view token);
// A decimal integer or real number (an exponent is allowed: 1e5, 2.5E3).
bool IsNumericLiteral(std::string_view token);

// The SystemC text of an operator. "(" opens "[" after a parameter and "(" otherwise;
// ")" closes what the brace stack says. Logs "Stack Brace Full!" / "Stack Brace Empty!"
// and renders nothing when the stack cannot follow.
std::string MapOperator(std::string_view token, TranslationState& state, GenerationRun& run);
// The SystemC text of an operand; the empty text for anything that is no operand.
std::string MapOperand(std::string_view token, TranslationState& state, const GenerationRun& run);

// name + ".read ()"; logs "<name> - wrong port direction" unless the signal is an sc_in.
std::string SignalReadText(std::string_view name, TranslationState& state, GenerationRun& run);
// name + ".write"; logs "<name> - wrong port direction" unless the signal is an sc_out.
std::string SignalWriteTarget(std::string_view name, TranslationState& state, GenerationRun& run);
// The same, appended to `out`.
void AppendSignalWriteTarget(std::string& out, std::string_view name, TranslationState& state,
                             GenerationRun& run);
// prefix + name + ".read ()"
std::string VariableReadText(std::string_view name, TranslationState& state,
                             const GenerationRun& run);
// prefix + name + ".write"
std::string VariableWriteTarget(std::string_view name, TranslationState& state,
                                const GenerationRun& run);
// The same, appended to `out`.
void AppendVariableWriteTarget(std::string& out, std::string_view name, TranslationState& state,
                               const GenerationRun& run);

} // namespace kestrel
