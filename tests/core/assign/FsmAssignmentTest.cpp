// The FSM assignment window's rules: the rows as loaded, Browse, Unassign and Work with
// Template with their messages, and OK as the bytes it leaves in tlm_func.dat, asf.dat,
// Input and the project file.
#include "project/FsmAssignment.h"

#include "model/ProjectPaths.h"
#include "platform/FileSystem.h"
#include "project/ProjectCommands.h"

#include "CodegenSamples.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace kestrel {
namespace {

using test::I16;
using test::kFalse;
using test::kTrue;
using test::Var;

// Where the assignment fields lie in a function record of 5458 bytes.
constexpr std::size_t kAsfNameOffset = 5374;
constexpr std::size_t kFsmAssignedOffset = 5454;
constexpr std::size_t kRecord = 5458;

std::string Padded(const std::string& text, std::size_t n) {
    return text + std::string(n - text.size(), ' ');
}

TlmParameter Parameter(const char* type, bool byReference, const char* name, bool isConst = false,
                       bool isArray = false) {
    return sample::Parameter(type, 0, name, byReference, isConst, isArray);
}

// A project with four functions:
//   1 ready: "int ready ( )", unassigned
//   2 write: two parameters, assigned write.asf (in Input)
//   3 lib:   a library function that claims an assignment
//   4 read:  unassigned, with an old file name kept from an earlier assignment
struct FsmProject {
    test::TempDir dir;
    ProjectRecord record;
    std::string folder;

    FsmProject() {
        FakeSystemInfo system;
        NewProjectDraft draft{"P", dir.str()};
        if (!NewProject(draft, system, record).ok()) ADD_FAILURE() << "no project";
        folder = record.projectFolder;
        record.projectStage = kStageDeclared;
        if (!SaveProjectFile(record).ok()) ADD_FAILURE() << "no .tp";

        auto table = std::make_unique<TlmFunctionTable>();
        TlmFunctionTable& t = *table;
        t.count = 4;
        t[1].functionName = "ready";
        t[1].returnTypeText = "int";
        t[2].functionName = "write";
        t[2].returnTypeText = "void";
        t[2].parameterCount = 2;
        t[2].parameters[1] = Parameter("char", true, "b", true, true);
        t[2].parameters[2] = Parameter("int", false, "a");
        t[2].fsmAssigned = true;
        t[2].asfFileName = "write.asf";
        t[3].functionName = "lib";
        t[3].returnTypeText = "bool";
        t[3].isLibrary = true;
        t[3].fsmAssigned = true;
        t[3].asfFileName = "lib.asf";
        t[4].functionName = "read";
        t[4].returnTypeText = "void";
        t[4].asfFileName = "old.asf";
        if (!SaveTlmFunctions(folder, t).ok()) ADD_FAILURE() << "no table";
        test::WriteBytes(folder + "/Input/write.asf", "write diagram\r\n");
    }

