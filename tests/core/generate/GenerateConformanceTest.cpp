// Runs Generate on the shared conformance cases that need no translator (the template
// method, and the AsmL method refusing a project without an assigned document) and
// compares the status text, the error count and every file of the project folder.
#include "generate/Generate.h"

#include "TestSupport.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <fstream>
#include <map>
#include <set>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

struct ConformanceCase {
    fs::path dir;
    std::string path;
    int method = 0;
    int errors = -1;
};

using test::ReadKeyValues;

// The cases this code can run on its own: method 3, and method 2 stopped because no
// AsmL document is assigned.
std::vector<ConformanceCase> RunnableCases() {
    std::vector<ConformanceCase> cases;
    for (const fs::path& dir : test::ConformanceCases("case-")) {
        auto values = ReadKeyValues(dir / "case.txt");
        ConformanceCase c{dir, values["path"], std::atoi(values["method"].c_str()),
                          std::atoi(values["errors"].c_str())};
        bool unassigned =
            c.method == 2 &&
            test::ReadBytes(dir / "stdout.txt")
                    .find("ERROR: AsmL Specification file not Assigned") != std::string::npos;
        if (c.method == 3 || unassigned) cases.push_back(c);
    }
    return cases;
}

// The case folders lie at fixed paths; other test programs may run the same case at
// the same time, so a run holds a lock beside the folder.
class FolderLock {
public:
    explicit FolderLock(const fs::path& folder) {
        fs::create_directories(folder.parent_path());
        std::string lockPath = folder.string() + ".lock";
        fd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd_ >= 0) ::flock(fd_, LOCK_EX);
    }
    ~FolderLock() {
        if (fd_ >= 0) ::close(fd_);
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int fd_ = -1;
};

TEST(GenerateConformance, TemplateAndUnassignedCasesMatchByteForByte) {
    std::vector<ConformanceCase> cases = RunnableCases();
    if (cases.empty()) GTEST_SKIP() << "no conformance cases found";

    const FixedClock clock(LocalDateTime{2026, 12, 4, 9, 51, 15, 5});
    for (const ConformanceCase& c : cases) {
        SCOPED_TRACE(c.dir.filename().string());
        fs::path project = c.path;
        std::string name = project.filename().string();
        FolderLock lock(project);
        test::PlaceCaseProject(c.dir);

        GenerationSession session;
        test::TextCollector observer;
        GenerateProjectResult result =
            GenerateProject((project / (name + ".tp")).string(), session, clock, &observer);
        ASSERT_TRUE(result.status.ok()) << result.status.message();

        std::string expectedStatus = test::ReadBytes(c.dir / "stdout.txt");
        EXPECT_TRUE(test::SameBytes(expectedStatus, session.log.StatusText()));
        EXPECT_TRUE(test::SameBytes(expectedStatus, observer.text));
        EXPECT_EQ(result.errorCount, c.errors);
        if (c.method == 3) {
            EXPECT_EQ(observer.lastMaximum, 3);
            EXPECT_EQ(observer.lastValue, 3);
        } else {
            // The AsmL route stops before its first step.
            EXPECT_EQ(observer.lastValue, 0);
        }

        fs::path after = c.dir / "after" / name;
        std::set<std::string> expectedFiles = test::FilesUnder(after);
        EXPECT_EQ(test::FilesUnder(project), expectedFiles);
        for (const std::string& file : expectedFiles) {
            SCOPED_TRACE(file);
            EXPECT_TRUE(
                test::SameBytes(test::ReadBytes(after / file), test::ReadBytes(project / file)));
        }
        test::RemoveTree(project);
    }
}

} // namespace
} // namespace kestrel
