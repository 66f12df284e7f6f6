#include "project/ProjectCommands.h"

#include "model/ProjectOptions.h"
#include "model/ProjectPaths.h"
#include "platform/FileSystem.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <set>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

using test::I16;
using test::kFalse;
using test::kTrue;
using test::Var;
std::string I32(long v) {
    return I16(static_cast<int>(v & 0xFFFF)) + I16(static_cast<int>(v >> 16));
}

TEST(NewProject, WritesExactlyTheDefaultProject) {
    test::TempDir dir;
    FakeSystemInfo system;
    system.userName = "  jdoe ";
    NewProjectDraft draft{"  Bus ", dir.str()}; // no trailing separator
    ProjectRecord record;
    CommandOutcome outcome = NewProject(draft, system, record);
    ASSERT_TRUE(outcome.ok()) << outcome.status.message();

    const std::string folder = dir.str() + "/Bus";
    EXPECT_EQ(draft.name, "Bus");
    EXPECT_EQ(draft.location, dir.str() + "/");
    EXPECT_EQ(record.projectFolder, folder);
    EXPECT_EQ(record.projectStage, kStageCreated);

    EXPECT_TRUE(test::SameBytes(Var("Bus") + Var(folder) + kFalse + kFalse + I16(1),
                                test::ReadBytes(folder + "/Bus.tp")));

    std::string options = I16(2) + kTrue + kTrue + I16(1) + Var("SC_PS") + I16(1) + I16(1) +
                          Var("SC_NS") + I16(2) + I32(0) + Var("") + kFalse +
                          Var(folder + "/Output/Bus.tlib") + Var(folder + "/Output") +
                          Var("Bus Transactor") + Var("jdoe") + Var("") + Var("") + kFalse;
    EXPECT_TRUE(test::SameBytes(options, test::ReadBytes(folder + "/Input/option.dat")));

    std::string gen = Var("clsTLM_AIC") + Var("clsTran") + Var(folder + "/Output/Tran.cpp") +
                      Var(folder + "/Output/Tran.h") + Var(folder + "/Output/TLM_AIC.h");
    EXPECT_TRUE(test::SameBytes(gen, test::ReadBytes(folder + "/Input/gen.dat")));

    EXPECT_TRUE(test::SameBytes(Var(folder + "/Temp/Bus.doc") + Var("<not assigned>") + kFalse,
                                test::ReadBytes(folder + "/Input/asml.dat")));
    EXPECT_TRUE(test::SameBytes(Var(folder + "/Temp/untitled.asf"),
                                test::ReadBytes(folder + "/Input/asf.dat")));

    // Nothing else: no table files until a table is saved or loaded.
    std::set<std::string> entries;
    for (auto& e : fs::recursive_directory_iterator(folder))
        entries.insert(fs::relative(e.path(), folder).string());
    EXPECT_EQ(entries,
              (std::set<std::string>{"Bus.tp", "Input", "Input/option.dat", "Input/gen.dat",
                                     "Input/asml.dat", "Input/asf.dat", "Temp", "Output"}));
}

// The refusals in the golden file, in order: no name, no location, a project that is
// there (the refused dialog keeps the trimmed texts it wrote back), and a name of blanks,
// which names the location itself: taken, or else no name at all.
TEST(NewProject, RefusesWithTheDialogsMessages) {
    test::TempDir dir;
    FakeSystemInfo system;
    ProjectRecord record;
    NewProjectDraft first{"P", dir.str() + "/"};
    ASSERT_TRUE(NewProject(first, system, record).ok());
    std::string listed;
    std::vector<NewProjectDraft> drafts = {{"", dir.str()},
                                           {"P", ""},
                                           {" P ", " " + dir.str() + " "},
                                           {"   ", dir.str() + "/"},
                                           {"   ", dir.str() + "/missing/"}};
    for (NewProjectDraft& draft : drafts)
        listed += test::Shown(NewProject(draft, system, record).refusal) + "\n";
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "project/new_project_refusals.txt",
                                    test::Masked(listed, dir.str())));
    EXPECT_EQ(drafts[2].name, "P");
    EXPECT_FALSE(fs::exists(dir / "missing"));
}

