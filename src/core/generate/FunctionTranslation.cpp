// Translates one TLM function: finds the line "namespace ns<name>" in clean.asml, resets
// the translation state, translates every line up to the next line that begins with
// "namespace" (or the end of the text, its last line included), closes the open blocks,
// adds the clock waits of the update procedure and the tail of the initialisation, and
// replaces the four section files. A function without a namespace gets four empty files.
#include "generate/FunctionTranslation.h"

#include "codegen/SectionFileReader.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "translator/StatementTranslator.h"

#include <array>
#include <atomic>

namespace kestrel {

AsmlSource::Origin AsmlSource::OriginOf(std::size_t index) const {
    if (diagrams && index < diagrams->origins.size()) {
        const DiagramOrigin& origin = diagrams->origins[index];
        if (origin.diagram >= 0)
            return {diagrams->diagramPaths[static_cast<std::size_t>(origin.diagram)], origin.line,
                    true};
    }
    return {path, static_cast<int>(index + 1), false};
}

void AsmlSource::Place(DiagnosticCollector& places, std::size_t index) const {
    if (!places.Active()) return;
    Origin origin = OriginOf(index);
    places.Place(origin.file, origin.line);
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
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view line = lines[i];
        // Most lines are ruled out without trimming them: too short, or not ending in a
        // blank or in the header (of which the first and last characters are checked).
        if (line.size() < header.size()) continue;
        if (line.back() != ' ' &&
            (line.back() != header.back() || line[line.size() - header.size()] != header.front()))
            continue;
        if (TrimmedView(line) == header) return i + 1;
    }
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

// The four section files of one function, written as the translation goes: each section
// text hands its lines to an atomic writer whenever it has grown to a megabyte, so that
// a function of any length needs little memory and is written at the speed of the page
// cache. The files replace the old ones only at Commit, each at once. They are working
// files that every translation writes anew, so they are not forced to the disk.
class SectionFileSet {
public:
    static constexpr std::size_t kSpillBytes = std::size_t{1} << 20;

    SectionFileSet(GenerationRun& run, const std::string& name, SectionTexts& texts) {
        TextWriter* writers[] = {&texts.dec, &texts.ini, &texts.behaviour, &texts.upd};
        for (std::size_t i = 0; i < files_.size(); ++i) {
            File& file = files_[i];
            file.text = writers[i];
            file.path = SectionFilePath(run.projectFolder, name, kExtensions[i]);
            file.status = file.writer.Open(file.path);
            file.text->SpillTo(
                [&file](std::string_view bytes) {
                    if (file.status) file.status = file.writer.Write(bytes);
                },
                kSpillBytes);
        }
    }

    // Writes what is left and replaces the four files; a file that could not be written
    // is logged and keeps its old content.
    void Commit(GenerationRun& run, DiagnosticCollector& places) {
        for (File& file : files_) {
            file.text->Flush();
            if (file.status) file.status = file.writer.Commit(/*flushToDisk=*/false);
            if (!file.status) {
                run.log().LogError(file.status.message());
                places.Place(file.path, 0);
            }
        }
    }

private:
    static constexpr std::string_view kExtensions[] = {kDeclarationSection, kInitialisationSection,
                                                       kBehaviourSection, kUpdateSection};
    struct File {
        TextWriter* text = nullptr;
        std::string path;
        AtomicFileWriter writer;
        Status status;
    };
    std::array<File, 4> files_;
};

std::atomic<std::size_t> translatedSections{0};

} // namespace

std::size_t TranslatedSectionCount() {
    return translatedSections.load();
}

bool TranslateSection(GenerationRun& run, int function, const AsmlSource& source,
                      TranslationState& state, DiagnosticCollector& places, SectionTexts& texts,
                      SectionObserver* observer) {
    run.currentFunction = function;
    const std::string name = run.tables.functions[function].functionName.Text();
    std::optional<std::size_t> first = FindFunctionSection(source.lines, name);
    if (!first) return false;
    ++translatedSections;
    ResetTranslationState(state);
    if (observer) observer->Begin(texts, state);
    std::size_t last = *first - 1; // the header, while no line is translated
    for (std::size_t i = *first; i < source.lines.size(); ++i) {
        if (EndsSection(source.lines[i])) break;
        if (observer) observer->BeforeLine(i);
        TranslateSourceLine(state, source.lines[i], run, texts);
        if (observer) observer->AfterLine(i, source.lines[i]);
        source.Place(places, i);
        last = i;
    }
    CloseAllBlocks(state, run, texts);
    if (observer) observer->AfterClosingAll();
    WriteUpdateSection(run.tables.options, run.session.clock, texts.upd);
    WriteInitTail(texts.ini);
    if (observer) observer->Finish();
    source.Place(places, last);
    return true;
}

bool TranslateFunction(GenerationRun& run, int function, const AsmlSource& source,
                       TranslationState& state, DiagnosticCollector& places,
                       SectionObserver* observer) {
    run.currentFunction = function;
    const TlmFunction& record = run.tables.functions[function];
    const std::string name = record.functionName.Text();
    run.log().LogStep("Generating SystemC Code for " + name + "(...) ");

    bool translated = false;
    if (!record.isLibrary) {
        SectionTexts texts;
        SectionFileSet files(run, name, texts);
        translated = TranslateSection(run, function, source, state, places, texts, observer);
        files.Commit(run, places);
    }

    run.log().LogLine("Done!");
    run.log().AdvanceProgress();
    return translated;
}

} // namespace kestrel
