// The map of the generated lines: finding a compiler's file and line in it, recording a
// run's splices, and keeping the map of the last run in the user's cache folder as text,
// one record a line, fields apart by tabs:
//   kestrel-line-map 1
//   method <n> / header <path> / source <path> / scope <text>   (sources and scopes numbered
//   from 0 in their order)
//   file <checksum> <path>, then its lines: <line> <source> <source line> <scope>
#include "codegen/LineMap.h"

#include "platform/FileSystem.h"
#include "platform/Text.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <map>

namespace kestrel {

namespace {

constexpr std::string_view kHeading = "kestrel-line-map 1";

std::uint64_t Fnv1a(std::string_view bytes) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

std::string Hex(std::uint64_t value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, value >>= 4)
        text[static_cast<std::size_t>(i)] = kDigits[value & 15];
    return text;
}

// The fields of one record, apart by tabs.
std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string_view::npos) return fields;
        start = tab + 1;
    }
}

bool Number(std::string_view text, int& value) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size();
}

bool Plain(std::string_view text) {
    return text.find_first_of("\t\r\n") == std::string_view::npos;
}

// Numbers the texts of one kind (sources, scopes) in their first order.
struct Numbering {
    std::map<std::string, int> numbers;
    std::string records;
    int Of(const std::string& text, std::string_view kind) {
        auto [at, added] = numbers.try_emplace(text, static_cast<int>(numbers.size()));
        if (added) records += std::string(kind) + "\t" + text + "\n";
        return at->second;
    }
};

// Reads the records of a kept map; false at the first record it cannot read.
class MapReader {
public:
    explicit MapReader(SourceMap& map) : map_(map) {}

    bool Record(std::string_view line) {
        const std::vector<std::string_view> f = Fields(line);
        if (f[0] == "method" && f.size() == 2) return Number(f[1], map_.method);
        if (f[0] == "header" && f.size() == 2) return map_.headers.emplace_back(f[1]), true;
        if (f[0] == "source" && f.size() == 2) return sources_.emplace_back(f[1]), true;
        if (f[0] == "scope" && f.size() == 2) return scopes_.emplace_back(f[1]), true;
        if (f[0] == "file" && f.size() == 3) {
            map_.files.push_back({std::string(f[2]), {}, std::string(f[1])});
            return true;
        }
        int at = 0, source = 0, from = 0, scope = 0;
        if (map_.files.empty() || f.size() != 4 || !Number(f[0], at) || !Number(f[1], source) ||
            !Number(f[2], from) || !Number(f[3], scope) || source < 0 || scope < 0 ||
            static_cast<std::size_t>(source) >= sources_.size() ||
            static_cast<std::size_t>(scope) >= scopes_.size())
            return false;
        map_.files.back().lines.push_back({at,
                                           {},
                                           {sources_[static_cast<std::size_t>(source)], from,
                                            scopes_[static_cast<std::size_t>(scope)]}});
        return true;
    }

private:
    SourceMap& map_;
    std::vector<std::string> sources_, scopes_;
};

