// The source map: the project's tables loaded and prepared as for Generate, clean.asml
// taken as the route of the method has it (the diagrams converted again in memory, or the
// AsmL text the last run extracted), every function translated in table order with the
// origins of its section lines, the two files assembled in memory by Generate's writers,
// and each translated line checked against the file on disk before it is mapped.
#include "sim/SourceMap.h"

#include "codegen/SectionFileReader.h"
#include "codegen/TransactorCppWriter.h"
#include "codegen/TransactorHeaderWriter.h"
#include "fsm/AsfChecks.h"
#include "fsm/AsfDocument.h"
#include "generate/FsmConversion.h"
#include "generate/FunctionTranslation.h"
#include "generate/RunTables.h"
#include "model/ProjectPaths.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "project/OutputPlacement.h"
#include "project/ProjectCommands.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>

namespace kestrel {

namespace {

std::string Native(std::string_view stored) {
    return NativePath(stored).lexically_normal().string();
}

// The offsets at which the lines of a text begin.
std::vector<std::size_t> LineStarts(std::string_view text,
                                    const std::vector<std::string_view>& lines) {
    std::vector<std::size_t> starts;
    starts.reserve(lines.size());
    for (std::string_view line : lines)
        starts.push_back(static_cast<std::size_t>(line.data() - text.data()));
    return starts;
}

// The line (from 1) that begins at `offset`; 0 when none does (a section of no lines
// spliced at the end of the text).
int LineAt(const std::vector<std::size_t>& starts, std::size_t offset) {
    auto it = std::lower_bound(starts.begin(), starts.end(), offset);
    if (it == starts.end() || *it != offset) return 0;
    return static_cast<int>(it - starts.begin()) + 1;
}

// Turns the index of a clean.asml line into the user's place, reading each diagram once.
class PlaceFinder {
public:
    explicit PlaceFinder(const AsmlSource& source) : source_(source) {}

    SourcePlace Place(int index, std::string_view functionName) {
        AsmlSource::Origin origin = source_.OriginOf(static_cast<std::size_t>(index));
        if (!origin.inDiagram)
            return {Native(origin.file), origin.line, "namespace ns" + Cp1252ToUtf8(functionName)};
        std::string scope;
        if (const AsfDocument* doc = Diagram(std::string(origin.file)))
            scope = DiagramLineScope(*doc, origin.line);
        if (scope.empty()) scope = "diagram of " + Cp1252ToUtf8(functionName);
        return {Native(origin.file), origin.line, std::move(scope)};
    }

private:
    const AsfDocument* Diagram(const std::string& path) {
        auto found = documents_.find(path);
        if (found == documents_.end()) {
            std::unique_ptr<AsfDocument> doc;
            std::string bytes;
            if (ReadFileBytes(path, bytes)) {
                doc = std::make_unique<AsfDocument>();
                if (!AsfDocument::Load(bytes, path, *doc)) doc.reset();
            }
            found = documents_.emplace(path, std::move(doc)).first;
        }
        return found->second.get();
    }

