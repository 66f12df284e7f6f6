// Where a project's generated files go: names in a missing folder, inside another project
// (found up through nested folders), names relative to the project's folder, empty names and
// a user's own folder; the warning's text; and pointing them at the project's Output folder
// with the library beside them.
#include "project/OutputPlacement.h"

#include "model/ProjectPaths.h"
#include "platform/FileSystem.h"
#include "project/ProjectCommands.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

GenerationSettings In(const std::string& folder) {
    GenerationSettings s;
    s.interfaceHeaderPath = folder + "/TLM_AIC.h";
    s.transactorHeaderPath = folder + "/Tran.h";
    s.transactorCppPath = folder + "/Tran.cpp";
    return s;
}

// A project folder with its .tp file (its bytes do not matter to the rule).
std::string ProjectAt(const fs::path& folder, const std::string& name) {
    fs::create_directories(folder / "Output");
    test::WriteBytes(folder / (name + ".tp"), "");
    return folder.string();
}

TEST(OutputPlacement, FindsMissingFoldersOtherProjectsAndEmptyNames) {
    test::TempDir dir;
    const std::string own = ProjectAt(dir.path() / "copy" / "Mem", "Mem");

    // Its own Output folder, and a user's own folder that exists: well placed.
    EXPECT_TRUE(FindMisplacedOutputFiles(own, In(own + "/Output")).empty());
    fs::create_directories(dir.path() / "mine" / "gen");
    EXPECT_TRUE(FindMisplacedOutputFiles(own, In(dir / "mine/gen")).empty());
    // A fresh clone without its empty Output folder: the commands make it.
    fs::create_directories(dir.path() / "clone" / "Mem");
    EXPECT_TRUE(FindMisplacedOutputFiles(dir / "clone/Mem", In(dir / "clone/Mem/Output")).empty());
    // A project nested in another one's folder still owns its Output folder.
    const std::string nested = ProjectAt(dir.path() / "copy" / "Mem" / "sub" / "Inner", "Inner");
    EXPECT_TRUE(FindMisplacedOutputFiles(nested, In(nested + "/Output")).empty());

    const std::string gone = dir / "gone/Mem/Output";
    EXPECT_EQ(FindMisplacedOutputFiles(own, In(gone)),
              (std::vector<MisplacedOutputFile>{
                  {gone + "/TLM_AIC.h", OutputProblem::MissingFolder, gone},
                  {gone + "/Tran.h", OutputProblem::MissingFolder, gone},
                  {gone + "/Tran.cpp", OutputProblem::MissingFolder, gone}}));

    // The original the copy came from, two folders below its .tp file; and the outer
    // project as seen from the nested one.
    const std::string original = ProjectAt(dir.path() / "orig" / "Mem", "Mem");
    fs::create_directories(dir.path() / "orig" / "Mem" / "Output" / "deep");
    GenerationSettings mixed = In(original + "/Output/deep");
    mixed.transactorHeaderPath = own + "/Output/Tran.h";
    mixed.transactorCppPath = "";
    EXPECT_EQ(FindMisplacedOutputFiles(own, mixed),
              (std::vector<MisplacedOutputFile>{
                  {original + "/Output/deep/TLM_AIC.h", OutputProblem::OtherProject, original},
                  {"", OutputProblem::NoFileName, ""}}));
    // A name that is not a full path lies in the project's folder, wherever a command runs:
    // its own Output is well placed, a way out into the original is not.
    EXPECT_TRUE(FindMisplacedOutputFiles(own, In("Output")).empty());
    EXPECT_EQ(FindMisplacedOutputFiles(own, In("../../orig/Mem/Output")).front().problem,
              OutputProblem::OtherProject);
    GenerationSettings relative = In("Output");
    relative.transactorHeaderPath = "/elsewhere/Tran.h";
    ResolveOutputNames(own, relative);
    GenerationSettings resolved = In(own + "/Output");
    resolved.transactorHeaderPath = "/elsewhere/Tran.h";
    EXPECT_EQ(relative, resolved);
    EXPECT_EQ(FindMisplacedOutputFiles(nested, In(own + "/Output")).front().folder, own);

    // Seen from another project, this one's Output folder is another project's.
    EXPECT_EQ(FindMisplacedOutputFiles(dir / "mine", In(own + "/Output")).size(), 3u);
}

