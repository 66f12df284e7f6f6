// Translates one TLM function: finds the line "namespace ns<name>" in clean.asml, resets
// the translation state, translates every line up to the next line that begins with
// "namespace" (or the end of the text, its last line included), closes the open blocks,
// adds the clock waits of the update procedure and the tail of the initialisation, and
// replaces the four section files. A function without a namespace gets four empty files.
#include "translator/FunctionTranslation.h"

#include "codegen/SectionFileReader.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "translator/StatementTranslator.h"

namespace kestrel {

void AsmlSource::Place(DiagnosticCollector& places, std::size_t index) const {
    if (!places.Active()) return;
    if (diagrams && index < diagrams->origins.size()) {
        const DiagramOrigin& origin = diagrams->origins[index];
        if (origin.diagram >= 0) {
            places.Place(diagrams->diagramPaths[static_cast<std::size_t>(origin.diagram)],
                         origin.line);
            return;
        }
    }
    places.Place(path, static_cast<int>(index + 1));
}

namespace {

// The line without the blanks at both ends, without copying it.
std::string_view TrimmedView(std::string_view line) {
    std::size_t first = line.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return line.substr(first, line.find_last_not_of(' ') - first + 1);
}

} // namespace

std::optional<std::size_t> FindFunctionSection(const std::vector<std::string_view>& lines,
                                               std::string_view functionName) {
    const std::string header = "namespace ns" + Trim(functionName);
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (TrimmedView(lines[i]) == header) return i + 1;
    return std::nullopt;
}

bool EndsSection(std::string_view line) {
    std::size_t first = line.find_first_not_of(' ');
    return first != std::string_view::npos && line.substr(first).starts_with("namespace");
}

void WriteUpdateSection(const ProjectOptions& options, const ClockSelection& clock,
                        TextWriter& upd) {
    if (options.useSetupTime)
        upd.line(
            {"  wait ( ", std::to_string(options.setupWait), ", ", options.setupWaitUnit, " ) ;"});
    upd.line({"  wait ( ", clock.clockSignalName, "->",
              clock.clockOnPositiveEdge ? "posedge_event ()" : "negedge_event ()", " ) ;"});
}

void WriteInitTail(TextWriter& ini) {
    ini.blank();
    ini.line("  wait ( SC_ZERO_TIME ) ;");
}

namespace {

void WriteSectionFiles(GenerationRun& run, const std::string& name, const SectionTexts& texts,
                       DiagnosticCollector& places) {
    const std::pair<std::string_view, const TextWriter*> files[] = {
        {kDeclarationSection, &texts.dec},
        {kInitialisationSection, &texts.ini},
        {kBehaviourSection, &texts.behaviour},
        {kUpdateSection, &texts.upd},
    };
    for (const auto& [extension, text] : files) {
        std::string path = SectionFilePath(run.projectFolder, name, extension);
        if (Status written = WriteFileAtomic(path, text->text()); !written) {
            run.log().LogError(written.message());
            places.Place(path, 0);
        }
    }
}

} // namespace

void TranslateFunction(GenerationRun& run, int function, const AsmlSource& source,
                       TranslationState& state, DiagnosticCollector& places) {
    run.currentFunction = function;
    const TlmFunction& record = run.tables.functions[function];
    const std::string name = record.functionName.Text();
    run.log().LogStep("Generating SystemC Code for " + name + "(...) ");

    if (!record.isLibrary) {
        SectionTexts texts;
        if (std::optional<std::size_t> first = FindFunctionSection(source.lines, name)) {
            ResetTranslationState(state);
            std::size_t last = *first - 1; // the header, while no line is translated
            for (std::size_t i = *first; i < source.lines.size(); ++i) {
                if (EndsSection(source.lines[i])) break;
                TranslateSourceLine(state, source.lines[i], run, texts);
                source.Place(places, i);
                last = i;
            }
            CloseAllBlocks(state, run, texts);
            WriteUpdateSection(run.tables.options, run.session.clock, texts.upd);
            WriteInitTail(texts.ini);
            source.Place(places, last);
        }
        WriteSectionFiles(run, name, texts, places);
    }

    run.log().LogLine("Done!");
    run.log().AdvanceProgress();
}

} // namespace kestrel
