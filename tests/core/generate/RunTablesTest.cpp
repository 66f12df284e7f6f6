// Generate, check and show open a project and its tables in one way: the same refusal of
// a project file without a usable name, the same folders made, the same load order, and
// a look at a project that leaves no file behind.
#include "generate/RunTables.h"
#include "generate/Generate.h"
#include "generate/ProjectCheck.h"

#include "model/ProjectPaths.h"
#include "model/ProjectRecord.h"

#include "CodegenSamples.h"
#include "TestSupport.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

const FixedClock kClock(LocalDateTime{2026, 12, 4, 9, 51, 15, 5});

TEST(RunTables, GenerateAndCheckOpenTheProjectFileAlike) {
    test::TempDir dir;
    const std::string folder = dir / "P";
    ProjectTables tables;
    sample::AddThreeFunctions(tables.functions);
    sample::AddFiveSignals(tables.signals);
    sample::SetPaths(tables.settings, folder + "/Output");
    fs::create_directories(fs::path(folder) / "Input");
    ASSERT_TRUE(sample::SaveSampleProject(folder, tables, 3));

    // Only Input exists: both make Temp and Output and name them.
    GenerationSession session;
    CheckResult checked = CheckProject(folder + "/Proj.tp", session, kClock);
    ASSERT_TRUE(checked.status.ok()) << checked.status.message();
    EXPECT_EQ(checked.createdFolders, (std::vector<std::string>{"Temp", "Output"}));
    fs::remove_all(fs::path(folder) / "Output");
    GenerateProjectResult generated =
        GenerateProject(folder + "/Proj.tp", session, kClock, nullptr);
    ASSERT_TRUE(generated.status.ok()) << generated.status.message();
    EXPECT_EQ(generated.createdFolders, std::vector<std::string>{"Output"});

    // A project file whose name would lead out of the folder is refused by both, in the
    // same words, before anything is made or written.
    for (const char* name : {"..", "a/b", " "}) {
        SCOPED_TRACE(name);
        ProjectRecord bad{name, folder, true, true, 3};
        const std::string tp = folder + "/Bad.tp";
        test::WriteBytes(tp, EncodeProjectRecord(bad));
        CheckResult c = CheckProject(tp, session, kClock);
        GenerateProjectResult g = GenerateProject(tp, session, kClock, nullptr);
        ASSERT_FALSE(c.status.ok());
        ASSERT_FALSE(g.status.ok());
        EXPECT_EQ(c.status.message(), g.status.message());
        EXPECT_NE(c.status.message().find("Bad.tp"), std::string::npos) << c.status.message();
    }
}

TEST(RunTables, ARunMakesAbsentTablesALookDoesNot) {
    test::TempDir dir;
    const std::string folder = dir.str();
    fs::create_directories(dir.path() / "Input");
    const fs::path functions = InputPath(folder, kTlmFunctionFile);
    const fs::path signals = InputPath(folder, kRtlSignalFile);

    ProjectTables look;
    EXPECT_TRUE(LoadRunTables(folder, look, AbsentTableFiles::ReadAsEmpty).empty());
    EXPECT_EQ(look.functions.count, 0);
    EXPECT_FALSE(fs::exists(functions));
    EXPECT_FALSE(fs::exists(signals));

    ProjectTables run;
    EXPECT_TRUE(LoadRunTables(folder, run).empty());
    EXPECT_TRUE(fs::exists(functions));
    EXPECT_TRUE(fs::exists(signals));

    // Every table is tried and each failure comes back, in load order.
    fs::remove(functions);
    fs::create_directory(functions);
    fs::remove(signals);
    fs::create_directory(signals);
    std::vector<Status> failures = LoadRunTables(folder, run);
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_NE(failures[0].message().find("tlm_func.dat"), std::string::npos);
    EXPECT_NE(failures[1].message().find("rtl_sig.dat"), std::string::npos);
}

TEST(RunTables, PreparedTablesAreTheTransactorsView) {
    ProjectTables stored;
    sample::AddFiveSignals(stored.signals);
    ClockSelection clock;
    const PreparedTables tables = PrepareTables(stored, clock);
    EXPECT_EQ(clock.clockSignalName, "clk");
    EXPECT_EQ(tables.signals[1].directionText.Text(), "sc_in"); // the clock keeps its direction
    EXPECT_EQ(tables.signals[2].directionText.Text(), "sc_out");
    EXPECT_EQ(tables.signals[3].directionText.Text(), "sc_in");
    EXPECT_EQ(tables.signals[2].initValue.Text().front(), '"'); // vectors are quoted
}

} // namespace
} // namespace kestrel
