// The statement translator. Each line of a function's section is measured (leading
// blanks), cut into tokens, used to open or close blocks by its indentation, classified
// by its first tokens and rendered into the .dec, .ini, .asm or .upd text. A block opens
// when a line is indented deeper than the last non-empty line and takes the kind of that
// line; its braces and closing text depend on that kind. Comments and blank lines wait
// in the pending text until the next statement says which section they belong to.
#include "translator/StatementTranslator.h"

#include "translator/ExpressionTranslator.h"
#include "translator/TypeMapping.h"

#include <algorithm>

namespace kestrel {

namespace {

constexpr int kMaxIndentation = 32767; // the block stacks hold 16-bit values

std::string_view TokenAt(const TranslationState& state, int number) {
    if (number < 1 || number > kMaxLineTokens) return {};
    return state.tokens[static_cast<std::size_t>(number)];
}

void AppendJoinedTokens(std::string& out, const TranslationState& state, int from, int to) {
    out += TokenAt(state, from);
    to = std::min(to, kMaxLineTokens);
    for (int number = from + 1; number <= to; ++number) {
        out += ' ';
        out += TokenAt(state, number);
    }
}

// The translation of JoinTokens(from, to), in the state's value buffer.
const std::string& TranslatedRange(TranslationState& state, GenerationRun& run, int from, int to) {
    state.scratchJoin.clear();
    AppendJoinedTokens(state.scratchJoin, state, from, to);
    state.scratchValue.clear();
    AppendTranslatedExpression(state.scratchValue, state.scratchJoin, state, run);
    return state.scratchValue;
}

// Starts the state's line buffer with the indentation.
std::string& StartLine(TranslationState& state, int indent) {
    state.scratchLine.assign(static_cast<std::size_t>(std::max(indent, 0)), ' ');
    return state.scratchLine;
}

void WriteIndented(TranslationState& state, TextWriter& section, int indent,
                   std::string_view text) {
    std::string& line = StartLine(state, indent);
    line += text;
    section.line(line);
}

bool OpensAsmBrace(LineKind kind) {
    switch (kind) {
    case LineKind::If:
    case LineKind::ElseIf:
    case LineKind::Else:
    case LineKind::Step:
    case LineKind::StepWhile:
    case LineKind::StepUntil:
    case LineKind::Match:
    case LineKind::CaseLabel:
    case LineKind::Otherwise:
    case LineKind::Assignment: return true;
    default: return false;
    }
}

void WriteOpenBlockText(TranslationState& state, LineKind kind, int indent, SectionTexts& out) {
    if (OpensAsmBrace(kind))
        WriteIndented(state, out.behaviour, indent, "{");
    else if (kind == LineKind::Enum)
        WriteIndented(state, out.dec, indent, "{");
}

void WriteCloseBlockText(TranslationState& state, LineKind kind, int indent, SectionTexts& out) {
    switch (kind) {
    case LineKind::If:
    case LineKind::ElseIf:
    case LineKind::Else:
    case LineKind::Match:
    case LineKind::Assignment: WriteIndented(state, out.behaviour, indent, "}"); break;
    case LineKind::CaseLabel:
    case LineKind::Otherwise: WriteIndented(state, out.behaviour, indent, "} break ;"); break;
    case LineKind::Step:
    case LineKind::StepWhile:
    case LineKind::StepUntil: {
        std::string& line = StartLine(state, indent);
        line += state.names.functionName;
        line += "_Update () ;";
        out.behaviour.line(line);
        WriteIndented(state, out.behaviour, indent, "}");
        break;
    }
    case LineKind::Enum: {
        // An enumeration whose lines held no single-token values has no list to write;
        // it closes with the brace alone.
        const std::string& list = state.enumValueList;
        if (list.size() >= 2) {
            WriteIndented(state, out.dec, indent,
                          std::string_view(list).substr(0, list.size() - 2));
        }
        WriteIndented(state, out.dec, indent, "};");
        break;
    }
    default: break;
    }
}

void CloseInnermostBlock(TranslationState& state, int indent, SectionTexts& out) {
    auto kind = static_cast<LineKind>(state.kindStack.Pop());
    WriteCloseBlockText(state, kind, indent, out);
}

void LogCapacity(GenerationRun& run, std::string_view what, std::string_view name) {
    std::string message(what);
    message += name;
    run.log().LogError(message);
}

void TranslateVar(TranslationState& state, GenerationRun& run, SectionTexts& out) {
    std::string_view name = TokenAt(state, 2);
    if (state.declaredVariableCount < kMaxDeclaredVariables) {
        state.declaredVariables[static_cast<std::size_t>(state.declaredVariableCount++)] = name;
    } else {
        LogCapacity(run, "Too many AsmL Variables (more than 25): ", name);
    }

    FlushPending(state, out.dec);
    std::string type = MapAsmLType(TokenAt(state, 4), state, run);
    std::string& line = StartLine(state, state.indentation);
    line += "sc_signal <";
    line += type;
    line += "> ";
    line += state.names.functionPrefix;
    line += name;
    line += " ;";
    out.dec.line(line);

    if (TokenAt(state, 5) == "=") {
        const std::string& value = TranslatedRange(state, run, 6, state.tokenCount);
        std::string& init = StartLine(state, state.indentation);
        init += state.names.functionPrefix;
        init += name;
        init += ".write ( ";
        init += value;
        init += " ) ;";
        out.ini.line(init);
    }
}

void TranslateConst(TranslationState& state, GenerationRun& run, SectionTexts& out) {
    std::string_view name = TokenAt(state, 2);
    if (state.declaredConstantCount < kMaxDeclaredConstants) {
        state.declaredConstants[static_cast<std::size_t>(state.declaredConstantCount++)] = name;
    } else {
        LogCapacity(run, "Too many AsmL Constants (more than 25): ", name);
    }

    FlushPending(state, out.ini);
    std::string type = MapAsmLType(TokenAt(state, 4), state, run);
    const std::string& value = TranslatedRange(state, run, 6, state.tokenCount);
    std::string& line = StartLine(state, state.indentation);
    line += "const ";
    line += type;
    line += ' ';
    line += state.names.functionPrefix;
    line += name;
    line += " = ";
    line += value;
    line += " ;";
    out.ini.line(line);
}

void TranslateEnum(TranslationState& state, GenerationRun& run, SectionTexts& out) {
    std::string_view name = TokenAt(state, 2);
    if (state.declaredEnumCount < kMaxDeclaredEnums) {
        DeclaredEnum& declared =
            state.declaredEnums[static_cast<std::size_t>(state.declaredEnumCount++)];
        declared.name = name;
        declared.valueCount = 0;
        state.lastEnumDeclared = true;
    } else {
        state.lastEnumDeclared = false;
        LogCapacity(run, "Too many AsmL Enumerations (more than 20): ", name);
    }
    state.enumValueList.clear();

    FlushPending(state, out.dec);
    std::string& line = StartLine(state, state.indentation);
    line += "enum ";
    line += state.names.functionPrefix;
    line += name;
    out.dec.line(line);
}

void TranslateEnumValue(TranslationState& state, GenerationRun& run, SectionTexts& out) {
    std::string_view value = TokenAt(state, 1);
    if (state.lastEnumDeclared && state.declaredEnumCount > 0) {
        DeclaredEnum& declared =
            state.declaredEnums[static_cast<std::size_t>(state.declaredEnumCount - 1)];
        if (declared.valueCount < kMaxEnumValues) {
            declared.values[static_cast<std::size_t>(declared.valueCount++)] = value;
        } else {
            std::string what =
                "Too many values in AsmL Enumeration " + declared.name + " (more than 20): ";
            LogCapacity(run, what, value);
        }
    }

    FlushPending(state, out.dec);
    state.enumValueList += state.names.functionPrefix;
    state.enumValueList += value;
    state.enumValueList += ", ";
}

void TranslateAssignment(TranslationState& state, GenerationRun& run, SectionTexts& out) {
    int p = 1;
    while (p < state.tokenCount && TokenAt(state, p) != ":=") ++p;

    // The value is translated (and its errors logged) before the target.
    const std::string& value = TranslatedRange(state, run, p + 1, state.tokenCount);
    state.scratchTarget.clear();
    AppendJoinedTokens(state.scratchTarget, state, 1, p - 1);
    const std::string& target = state.scratchTarget;
    std::string_view first = TokenAt(state, 1);

    std::string& line = StartLine(state, state.indentation);
    if (IsParameter(first, state, run)) {
        AppendTranslatedExpression(line, target, state, run);
        line += " = ";
        line += value;
        line += " ;";
    } else if (IsSignal(first, state, run) || IsVariable(first, state)) {
        if (IsSignal(first, state, run))
            AppendSignalWriteTarget(line, target, state, run);
        else
            AppendVariableWriteTarget(line, target, state, run);
        line += "( ";
        line += value;
        line += " ) ;";
    } else {
        std::string message = "Unrecognized AsmL Word: ";
        message += first;
        run.log().LogError(message);
    }

    FlushPending(state, out.behaviour);
    out.behaviour.line(line);
}

// A statement of the .asm section: the opening text, a translated token range and the
// closing text, behind the indentation.
void WriteStatement(TranslationState& state, GenerationRun& run, SectionTexts& out,
                    std::string_view head, int from, int to, std::string_view tail) {
    const std::string& expression = TranslatedRange(state, run, from, to);
    FlushPending(state, out.behaviour);
    std::string& line = StartLine(state, state.indentation);
    line += head;
    line += expression;
    line += tail;
    out.behaviour.line(line);
}

void AppendPendingLine(TranslationState& state, std::string_view text) {
    if (!state.pendingText.empty()) state.pendingText += "\r\n";
    state.pendingText += text;
}

} // namespace

void ResetTranslationState(TranslationState& state) {
    state.indentationStack.Initialize();
    state.kindStack.Initialize();
    state.braceStack.Initialize();
    state.declaredVariableCount = 0;
    state.declaredConstantCount = 0;
    state.declaredEnumCount = 0;
    state.lastEnumDeclared = false;
    state.previousIndentation = 0;
    state.indentation = 0;
    state.pendingText.clear();
    state.enumValueList.clear();
    state.lastKind = LineKind::Namespace;
    state.lineKind = LineKind::Namespace;
    state.previousTokenClass = TokenClass::Unrecognized;
    for (int i = 1; i <= state.tokenCount; ++i) state.tokens[static_cast<std::size_t>(i)].clear();
    state.tokenCount = 0;
    state.line.clear();
    state.names.ready = false;
}

void TranslateSourceLine(TranslationState& state, std::string_view line, GenerationRun& run,
                         SectionTexts& out) {
    state.line.assign(line);
    PrepareTranslationNames(state, run);
    MeasureIndent(state);
    TokenizeLine(state, run.log());
    ReportCutTokens(state, run);
    TrackBlocks(state, run, out);
    ClassifyLine(state, run);
    TranslateLine(state, run, out);
}

void MeasureIndent(TranslationState& state) {
    std::size_t blanks = state.line.find_first_not_of(' ');
    if (blanks == std::string::npos) blanks = state.line.size();
    state.indentation = static_cast<int>(std::min<std::size_t>(blanks, kMaxIndentation));
}

void TokenizeLine(TranslationState& state, GenerationLog&) {
    for (int i = 1; i <= state.tokenCount; ++i) state.tokens[static_cast<std::size_t>(i)].clear();
    state.tokenCount = 0;

    const std::string& line = state.line;
    const std::size_t length = line.size();
    bool overflow = false;
    auto add = [&](std::size_t begin, std::size_t size) {
        if (state.tokenCount == kMaxLineTokens) {
            overflow = true;
            return;
        }
        state.tokens[static_cast<std::size_t>(++state.tokenCount)].assign(line, begin, size);
    };

    std::size_t p = 0;
    while (p < length) {
        char c = line[p];
        if (c == ' ') {
            ++p;
        } else if (IsOperatorToken(std::string_view(&line[p], 1))) {
            if (p + 1 < length && line[p + 1] != ' ' &&
                IsOperatorToken(std::string_view(&line[p], 2))) {
                add(p, 2);
                p += 2;
            } else {
                add(p, 1);
                ++p;
            }
        } else {
            // A word runs up to the next blank or operator character.
            std::size_t end = p + 1;
            while (end < length && line[end] != ' ' &&
                   !IsOperatorToken(std::string_view(&line[end], 1)))
                ++end;
            add(p, end - p);
            p = end;
        }
    }

    state.tokensCut = overflow;
}

void ReportCutTokens(TranslationState& state, GenerationRun& run) {
    if (!state.tokensCut) return;
    // A comment is kept as read, and namespace, import and function header lines are
    // not translated: what lies beyond the 64th token changes nothing there. The
    // untouched template of a function with 20 parameters has such a header.
    switch (KindOfLine(state, run)) {
    case LineKind::Comment:
    case LineKind::Namespace:
    case LineKind::Import:
    case LineKind::FunctionHeader: return;
    default: break;
    }
    std::string message = "AsmL Line has more than 64 Tokens, the rest is ignored:";
    message += state.line;
    run.log().LogError(message);
}

void TrackBlocks(TranslationState& state, GenerationRun& run, SectionTexts& out) {
    if (state.tokenCount == 0) return;
    PrepareTranslationNames(state, run);

    if (state.indentation > state.previousIndentation) {
        if (state.indentationStack.isFull()) {
            run.log().LogError("Block Generation Stack Overflow!!");
            return;
        }
        state.indentationStack.Push(static_cast<std::int16_t>(state.indentation));
        state.kindStack.Push(static_cast<std::int16_t>(state.lastKind));
        WriteOpenBlockText(state, state.lastKind, state.indentation, out);
    }
    if (state.indentation >= state.previousIndentation) {
        state.previousIndentation = state.indentation;
        return;
    }

    while (!state.indentationStack.isEmpty()) {
        std::int16_t top = state.indentationStack.Pop();
        if (state.indentation < top) {
            CloseInnermostBlock(state, top, out);
        } else {
            state.indentationStack.Push(top);
            break;
        }
    }
    state.previousIndentation = state.indentation;
}

LineKind KindOfLine(TranslationState& state, GenerationRun& run) {
    PrepareTranslationNames(state, run);
    const int n = state.tokenCount;
    std::string_view first = TokenAt(state, 1);
    std::string_view second = TokenAt(state, 2);

    auto enumBlockIsOpen = [&] {
        if (state.kindStack.isEmpty()) return false;
        std::int16_t top = state.kindStack.Pop();
        state.kindStack.Push(top);
        return top == static_cast<std::int16_t>(LineKind::Enum);
    };
    auto anyAssignment = [&] {
        for (int i = 1; i <= n; ++i)
            if (TokenAt(state, i) == ":=") return true;
        return false;
    };

    LineKind kind;
    if (n == 0)
        kind = LineKind::Empty;
    else if (first == "if")
        kind = LineKind::If;
    else if (first == "elseif")
        kind = LineKind::ElseIf;
    else if (first == "else")
        kind = LineKind::Else;
    else if (first == "step" && n == 1)
        kind = LineKind::Step;
    else if (first == "step" && second == "while")
        kind = LineKind::StepWhile;
    else if (first == "step" && second == "until")
        kind = LineKind::StepUntil;
    else if (first == "var")
        kind = LineKind::Var;
    else if (first == "const")
        kind = LineKind::Const;
    else if (first == "enum")
        kind = LineKind::Enum;
    else if (n == 1 && enumBlockIsOpen())
        kind = LineKind::EnumValue;
    else if (first == "//")
        kind = LineKind::Comment;
    else if (first == "match")
        kind = LineKind::Match;
    else if (TokenAt(state, n) == ":")
        kind = LineKind::CaseLabel;
    else if (first == "otherwise")
        kind = LineKind::Otherwise;
    else if (first == "skip")
        kind = LineKind::Skip;
    else if (first == "require")
        kind = LineKind::Require;
    else if (first == "SetClockSignal")
        kind = LineKind::Clock;
    else if (anyAssignment())
        kind = LineKind::Assignment;
    else if (first == "namespace")
        kind = LineKind::Namespace;
    else if (first == "import")
        kind = LineKind::Import;
    else if (first == state.names.functionName ||
             (first == "public" && second == state.names.functionName))
        kind = LineKind::FunctionHeader;
    else
        kind = LineKind::Unrecognized;
    return kind;
}

void ClassifyLine(TranslationState& state, GenerationRun& run) {
    LineKind kind = KindOfLine(state, run);
    state.lineKind = kind;
    if (kind != LineKind::Empty) state.lastKind = kind;
}

void TranslateLine(TranslationState& state, GenerationRun& run, SectionTexts& out) {
    PrepareTranslationNames(state, run);
    const int n = state.tokenCount;
    switch (state.lineKind) {
    case LineKind::Unrecognized: {
        std::string message = "Unrecognized AsmL Line:";
        message += state.line;
        run.log().LogError(message);
        state.pendingText.clear();
        break;
    }
    case LineKind::Empty: AppendPendingLine(state, " "); break;
    case LineKind::If: WriteStatement(state, run, out, "if ( ", 2, n - 1, " ) "); break;
    case LineKind::ElseIf: WriteStatement(state, run, out, "else if ( ", 2, n - 1, " ) "); break;
    case LineKind::Else:
        FlushPending(state, out.behaviour);
        WriteIndented(state, out.behaviour, state.indentation, "else");
        break;
    case LineKind::Step:
    case LineKind::Skip: FlushPending(state, out.behaviour); break;
    case LineKind::StepWhile: WriteStatement(state, run, out, "while ( ", 3, n, " ) "); break;
    case LineKind::StepUntil: WriteStatement(state, run, out, "while !( ", 3, n, " ) "); break;
    case LineKind::Var: TranslateVar(state, run, out); break;
    case LineKind::Const: TranslateConst(state, run, out); break;
    case LineKind::Enum: TranslateEnum(state, run, out); break;
    case LineKind::EnumValue: TranslateEnumValue(state, run, out); break;
    case LineKind::Comment: AppendPendingLine(state, state.line); break;
    case LineKind::Match: WriteStatement(state, run, out, "switch ( ", 2, n, " ) "); break;
    case LineKind::CaseLabel: WriteStatement(state, run, out, "case ", 1, n - 1, " :"); break;
    case LineKind::Otherwise:
        FlushPending(state, out.behaviour);
        WriteIndented(state, out.behaviour, state.indentation, "default :");
        break;
    case LineKind::Require: WriteStatement(state, run, out, "assert ( ", 2, n, " ) ;"); break;
    case LineKind::Clock: {
        ClockSelection& clock = run.session.clock;
        clock.clockSignalName = TokenAt(state, 3);
        std::string_view edge = TokenAt(state, 5);
        clock.clockOnPositiveEdge = !(edge == "0" || edge == "false");
        state.pendingText.clear();
        break;
    }
    case LineKind::Assignment: TranslateAssignment(state, run, out); break;
    case LineKind::Namespace:
    case LineKind::Import: break;
    case LineKind::FunctionHeader: state.pendingText.clear(); break;
    }
}

void CloseAllBlocks(TranslationState& state, GenerationRun& run, SectionTexts& out) {
    PrepareTranslationNames(state, run);
    while (!state.indentationStack.isEmpty()) {
        std::int16_t top = state.indentationStack.Pop();
        CloseInnermostBlock(state, top, out);
    }
}

std::string JoinTokens(const TranslationState& state, int from, int to) {
    std::string out;
    AppendJoinedTokens(out, state, from, to);
    return out;
}

void FlushPending(TranslationState& state, TextWriter& section) {
    if (state.pendingText.empty()) return;
    section.line(state.pendingText);
    state.pendingText.clear();
}

} // namespace kestrel
