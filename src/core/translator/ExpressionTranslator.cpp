// The expression translator. An expression is split at every blank and each token is
// classified on its own (parameter, signal, variable, operand, operator, toInt, toLv, or
// unrecognized), rendered on its own and followed by one blank; there is no precedence
// and no tree. Parentheses are paired through the function-wide brace stack, so a "("
// opened after a parameter becomes "[" and closes as "]", even in a later expression.
#include "translator/ExpressionTranslator.h"

#include <array>

namespace kestrel {

namespace {

constexpr std::int16_t kRoundBrace = 1;
constexpr std::int16_t kSquareBrace = 2;

std::string_view TrimBlanks(std::string_view text) {
    if (!text.empty() && text.front() != ' ' && text.back() != ' ') return text;
    std::size_t begin = text.find_first_not_of(' ');
    if (begin == std::string_view::npos) return {};
    std::size_t end = text.find_last_not_of(' ');
    return text.substr(begin, end - begin + 1);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsLogicConstant(std::string_view token) {
    return token == "LOGIC_0" || token == "LOGIC_1" || token == "LOGIC_X" || token == "LOGIC_Z";
}

bool IsStringLiteral(std::string_view token) {
    return !token.empty() && token.front() == '"' && token.back() == '"';
}

bool IsDeclaredConstant(std::string_view name, const TranslationState& state) {
    for (int i = 0; i < state.declaredConstantCount; ++i)
        if (state.declaredConstants[static_cast<std::size_t>(i)] == name) return true;
    return false;
}

bool IsEnumerationValue(std::string_view name, const TranslationState& state) {
    for (int e = 0; e < state.declaredEnumCount; ++e) {
        const DeclaredEnum& declared = state.declaredEnums[static_cast<std::size_t>(e)];
        for (int v = 0; v < declared.valueCount; ++v)
            if (declared.values[static_cast<std::size_t>(v)] == name) return true;
    }
    return false;
}

// Logs the direction error once when a signal of this name (there may be several, from
// libraries) has another direction than the expected one.
void CheckSignalDirection(std::string_view name, SignalDirection expected, TranslationState& state,
                          GenerationRun& run) {
    PrepareTranslationNames(state, run);
    std::string_view trimmed = TrimBlanks(name);
    if (trimmed.empty()) return;
    const TranslationNames& names = state.names;
    for (int s = 0; s < names.signalCount; ++s) {
        auto slot = static_cast<std::size_t>(s);
        if (names.signalNames[slot] == trimmed && names.signalDirections[slot] != expected) {
            std::string message(name);
            message += " - wrong port direction";
            run.log().LogError(message);
            return;
        }
    }
}

void AppendOperator(std::string& out, std::string_view token, TranslationState& state,
                    GenerationRun& run) {
    if (token == "(") {
        if (state.braceStack.isFull()) {
            run.log().LogError("Stack Brace Full!");
            return;
        }
        if (state.previousTokenClass == TokenClass::Parameter) {
            state.braceStack.Push(kSquareBrace);
            out += '[';
        } else {
            state.braceStack.Push(kRoundBrace);
            out += '(';
        }
        return;
    }
    if (token == ")") {
        if (state.braceStack.isEmpty()) {
            run.log().LogError("Stack Brace Empty!");
            return;
        }
        out += state.braceStack.Pop() == kSquareBrace ? ']' : ')';
        return;
    }
    if (token == "<>")
        out += "!=";
    else if (token == "=")
        out += "==";
    else if (token == "and")
        out += "&&";
    else if (token == "or")
        out += "||";
    else if (token == "not")
        out += "!";
    else if (token == "mod")
        out += "%";
    else
        out += token; // < > <= >= + - * / := : // , stay as they are
}

void AppendOperand(std::string& out, std::string_view token, const TranslationState& state) {
    std::string_view trimmed = TrimBlanks(token);
    if (IsNumericLiteral(trimmed) || IsStringLiteral(trimmed) || trimmed == "true" ||
        trimmed == "false") {
        out += token;
    } else if (IsLogicConstant(trimmed)) {
        out += "SC_";
        out += trimmed;
    } else if (IsDeclaredConstant(trimmed, state) || IsEnumerationValue(trimmed, state)) {
        out += state.names.functionPrefix;
        out += trimmed;
    }
}

void AppendToken(std::string& out, std::string_view token, TokenClass tokenClass,
                 TranslationState& state, GenerationRun& run) {
    switch (tokenClass) {
    case TokenClass::Signal:
        out += token;
        out += ".read ()";
        CheckSignalDirection(token, SignalDirection::In, state, run);
        break;
    case TokenClass::Variable:
        out += state.names.functionPrefix;
        out += token;
        out += ".read ()";
        break;
    case TokenClass::Operand: AppendOperand(out, token, state); break;
    case TokenClass::Operator: AppendOperator(out, token, state, run); break;
    case TokenClass::Unrecognized: {
        std::string message = "Unrecognized AsmL Word: ";
        message += token;
        run.log().LogError(message);
        out += token;
        break;
    }
    case TokenClass::Parameter:
    case TokenClass::ToInt:
    case TokenClass::ToLv: out += token; break;
    }
}

} // namespace

void AppendTranslatedExpression(std::string& out, std::string_view text, TranslationState& state,
                                GenerationRun& run) {
    if (text.empty()) {
        run.log().LogError("Empty Expression");
        return;
    }
    PrepareTranslationNames(state, run);
    state.previousTokenClass = TokenClass::Unrecognized;
    std::size_t start = 0;
    while (true) {
        std::size_t blank = text.find(' ', start);
        std::string_view token = text.substr(
            start, blank == std::string_view::npos ? std::string_view::npos : blank - start);
        TokenClass tokenClass = ClassifyToken(token, state, run);
        AppendToken(out, token, tokenClass, state, run);
        out += ' ';
        state.previousTokenClass = tokenClass;
        if (blank == std::string_view::npos) break;
        start = blank + 1;
    }
}

std::string TranslateExpression(std::string_view text, TranslationState& state,
                                GenerationRun& run) {
    std::string out;
    AppendTranslatedExpression(out, text, state, run);
    return out;
}

TokenClass ClassifyToken(std::string_view token, TranslationState& state,
                         const GenerationRun& run) {
    if (IsParameter(token, state, run)) return TokenClass::Parameter;
    if (IsSignal(token, state, run)) return TokenClass::Signal;
    if (IsVariable(token, state)) return TokenClass::Variable;
    if (IsOperand(token, state)) return TokenClass::Operand;
    if (IsOperatorToken(token)) return TokenClass::Operator;
    if (token == "toInt") return TokenClass::ToInt;
    if (token == "toLv") return TokenClass::ToLv;
    return TokenClass::Unrecognized;
}

bool IsParameter(std::string_view name, TranslationState& state, const GenerationRun& run) {
    PrepareTranslationNames(state, run);
    std::string_view trimmed = TrimBlanks(name);
    if (trimmed.empty()) return false;
    const TranslationNames& names = state.names;
    for (int p = 0; p < names.parameterCount; ++p)
        if (names.parameters[static_cast<std::size_t>(p)] == trimmed) return true;
    return false;
}

bool IsSignal(std::string_view name, TranslationState& state, const GenerationRun& run) {
    PrepareTranslationNames(state, run);
    std::string_view trimmed = TrimBlanks(name);
    if (trimmed.empty()) return false;
    const TranslationNames& names = state.names;
    for (int s = 0; s < names.signalCount; ++s)
        if (names.signalNames[static_cast<std::size_t>(s)] == trimmed) return true;
    return false;
}

bool IsVariable(std::string_view name, const TranslationState& state) {
    std::string_view trimmed = TrimBlanks(name);
    if (trimmed.empty()) return false;
    for (int i = 0; i < state.declaredVariableCount; ++i)
        if (state.declaredVariables[static_cast<std::size_t>(i)] == trimmed) return true;
    return false;
}

bool IsOperand(std::string_view token, const TranslationState& state) {
    std::string_view trimmed = TrimBlanks(token);
    if (trimmed.empty()) return false;
    return IsNumericLiteral(trimmed) || IsStringLiteral(trimmed) || IsLogicConstant(trimmed) ||
           trimmed == "true" || trimmed == "false" || IsDeclaredConstant(trimmed, state) ||
           IsEnumerationValue(trimmed, state);
}

bool IsOperatorToken(std::string_view token) {
    // Called for every character of every line by the tokenizer, so no table search.
    switch (token.size()) {
    case 1:
        switch (token[0]) {
        case '<':
        case '>':
        case '=':
        case '(':
        case ')':
        case '+':
        case '-':
        case '*':
        case '/':
        case ':':
        case ',': return true;
        default: return false;
        }
    case 2: {
        char a = token[0], b = token[1];
        return (a == '<' && (b == '=' || b == '>')) || (a == '>' && b == '=') ||
               (a == ':' && b == '=') || (a == '/' && b == '/') || (a == 'o' && b == 'r');
    }
    case 3: return token == "mod" || token == "and" || token == "not";
    default: return false;
    }
}

bool IsNumericLiteral(std::string_view token) {
    std::size_t i = 0;
    std::size_t digits = 0;
    while (i < token.size() && IsDigit(token[i])) ++i, ++digits;
    if (i < token.size() && token[i] == '.') {
        ++i;
        while (i < token.size() && IsDigit(token[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < token.size() && (token[i] == 'e' || token[i] == 'E')) {
        ++i;
        if (i < token.size() && (token[i] == '+' || token[i] == '-')) ++i;
        std::size_t exponentDigits = 0;
        while (i < token.size() && IsDigit(token[i])) ++i, ++exponentDigits;
        if (exponentDigits == 0) return false;
    }
    return i == token.size();
}

std::string MapOperator(std::string_view token, TranslationState& state, GenerationRun& run) {
    std::string out;
    AppendOperator(out, token, state, run);
    return out;
}

std::string MapOperand(std::string_view token, TranslationState& state, const GenerationRun& run) {
    PrepareTranslationNames(state, run);
    std::string out;
    AppendOperand(out, token, state);
    return out;
}

std::string SignalReadText(std::string_view name, TranslationState& state, GenerationRun& run) {
    CheckSignalDirection(name, SignalDirection::In, state, run);
    std::string out(name);
    out += ".read ()";
    return out;
}

void AppendSignalWriteTarget(std::string& out, std::string_view name, TranslationState& state,
                             GenerationRun& run) {
    CheckSignalDirection(name, SignalDirection::Out, state, run);
    out += name;
    out += ".write";
}

std::string SignalWriteTarget(std::string_view name, TranslationState& state, GenerationRun& run) {
    std::string out;
    AppendSignalWriteTarget(out, name, state, run);
    return out;
}

std::string VariableReadText(std::string_view name, TranslationState& state,
                             const GenerationRun& run) {
    PrepareTranslationNames(state, run);
    std::string out = state.names.functionPrefix;
    out += name;
    out += ".read ()";
    return out;
}

void AppendVariableWriteTarget(std::string& out, std::string_view name, TranslationState& state,
                               const GenerationRun& run) {
    PrepareTranslationNames(state, run);
    out += state.names.functionPrefix;
    out += name;
    out += ".write";
}

std::string VariableWriteTarget(std::string_view name, TranslationState& state,
                                const GenerationRun& run) {
    std::string out;
    AppendVariableWriteTarget(out, name, state, run);
    return out;
}

} // namespace kestrel