TEST(NewProject, AMissingLocationIsAFileErrorNamingTheFolder) {
    test::TempDir dir;
    FakeSystemInfo system;
    ProjectRecord record;
    NewProjectDraft draft{"P", dir.str() + "/no/such"};
    CommandOutcome outcome = NewProject(draft, system, record);
    EXPECT_FALSE(outcome.refusal);
    ASSERT_FALSE(outcome.status.ok());
    EXPECT_NE(outcome.status.message().find(dir.str() + "/no/such/P"), std::string::npos);
}

TEST(OpenProject, FollowsAMovedProjectFileAndRewritesIt) {
    test::TempDir dir;
    FakeSystemInfo system;
    ProjectRecord record;
    NewProjectDraft draft{"Proj", dir.str() + "/a-rather-long-location-name"};
    fs::create_directory(dir.path() / "a-rather-long-location-name");
    ASSERT_TRUE(NewProject(draft, system, record).ok());
    std::string before = test::ReadBytes(dir / "a-rather-long-location-name/Proj/Proj.tp");

    fs::rename(dir.path() / "a-rather-long-location-name/Proj", dir.path() / "Proj");
    ProjectRecord opened;
    CommandOutcome outcome = OpenProject(dir / "Proj/Proj.tp", opened);
    ASSERT_TRUE(outcome.ok()) << outcome.status.message();
    EXPECT_EQ(opened.projectFolder, dir.str() + "/Proj");
    EXPECT_EQ(opened.projectName, "Proj");
    EXPECT_EQ(opened.projectStage, kStageCreated);

    // The record is written at offset 0 without truncation: the shorter folder leaves
    // the old file's tail behind it, and reading still gives the new values.
    std::string after = test::ReadBytes(dir / "Proj/Proj.tp");
    std::string record2 = Var("Proj") + Var(dir.str() + "/Proj") + kFalse + kFalse + I16(1);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_TRUE(test::SameBytes(record2 + before.substr(record2.size()), after));
    ProjectRecord again;
    ASSERT_TRUE(PeekProject(dir / "Proj/Proj.tp", again).ok());
    EXPECT_EQ(again, opened);
}

TEST(OpenProject, RefusesUnusableFiles) {
    test::TempDir dir;
    ProjectRecord record;
    EXPECT_FALSE(OpenProject("Proj.tp", record).ok()); // no folder in the path
    EXPECT_FALSE(OpenProject(dir / "missing.tp", record).ok());
    test::WriteBytes(dir / "short.tp", Var("P") + I16(200) + "abc"); // text runs past the end
    CommandOutcome truncated = OpenProject(dir / "short.tp", record);
    ASSERT_FALSE(truncated.ok());
    EXPECT_NE(truncated.status.message().find("short.tp"), std::string::npos);
    // A name that would lead out of the folder.
    test::WriteBytes(dir / "evil.tp", Var("../x") + Var("/") + kFalse + kFalse + I16(1));
    EXPECT_FALSE(OpenProject(dir / "evil.tp", record).ok());
    EXPECT_FALSE(fs::exists(dir.path().parent_path() / "x.tp"));
}

