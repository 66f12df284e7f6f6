// The warnings of a function's AsmL and of the declarations. A section is linted while
// it is translated (an observer of the pass; LintSection makes a scratch pass of its own),
// so that after each line the translation state holds exactly what the translator made of
// it: the kind, the tokens and the names declared so far. The rules then look at the
// tokens that kind renders into code.
#include "translator/AsmlLint.h"

#include "codegen/GenerationRun.h"
#include "platform/Text.h"
#include "translator/ExpressionTranslator.h"
#include "translator/SectionTexts.h"
#include "translator/StatementTranslator.h"
#include "translator/TypeMapping.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <optional>

namespace kestrel {

namespace {

constexpr std::string_view kMappedTypes = "Boolean, Byte, Short, Integer, Long, Char, Logic, "
                                          "Lv_2, Lv_4, Lv_8, Lv_16, Lv_32, Lv_64";
constexpr std::array<int, 6> kVectorWidths = {2, 4, 8, 16, 32, 64};

std::string InQuotes(std::string_view text) {
    return "\"" + VisibleText(text) + "\"";
}

// What a name read in an expression holds, for the rules that care about logic values.
enum class ValueKind { Other, Logic, Vector };

struct Variable {
    std::string name;
    std::string type;   // the AsmL type as written
    std::string mapped; // the SystemC type the translator gave it
    bool hasValue = false;
    bool written = false;
    std::optional<std::size_t> firstRead;

    ValueKind Kind() const {
        if (mapped == "sc_logic") return ValueKind::Logic;
        if (mapped.starts_with("sc_lv")) return ValueKind::Vector;
        return ValueKind::Other;
    }
    // The N of "sc_lv <N> ".
    int Width() const {
        std::size_t open = mapped.find('<');
        return open == std::string::npos ? 0 : std::atoi(mapped.c_str() + open + 1);
    }
};

// A port or variable as an expression reads it.
struct ReadName {
    ValueKind kind = ValueKind::Other;
    std::string what;     // "an sc_logic port", "an Lv_8 variable"
    std::string rendered; // "ack.read ()", "Read_v.read ()"
};

struct Range {
    int from = 0;
    int to = -1;
};

} // namespace

class AsmlLint::Rules {
public:
    explicit Rules(const GenerationRun& run) : run_(run) {}

    void Begin(TranslationState& state) {
        state_ = &state;
        variables_.clear();
        warnings_.clear();
        index_ = 0;
    }

    // After the translation of `line`, with the state it left.
    void Line(std::string_view line, std::size_t index) {
        index_ = index;
        TrackVariables();
        if (CheckTabIndentation(line)) return;
        switch (state_->lineKind) {
        case LineKind::StepUntil: CheckStepUntil(); break;
        case LineKind::Match: CheckMatch(); break;
        case LineKind::Var:
        case LineKind::Const: CheckType(); break;
        case LineKind::CaseLabel: CheckOtherwiseColon(); break;
        default: break;
        }
        CheckCaseStatement();
        CheckBitSelects();
        CheckWideConversions();
        CheckComment(line);
    }

    std::vector<AsmlWarning> Finish() {
        for (const Variable& v : variables_) {
            if (v.Kind() != ValueKind::Vector || v.hasValue || v.written || !v.firstRead) continue;
            Warn(*v.firstRead,
                 "the " + v.type + " variable " + v.name +
                     " is read but never written and has no initial value: it "
                     "reads X, and toInt stops the simulation on X; declare it with a value: "
                     "var " +
                     v.name + " as " + v.type + " = \"" +
                     std::string(static_cast<std::size_t>(v.Width()), '0') + "\"");
        }
        std::stable_sort(
            warnings_.begin(), warnings_.end(),
            [](const AsmlWarning& a, const AsmlWarning& b) { return a.line < b.line; });
        return std::move(warnings_);
    }

private:
    int Count() const { return state_->tokenCount; }
    std::string_view Token(int number) const {
        if (number < 1 || number > Count()) return {};
        return state_->tokens[static_cast<std::size_t>(number)];
    }
    std::string Joined(int from, int to) const { return JoinTokens(*state_, from, to); }
    TokenClass ClassOf(std::string_view token) { return ClassifyToken(token, *state_, run_); }
    std::string Prefixed(std::string_view name) const {
        return state_->names.functionPrefix + std::string(name);
    }
    void Warn(std::size_t line, std::string message) {
        warnings_.push_back({line, std::move(message)});
    }
    void Warn(std::string message) { Warn(index_, std::move(message)); }