TEST(OutputPlacement, TheWarningNamesTheStoredNamesTheFolderAndTheFix) {
    test::TempDir dir;
    ProjectRecord record;
    record.projectName = "Mem";
    record.projectFolder = ProjectAt(dir.path() / "Mem", "Mem");
    EXPECT_FALSE(MisplacedOutputWarning(record, In(record.projectFolder + "/Output")));
    EXPECT_FALSE(MisplacedOutputQuestion(record, In(record.projectFolder + "/Output")));

    GenerationSettings settings = In("/nowhere/Mem/Output");
    settings.transactorCppPath = "";
    std::optional<std::string> warning = MisplacedOutputWarning(record, settings);
    std::optional<std::string> question = MisplacedOutputQuestion(record, settings);
    ASSERT_TRUE(warning && question);
    EXPECT_TRUE(test::MatchesGolden(
        test::GoldenDir() / "project/misplaced_output.txt",
        test::Masked(*warning + "\n" + *question + "\n", record.projectFolder)));
}

TEST(OutputPlacement, PointsTheNamesHereWithTheLibraryOnlyWhenItLayBesideThem) {
    const std::string here = "/b/Mem";
    GenerationSettings settings = In("/a/Mem/Output");
    settings.transactorCppPath = "/a/Mem/Output/MemTran.cpp";
    ProjectOptions options;
    options.libraryFile = "/a/Mem/Output/Mem.tlib";
    options.libraryFolder = "/a/Mem/Output/";
    EXPECT_EQ(PointOutputsHere(here, settings, options),
              (std::vector<std::string>{
                  "Interface header: /a/Mem/Output/TLM_AIC.h -> /b/Mem/Output/TLM_AIC.h",
                  "Transactor header: /a/Mem/Output/Tran.h -> /b/Mem/Output/Tran.h",
                  "Transactor C++ file: /a/Mem/Output/MemTran.cpp -> /b/Mem/Output/MemTran.cpp",
                  "Library file: /a/Mem/Output/Mem.tlib -> /b/Mem/Output/Mem.tlib",
                  "Library folder: /a/Mem/Output/ -> /b/Mem/Output"}));
    EXPECT_EQ(settings.transactorCppPath, "/b/Mem/Output/MemTran.cpp");
    EXPECT_TRUE(PointOutputsHere(here, settings, options).empty());

    // A library of the user's own elsewhere stays; relative names move, with a library
    // beside them; an empty name gets the default file name.
    settings = In("Output");
    settings.interfaceHeaderPath.clear();
    options.libraryFile = "/libs/Mem.tlib";
    options.libraryFolder = "Output";
    std::vector<std::string> changes = PointOutputsHere(here, settings, options);
    EXPECT_EQ(changes.size(), 4u);
    EXPECT_EQ(changes.front(), "Interface header: \"\" -> /b/Mem/Output/TLM_AIC.h");
    EXPECT_EQ(std::tuple(settings.transactorHeaderPath, options.libraryFile, options.libraryFolder),
              std::tuple("/b/Mem/Output/Tran.h", "/libs/Mem.tlib", "/b/Mem/Output"));
}

// On the files: both tables saved when they change, nothing written when nothing does.
TEST(OutputPlacement, PointOutputsAtProjectSavesTheTables) {
    test::TempDir dir;
    NewProjectDraft draft{"Mem", dir / "orig"};
    fs::create_directories(dir.path() / "orig");
    FakeSystemInfo system;
    ProjectRecord record;
    ASSERT_TRUE(NewProject(draft, system, record).ok());
    const fs::path copy = dir.path() / "copy" / "Mem";
    test::CopyTree(dir.path() / "orig" / "Mem", copy);

    OutputsPointed pointed = PointOutputsAtProject(copy.string());
    ASSERT_TRUE(pointed.status) << pointed.status.message();
    EXPECT_EQ(pointed.changes.size(), 5u);
    GenerationSettings settings;
    ASSERT_TRUE(LoadGenerationSettings(copy.string(), settings));
    EXPECT_EQ(settings, DefaultGenerationSettings(copy.string()));
    ProjectOptions options;
    ASSERT_TRUE(LoadOptions(copy.string(), options));
    EXPECT_EQ(options.libraryFile, (copy / "Output/Mem.tlib").string());
    EXPECT_EQ(options.libraryFolder, (copy / "Output").string());

    const auto written = fs::last_write_time(copy / "Input" / kGenerationFile);
    pointed = PointOutputsAtProject(copy.string());
    EXPECT_TRUE(pointed.status);
    EXPECT_TRUE(pointed.changes.empty());
    EXPECT_EQ(fs::last_write_time(copy / "Input" / kGenerationFile), written);
}

} // namespace
} // namespace kestrel
