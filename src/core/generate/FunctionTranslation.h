#pragma once
// The per-function part of both generation routes: find the function's namespace in
// clean.asml, translate its lines into the function's four section texts, close them with
// the update and initialisation tails and write them to Temp.
#include "codegen/GenerationRun.h"
#include "fsm/FsmAsmlWriter.h"
#include "translator/DiagnosticCollector.h"
#include "translator/SectionObserver.h"
#include "translator/SectionTexts.h"
#include "translator/TranslationState.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// clean.asml as the translation reads it: its lines (without line ends), its path, and
// for the FSM route the diagram line each line was made from.
struct AsmlSource {
    std::vector<std::string_view> lines;
    std::string path;
    const FsmAsmlText* diagrams = nullptr;

    // The line the user wrote for line `index` (from 0): the diagram line it came from, or
    // the line of clean.asml.
    struct Origin {
        std::string_view file;
        int line = 0;
        bool inDiagram = false;
    };
    Origin OriginOf(std::size_t index) const;

    // Records the errors logged for line `index` at its origin.
    void Place(DiagnosticCollector& places, std::size_t index) const;
};

// The index of the first line of the function's section: the line after the first line
// that, trimmed of blanks, equals "namespace ns" + the trimmed function name. Nothing
// when no line does.
std::optional<std::size_t> FindFunctionSection(const std::vector<std::string_view>& lines,
                                               std::string_view functionName);

// Whether a line ends a section: its text, trimmed, begins with "namespace".
bool EndsSection(std::string_view line);

// The body of <name>_Update: with a setup time, "  wait ( <SetupWait>, <unit> ) ;"; then
// always "  wait ( <clock>->posedge_event () ) ;" (negedge_event on the falling edge).
void WriteUpdateSection(const ProjectOptions& options, const ClockSelection& clock,
                        TextWriter& upd);

// The end of every translated .ini: an empty line and "  wait ( SC_ZERO_TIME ) ;".
void WriteInitTail(TextWriter& ini);

// Translates the section of function `function` (1-based slot) into `texts`, closed with
// the update and initialisation tails; `state` is reset first. Writes nothing and logs
// only the translation's errors. False, with `texts` untouched, when `source` has no
// namespace for the function. `observer`, when given, follows the pass line by line (the
// origins of the lines, the warnings of the AsmL).
bool TranslateSection(GenerationRun& run, int function, const AsmlSource& source,
                      TranslationState& state, DiagnosticCollector& places, SectionTexts& texts,
                      SectionObserver* observer = nullptr);

// How many sections TranslateSection has translated in this process: a test counts with it
// the translations a command makes.
std::size_t TranslatedSectionCount();

// Translates function `function` (1-based slot): logs "Generating SystemC Code for
// <name>(...) ...", and unless it is a library function (whose section files come from
// its library and are left alone) translates its section, or nothing when clean.asml has
// no namespace for it, and replaces its four section files in Temp. Ends with "Done!"
// and one progress step. `state` is reset here before the first line. True when its
// section was translated (with `observer` following).
bool TranslateFunction(GenerationRun& run, int function, const AsmlSource& source,
                       TranslationState& state, DiagnosticCollector& places,
                       SectionObserver* observer = nullptr);

} // namespace kestrel
