// The map of the generated lines: finding a compiler's file and line in it, recording a
// run's splices, and keeping the record of the last run in the user's cache folder as
// text, one record a line, fields apart by tabs, numbers apart by blanks:
//   kestrel-line-map 2
//   folder <native project folder>   (a guard against two folders of one hash)
//   method, project, cpp <checksum> <path>, header <checksum> <path>, interface, clean,
//   diagram <path> (each in turn), origins <diagram line ...>, function <name> (each in
//   turn), splice <0: Tran.cpp, 1: Tran.h> <first line> <function> <section> <origins...>
#include "codegen/LineMap.h"

#include "platform/FileSystem.h"
#include "platform/Text.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace kestrel {

namespace {

constexpr std::string_view kHeading = "kestrel-line-map 2";
constexpr int kMaxRecordedFunctions = 1 << 16;

// A 64-bit hash of the bytes, eight at a time (FNV-1a's constants on words).
std::uint64_t Hash(std::string_view bytes) {
    constexpr std::uint64_t kPrime = 0x100000001b3ULL;
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, 8);
        hash = (hash ^ word) * kPrime;
        hash ^= hash >> 29;
    }
    for (; i < bytes.size(); ++i) hash = (hash ^ static_cast<unsigned char>(bytes[i])) * kPrime;
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

// Appends the numbers, apart by blanks.
template <typename Numbers> void AppendNumbers(std::string& text, const Numbers& numbers) {
    char buffer[16];
    for (int n : numbers) {
        auto end = std::to_chars(buffer, buffer + sizeof buffer, n).ptr;
        text.append(buffer, end);
        text += ' ';
    }
    if (std::begin(numbers) != std::end(numbers)) text.pop_back();
}

bool ReadNumbers(std::string_view text, std::vector<int>& numbers) {
    numbers.clear();
    while (!text.empty()) {
        const std::size_t blank = text.find(' ');
        int n = 0;
        if (!Number(text.substr(0, blank), n)) return false;
        numbers.push_back(n);
        text = blank == std::string_view::npos ? std::string_view{} : text.substr(blank + 1);
    }
    return true;
}

// Reads one record of a kept record; false when it cannot.
bool ReadRecord(const std::vector<std::string_view>& f, LineRecord& record) {
    const std::string_view kind = f[0];
    if (f.size() == 2) {
        const std::string value(f[1]);
        if (kind == "method") return Number(f[1], record.method);
        if (kind == "project") return record.projectFolder = value, true;
        if (kind == "interface") return record.interfacePath = value, true;
        if (kind == "clean") return record.cleanPath = value, true;
        if (kind == "diagram") return record.diagramPaths.push_back(value), true;
        if (kind == "function") return record.functionNames.push_back(value), true;
        std::vector<int> numbers;
        if (kind != "origins" || !ReadNumbers(f[1], numbers) || numbers.size() % 2) return false;
        for (std::size_t i = 0; i < numbers.size(); i += 2)
            record.cleanOrigins.emplace_back(numbers[i], numbers[i + 1]);
        return true;
    }
    if ((kind == "cpp" || kind == "header") && f.size() == 3) {
        (kind == "cpp" ? record.cppPath : record.headerPath) = std::string(f[2]);
        record.files.push_back({std::string(f[2]), std::string(f[1]), {}});
        return record.files.size() == (kind == "cpp" ? 1u : 2u);
    }
    std::vector<int> place, origins;
    if (kind != "splice" || f.size() != 3 || !ReadNumbers(f[1], place) || place.size() != 4 ||
        !ReadNumbers(f[2], origins))
        return false;
    const int file = place[0], line = place[1], function = place[2], section = place[3];
    if (file < 0 || static_cast<std::size_t>(file) >= record.files.size() || function < 1 ||
        function > kMaxRecordedFunctions || section < 0 || section > kSectionUpd)
        return false;
    record.files[static_cast<std::size_t>(file)].splices.push_back({line, function, section});
    if (record.functions.size() < static_cast<std::size_t>(function) ||
        !record.functions[static_cast<std::size_t>(function - 1)])
        record.Origins(function, {});
    record.functions[static_cast<std::size_t>(function - 1)]->Of(section) = std::move(origins);
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
    return std::to_string(bytes.size()) + ":" + Hex(Hash(bytes));
}

bool LineRecord::Complete() const {
    if (method == 0 || files.size() < 2 || !File(cppPath) || !File(headerPath)) return false;
    for (const std::optional<SectionOrigins>& origins : functions)
        if (origins && !origins->complete) return false;
    return true;
}