    Variable* FindVariable(std::string_view name) {
        for (Variable& v : variables_)
            if (v.name == name) return &v;
        return nullptr;
    }

    // The first signal of this name, as the translator finds it; null when none has it.
    const RtlSignal* SignalNamed(std::string_view name) const {
        const TranslationNames& names = state_->names;
        for (int s = 0; s < names.signalCount; ++s)
            if (names.signalNames[static_cast<std::size_t>(s)] == name)
                return &run_.tables.signals[s + 1];
        return nullptr;
    }
    SignalDataType SignalType(std::string_view name) const {
        const RtlSignal* signal = SignalNamed(name);
        return signal ? signal->DataType() : SignalDataType::Typed;
    }

    std::optional<ReadName> ReadNameOf(std::string_view token) {
        ReadName read;
        switch (ClassOf(token)) {
        case TokenClass::Signal: {
            SignalDataType type = SignalType(token);
            if (type == SignalDataType::Logic) {
                read.kind = ValueKind::Logic;
                read.what = "an sc_logic port";
            } else if (type == SignalDataType::LogicVector) {
                read.kind = ValueKind::Vector;
                read.what = "an sc_lv port";
            }
            read.rendered = std::string(token) + ".read ()";
            return read;
        }
        case TokenClass::Variable: {
            const Variable* v = FindVariable(token);
            if (!v) return std::nullopt;
            read.kind = v->Kind();
            read.what = (v->type.starts_with("Lv_") ? "an " : "a ") + v->type + " variable";
            read.rendered = Prefixed(token) + ".read ()";
            return read;
        }
        default: return std::nullopt;
        }
    }

    // The first token of an assignment's ":=", as TranslateAssignment finds it.
    int AssignmentMark() const {
        int p = 1;
        while (p < Count() && Token(p) != ":=") ++p;
        return p;
    }

    // The token ranges the line's kind renders as expressions.
    std::vector<Range> RenderedRanges() {
        const int n = Count();
        switch (state_->lineKind) {
        case LineKind::If:
        case LineKind::ElseIf: return {{2, n - 1}};
        case LineKind::StepWhile:
        case LineKind::StepUntil: return {{3, n}};
        case LineKind::Match:
        case LineKind::Require: return {{2, n}};
        case LineKind::CaseLabel: return {{1, n - 1}};
        case LineKind::Var:
            if (Token(5) == "=") return {{6, n}};
            return {};
        case LineKind::Const: return {{6, n}};
        case LineKind::Assignment: {
            int p = AssignmentMark();
            if (IsParameter(Token(1), *state_, run_)) return {{1, p - 1}, {p + 1, n}};
            return {{p + 1, n}};
        }
        default: return {};
        }
    }

    // The ")" that closes the "(" at `open`, within `to`; 0 when there is none.
    int ClosingParenthesis(int open, int to) const {
        int depth = 0;
        for (int i = open; i <= to; ++i) {
            if (Token(i) == "(") ++depth;
            if (Token(i) == ")" && --depth == 0) return i;
        }
        return 0;
    }

