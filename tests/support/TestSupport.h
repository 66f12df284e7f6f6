#pragma once
// Helpers shared by the test executables.
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "codegen/GenerationLog.h"
#include "model/RtlSignal.h"
#include "model/TlmFunction.h"
#include "project/InputRefusal.h"

#include <gtest/gtest.h>

namespace kestrel::test {

// A fresh folder under the system's temporary folder, removed when the object dies.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    // path() / relative, as a string.
    std::string operator/(std::string_view relative) const { return (path_ / relative).string(); }

private:
    std::filesystem::path path_;
};

std::string ReadBytes(const std::filesystem::path& file);
// Replaces every date stamp ("Friday, Dec 4, 2026 @ 09:51:15 AM") and short date
// ("12/4/2026") by "<date>", so two runs at different times compare equal.
std::string MaskDates(std::string text);
void WriteBytes(const std::filesystem::path& file, std::string_view bytes);

// Compares two byte strings; on a difference, names the first differing line and
// column (1-based) and shows both lines.
::testing::AssertionResult SameBytes(std::string_view expected, std::string_view actual);

// Where the shared conformance cases live; empty when they are not there.
std::filesystem::path ConformanceDir();
std::filesystem::path GoldenDir();
std::filesystem::path FixtureDir();
// The bytes of a fixture file, by its path below FixtureDir().
std::string Fixture(std::string_view relative);
// The text with every occurrence of `folder` written as <project>, so golden files do not
// depend on the temporary folder's name.
std::string Masked(std::string text, const std::string& folder);
// The folder of the built programs (kestrel-cli, the converters).
std::filesystem::path BinDir();

// True when golden files should be rewritten from the actual output (KESTREL_UPDATE_GOLDEN=1).
bool UpdateGolden();
// Compares `actual` with the golden file, or rewrites it when UpdateGolden().
::testing::AssertionResult MatchesGolden(const std::filesystem::path& golden,
                                         std::string_view actual);

// The key=value lines of a case description (case.txt), line ends CR LF or LF.
std::map<std::string, std::string> ReadKeyValues(const std::filesystem::path& file);

// Copies a folder tree; the copies are writable.
void CopyTree(const std::filesystem::path& from, const std::filesystem::path& to);
// Removes a folder tree, write-protected entries included; a missing folder is no error.
void RemoveTree(const std::filesystem::path& folder);
// Every regular file below a folder, by its path relative to the folder.
std::set<std::string> FilesUnder(const std::filesystem::path& root);

// The conformance case folders whose names start with `prefix`, sorted; none when the
// cases are not there.
std::vector<std::filesystem::path> ConformanceCases(std::string_view prefix);
// Puts the "before" project of a case at the path it was made at (the "path" key of its
// case.txt), replacing what stood there, with the Input, Output and Temp folders that the
// stored cases cannot keep empty. Returns that path.
std::filesystem::path PlaceCaseProject(const std::filesystem::path& caseDir);

// Stored forms spelt by hand for expected file bytes: a 16-bit number (low byte first), a
// text behind its 16-bit length, and the flags true and false.
inline std::string I16(int v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
}
inline std::string Var(const std::string& s) {
    return I16(static_cast<int>(s.size())) + s;
}
inline const std::string kTrue = "\xFF\xFF";
inline const std::string kFalse = std::string("\0\0", 2);

// The counted rows of a table, one line each, for comparing a whole table at once:
// "name/parameter count[ asf=<file>][ assigned][ library]" for a function and
// "name direction-index init=<value>[ clock][ library]" for a signal.
std::vector<std::string> FunctionLines(const TlmFunctionTable& table);
std::vector<std::string> SignalLines(const RtlSignalTable& table);

// A refusal as "text [shown title] field number", or "-" for none: a line of a golden list.
std::string Shown(const std::optional<InputRefusal>& refusal);

// Collects the status text a Generate run appends, and its last progress values.
class TextCollector : public LogObserver {
public:
    std::string text;
    int lastValue = -1, lastMaximum = -1;
    void OnText(std::string_view appended) override { text.append(appended); }
    void OnProgress(int value, int maximum) override {
        lastValue = value;
        lastMaximum = maximum;
    }
};

} // namespace kestrel::test