void RecordWrittenFile(LineRecord& record, std::string_view path, std::string_view text,
                       const std::vector<SectionSplice>& splices) {
    RecordedFile file{std::string(path), ContentChecksum(text), {}};
    // The splices come in writing order; lines are counted by their LF, as every generated
    // line ends in CR LF.
    std::size_t counted = 0;
    int line = 1;
    for (const SectionSplice& splice : splices) {
        if (splice.offset < counted || splice.offset >= text.size()) continue;
        if (splice.offset > 0 && text[splice.offset - 1] != '\n') continue;
        for (const char *at = text.data() + counted, *end = text.data() + splice.offset;
             (at = static_cast<const char*>(std::memchr(at, '\n', end - at))); ++at)
            ++line;
        counted = splice.offset;
        file.splices.push_back({line, splice.function, splice.section});
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
    return cache / "kestrel" / "maps" / Hex(Hash(projectFolder));
}

Status SaveLineRecord(const LineRecord& record) {
    const std::string folder = NativePath(record.projectFolder).lexically_normal().string();
    const std::filesystem::path path = LineMapCachePath(folder);
    if (path.empty()) return Status::Error("no cache folder: neither XDG_CACHE_HOME nor HOME");
    const RecordedFile* files[] = {record.File(record.cppPath), record.File(record.headerPath)};
    if (!record.Complete()) return Status::Error("the run recorded no complete map");
    std::string text = std::string(kHeading) + "\nfolder\t" + folder + "\nmethod\t" +
                       std::to_string(record.method) + "\nproject\t" + record.projectFolder +
                       "\ncpp\t" + files[0]->checksum + "\t" + record.cppPath + "\nheader\t" +
                       files[1]->checksum + "\t" + record.headerPath + "\ninterface\t" +
                       record.interfacePath + "\nclean\t" + record.cleanPath + "\n";
    bool plain = Plain(folder) && Plain(record.projectFolder) && Plain(record.cppPath) &&
                 Plain(record.headerPath) && Plain(record.interfacePath) && Plain(record.cleanPath);
    for (const std::string& diagram : record.diagramPaths) {
        text += "diagram\t" + diagram + "\n";
        plain = plain && Plain(diagram);
    }
    text += "origins\t";
    std::vector<int> pairs;
    pairs.reserve(record.cleanOrigins.size() * 2);
    for (auto [diagram, line] : record.cleanOrigins) pairs.insert(pairs.end(), {diagram, line});
    AppendNumbers(text, pairs);
    text += "\n";
    for (const std::string& name : record.functionNames) {
        text += "function\t" + name + "\n";
        plain = plain && Plain(name);
    }
    for (int file = 0; file < 2; ++file) {
        for (const RecordedFile::Splice& splice : files[file]->splices) {
            const auto slot = static_cast<std::size_t>(splice.function - 1);
            if (slot >= record.functions.size() || !record.functions[slot]) continue;
            text += "splice\t";
            AppendNumbers(text, std::initializer_list<int>{file, splice.line, splice.function,
                                                           splice.section});
            text += "\t";
            AppendNumbers(text, record.functions[slot]->Of(splice.section));
            text += "\n";
        }
    }
    if (!plain) return Status::Error("a path or name of the map holds a tab or a line end");
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error) return Status::Error(path.parent_path().string() + ": " + error.message());
    return WriteFileAtomic(StoredPath(path), text);
}

void ForgetLineMap(std::string_view projectFolder) {
    const std::filesystem::path path = LineMapCachePath(projectFolder);
    if (!path.empty()) RemoveFileIfExists(StoredPath(path)).ok();
}

bool LoadLineRecord(std::string_view projectFolder, LineRecord& record) {
    record = LineRecord{};
    const std::filesystem::path path = LineMapCachePath(projectFolder);
    std::string bytes;
    if (path.empty() || !FileExists(StoredPath(path)) || !ReadFileBytes(StoredPath(path), bytes))
        return false;
    const std::vector<std::string_view> lines = SplitLines(bytes);
    bool ok = lines.size() >= 2 && lines[0] == kHeading &&
              lines[1] == "folder\t" + std::string(projectFolder);
    for (std::size_t i = 2; ok && i < lines.size(); ++i) ok = ReadRecord(Fields(lines[i]), record);
    if (!ok || !record.Complete()) {
        record = LineRecord{};
        return false;
    }
    return true;
}

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

} // namespace kestrel
