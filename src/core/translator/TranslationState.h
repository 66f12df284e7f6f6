#pragma once
// The state of the translator while it turns one TLM function's AsmL section into
// SystemC: the current line and its tokens, the open blocks, the pending comments, the
// names the function declared so far and the open parentheses of its expressions.
// The route allocates one (it is a few kilobytes) and resets it for every function.
#include "codegen/GenerationRun.h"
#include "translator/ClassStack.h"

#include <array>
#include <cstdint>
#include <string>

namespace kestrel {

inline constexpr int kMaxLineTokens = 64;
inline constexpr int kMaxDeclaredVariables = 25;
inline constexpr int kMaxDeclaredConstants = 25;
inline constexpr int kMaxDeclaredEnums = 20;
inline constexpr int kMaxEnumValues = 20;

// What an AsmL line is; the codes are the values kept on the kind stack.
enum class LineKind : std::int16_t {
    Unrecognized = 0,
    Empty = 1,
    If = 2,
    ElseIf = 3,
    Else = 4,
    Step = 5,
    StepWhile = 6,
    StepUntil = 7,
    Var = 8,
    Const = 9,
    Enum = 10,
    EnumValue = 11,
    Comment = 12,
    Match = 13,
    CaseLabel = 14,
    Otherwise = 15,
    Skip = 16,
    Require = 17,
    Clock = 18,
    Assignment = 19,
    Namespace = 20,
    Import = 21,
    FunctionHeader = 22,
};

// What one token of an expression is; decides how it is rendered.
enum class TokenClass : std::int16_t {
    Unrecognized = 0,
    Parameter = 1,
    Signal = 2,
    Variable = 3,
    Operand = 4,
    Operator = 5,
    ToInt = 6,
    ToLv = 7,
};

struct DeclaredEnum {
    std::string name;
    std::array<std::string, kMaxEnumValues> values;
    int valueCount = 0;
};

// The names an expression is resolved against that come from the project tables,
// trimmed once per function: the function's name and parameters, the signals with
// their (reversed) directions.
struct TranslationNames {
    bool ready = false;
    int function = 0;           // the slot they were taken from
    std::string functionName;   // trimmed
    std::string functionPrefix; // functionName + "_"
    std::array<std::string, 20> parameters;
    int parameterCount = 0;
    std::array<std::string, 25> signalNames;
    std::array<SignalDirection, 25> signalDirections{};
    int signalCount = 0;
};

struct TranslationState {
    // The current line as read, with its leading blanks.
    std::string line;
    // tokens[1..tokenCount]; tokens[0] is never used and every entry beyond the count
    // is empty, so a token number past the count reads as the empty text.
    std::array<std::string, kMaxLineTokens + 1> tokens;
    int tokenCount = 0;
    bool tokensCut = false; // the line had more tokens than fit

    int indentation = 0;
    int previousIndentation = 0; // of the last non-empty line
    LineKind lineKind = LineKind::Namespace;
    LineKind lastKind = LineKind::Namespace; // of the last non-empty line

    // For each open block: its indentation and the kind of the line that opened it.
    ClassStack indentationStack;
    ClassStack kindStack;
    // One entry per open parenthesis of the function's expressions: 1 for "(", 2 for "[".
    ClassStack braceStack;

    // Comments and blank lines not yet written; lines are separated by CR LF.
    std::string pendingText;
    // The rendered values of the enumeration being declared, each followed by ", ".
    std::string enumValueList;

    std::array<std::string, kMaxDeclaredVariables> declaredVariables;
    int declaredVariableCount = 0;
    std::array<std::string, kMaxDeclaredConstants> declaredConstants;
    int declaredConstantCount = 0;
    std::array<DeclaredEnum, kMaxDeclaredEnums> declaredEnums;
    int declaredEnumCount = 0;
    // False when the last enum line found no room in declaredEnums: its values are not
    // recorded either.
    bool lastEnumDeclared = false;

    // The class of the token rendered just before the current one in an expression.
    TokenClass previousTokenClass = TokenClass::Unrecognized;

    TranslationNames names;

    // Reused buffers, so that translating a line allocates nothing once warmed up.
    std::string scratchJoin;
    std::string scratchValue;
    std::string scratchTarget;
    std::string scratchLine;
};

// Takes state.names from the run's tables for function `slot`.
void TakeTranslationNames(TranslationState& state, const GenerationRun& run, int slot);

// Takes state.names from the run's tables for run.currentFunction, unless they already
// are that function's.
inline void PrepareTranslationNames(TranslationState& state, const GenerationRun& run) {
    if (!state.names.ready || state.names.function != run.currentFunction)
        TakeTranslationNames(state, run, run.currentFunction);
}

} // namespace kestrel