    std::string Functions() const { return test::ReadBytes(folder + "/Input/tlm_func.dat"); }
    std::string Field(int function, std::size_t offset, std::size_t size) const {
        return Functions().substr((function - 1) * kRecord + offset, size);
    }
};

TEST(FsmAssignment, RowsShowSignatureFileAndMark) {
    FsmProject p;
    auto state = std::make_unique<FsmAssignmentState>();
    ASSERT_TRUE(LoadFsmAssignment(p.folder, *state).ok());
    ASSERT_EQ(state->rows.size(), 4u);

    const FsmAssignmentRow& ready = state->rows[0];
    EXPECT_EQ(ready.signature, "int ready ( )");
    EXPECT_EQ(ready.asfFile, "<not assigned>");
    EXPECT_EQ(ready.assignedMark, "0");

    // The by-value marker is a blank, trimmed away: two blanks between type and name.
    const FsmAssignmentRow& write = state->rows[1];
    EXPECT_EQ(write.signature, "void write (const char & b [], int  a )");
    EXPECT_EQ(write.asfFile, p.folder + "/Input/write.asf");
    EXPECT_EQ(write.assignedMark, "1");

    const FsmAssignmentRow& lib = state->rows[2];
    EXPECT_EQ(lib.signature, "bool lib ( )");
    EXPECT_EQ(lib.asfFile, "[no need to assign]");
    EXPECT_EQ(lib.assignedMark, "0");

    EXPECT_EQ(state->rows[3].asfFile, "<not assigned>");
    EXPECT_EQ(state->asf.asfTemplatePath, p.folder + "/Temp/untitled.asf");
}

TEST(FsmAssignment, BrowseUnassignAndTemplateMessages) {
    FsmProject p;
    auto state = std::make_unique<FsmAssignmentState>();
    ASSERT_TRUE(LoadFsmAssignment(p.folder, *state).ok());
    FsmAssignmentRow& write = state->rows[1];
    FsmAssignmentRow& lib = state->rows[2];

    EXPECT_FALSE(CheckAsfBrowse(write));
    EXPECT_EQ(AsfBrowseTitle(write), "Select ASF File for Function: write ()");
    auto browse = CheckAsfBrowse(lib);
    ASSERT_TRUE(browse);
    EXPECT_EQ(browse->text,
              "lib() is a Library function.\r\nNo need to assign FSM for this function.");
    EXPECT_EQ(browse->ShownTitle(), "Kestrel");

    auto unassign = UnassignAsfFile(lib);
    ASSERT_TRUE(unassign);
    EXPECT_EQ(unassign->text,
              "lib() is a Library function.\r\nCannot unassign FSM for this function.");
    EXPECT_EQ(lib.asfFile, "[no need to assign]");

    EXPECT_FALSE(UnassignAsfFile(write));
    EXPECT_EQ(write.asfFile, "<not assigned>");
    EXPECT_EQ(write.assignedMark, "0");
    AssignAsfFile(write, "/x/y/w.asf");
    EXPECT_EQ(write.asfFile, "/x/y/w.asf");
    EXPECT_EQ(write.assignedMark, "1");

    // Eighty bytes fit AsfFileName; eighty-one would be cut in the record.
    EXPECT_FALSE(CheckAsfFileName("/x/" + std::string(76, 'n') + ".asf"));
    auto tooLong = CheckAsfFileName("/x/" + std::string(77, 'n') + ".asf");
    ASSERT_TRUE(tooLong);
    EXPECT_NE(tooLong->text.find(std::string(77, 'n') + ".asf"), std::string::npos);

    const std::string missing = p.folder + "/Temp/untitled.asf";
    auto none = CheckAsfTemplateExists(missing);
    ASSERT_TRUE(none);
    EXPECT_EQ(none->text, missing + " does not exists! \r\n"
                                    "Create it by pressing the Generate ASF Template button");
    EXPECT_EQ(none->title, "File not exists!");
    test::WriteBytes(missing, "");
    EXPECT_FALSE(CheckAsfTemplateExists(missing));
}

TEST(FsmAssignment, OkCopiesFilesSetsFlagsAndStage) {
    FsmProject p;
    const std::string before = p.Functions();
    auto state = std::make_unique<FsmAssignmentState>();
    ASSERT_TRUE(LoadFsmAssignment(p.folder, *state).ok());

    // One file for two functions, from outside the project; the template path the window
    // remembered after Generate ASF Template.
    const std::string shared = p.dir / "elsewhere/shared.asf";
    std::filesystem::create_directories(p.dir / "elsewhere");
    test::WriteBytes(shared, "shared diagram\r\n");
    AssignAsfFile(state->rows[0], shared);
    AssignAsfFile(state->rows[3], shared);
    state->asf.asfTemplatePath = p.folder + "/Temp/ready.asf";

    ProjectRecord record = p.record;
    ASSERT_TRUE(AcceptFsmAssignment(record, *state).ok());

    EXPECT_EQ(test::ReadBytes(p.folder + "/Input/shared.asf"), "shared diagram\r\n");
    EXPECT_EQ(test::ReadBytes(p.folder + "/Input/write.asf"), "write diagram\r\n");
    EXPECT_EQ(p.Field(1, kAsfNameOffset, 80), Padded("shared.asf", 80));
    EXPECT_EQ(p.Field(1, kFsmAssignedOffset, 2), kTrue);
    EXPECT_EQ(p.Field(2, kAsfNameOffset, 80), Padded("write.asf", 80));
    EXPECT_EQ(p.Field(2, kFsmAssignedOffset, 2), kTrue);
    // The library function's mark is "0": its flag is cleared, its old name kept.
    EXPECT_EQ(p.Field(3, kAsfNameOffset, 80), Padded("lib.asf", 80));
    EXPECT_EQ(p.Field(3, kFsmAssignedOffset, 2), kFalse);
    EXPECT_EQ(p.Field(4, kAsfNameOffset, 80), Padded("shared.asf", 80));
    EXPECT_EQ(p.Field(4, kFsmAssignedOffset, 2), kTrue);
    // Nothing else of the records changed.
    std::string after = p.Functions();
    ASSERT_EQ(after.size(), before.size());
    for (int f = 0; f < 4; ++f) {
        EXPECT_EQ(after.substr(f * kRecord, kAsfNameOffset),
                  before.substr(f * kRecord, kAsfNameOffset));
        EXPECT_EQ(after.substr(f * kRecord + 5456, 2), before.substr(f * kRecord + 5456, 2));
    }

    // Written over the old record without truncation: the longer old path leaves its tail.
    EXPECT_TRUE(test::SameBytes(Var(p.folder + "/Temp/ready.asf") + "asf",
                                test::ReadBytes(p.folder + "/Input/asf.dat")));
    EXPECT_EQ(record.projectStage, kStageAssigned);
    EXPECT_TRUE(test::SameBytes(Var("P") + Var(p.folder) + kFalse + kFalse + I16(3),
                                test::ReadBytes(p.folder + "/P.tp")));
}

TEST(FsmAssignment, OkWithoutChangesAndUnassignKeepTheName) {
    FsmProject p;
    auto state = std::make_unique<FsmAssignmentState>();
    ASSERT_TRUE(LoadFsmAssignment(p.folder, *state).ok());
    ProjectRecord record = p.record;
    // The assigned row shows its copy in Input: OK copies it onto itself, unchanged.
    ASSERT_TRUE(AcceptFsmAssignment(record, *state).ok());
    EXPECT_EQ(record.projectStage, kStageAssigned);
    EXPECT_EQ(test::ReadBytes(p.folder + "/Input/write.asf"), "write diagram\r\n");
    EXPECT_EQ(p.Field(2, kFsmAssignedOffset, 2), kTrue);
    EXPECT_TRUE(test::SameBytes(Var(p.folder + "/Temp/untitled.asf"),
                                test::ReadBytes(p.folder + "/Input/asf.dat")));

    // Unassigning keeps the name in the record and the copy in Input.
    ASSERT_TRUE(LoadFsmAssignment(p.folder, *state).ok());
    ASSERT_FALSE(UnassignAsfFile(state->rows[1]));
    ASSERT_TRUE(AcceptFsmAssignment(record, *state).ok());
    EXPECT_EQ(p.Field(2, kAsfNameOffset, 80), Padded("write.asf", 80));
    EXPECT_EQ(p.Field(2, kFsmAssignedOffset, 2), kFalse);
    EXPECT_TRUE(FileExists(p.folder + "/Input/write.asf"));

    // A chosen file that has gone is not reported: the function keeps the assignment and
    // Generate names the missing file.
    ASSERT_TRUE(LoadFsmAssignment(p.folder, *state).ok());
    AssignAsfFile(state->rows[0], p.dir / "gone.asf");
    ASSERT_TRUE(AcceptFsmAssignment(record, *state).ok());
    EXPECT_EQ(p.Field(1, kAsfNameOffset, 80), Padded("gone.asf", 80));
    EXPECT_EQ(p.Field(1, kFsmAssignedOffset, 2), kTrue);
    EXPECT_FALSE(FileExists(p.folder + "/Input/gone.asf"));
}

TEST(FsmAssignment, EmptyTableHasNoRowsAndOkStillAssigns) {
    test::TempDir dir;
    FakeSystemInfo system;
    NewProjectDraft draft{"E", dir.str()};
    ProjectRecord record;
    ASSERT_TRUE(NewProject(draft, system, record).ok());
    auto state = std::make_unique<FsmAssignmentState>();
    ASSERT_TRUE(LoadFsmAssignment(record.projectFolder, *state).ok());
    EXPECT_TRUE(state->rows.empty());
    ASSERT_TRUE(AcceptFsmAssignment(record, *state).ok());
    EXPECT_EQ(record.projectStage, kStageAssigned);
    EXPECT_EQ(test::ReadBytes(record.projectFolder + "/Input/tlm_func.dat"), "");
}

TEST(FsmAssignment, UnreadableTableNamesTheFile) {
    FsmProject p;
    // A truncated asf.dat: a count of 40 bytes with only three behind it.
    test::WriteBytes(p.folder + "/Input/asf.dat", I16(40) + "abc");
    auto state = std::make_unique<FsmAssignmentState>();
    Status s = LoadFsmAssignment(p.folder, *state);
    ASSERT_FALSE(s.ok());
    EXPECT_NE(s.message().find("asf.dat"), std::string::npos) << s.message();
}

} // namespace
} // namespace kestrel