// Gives each mapped line the text its file holds; false when a file is not as its run
// wrote it.
bool ReadMappedTexts(SourceMap& map) {
    for (GeneratedFileMap& file : map.files) {
        std::string bytes;
        if (!ReadFileBytes(StoredPath(file.path), bytes) || ContentChecksum(bytes) != file.checksum)
            return false;
        const std::vector<std::string_view> lines = SplitLines(bytes);
        for (MappedLine& line : file.lines) {
            if (line.line < 1 || static_cast<std::size_t>(line.line) > lines.size()) return false;
            line.text = Cp1252ToUtf8(lines[static_cast<std::size_t>(line.line) - 1]);
        }
    }
    return true;
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

std::vector<int>& SectionOrigins::Of(int section) {
    return section == kSectionDec   ? dec
           : section == kSectionIni ? ini
           : section == kSectionUpd ? upd
                                    : behaviour;
}

const std::vector<int>& SectionOrigins::Of(int section) const {
    return const_cast<SectionOrigins*>(this)->Of(section);
}

void LineRecord::Origins(int function, SectionOrigins origins) {
    if (function < 1) return;
    if (functions.size() < static_cast<std::size_t>(function))
        functions.resize(static_cast<std::size_t>(function));
    functions[static_cast<std::size_t>(function - 1)] = std::move(origins);
}

const RecordedFile* LineRecord::File(std::string_view path) const {
    for (const RecordedFile& file : files)
        if (file.path == path) return &file;
    return nullptr;
}

std::string ContentChecksum(std::string_view bytes) {
    return std::to_string(bytes.size()) + ":" + Hex(Fnv1a(bytes));
}

void RecordWrittenFile(LineRecord& record, std::string_view path, std::string_view text,
                       const std::vector<SectionSplice>& splices) {
    RecordedFile file{std::string(path), ContentChecksum(text), {}};
    std::vector<std::size_t> starts;
    for (std::string_view line : SplitLines(text))
        starts.push_back(static_cast<std::size_t>(line.data() - text.data()));
    for (const SectionSplice& splice : splices) {
        auto it = std::lower_bound(starts.begin(), starts.end(), splice.offset);
        if (it == starts.end() || *it != splice.offset) continue;
        file.splices.push_back(
            {static_cast<int>(it - starts.begin()) + 1, splice.function, splice.section});
    }
    std::erase_if(record.files, [&](const RecordedFile& old) { return old.path == path; });
    record.files.push_back(std::move(file));
}

std::filesystem::path LineMapCachePath(std::string_view projectFolder) {
    std::filesystem::path cache;
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    const char* home = std::getenv("HOME");
    if (xdg && std::filesystem::path(xdg).is_absolute())
        cache = xdg;
    else if (home && *home)
        cache = std::filesystem::path(home) / ".cache";
    else
        return {};
    return cache / "kestrel" / "maps" / Hex(Fnv1a(projectFolder));
}

Status SaveLineMap(const SourceMap& map) {
    const std::filesystem::path path = LineMapCachePath(map.projectFolder);
    if (path.empty()) return Status::Error("no cache folder: neither XDG_CACHE_HOME nor HOME");
    Numbering sources, scopes;
    std::string text = std::string(kHeading) + "\nmethod\t" + std::to_string(map.method) + "\n";
    bool plain = Plain(map.projectFolder);
    for (const std::string& header : map.headers) {
        text += "header\t" + header + "\n";
        plain = plain && Plain(header);
    }
    std::string files;
    for (const GeneratedFileMap& file : map.files) {
        files += "file\t" + file.checksum + "\t" + file.path + "\n";
        plain = plain && Plain(file.path);
        for (const MappedLine& line : file.lines) {
            const SourcePlace& place = line.source;
            plain = plain && Plain(place.file) && Plain(place.scope);
            files += std::to_string(line.line) + "\t" +
                     std::to_string(sources.Of(place.file, "source")) + "\t" +
                     std::to_string(place.line) + "\t" +
                     std::to_string(scopes.Of(place.scope, "scope")) + "\n";
        }
    }
    if (!plain) return Status::Error("a path or scope of the map holds a tab or a line end");
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error) return Status::Error(path.parent_path().string() + ": " + error.message());
    return WriteFileAtomic(StoredPath(path), text + "folder\t" + map.projectFolder + "\n" +
                                                 sources.records + scopes.records + files);
}

void ForgetLineMap(std::string_view projectFolder) {
    const std::filesystem::path path = LineMapCachePath(projectFolder);
    if (!path.empty()) RemoveFileIfExists(StoredPath(path)).ok();
}

bool LoadLineMap(std::string_view projectFolder, SourceMap& map) {
    map = SourceMap{};
    const std::filesystem::path path = LineMapCachePath(projectFolder);
    std::string bytes;
    if (path.empty() || !ReadFileBytes(StoredPath(path), bytes)) return false;
    const std::vector<std::string_view> lines = SplitLines(bytes);
    // The folder record guards against two folders of one hash.
    bool ok = lines.size() >= 3 && lines[0] == kHeading;
    bool sameFolder = false;
    MapReader reader(map);
    for (std::size_t i = 1; ok && i < lines.size(); ++i) {
        if (lines[i].starts_with("folder\t"))
            ok = sameFolder = lines[i].substr(7) == projectFolder;
        else
            ok = reader.Record(lines[i]);
    }
    map.projectFolder = std::string(projectFolder);
    if (!ok || !sameFolder || map.files.size() != 2 || !ReadMappedTexts(map)) {
        map = SourceMap{};
        return false;
    }
    return true;
}

} // namespace kestrel