    void TrackVariables() {
        const LineKind kind = state_->lineKind;
        if (kind == LineKind::Var) {
            Variable v;
            v.name = Token(2);
            v.type = Token(4);
            v.mapped = MapAsmLType(v.type, *state_, run_);
            v.hasValue = Token(5) == "=";
            variables_.push_back(std::move(v));
        }
        if (kind == LineKind::Assignment && ClassOf(Token(1)) == TokenClass::Variable) {
            if (Variable* v = FindVariable(Token(1))) v->written = true;
        }
        for (Range range : RenderedRanges()) {
            for (int i = range.from; i <= range.to; ++i) {
                if (ClassOf(Token(i)) != TokenClass::Variable) continue;
                Variable* v = FindVariable(Token(i));
                if (v && !v->firstRead) v->firstRead = index_;
            }
        }
    }

    // Only blanks indent: a tab before the first word is taken as part of that word.
    bool CheckTabIndentation(std::string_view line) {
        std::size_t start = line.find_first_not_of(" \t");
        std::string_view indentation = line.substr(0, start);
        if (indentation.find('\t') == std::string_view::npos) return false;
        std::string_view rest = line.substr(std::min(line.find_first_not_of(' '), line.size()));
        Warn("the indentation holds a tab (" + InQuotes(rest) +
             "): only blanks indent, and the tab is read as part of the first word, so the "
             "line is not translated as written; indent with blanks only");
        return true;
    }

    void CheckStepUntil() {
        std::string condition = Count() >= 3 ? Joined(3, Count()) : "condition";
        Warn("step until becomes \"while !( ... )\", which is not C++; write step while not ( " +
             condition + " )");
    }

    void CheckMatch() {
        int from = 2, to = Count();
        while (from < to && Token(from) == "(" && ClosingParenthesis(from, to) == to) {
            ++from;
            --to;
        }
        if (from != to) return;
        std::string_view name = Token(from);
        std::optional<ReadName> read = ReadNameOf(name);
        if (!read || read->kind == ValueKind::Other) return;
        std::string message = "match on " + std::string(name) + ", " + read->what +
                              ", becomes \"switch ( " + read->rendered +
                              " )\", which does not compile; write if " + std::string(name);
        if (read->kind == ValueKind::Logic)
            message += " = LOGIC_1 then ... elseif ... else";
        else
            message += " = \"...\" then ... elseif ... else, or match toInt ( " +
                       std::string(name) + " ) with number labels";
        Warn(message);
    }

    void CheckType() {
        std::string_view type = Token(4);
        if (!MapAsmLType(type, *state_, run_).empty()) return;
        const bool isVar = state_->lineKind == LineKind::Var;
        std::string declaration = isVar ? "sc_signal <> " + Prefixed(Token(2)) + " ;"
                                        : "const  " + Prefixed(Token(2)) + " = ... ;";
        std::string message = isVar ? "var" : "const";
        if (Token(2).empty())
            message += " without a name and a type";
        else if (type.empty())
            message += " " + VisibleText(Token(2)) + " has no type";
        else
            message += " " + VisibleText(Token(2)) + " as " + VisibleText(type) +
                       ": the translator does not map " + VisibleText(type);
        message += ", so the declaration becomes \"" + declaration +
                   "\", which is not C++; use one of " + std::string(kMappedTypes) +
                   " or an enumeration declared above";
        if (type.starts_with("Lv_")) {
            int width = std::atoi(std::string(type.substr(3)).c_str());
            for (int mapped : kVectorWidths) {
                if (mapped < width) continue;
                message +=
                    " (Lv_" + std::to_string(mapped) + " for " + std::to_string(width) + " bits)";
                break;
            }
        }
        Warn(message);
    }

    void CheckOtherwiseColon() {
        if (Count() != 2 || Token(1) != "otherwise") return;
        if (ClassOf("otherwise") != TokenClass::Unrecognized) return;
        Warn("\"otherwise :\" becomes \"case otherwise :\", which is not C++; write otherwise "
             "without the colon");
    }