// A project copied from version control has no empty folders. Peeking makes none; opening
// makes the missing ones (and only those) and names them, and a refused file makes nothing.
TEST(OpenProject, MakesTheMissingProjectFoldersAndNamesThem) {
    test::TempDir dir;
    FakeSystemInfo system;
    ProjectRecord record;
    NewProjectDraft draft{"Proj", dir.str()};
    ASSERT_TRUE(NewProject(draft, system, record).ok());
    const fs::path folder = dir.path() / "Proj";
    fs::remove_all(folder / "Temp");
    fs::remove_all(folder / "Output");
    test::WriteBytes(folder / "Input/keep.txt", "kept");

    ProjectRecord peeked;
    ASSERT_TRUE(PeekProject((folder / "Proj.tp").string(), peeked).ok());
    EXPECT_FALSE(fs::exists(folder / "Temp"));

    ProjectRecord opened;
    CommandOutcome outcome = OpenProject((folder / "Proj.tp").string(), opened);
    ASSERT_TRUE(outcome.ok()) << outcome.status.message();
    EXPECT_EQ(outcome.createdFolders, (std::vector<std::string>{"Temp", "Output"}));
    EXPECT_TRUE(fs::is_directory(folder / "Temp"));
    EXPECT_TRUE(fs::is_directory(folder / "Output"));
    EXPECT_EQ(test::ReadBytes(folder / "Input/keep.txt"), "kept");
    EXPECT_EQ(MissingFoldersNote(outcome.createdFolders),
              "Created the missing project folders Temp and Output");

    // Said once: the next opening has nothing to make.
    EXPECT_TRUE(OpenProject((folder / "Proj.tp").string(), opened).createdFolders.empty());

    // A file in the place of a folder is left to the write that needs the folder.
    fs::remove_all(folder / "Input");
    test::WriteBytes(folder / "Input", "not a folder");
    EXPECT_TRUE(OpenProject((folder / "Proj.tp").string(), opened).createdFolders.empty());
    EXPECT_TRUE(fs::is_regular_file(folder / "Input"));

    test::WriteBytes(dir / "short.tp", Var("P") + I16(200) + "abc");
    EXPECT_FALSE(OpenProject(dir / "short.tp", opened).ok());
    EXPECT_FALSE(fs::exists(dir.path() / "Temp"));

    EXPECT_EQ(MissingFoldersNote({"Output"}), "Created the missing project folder Output");
    EXPECT_EQ(MissingFoldersNote({"Input", "Temp", "Output"}),
              "Created the missing project folders Input, Temp and Output");
    EXPECT_EQ(MissingFoldersNote({}), "");
}

TEST(ProjectStage, RisesWithDeclarationsAndNeverFallsBack) {
    ProjectRecord r;
    r.projectStage = kStageCreated;
    RecomputeStage(r, 2, std::nullopt); // functions, no signals yet
    EXPECT_EQ(r.projectStage, kStageCreated);
    EXPECT_TRUE(r.tlmDeclared);
    RecomputeStage(r, std::nullopt, 1);
    EXPECT_EQ(r.projectStage, kStageDeclared);
    RecomputeStage(r, 0, std::nullopt); // emptied later: flag drops, stage stays
    EXPECT_FALSE(r.tlmDeclared);
    EXPECT_EQ(r.projectStage, kStageDeclared);
    MarkBehaviourAssigned(r);
    EXPECT_EQ(r.projectStage, kStageAssigned);
    RecomputeStage(r, 3, 3);
    EXPECT_EQ(r.projectStage, kStageAssigned);

    ProjectRecord fresh;
    fresh.projectStage = kStageCreated;
    RecomputeStage(fresh, 1, 1); // Add Library sets both at once
    EXPECT_EQ(fresh.projectStage, kStageDeclared);
}

TEST(ProjectStage, CaptionAndStatusText) {
    ProjectRecord r;
    CloseProject(r);
    EXPECT_EQ(WindowCaption(r), "[none] - Kestrel v1.1");
    EXPECT_EQ(ProjectStatusText(r), "No Transactor Project Opened");
    r = ProjectRecord{"Bus", "/w/Bus", false, false, kStageCreated};
    EXPECT_EQ(WindowCaption(r), "Bus - Kestrel v1.1");
    EXPECT_EQ(ProjectStatusText(r), "/w/Bus/Bus.tp Opened");
}

} // namespace
} // namespace kestrel
