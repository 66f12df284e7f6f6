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
#include <string>
#include <vector>

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::SameBytes;
using test::TempDir;

bool IsModelFile(const fs::path& file) {
    static const std::vector<std::string> names = {
        std::string(kTlmFunctionFile),    std::string(kRtlSignalFile),
        std::string(kOptionFile),         std::string(kGenerationFile),
        std::string(kAsmlAssignmentFile), std::string(kAsfAssignmentFile)};
    const std::string name = file.filename().string();
    return file.extension() == ".tp" || std::find(names.begin(), names.end(), name) != names.end();
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
            if (e.is_regular_file() && IsModelFile(e.path())) files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Loads `original` with its loader and saves it into `fresh` (a project folder with an
// empty Input). Returns the path of the saved file, or an empty string with `error` set.
std::string LoadAndSave(const fs::path& original, const std::string& fresh, std::string& error) {
    const std::string name = original.filename().string();
    // The project folder of a file in Input is the folder above Input.
    const std::string project = original.parent_path().parent_path().string();
    auto fail = [&](const Status& s) {
        error = s.message();
        return std::string();
    };
    if (original.extension() == ".tp") {
        ProjectRecord record;
        if (Status s = ReadProjectFile(original.string(), record); !s) return fail(s);
        // The record names its own folder; write it where SaveProjectFile would, but inside
        // the fresh folder.
        const std::string saved = JoinPath(fresh, {name});
        if (Status s = OverlayFileAtomic(saved, EncodeProjectRecord(record)); !s) return fail(s);
        return saved;
    }
    const std::string saved = InputPath(fresh, name);
    Status s;
    if (name == kTlmFunctionFile) {
        TlmFunctionTable table;
        s = LoadTlmFunctionsFrom(original.string(), table);
        if (s) s = SaveTlmFunctions(fresh, table);
    } else if (name == kRtlSignalFile) {
        RtlSignalTable table;
        s = LoadRtlSignalsFrom(original.string(), table);
        if (s) s = SaveRtlSignals(fresh, table);
    } else if (name == kOptionFile) {
        ProjectOptions options;
        s = LoadOptions(project, options);
        if (s) s = SaveOptions(fresh, options);
    } else if (name == kGenerationFile) {
        GenerationSettings settings;
        s = LoadGenerationSettings(project, settings);
        if (s) s = SaveGenerationSettings(fresh, settings);
    } else if (name == kAsmlAssignmentFile) {
        AsmlAssignment asml;
        s = LoadAsmlAssignment(project, asml);
        if (s) s = SaveAsmlAssignment(fresh, asml);
    } else {
        AsfAssignment asf;
        s = LoadAsfAssignment(project, asf);
        if (s) s = SaveAsfAssignment(fresh, asf);
    }
    if (!s) return fail(s);
    return saved;
}

TEST(ConformanceFiles, LoadThenSaveGivesTheSameBytes) {
    const std::vector<fs::path> files = ConformanceModelFiles();
    if (files.empty()) GTEST_SKIP() << "no conformance cases";

    int withTail = 0;
    for (const fs::path& original : files) {
        SCOPED_TRACE(original.string());
        TempDir fresh;
        fs::create_directory(fresh.path() / "Input");
        std::string error;
        const std::string saved = LoadAndSave(original, fresh.str(), error);
        ASSERT_FALSE(saved.empty()) << error;

        const std::string expected = ReadBytes(original);
        const std::string actual = ReadBytes(saved);
        // A fresh folder holds no stale bytes, so the saved file is the record alone; an
        // original with bytes after its record is compared on the record part.
        if (expected.size() > actual.size()) {
            ++withTail;
            std::cout << "note: " << original.string() << " has " << expected.size() - actual.size()
                      << " bytes after its record\n";
        }
        EXPECT_TRUE(SameBytes(expected.substr(0, actual.size()), actual));
        EXPECT_LE(actual.size(), expected.size());
    }
    std::cout << files.size() << " conformance files checked, " << withTail
              << " with bytes after the record\n";
}

} // namespace
} // namespace kestrel