    // "0 : x := 1": a label and its statement on one line is no case label at all;
    // "otherwise : x := 1" is the default case without its statement.
    void CheckCaseStatement() {
        const LineKind kind = state_->lineKind;
        if (kind == LineKind::Otherwise) {
            int from = Token(2) == ":" ? 3 : 2;
            if (Count() < from || Token(from) == "//") return;
            Warn("the statement " + InQuotes(Joined(from, Count())) +
                 " stands on the line of otherwise and is dropped; write \"otherwise\" alone "
                 "and the statement on its own line below it, indented deeper");
            return;
        }
        if (kind != LineKind::Assignment && kind != LineKind::Unrecognized) return;
        if (Count() < 3 || Token(2) != ":" || Token(3) == "//") return;
        Warn("the statement " + InQuotes(Joined(3, Count())) +
             " stands on the line of its case label, and neither is translated; write " +
             InQuotes(Joined(1, 2)) +
             " alone and the statement on its own line below it, indented deeper");
    }

    void CheckBitSelects() {
        for (Range range : RenderedRanges()) {
            for (int i = range.from; i < range.to; ++i) {
                if (Token(i + 1) != "(") continue;
                std::optional<ReadName> read = ReadNameOf(Token(i));
                if (!read || read->kind != ValueKind::Vector) continue;
                int close = ClosingParenthesis(i + 1, range.to);
                if (close == 0) continue;
                bool hasComma = false;
                int depth = 0;
                for (int k = i + 1; k < close; ++k) {
                    if (Token(k) == "(") ++depth;
                    if (Token(k) == ")") --depth;
                    if (Token(k) == "," && depth == 1) hasComma = true;
                }
                if (hasComma) {
                    CheckRangeBounds(i, close);
                    continue;
                }
                std::string name(Token(i));
                std::string bit = Joined(i + 2, close - 1);
                Warn(name + " ( " + bit + " ) is read as a call, \"" + read->rendered + " ( " +
                     bit + " )\", which is not C++; write " + name + " ( " + bit + " , " + bit +
                     " ) for one bit and compare it with LOGIC_0 or LOGIC_1");
            }
        }
        if (state_->lineKind != LineKind::Assignment || Token(2) != "(") return;
        TokenClass target = ClassOf(Token(1));
        if (target != TokenClass::Signal && target != TokenClass::Variable) return;
        int p = AssignmentMark();
        if (p <= 2) return;
        std::string name(Token(1));
        std::string written = target == TokenClass::Signal ? name : Prefixed(name);
        Warn(Joined(1, p - 1) + " := ... becomes \"" + written + " " + Joined(2, p - 1) +
             ".write( ... )\", which is not C++; a port or variable is written whole: " + name +
             " := ...");
    }

    // A range "name ( high , low )" of numbers within the vector's bits.
    void CheckRangeBounds(int name, int close) {
        if (close != name + 5 || Token(name + 3) != ",") return;
        auto number = [](std::string_view token) {
            if (token.empty() || token.size() > 6 ||
                token.find_first_not_of("0123456789") != std::string_view::npos)
                return -1;
            return std::atoi(std::string(token).c_str());
        };
        const int high = number(Token(name + 2)), low = number(Token(name + 4));
        const int width = VectorWidth(Token(name));
        if (high < 0 || low < 0 || width <= 0 || std::max(high, low) < width) return;
        std::string vector(Token(name));
        Warn(vector + " ( " + std::string(Token(name + 2)) + " , " + std::string(Token(name + 4)) +
             " ) reaches bit " + std::to_string(std::max(high, low)) + ", but " + vector + " has " +
             std::to_string(width) + " bits (0 to " + std::to_string(width - 1) +
             "): SystemC stops the simulation when the range is used; keep within " +
             std::to_string(width - 1) + " , 0 or declare the port wider");
    }

