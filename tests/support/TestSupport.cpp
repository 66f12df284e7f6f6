#include "TestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>

namespace kestrel::test {

TempDir::TempDir() {
    std::random_device rd;
    std::mt19937_64 gen(rd());
    for (;;) {
        auto candidate = std::filesystem::temp_directory_path() /
                         ("kestrel-test-" + std::to_string(gen() % 1000000000ull));
        std::error_code ec;
        if (std::filesystem::create_directory(candidate, ec)) {
            path_ = candidate;
            return;
        }
    }
}

namespace {

// Generate keeps the map of its last run in the user's cache folder: every test program
// gets a cache folder of its own, so that no test writes into the real one.
struct OwnCacheFolder {
    TempDir folder;
    OwnCacheFolder() { setenv("XDG_CACHE_HOME", folder.str().c_str(), 1); }
};
const OwnCacheFolder ownCacheFolder;

} // namespace

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

std::string MaskDates(std::string text) {
    static const std::regex stamp(
        "(Sun|Mon|Tues|Wednes|Thurs|Fri|Satur)day, [A-Z][a-z]{2} [0-9]{1,2}, [0-9]{4} @ "
        "[0-9]{2}:[0-9]{2}:[0-9]{2} [AP]M");
    static const std::regex date("[0-9]{1,2}/[0-9]{1,2}/[0-9]{4}");
    if (text.find(" @ ") != std::string::npos) text = std::regex_replace(text, stamp, "<date>");
    if (text.find("/20") != std::string::npos) text = std::regex_replace(text, date, "<date>");
    return text;
}

std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteBytes(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

namespace {
std::string LineAt(std::string_view text, std::size_t start) {
    std::size_t end = text.find('\n', start);
    std::string line(text.substr(start, end == std::string_view::npos ? text.npos : end - start));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}
} // namespace

::testing::AssertionResult SameBytes(std::string_view expected, std::string_view actual) {
    if (expected == actual) return ::testing::AssertionSuccess();
    std::size_t i = 0;
    std::size_t line = 1, lineStart = 0;
    while (i < expected.size() && i < actual.size() && expected[i] == actual[i]) {
        if (expected[i] == '\n') {
            ++line;
            lineStart = i + 1;
        }
        ++i;
    }
    return ::testing::AssertionFailure()
           << "Miscompare at line " << line << ", column " << (i - lineStart + 1) << " (byte " << i
           << "; expected " << expected.size() << " bytes, got " << actual.size() << ")\n"
           << "  expected: [" << LineAt(expected, lineStart) << "]\n"
           << "  actual:   [" << LineAt(actual, lineStart) << "]";
}

std::filesystem::path ConformanceDir() {
    std::filesystem::path dir = KESTREL_CONFORMANCE_DIR;
    std::error_code ec;
    return std::filesystem::is_directory(dir, ec) ? dir : std::filesystem::path();
}
std::filesystem::path GoldenDir() {
    return KESTREL_GOLDEN_DIR;
}
std::filesystem::path FixtureDir() {
    return KESTREL_FIXTURE_DIR;
}

std::string Fixture(std::string_view relative) {
    return ReadBytes(FixtureDir() / relative);
}

std::string Masked(std::string text, const std::string& folder) {
    for (std::size_t at; (at = text.find(folder)) != std::string::npos;)
        text.replace(at, folder.size(), "<project>");
    return text;
}

std::filesystem::path BinDir() {
    return KESTREL_BIN_DIR;
}

bool UpdateGolden() {
    const char* v = std::getenv("KESTREL_UPDATE_GOLDEN");
    return v && std::string(v) == "1";
}

::testing::AssertionResult MatchesGolden(const std::filesystem::path& golden,
                                         std::string_view actual) {
    if (UpdateGolden()) {
        std::filesystem::create_directories(golden.parent_path());
        WriteBytes(golden, actual);
        return ::testing::AssertionSuccess();
    }
    if (!std::filesystem::exists(golden))
        return ::testing::AssertionFailure()
               << "missing golden file " << golden << " (run with KESTREL_UPDATE_GOLDEN=1)";
    auto result = SameBytes(ReadBytes(golden), actual);
    if (!result) result << "\n  golden file: " << golden.string();
    return result;
}

std::map<std::string, std::string> ReadKeyValues(const std::filesystem::path& file) {
    std::map<std::string, std::string> values;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::size_t eq = line.find('=');
        if (eq != std::string::npos) values[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return values;
}

void CopyTree(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::filesystem::create_directories(to);
    std::filesystem::copy(from, to,
                          std::filesystem::copy_options::recursive |
                              std::filesystem::copy_options::overwrite_existing);
    // Conformance files are read-only; the copies must be writable.
    for (auto& entry : std::filesystem::recursive_directory_iterator(to)) {
        std::filesystem::permissions(
            entry.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
            std::filesystem::perm_options::add);
    }
}

void RemoveTree(const std::filesystem::path& folder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::exists(folder, ec)) return;
    for (const auto& entry : fs::recursive_directory_iterator(folder, ec))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(folder, ec);
}

std::set<std::string> FilesUnder(const std::filesystem::path& root) {
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            files.insert(std::filesystem::relative(entry.path(), root).string());
    return files;
}

std::vector<std::filesystem::path> ConformanceCases(std::string_view prefix) {
    std::vector<std::filesystem::path> cases;
    const std::filesystem::path root = ConformanceDir();
    if (root.empty()) return cases;
    for (const auto& entry : std::filesystem::directory_iterator(root))
        if (entry.is_directory() && entry.path().filename().string().starts_with(prefix))
            cases.push_back(entry.path());
    std::sort(cases.begin(), cases.end());
    return cases;
}

std::filesystem::path PlaceCaseProject(const std::filesystem::path& caseDir) {
    const std::filesystem::path project = ReadKeyValues(caseDir / "case.txt")["path"];
    if (project.empty()) return project;
    RemoveTree(project);
    CopyTree(caseDir / "before" / project.filename(), project);
    for (const char* sub : {"Input", "Output", "Temp"})
        std::filesystem::create_directories(project / sub);
    return project;
}

std::string Shown(const std::optional<InputRefusal>& r) {
    return r ? r->text + " [" + r->ShownTitle() + "] " + std::to_string(static_cast<int>(r->field))
             : "-";
}

std::vector<std::string> FunctionLines(const TlmFunctionTable& table) {
    std::vector<std::string> lines;
    for (int f = 1; f <= table.count; ++f) {
        const TlmFunction& fn = table[f];
        std::string line = fn.functionName.Text() + "/" + std::to_string(fn.parameterCount);
        if (!fn.asfFileName.Text().empty()) line += " asf=" + fn.asfFileName.Text();
        if (fn.fsmAssigned) line += " assigned";
        if (fn.isLibrary) line += " library";
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> SignalLines(const RtlSignalTable& table) {
    std::vector<std::string> lines;
    for (int s = 1; s <= table.count; ++s) {
        const RtlSignal& sig = table[s];
        std::string line = sig.signalName.Text() + " " + std::to_string(sig.directionIndex) +
                           " init=" + sig.initValue.Text();
        if (sig.isClock) line += " clock";
        if (sig.isLibrary) line += " library";
        lines.push_back(line);
    }
    return lines;
}

} // namespace kestrel::test
