// The source map: the kept map of the last run when its files are unchanged; otherwise the
// project's tables loaded and prepared as for Generate, clean.asml taken as the route of the
// method has it (the diagrams converted again in memory, or the AsmL text the last run
// extracted), every function translated in table order with the origins of its section
// lines, the two files assembled in memory by Generate's writers, and each translated line
// checked against the file on disk before it is mapped.
#include "sim/SourceMap.h"

#include "codegen/OutputFiles.h"
#include "codegen/SectionFileReader.h"
#include "generate/FsmConversion.h"
#include "generate/FunctionTranslation.h"
#include "generate/LineMapBuilder.h"
#include "generate/RunTables.h"
#include "generate/SectionOrigins.h"
#include "model/ProjectPaths.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "project/OutputPlacement.h"
#include "project/ProjectCommands.h"

#include <algorithm>
#include <filesystem>
#include <memory>

namespace kestrel {

namespace {

std::string Native(std::string_view stored) {
    return NativePath(stored).lexically_normal().string();
}

Status NotGenerated(const std::string& path) {
    return Status::Error(path + " has not been generated yet: run generate first");
}

// clean.asml as the route of the method has it: the diagrams converted again in memory, or
// the AsmL text the last run extracted. Without `method`, the route that wrote clean.asml
// last (the FSM route when clean.asml is what the diagrams give now).
struct MapSource {
    int method = 0;
    std::string cleanPath, cleanText;
    FsmAsmlText diagrams;
};

Status ChooseSource(GenerationRun& run, std::optional<int> method, MapSource& out) {
    // The errors of the translation were Generate's to report; here they are not collected.
    DiagnosticCollector places(run.session.log, nullptr);
    out.cleanPath = CleanAsmlPath(run.projectFolder);
    const bool haveClean =
        FileExists(out.cleanPath) && ReadFileBytes(out.cleanPath, out.cleanText).ok();
    if (!method || *method == kMethodFsm) out.diagrams = AsfDiagramsAsAsml(run, places);
    out.method = method.value_or(run.tables.options.generationMethod);
    if (!method && out.method != kMethodTemplate && haveClean)
        out.method = out.diagrams.text == out.cleanText ? kMethodFsm : kMethodAsml;
    if (out.method == kMethodAsml && !haveClean) return NotGenerated(out.cleanPath);
    return Status::Ok();
}

// Translates every function as Generate does, with the origins of its lines in `record`;
// a library function's sections come from its library, as Generate splices them.
std::vector<FunctionSections> TranslateForMap(GenerationRun& run, const AsmlSource& source,
                                              LineRecord& record) {
    DiagnosticCollector places(run.session.log, nullptr);
    const int count = run.tables.functions.UsedCount();
    std::vector<FunctionSections> sections(static_cast<std::size_t>(count));
    auto state = std::make_unique<TranslationState>();
    for (int f = 1; f <= count; ++f) {
        FunctionSections& s = sections[static_cast<std::size_t>(f - 1)];
        if (const std::string name = run.tables.functions[f].functionName.Text();
            run.tables.functions[f].isLibrary) {
            for (auto [extension, text] : {std::pair{kDeclarationSection, &s.declarations},
                                           {kInitialisationSection, &s.initialisation},
                                           {kBehaviourSection, &s.behaviour},
                                           {kUpdateSection, &s.update}})
                ReadSectionFile(run.projectFolder, name, extension, *text).ok();
            continue;
        }
        SectionTexts texts;
        SectionOrigins origins;
        SectionOriginTracker tracker(origins);
        if (TranslateSection(run, f, source, *state, places, texts, &tracker))
            record.Origins(f, std::move(origins));
        s = {texts.dec.take(), texts.ini.take(), texts.behaviour.take(), texts.upd.take()};
    }
    return sections;
}

// Keeps the lines of `file` that the file on disk holds as `built` gives them, with their
// text; counts the others as stale.
void KeepLinesAsOnDisk(GeneratedFileMap& file, std::string_view built, int& stale) {
    std::string disk;
    ReadFileBytes(StoredPath(file.path), disk).ok();
    const std::vector<std::string_view> made = SplitLines(built), held = SplitLines(disk);
    std::erase_if(file.lines, [&](MappedLine& line) {
        const auto at = static_cast<std::size_t>(line.line);
        if (at > made.size()) return true;
        if (at > held.size() || held[at - 1] != made[at - 1]) return ++stale, true;
        line.text = Cp1252ToUtf8(made[at - 1]);
        return false;
    });
    file.checksum.clear();
}

} // namespace

Status MakeSourceMap(std::string_view projectFilePath, SourceMap& map, std::optional<int> method) {
    map = SourceMap{};
    ProjectRecord record;
    if (Status read = PeekProject(projectFilePath, record); !read) return read;
    GenerationSession session;
    SystemClock clock;
    auto stored = std::make_unique<ProjectTables>();
    if (Status loaded = LoadProjectLook(record.projectFolder, *stored); !loaded) return loaded;
    GenerationRun run{record.projectFolder, record.projectName,
                      PrepareTables(*stored, session.clock), session, clock};
    const GenerationSettings& settings = run.tables.settings;
    if (Trim(settings.transactorCppPath).empty() || !FileExists(settings.transactorCppPath))
        return NotGenerated(settings.transactorCppPath);
    MapSource clean;
    if (Status chosen = ChooseSource(run, method, clean); !chosen) return chosen;
    if (clean.method == kMethodTemplate) {
        map = {Native(run.projectFolder),
               clean.method,
               {{Native(settings.transactorCppPath), {}, {}},
                {Native(settings.transactorHeaderPath), {}, {}}},
               {Native(settings.transactorHeaderPath), Native(settings.interfaceHeaderPath)}};
        return Status::Ok();
    }
    const bool fsm = clean.method == kMethodFsm;
    AsmlSource source{SplitSectionLines(fsm ? clean.diagrams.text : clean.cleanText),
                      clean.cleanPath, fsm ? &clean.diagrams : nullptr};
    LineRecord lines;
    const std::vector<FunctionSections> sections = TranslateForMap(run, source, lines);
    const LocalDateTime now = clock.Now();
    std::vector<SectionSplice> cppSplices, headerSplices;
    const std::string cpp = TransactorCppText(run.tables, now, sections, &cppSplices);
    const std::string header = TransactorHeaderText(run.tables, now, sections, &headerSplices);
    RecordWrittenFile(lines, settings.transactorCppPath, cpp, cppSplices);
    RecordWrittenFile(lines, settings.transactorHeaderPath, header, headerSplices);
    NoteRunSources(run, source, clean.method, lines);
    map = *SourceMapFromRecord(lines);
    KeepLinesAsOnDisk(map.files[0], cpp, map.staleLines);
    KeepLinesAsOnDisk(map.files[1], header, map.staleLines);
    return Status::Ok();
}

Status LoadSourceMap(std::string_view projectFilePath, SourceMap& map, std::optional<int> method) {
    ProjectRecord project;
    if (Status read = PeekProject(projectFilePath, project); !read) return read;
    // The kept record maps only the files of the settings as they are now.
    LineRecord record;
    GenerationSettings settings;
    if (LoadLineRecord(Native(project.projectFolder), record) &&
        (!method || *method == record.method) &&
        LoadGenerationSettings(project.projectFolder, settings).ok()) {
        ResolveOutputNames(project.projectFolder, settings);
        std::optional<SourceMap> kept;
        if (record.cppPath == settings.transactorCppPath &&
            record.headerPath == settings.transactorHeaderPath &&
            record.interfacePath == settings.interfaceHeaderPath &&
            (kept = SourceMapFromRecord(record)) && ReadMappedTexts(*kept)) {
            map = std::move(*kept);
            return Status::Ok();
        }
    }
    return MakeSourceMap(projectFilePath, map, method);
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