    // The width of an sc_lv port or Lv_ variable; 0 for any other name.
    int VectorWidth(std::string_view name) {
        switch (ClassOf(name)) {
        case TokenClass::Signal: {
            const RtlSignal* signal = SignalNamed(name);
            return signal && signal->DataType() == SignalDataType::LogicVector ? signal->width : 0;
        }
        case TokenClass::Variable: {
            const Variable* v = FindVariable(name);
            return v && v->Kind() == ValueKind::Vector ? v->Width() : 0;
        }
        default: return 0;
        }
    }

    // toInt and toLv convert through an unsigned int: 32 bits of a wider vector.
    void CheckWideConversions() {
        for (Range range : RenderedRanges()) {
            for (int i = range.from; i + 3 <= range.to; ++i) {
                if (Token(i) != "toInt" || Token(i + 1) != "(" || Token(i + 3) != ")") continue;
                const int width = VectorWidth(Token(i + 2));
                if (width <= 32) continue;
                std::string name(Token(i + 2));
                Warn("toInt ( " + name + " ) reads " + std::to_string(width) +
                     " bits into an unsigned int, so the bits above bit 31 are lost; read at "
                     "most 32 bits at a time: toInt ( " +
                     name + " ( 31 , 0 ) ) and toInt ( " + name + " ( " +
                     std::to_string(std::min(width, 64) - 1) + " , 32 ) )");
            }
        }
        if (state_->lineKind != LineKind::Assignment) return;
        const int p = AssignmentMark();
        if (p != 2) return;
        const int width = VectorWidth(Token(1));
        if (width <= 32) return;
        bool converted = false;
        for (int i = p + 1; i <= Count(); ++i) converted = converted || Token(i) == "toLv";
        if (!converted) return;
        std::string name(Token(1));
        Warn("toLv makes 32 bits of an unsigned int, so the bits of " + name +
             " above bit 31 (of " + std::to_string(width) + ") stay 0; " +
             (width <= 64
                  ? "assign an unsigned long long value without toLv (" + name + " := value)"
                  : "assign a text of " + std::to_string(width) + " characters '0' and '1' (" +
                        name + " := bits)"));
    }

    // A comment behind a statement: only harmful where the tokens after it are rendered.
    void CheckComment(std::string_view line) {
        int mark = 0;
        for (int i = 2; i <= Count() && mark == 0; ++i)
            if (Token(i) == "//") mark = i;
        if (mark == 0) return;
        bool rendered = false;
        switch (state_->lineKind) {
        case LineKind::If:
        case LineKind::ElseIf:
        case LineKind::StepWhile:
        case LineKind::StepUntil:
        case LineKind::Match:
        case LineKind::CaseLabel:
        case LineKind::Require:
        case LineKind::Assignment:
        case LineKind::Const:
        case LineKind::Unrecognized: rendered = true; break;
        case LineKind::Var: rendered = mark <= 4 || (Token(5) == "=" && mark >= 6); break;
        case LineKind::Clock: rendered = mark <= 5; break;
        default: break;
        }
        if (!rendered) return;
        std::string_view comment = line.substr(std::min(line.find("//"), line.size()));
        Warn("the comment " + InQuotes(TrimRight(comment)) +
             " behind the statement is translated as part of it; put the comment on a line of "
             "its own");
    }

