#pragma once
// Helpers shared by the test executables.
#include <filesystem>
#include <map>
#include <string>
#include <string_view>

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
void WriteBytes(const std::filesystem::path& file, std::string_view bytes);

// Compares two byte strings; on a difference, names the first differing line and
// column (1-based) and shows both lines.
::testing::AssertionResult SameBytes(std::string_view expected, std::string_view actual);

// Where the shared conformance cases live; empty when they are not there.
std::filesystem::path ConformanceDir();
std::filesystem::path GoldenDir();
std::filesystem::path FixtureDir();
// The folder of the built programs (kestrel-cli, the converters).
std::filesystem::path BinDir();

// True when golden files should be rewritten from the actual output (KESTREL_UPDATE_GOLDEN=1).
bool UpdateGolden();
// Compares `actual` with the golden file, or rewrites it when UpdateGolden().
::testing::AssertionResult MatchesGolden(const std::filesystem::path& golden, std::string_view actual);

// The key=value lines of a case description (case.txt), line ends CR LF or LF.
std::map<std::string, std::string> ReadKeyValues(const std::filesystem::path& file);

// Copies a folder tree.
void CopyTree(const std::filesystem::path& from, const std::filesystem::path& to);

} // namespace kestrel::test
