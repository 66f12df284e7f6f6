#pragma once
// Warnings for AsmL that translates without an error but gives SystemC that does not
// compile or does not do what the AsmL says, and for declarations that do the same to the
// generated headers. Each message says what to write instead. Nothing here logs: the
// lint follows the translation of the section (as an observer of its pass) to see each line
// as the translator sees it (its kind, its tokens, the names declared so far).
#include "codegen/GenerationRun.h"
#include "model/ProjectTables.h"
#include "translator/SectionObserver.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

struct AsmlWarning {
    std::size_t line = 0; // index into the lines given to LintSection
    std::string message;  // stored text; control characters shown as \t, \r, \n or \xNN
};

// The warnings of one function's section, gathered while the run `run` translates it
// (with the tables as the run prepared them: directions reversed, initial values
// rewritten). TakeWarnings gives those of LintSection, for the lines the pass read.
class AsmlLint : public SectionObserver {
public:
    explicit AsmlLint(const GenerationRun& run);
    ~AsmlLint() override;
    AsmlLint(const AsmlLint&) = delete;
    AsmlLint& operator=(const AsmlLint&) = delete;

    void Begin(SectionTexts& texts, TranslationState& state) override;
    void AfterLine(std::size_t index, std::string_view line) override;
    std::vector<AsmlWarning> TakeWarnings();

private:
    class Rules;
    std::unique_ptr<Rules> rules_;
};

// The warnings of the section of function `function` (1-based slot) that begins at
// lines[first] and ends before the next line that ends a section (or at the end), read
// with `tables` as a run has prepared them, on a scratch translation of its own. In line
// order:
//   - step until (rendered "while !( ... )");
//   - match on one sc_logic or sc_lv port or one Logic or Lv_ variable (a switch on it);
//   - var or const of a type the translator does not map;
//   - an Lv_ variable without an initial value that the section reads and never assigns,
//     at its first read. That is all "never driven" can mean here: a variable is the
//     function's own (no other function writes it), the RTL design drives the ports the
//     transactor reads, and reading a port the transactor drives is an error already;
//   - an sc_lv port or Lv_ variable read with one index in parentheses, and a port or
//     variable written with any;
//   - a range of numbers beyond the bits of the sc_lv port or Lv_ variable it reads;
//   - toInt of a whole sc_lv port or Lv_ variable wider than 32 bits, and toLv assigned to
//     one (both convert through an unsigned int);
//   - "otherwise :", a case label or otherwise with its statement on the same line;
//   - "//" behind a statement whose tokens up to the end are rendered;
//   - a tab among the blanks before the first word.
std::vector<AsmlWarning> LintSection(const std::vector<std::string_view>& lines, std::size_t first,
                                     const PreparedTables& tables, int function);

// The warnings of the TLM functions, one text each, in table order: a by-reference array
// parameter (an array of references); with `bodiesTranslated` (the FSM and AsmL methods)
// also a function that is not void, whose translated body has no return statement.
std::vector<std::string> FunctionDeclarationWarnings(const TlmFunctionTable& functions,
                                                     bool bodiesTranslated);

// The warnings of the prepared signal table: a bool port the transactor drives (its
// constructor initialises it) whose initial value is not one character: the rewrite into
// SC_LOGIC_0 .. SC_LOGIC_Z leaves it as it stands, so the initialiser is no C++ (0Z0Z,
// XX, the empty text) or a number rather than a bit (10).
std::vector<std::string> PortDeclarationWarnings(const RtlSignalTable& signals);

// The text with every control character written visibly: a tab as \t, CR as \r, LF as \n,
// any other as \xNN.
std::string VisibleText(std::string_view text);

} // namespace kestrel