    const GenerationRun& run_;
    TranslationState* state_ = nullptr;
    std::vector<Variable> variables_;
    std::vector<AsmlWarning> warnings_;
    std::size_t index_ = 0;
};

namespace {

std::string ParameterText(const TlmParameter& parameter, bool byReference) {
    std::string text = parameter.isConst ? "const " : "";
    text += parameter.typeText.Text();
    text += byReference ? " & " : " ";
    text += parameter.parameterName.Text();
    return text + " []";
}

} // namespace

AsmlLint::AsmlLint(const GenerationRun& run) : rules_(std::make_unique<Rules>(run)) {}
AsmlLint::~AsmlLint() = default;

void AsmlLint::Begin(SectionTexts&, TranslationState& state) {
    rules_->Begin(state);
}

void AsmlLint::AfterLine(std::size_t index, std::string_view line) {
    rules_->Line(line, index);
}

std::vector<AsmlWarning> AsmlLint::TakeWarnings() {
    return rules_->Finish();
}

std::vector<AsmlWarning> LintSection(const std::vector<std::string_view>& lines, std::size_t first,
                                     const PreparedTables& tables, int function) {
    // A scratch run: its own log and clock values, texts that spill into nothing.
    GenerationSession session;
    FixedClock clock(LocalDateTime{});
    GenerationRun run{"", "", tables, session, clock};
    run.currentFunction = function;
    auto state = std::make_unique<TranslationState>();
    ResetTranslationState(*state);
    SectionTexts texts;
    for (TextWriter* text : {&texts.dec, &texts.ini, &texts.behaviour, &texts.upd})
        text->SpillTo([](std::string_view) {}, std::size_t{1} << 16);
    AsmlLint lint(run);
    lint.Begin(texts, *state);
    for (std::size_t i = first; i < lines.size(); ++i) {
        std::string_view line = lines[i];
        std::size_t start = line.find_first_not_of(' ');
        if (start != std::string_view::npos && line.substr(start).starts_with("namespace")) break;
        TranslateSourceLine(*state, line, run, texts);
        lint.AfterLine(i, line);
    }
    return lint.TakeWarnings();
}

std::vector<std::string> FunctionDeclarationWarnings(const TlmFunctionTable& functions,
                                                     bool bodiesTranslated) {
    std::vector<std::string> warnings;
    for (const TlmFunction& function : functions.Used()) {
        const std::string name = Trim(function.functionName.Text());
        const std::string returnType = Trim(function.returnTypeText.Text());
        if (bodiesTranslated && returnType != "void") {
            std::string what =
                returnType.empty() ? name + " has no return type" : name + " returns " + returnType;
            warnings.push_back(what +
                               ", but its translated body has no return statement, so a caller "
                               "gets no defined value; declare it void and hand results back "
                               "through reference parameters");
        }
        for (const TlmParameter& parameter : function.UsedParameters()) {
            if (!parameter.isArray || Trim(parameter.passMarker.Text()) != "&") continue;
            warnings.push_back(name + ": the array parameter " +
                               Trim(parameter.parameterName.Text()) +
                               " is passed by reference, \"" + ParameterText(parameter, true) +
                               "\", an array of references, which is not C++; pass it by value, "
                               "\"" +
                               ParameterText(parameter, false) +
                               "\": the function writes into the caller's array all the same");
        }
    }
    return warnings;
}

std::vector<std::string> PortDeclarationWarnings(const RtlSignalTable& signals) {
    std::vector<std::string> warnings;
    for (const RtlSignal& signal : signals.Used()) {
        // Prepared tables: an sc_out is the transactor's own output, which it initialises.
        if (signal.DataType() != SignalDataType::Bool || signal.Direction() != SignalDirection::Out)
            continue;
        // One character was rewritten into an SC_LOGIC_ constant, which the compatibility
        // header lets a bool take (X and Z with SystemC's own run-time warning); a longer
        // or an empty value is written as it stands.
        const std::string value = signal.initValue.Text();
        if (value.starts_with("SC_LOGIC_") || value == "true" || value == "false") continue;
        const std::string line = signal.signalName.Text() + ".initialize (" + value + ") ;";
        bool digits = !value.empty() && value.find_first_not_of("0123456789") == std::string::npos;
        std::string message =
            "bool port " + Trim(signal.signalName.Text()) + " has the initial value " +
            InQuotes(value) + ", which its constructor writes as it stands, " + InQuotes(line) +
            (digits ? ": C++ reads it as a number, not as a bit" : ", which is not C++");
        warnings.push_back(message + "; give it the initial value 0 or 1");
    }
    return warnings;
}

std::string VisibleText(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (byte < 0x20 || byte == 0x7F) {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace kestrel
