// The shared conformance cases run through the kestrel-cli program: status text on
// stdout, exit status, and every file of the project folder afterwards. The program uses
// the real clock, so the banner and log "Date:" lines are masked on both sides.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sys/wait.h>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

// A case whose run makes a transactor library (a .tlib among the files afterwards).
bool MakesLibrary(const fs::path& after) {
    for (auto& e : fs::recursive_directory_iterator(after))
        if (e.is_regular_file() && e.path().extension() == ".tlib") return true;
    return false;
}

TEST(CliConformance, GenerateCasesMatchByteForByte) {
    if (test::ConformanceDir().empty()) GTEST_SKIP() << "no conformance cases beside the checkout";
    int ran = 0;
    int libraries = 0;
    for (const fs::path& caseDir : test::ConformanceCases("case-")) {
        auto info = test::ReadKeyValues(caseDir / "case.txt");
        SCOPED_TRACE(caseDir.filename().string());
        const fs::path projectPath = test::PlaceCaseProject(caseDir);
        std::string name = projectPath.filename().string();
        ++ran;
        if (MakesLibrary(caseDir / "after" / name)) ++libraries;
        test::TempDir scratch;
        std::string command = "'" + (test::BinDir() / "kestrel-cli").string() + "' generate '" +
                              (projectPath / (name + ".tp")).string() + "' > '" +
                              (scratch / "out") + "' 2> '" + (scratch / "err") + "'";
        int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(std::to_string(WEXITSTATUS(status)), info.at("exit"))
            << test::ReadBytes(scratch / "err");
        EXPECT_TRUE(test::SameBytes(test::ReadBytes(caseDir / "stdout.txt"),
                                    test::ReadBytes(scratch / "out")));

        fs::path after = caseDir / "after" / name;
        EXPECT_EQ(test::FilesUnder(after), test::FilesUnder(projectPath));
        for (const std::string& file : test::FilesUnder(after)) {
            if (!fs::exists(projectPath / file)) continue;
            EXPECT_TRUE(test::SameBytes(test::MaskDates(test::ReadBytes(after / file)),
                                        test::MaskDates(test::ReadBytes(projectPath / file))))
                << file;
        }
        test::RemoveTree(projectPath);
    }
    EXPECT_GT(ran, 0);
    EXPECT_GT(libraries, 0) << "the cases that write a library ran too";
    RecordProperty("cases", ran);
}

} // namespace
} // namespace kestrel