    const AsmlSource& source_;
    std::map<std::string, std::unique_ptr<AsfDocument>> documents_;
};

// One function's section texts, and the origins of those that were translated.
struct TranslatedFunction {
    FunctionSections sections;
    SectionOrigins origins;
    bool translated = false;
};

// Maps the spliced sections of one generated file: `spliced[f]` lists, per function f,
// where each section begins in `assembled` and the origins of its lines.
struct Splice {
    std::size_t offset = 0;
    const std::vector<int>* origins = nullptr;
    int function = 0;
};

void MapFile(const std::string& storedPath, const std::string& assembled,
             const std::vector<Splice>& splices, PlaceFinder& places, const ProjectTables& tables,
             SourceMap& map) {
    GeneratedFileMap file;
    file.path = Native(storedPath);
    std::string disk;
    ReadFileBytes(storedPath, disk).ok();
    const std::vector<std::string_view> built = SplitLines(assembled);
    const std::vector<std::string_view> held = SplitLines(disk);
    const std::vector<std::size_t> starts = LineStarts(assembled, built);
    for (const Splice& splice : splices) {
        const int first = LineAt(starts, splice.offset);
        if (first == 0) continue;
        const std::string name = Trim(tables.functions[splice.function].functionName.Text());
        for (std::size_t k = 0; k < splice.origins->size(); ++k) {
            const int origin = (*splice.origins)[k];
            const auto line = static_cast<std::size_t>(first) + k; // from 1
            if (origin < 0 || line > built.size()) continue;
            if (line > held.size() || held[line - 1] != built[line - 1]) {
                ++map.staleLines;
                continue;
            }
            file.lines.push_back({static_cast<int>(line), Cp1252ToUtf8(built[line - 1]),
                                  places.Place(origin, name)});
        }
    }
    std::sort(file.lines.begin(), file.lines.end(),
              [](const MappedLine& a, const MappedLine& b) { return a.line < b.line; });
    map.files.push_back(std::move(file));
}

Status NotGenerated(const std::string& path) {
    return Status::Error(path + " has not been generated yet: run generate first");
}

} // namespace

const GeneratedFileMap* SourceMap::FindFile(std::string_view file) const {
    namespace fs = std::filesystem;
    const fs::path named = fs::path(std::string(file)).lexically_normal();
    for (const GeneratedFileMap& generated : files) {
        const fs::path path(generated.path);
        if (named == path) return &generated;
        if (!named.is_relative()) continue;
        // A relative name: the last parts of the file's path are the parts of the name.
        auto p = path.end(), n = named.end();
        bool same = true;
        while (same && n != named.begin()) same = p != path.begin() && *--p == *--n;
        if (same) return &generated;
    }
    return nullptr;
}

const MappedLine* SourceMap::Find(std::string_view file, int line) const {
    const GeneratedFileMap* generated = FindFile(file);
    if (!generated) return nullptr;
    auto it = std::lower_bound(generated->lines.begin(), generated->lines.end(), line,
                               [](const MappedLine& m, int l) { return m.line < l; });
    return it != generated->lines.end() && it->line == line ? &*it : nullptr;
}

Status MakeSourceMap(std::string_view projectFilePath, SourceMap& map, std::optional<int> method) {
    map = SourceMap{};
    ProjectRecord record;
    if (Status read = PeekProject(projectFilePath, record); !read) return read;
    GenerationSession session;
    SystemClock clock;
    auto stored = std::make_unique<ProjectTables>();
    if (std::vector<Status> failures =
            LoadRunTables(record.projectFolder, *stored, AbsentTableFiles::ReadAsEmpty);
        !failures.empty())
        return failures.front();
    if (Status loaded = LoadGenerationSettings(record.projectFolder, stored->settings); !loaded)
        return loaded;
    ResolveOutputNames(record.projectFolder, stored->settings);
    GenerationRun run{record.projectFolder, record.projectName,
                      PrepareTables(*stored, session.clock), session, clock};
    PreparedTables& tables = run.tables;
    map.projectFolder = Native(run.projectFolder);
    map.headers = {Native(tables.settings.transactorHeaderPath),
                   Native(tables.settings.interfaceHeaderPath)};

    const std::string& cppPath = tables.settings.transactorCppPath;
    if (Trim(cppPath).empty() || !FileExists(cppPath)) return NotGenerated(cppPath);

    // The errors of the translation were Generate's to report; here they are not collected.
    DiagnosticCollector places(session.log, nullptr);
    const std::string cleanPath = CleanAsmlPath(run.projectFolder);
    std::string cleanText;
    const bool haveClean = FileExists(cleanPath) && ReadFileBytes(cleanPath, cleanText).ok();
    FsmAsmlText diagrams;
    const bool wantsFsm = !method || *method == kMethodFsm;
    if (wantsFsm) diagrams = AsfDiagramsAsAsml(run, places);

    map.method = method.value_or(tables.options.generationMethod);
    if (!method && map.method != kMethodTemplate && haveClean)
        map.method = diagrams.text == cleanText ? kMethodFsm : kMethodAsml;
    if (map.method == kMethodAsml && !haveClean) return NotGenerated(cleanPath);

    std::vector<std::string_view> lines =
        SplitSectionLines(map.method == kMethodFsm ? diagrams.text : cleanText);
    AsmlSource source{std::move(lines), cleanPath, map.method == kMethodFsm ? &diagrams : nullptr};

    const int count = tables.functions.UsedCount();
    std::vector<TranslatedFunction> functions(static_cast<std::size_t>(count));
    auto state = std::make_unique<TranslationState>();
    for (int f = 1; f <= count; ++f) {
        TranslatedFunction& function = functions[static_cast<std::size_t>(f - 1)];
        const TlmFunction& entry = tables.functions[f];
        if (map.method == kMethodTemplate) continue;
        if (entry.isLibrary) {
            // Its sections come from its library, as Generate splices them.
            const std::string name = entry.functionName.Text();
            FunctionSections& s = function.sections;
            ReadSectionFile(run.projectFolder, name, kDeclarationSection, s.declarations).ok();
            ReadSectionFile(run.projectFolder, name, kInitialisationSection, s.initialisation).ok();
            ReadSectionFile(run.projectFolder, name, kBehaviourSection, s.behaviour).ok();
            ReadSectionFile(run.projectFolder, name, kUpdateSection, s.update).ok();
            continue;
        }
        SectionTexts texts;
        function.translated =
            TranslateSection(run, f, source, *state, places, texts, &function.origins);
        function.sections = {texts.dec.take(), texts.ini.take(), texts.behaviour.take(),
                             texts.upd.take()};
    }
    if (map.method == kMethodTemplate) {
        map.files.push_back({Native(cppPath), {}});
        map.files.push_back({Native(tables.settings.transactorHeaderPath), {}});
        return Status::Ok();
    }

    std::vector<FunctionSections> sections;
    for (const TranslatedFunction& function : functions) sections.push_back(function.sections);
    std::vector<CppSectionPlaces> cppPlaces;
    std::vector<std::size_t> headerPlaces;
    const LocalDateTime now = clock.Now();
    const std::string cpp = WriteTransactorCpp(tables, now, sections, &cppPlaces);
    const std::string header = WriteTransactorHeader(tables, now, sections, &headerPlaces);

    std::vector<Splice> cppSplices, headerSplices;
    for (std::size_t k = 0; k < functions.size(); ++k) {
        const TranslatedFunction& function = functions[k];
        if (!function.translated) continue;
        const int f = static_cast<int>(k) + 1;
        if (k < cppPlaces.size()) {
            cppSplices.push_back({cppPlaces[k].update, &function.origins.upd, f});
            cppSplices.push_back({cppPlaces[k].initialisation, &function.origins.ini, f});
            cppSplices.push_back({cppPlaces[k].behaviour, &function.origins.behaviour, f});
        }
        if (k < headerPlaces.size())
            headerSplices.push_back({headerPlaces[k], &function.origins.dec, f});
    }
    PlaceFinder finder(source);
    MapFile(cppPath, cpp, cppSplices, finder, tables, map);
    MapFile(tables.settings.transactorHeaderPath, header, headerSplices, finder, tables, map);
    return Status::Ok();
}

std::vector<MappedDiagnostic> MapCompilerOutput(std::string_view compilerOutput,
                                                const SourceMap& map) {
    std::vector<MappedDiagnostic> mapped;
    for (CompilerDiagnostic& diagnostic : ParseCompilerOutput(compilerOutput)) {
        MappedDiagnostic entry;
        if (const GeneratedFileMap* file = map.FindFile(diagnostic.file);
            file && diagnostic.line > 0) {
            if (const MappedLine* line = map.Find(file->path, diagnostic.line)) {
                entry.source = line->source;
                entry.generatedFile = file->path;
                entry.generatedText = line->text;
            }
        }
        entry.compiler = std::move(diagnostic);
        mapped.push_back(std::move(entry));
    }
    return mapped;
}

std::string FormatMappedDiagnostics(const std::vector<MappedDiagnostic>& diagnostics) {
    std::string text;
    std::string lastFile, lastScope;
    for (const MappedDiagnostic& d : diagnostics) {
        const CompilerDiagnostic& c = d.compiler;
        if (!d.source) {
            for (const std::string& line : c.context) text += line + "\n";
            text += c.text + "\n";
            for (const std::string& line : c.excerpt) text += line + "\n";
            lastFile.clear();
            lastScope.clear();
            continue;
        }
        const SourcePlace& place = *d.source;
        if (place.file != lastFile || place.scope != lastScope) {
            if (!place.scope.empty()) text += place.file + ": In " + place.scope + ":\n";
            lastFile = place.file;
            lastScope = place.scope;
        }
        text += place.file + ":" + std::to_string(place.line) + ": " + c.severity + ": " +
                c.message + "\n";
        text += "    in " + AfterLastSeparator(d.generatedFile) + ":" + std::to_string(c.line) +
                ": " + d.generatedText + "\n";
    }
    return text;
}

} // namespace kestrel
