// The map of a run's generated lines: for every splice of a translated section, each of its
// lines with an origin is mapped to the user's place of that origin. Diagrams are read once
// each, to name the object a diagram line belongs to.
#include "generate/LineMapBuilder.h"

#include "fsm/AsfChecks.h"
#include "fsm/AsfDocument.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

#include <algorithm>
#include <map>
#include <memory>
#include <tuple>

namespace kestrel {

namespace {

std::string Native(std::string_view stored) {
    return NativePath(stored).lexically_normal().string();
}

// Turns the index of a clean.asml line into the user's place, reading each diagram once.
class PlaceFinder {
public:
    explicit PlaceFinder(const LineRecord& record) : record_(record) {}

    SourcePlace Place(int index, const std::string& functionName) {
        const auto at = static_cast<std::size_t>(index);
        int diagram = -1, line = index + 1;
        if (at < record_.cleanOrigins.size() && record_.cleanOrigins[at].first >= 0 &&
            static_cast<std::size_t>(record_.cleanOrigins[at].first) < record_.diagramPaths.size())
            std::tie(diagram, line) = record_.cleanOrigins[at];
        if (diagram < 0)
            return {NativeOf(record_.cleanPath), line, "namespace ns" + Cp1252ToUtf8(functionName)};
        const std::string& path = record_.diagramPaths[static_cast<std::size_t>(diagram)];
        std::string scope;
        if (const AsfDocument* doc = Diagram(path)) scope = DiagramLineScope(*doc, line);
        if (scope.empty()) scope = "diagram of " + Cp1252ToUtf8(functionName);
        return {NativeOf(path), line, std::move(scope)};
    }

private:
    const std::string& NativeOf(const std::string& stored) {
        auto found = natives_.find(stored);
        if (found == natives_.end()) found = natives_.emplace(stored, Native(stored)).first;
        return found->second;
    }

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

    const LineRecord& record_;
    std::map<std::string, std::string> natives_;
    std::map<std::string, std::unique_ptr<AsfDocument>> documents_;
};

GeneratedFileMap MapFile(const RecordedFile& file, const LineRecord& record, PlaceFinder& places) {
    GeneratedFileMap mapped{Native(file.path), {}, file.checksum};
    for (const RecordedFile::Splice& splice : file.splices) {
        const auto slot = static_cast<std::size_t>(splice.function - 1);
        if (slot >= record.functions.size() || !record.functions[slot]) continue;
        const std::vector<int>& origins = record.functions[slot]->Of(splice.section);
        const std::string name =
            slot < record.functionNames.size() ? record.functionNames[slot] : std::string();
        for (std::size_t k = 0; k < origins.size(); ++k) {
            if (origins[k] < 0) continue;
            mapped.lines.push_back(
                {splice.line + static_cast<int>(k), {}, places.Place(origins[k], name)});
        }
    }
    std::sort(mapped.lines.begin(), mapped.lines.end(),
              [](const MappedLine& a, const MappedLine& b) { return a.line < b.line; });
    return mapped;
}

} // namespace

void NoteRunSources(const GenerationRun& run, const AsmlSource& source, int method,
                    LineRecord& record) {
    const GenerationSettings& settings = run.tables.settings;
    record.method = method;
    record.projectFolder = run.projectFolder;
    record.cppPath = settings.transactorCppPath;
    record.headerPath = settings.transactorHeaderPath;
    record.interfacePath = settings.interfaceHeaderPath;
    record.cleanPath = source.path;
    record.diagramPaths.clear();
    record.cleanOrigins.clear();
    if (source.diagrams) {
        record.diagramPaths = source.diagrams->diagramPaths;
        record.cleanOrigins.reserve(source.diagrams->origins.size());
        for (const DiagramOrigin& origin : source.diagrams->origins)
            record.cleanOrigins.emplace_back(origin.diagram, origin.line);
    }
    record.functionNames.clear();
    const int count = std::clamp<int>(run.tables.functions.count, 0, kMaxFunctions);
    for (int f = 1; f <= count; ++f)
        record.functionNames.push_back(Trim(run.tables.functions[f].functionName.Text()));
}

std::optional<SourceMap> SourceMapFromRecord(const LineRecord& record) {
    if (!record.Complete()) return std::nullopt;
    SourceMap map;
    map.projectFolder = Native(record.projectFolder);
    map.method = record.method;
    map.headers = {Native(record.headerPath), Native(record.interfacePath)};
    PlaceFinder places(record);
    map.files.push_back(MapFile(*record.File(record.cppPath), record, places));
    map.files.push_back(MapFile(*record.File(record.headerPath), record, places));
    return map;
}

} // namespace kestrel
