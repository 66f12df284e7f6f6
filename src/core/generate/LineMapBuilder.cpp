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

namespace kestrel {

namespace {

std::string Native(std::string_view stored) {
    return NativePath(stored).lexically_normal().string();
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

GeneratedFileMap MapFile(const GenerationRun& run, const RecordedFile& file,
                         const LineRecord& record, PlaceFinder& places) {
    GeneratedFileMap mapped{Native(file.path), {}, file.checksum};
    for (const RecordedFile::Splice& splice : file.splices) {
        const auto slot = static_cast<std::size_t>(splice.function - 1);
        if (slot >= record.functions.size() || !record.functions[slot]) continue;
        const std::vector<int>& origins = record.functions[slot]->Of(splice.section);
        const std::string name = Trim(run.tables.functions[splice.function].functionName.Text());
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

std::optional<SourceMap> SourceMapFromRecord(const GenerationRun& run, const AsmlSource& source,
                                             int method, const LineRecord& record) {
    const GenerationSettings& settings = run.tables.settings;
    const RecordedFile* cpp = record.File(settings.transactorCppPath);
    const RecordedFile* header = record.File(settings.transactorHeaderPath);
    if (!cpp || !header) return std::nullopt;
    for (const std::optional<SectionOrigins>& origins : record.functions)
        if (origins && !origins->complete) return std::nullopt;
    SourceMap map;
    map.projectFolder = Native(run.projectFolder);
    map.method = method;
    map.headers = {Native(settings.transactorHeaderPath), Native(settings.interfaceHeaderPath)};
    PlaceFinder places(source);
    map.files.push_back(MapFile(run, *cpp, record, places));
    map.files.push_back(MapFile(run, *header, record, places));
    return map;
}

} // namespace kestrel
