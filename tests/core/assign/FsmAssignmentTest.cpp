// The FSM assignment window's messages: Browse, Unassign and Work with Template, against
// a golden file. What OK leaves on disk is checked through the window and kestrel-cli.
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

} // namespace
} // namespace kestrel
