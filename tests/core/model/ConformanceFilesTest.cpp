// Every table file and project file of the shared conformance projects is loaded with its
// loader and saved into a fresh project folder; the saved file must equal the original.
#include "model/Assignments.h"
#include "model/ProjectOptions.h"
#include "model/ProjectPaths.h"
#include "model/ProjectRecord.h"
#include "model/RtlSignal.h"
#include "model/TlmFunction.h"

#include "TestSupport.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::SameBytes;
using test::TempDir;

using RoundTrip = std::function<Status(const fs::path& original, const std::string& fresh)>;

// Loads a model file with its loader and saves it into the fresh project folder: the
// tables from the file itself, the one-record files from the project folder above Input.
template <typename T>
RoundTrip Through(Status (*load)(std::string_view, T&), Status (*save)(std::string_view, const T&),
                  bool fromFile = false) {
    return [=](const fs::path& original, const std::string& fresh) {
        auto value = std::make_unique<T>();
        const fs::path from = fromFile ? original : original.parent_path().parent_path();
        Status s = load(from.string(), *value);
        return s ? save(fresh, *value) : s;
    };
}

Status ProjectFileThrough(const fs::path& original, const std::string& fresh) {
    ProjectRecord record;
    Status s = ReadProjectFile(original.string(), record);
    // The record names its own folder; it is written where SaveProjectFile would, but
    // inside the fresh folder.
    const std::string saved = JoinPath(fresh, {original.filename().string()});
    return s ? OverlayFileAtomic(saved, EncodeProjectRecord(record)) : s;
}

// The round trip of each model file, by name (a project file by its extension).
const std::map<std::string, RoundTrip, std::less<>> kRoundTrips = {
    {".tp", ProjectFileThrough},
    {std::string(kTlmFunctionFile), Through(LoadTlmFunctionsFrom, SaveTlmFunctions, true)},
    {std::string(kRtlSignalFile), Through(LoadRtlSignalsFrom, SaveRtlSignals, true)},
    {std::string(kOptionFile), Through(LoadOptions, SaveOptions)},
    {std::string(kGenerationFile), Through(LoadGenerationSettings, SaveGenerationSettings)},
    {std::string(kAsmlAssignmentFile), Through(LoadAsmlAssignment, SaveAsmlAssignment)},
    {std::string(kAsfAssignmentFile), Through(LoadAsfAssignment, SaveAsfAssignment)}};

std::string KeyOf(const fs::path& file) {
    return file.extension() == ".tp" ? ".tp" : file.filename().string();
}

// The model files under every before/ folder of the conformance cases, sorted.
std::vector<fs::path> ConformanceModelFiles() {
    std::vector<fs::path> files;
    const fs::path root = test::ConformanceDir();
    if (root.empty()) return files;
    for (const fs::directory_entry& c : fs::directory_iterator(root)) {
        const fs::path before = c.path() / "before";
        if (!fs::is_directory(before)) continue;
        for (const fs::directory_entry& e : fs::recursive_directory_iterator(before))
            if (e.is_regular_file() && kRoundTrips.contains(KeyOf(e.path())))
                files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(ConformanceFiles, LoadThenSaveGivesTheSameBytes) {
    const std::vector<fs::path> files = ConformanceModelFiles();
    if (files.empty()) GTEST_SKIP() << "no conformance cases";
    int withTail = 0;
    for (const fs::path& original : files) {
        SCOPED_TRACE(original.string());
        TempDir fresh;
        fs::create_directory(fresh.path() / "Input");
        Status s = kRoundTrips.at(KeyOf(original))(original, fresh.str());
        ASSERT_TRUE(s) << s.message();
        const std::string name = original.filename().string();
        const std::string expected = ReadBytes(original);
        const std::string actual =
            ReadBytes(KeyOf(original) == ".tp" ? JoinPath(fresh.str(), {name})
                                               : InputPath(fresh.str(), name));
        // A fresh folder holds no stale bytes, so the saved file is the record alone; an
        // original with bytes after its record is compared on the record part.
        withTail += expected.size() > actual.size();
        EXPECT_TRUE(SameBytes(expected.substr(0, actual.size()), actual));
        EXPECT_LE(actual.size(), expected.size());
    }
    std::cout << files.size() << " conformance files checked, " << withTail
              << " with bytes after the record\n";
}

} // namespace
} // namespace kestrel
