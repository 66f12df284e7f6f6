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
        auto add = [&](const char* name, const char* type, bool assigned, const char* asf) {
            TlmFunction& f = t[++t.count];
            f.functionName = name;
            f.returnTypeText = type;
            f.fsmAssigned = assigned;
            f.asfFileName = asf;
        };
        add("ready", "int", false, "");
        add("write", "void", true, "write.asf");
        add("lib", "bool", true, "lib.asf");
        add("read", "void", false, "old.asf");
        t[2].parameterCount = 2;
        t[2].parameters[1] = Parameter("char", true, "b", true, true);
        t[2].parameters[2] = Parameter("int", false, "a");
        t[3].isLibrary = true;
        if (!SaveTlmFunctions(folder, t).ok()) ADD_FAILURE() << "no table";
        test::WriteBytes(folder + "/Input/write.asf", "write diagram\r\n");
    }

    std::string Functions() const { return test::ReadBytes(folder + "/Input/tlm_func.dat"); }
    std::string Field(int function, std::size_t offset, std::size_t size) const {
        return Functions().substr((function - 1) * kRecord + offset, size);
    }
    // Each function's stored diagram name and whether it is assigned, as "name 1"/"name 0".
    std::vector<std::string> Assignments() const {
        std::vector<std::string> list;
        for (int f = 1; f <= 4; ++f) {
            std::string name = Field(f, kAsfNameOffset, 80);
            name.erase(name.find_last_not_of(' ') + 1);
            const std::string flag = Field(f, kFsmAssignedOffset, 2);
            list.push_back(name + (flag == kTrue ? " 1" : flag == kFalse ? " 0" : " ?"));
        }
        return list;
    }
};

TEST(FsmAssignment, RowsShowSignatureFileAndMark) {
    FsmProject p;
    auto state = std::make_unique<FsmAssignmentState>();
    ASSERT_TRUE(LoadFsmAssignment(p.folder, *state).ok());
    std::vector<std::string> rows;
    for (const FsmAssignmentRow& r : state->rows)
        rows.push_back(r.signature + " | " + r.asfFile + " | " + r.assignedMark);
    // The by-value marker is a blank, trimmed away: two blanks between type and name.
    EXPECT_EQ(rows,
              (std::vector<std::string>{
                  "int ready ( ) | <not assigned> | 0",
                  "void write (const char & b [], int  a ) | " + p.folder + "/Input/write.asf | 1",
                  "bool lib ( ) | [no need to assign] | 0", "void read ( ) | <not assigned> | 0"}));
    EXPECT_EQ(state->asf.asfTemplatePath, p.folder + "/Temp/untitled.asf");
}

TEST(FsmAssignment, BrowseUnassignAndTemplateMessages) {
    FsmProject p;
    auto state = std::make_unique<FsmAssignmentState>();
    ASSERT_TRUE(LoadFsmAssignment(p.folder, *state).ok());
    FsmAssignmentRow& write = state->rows[1];
    FsmAssignmentRow& lib = state->rows[2];

    std::string listed;
    auto add = [&](const char* what, const std::string& result) {
        listed += std::string(what) + ": " + result + "\n";
    };
    add("browse write", test::Shown(CheckAsfBrowse(write)) + ", " + AsfBrowseTitle(write));
    add("browse lib", test::Shown(CheckAsfBrowse(lib)));
    add("unassign lib", test::Shown(UnassignAsfFile(lib)) + ", " + lib.asfFile);
    add("unassign write",
        test::Shown(UnassignAsfFile(write)) + ", " + write.asfFile + " " + write.assignedMark);
    AssignAsfFile(write, "/x/y/w.asf");
    add("assign write", write.asfFile + " " + write.assignedMark);
    // Eighty bytes fit AsfFileName; eighty-one would be cut in the record.
    add("80 bytes", test::Shown(CheckAsfFileName("/x/" + std::string(76, 'n') + ".asf")));
    add("81 bytes", test::Shown(CheckAsfFileName("/x/" + std::string(77, 'n') + ".asf")));
    const std::string missing = p.folder + "/Temp/untitled.asf";
    add("no template", test::Shown(CheckAsfTemplateExists(missing)));
    test::WriteBytes(missing, "");
    add("template", test::Shown(CheckAsfTemplateExists(missing)));
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "project/fsm_assignment_messages.txt",
                                    test::Masked(listed, p.folder)));
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
    // The library function's mark is "0": its flag is cleared, its old name kept.
    EXPECT_EQ(p.Assignments(), (std::vector<std::string>{"shared.asf 1", "write.asf 1", "lib.asf 0",
                                                         "shared.asf 1"}));
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
    EXPECT_EQ(p.Assignments()[1], "write.asf 1");
    EXPECT_TRUE(test::SameBytes(Var(p.folder + "/Temp/untitled.asf"),
                                test::ReadBytes(p.folder + "/Input/asf.dat")));

    // Unassigning keeps the name in the record and the copy in Input.
    ASSERT_TRUE(LoadFsmAssignment(p.folder, *state).ok());
    ASSERT_FALSE(UnassignAsfFile(state->rows[1]));
    ASSERT_TRUE(AcceptFsmAssignment(record, *state).ok());
    EXPECT_EQ(p.Assignments()[1], "write.asf 0");
    EXPECT_TRUE(FileExists(p.folder + "/Input/write.asf"));

    // A chosen file that has gone is not reported: the function keeps the assignment and
    // Generate names the missing file.
    ASSERT_TRUE(LoadFsmAssignment(p.folder, *state).ok());
    AssignAsfFile(state->rows[0], p.dir / "gone.asf");
    ASSERT_TRUE(AcceptFsmAssignment(record, *state).ok());
    EXPECT_EQ(p.Assignments()[0], "gone.asf 1");
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
