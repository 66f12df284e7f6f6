// The AsmL assignment window's rules: the label as loaded, Assign and Unassign, Work with
// Template's message, and OK as the bytes of asml.dat, the copy in Input and the stage.
#include "project/AsmlAssignmentRules.h"

#include "platform/FileSystem.h"
#include "project/ProjectCommands.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::I16;
using test::kFalse;
using test::kTrue;
using test::Var;

// asml.dat is rewritten without truncation: a shorter record leaves the old file's tail.
std::string Overlaid(const std::string& record, const std::string& old) {
    return record + (old.size() > record.size() ? old.substr(record.size()) : std::string());
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    test::WriteBytes(path, bytes);
}

struct AsmlProject {
    test::TempDir dir;
    ProjectRecord record;
    std::string folder;
    std::string templatePath;

    AsmlProject() {
        FakeSystemInfo system;
        NewProjectDraft draft{"Q", dir.str()};
        if (!NewProject(draft, system, record).ok()) ADD_FAILURE() << "no project";
        folder = record.projectFolder;
        templatePath = folder + "/Temp/Q.doc";
    }
    std::string Stored() const { return test::ReadBytes(folder + "/Input/asml.dat"); }
};

TEST(AsmlAssignment, AssignThenUnassignThroughOk) {
    AsmlProject p;
    AsmlAssignmentState state;
    ASSERT_TRUE(LoadAsmlAssignmentState(p.folder, state).ok());
    EXPECT_EQ(state.documentLabel, "<not assigned>");
    EXPECT_EQ(state.assignedMark, "0");
    EXPECT_EQ(state.record.asmlDocumentPath, p.templatePath);

    const std::string spec = p.dir / "work/spec.doc";
    WriteFile(spec, "namespace nsA\r\n");
    AssignAsmlDocument(state, spec);
    EXPECT_EQ(state.documentLabel, spec);
    EXPECT_EQ(state.assignedMark, "1");
    const std::string created = p.Stored();
    ProjectRecord record = p.record;
    ASSERT_TRUE(AcceptAsmlAssignment(record, state).ok());
    EXPECT_TRUE(test::SameBytes(Overlaid(Var(p.templatePath) + Var("spec.doc") + kTrue, created),
                                p.Stored()));
    EXPECT_EQ(test::ReadBytes(p.folder + "/Input/spec.doc"), "namespace nsA\r\n");
    EXPECT_EQ(record.projectStage, kStageAssigned);
    EXPECT_TRUE(test::SameBytes(Var("Q") + Var(p.folder) + kFalse + kFalse + I16(3),
                                test::ReadBytes(p.folder + "/Q.tp")));

    // Reopened: the label shows the copy in Input.
    ASSERT_TRUE(LoadAsmlAssignmentState(p.folder, state).ok());
    EXPECT_EQ(state.documentLabel, p.folder + "/Input/spec.doc");
    EXPECT_EQ(state.assignedMark, "1");

    // Unassign keeps the template path and the copy; the stage stays 3.
    UnassignAsmlDocument(state);
    EXPECT_EQ(state.documentLabel, "<not assigned>");
    EXPECT_EQ(state.assignedMark, "0");
    ASSERT_TRUE(AcceptAsmlAssignment(record, state).ok());
    EXPECT_TRUE(test::SameBytes(
        Overlaid(Var(p.templatePath) + Var("<not assigned>") + kFalse, created), p.Stored()));
    EXPECT_TRUE(FileExists(p.folder + "/Input/spec.doc"));
    EXPECT_EQ(record.projectStage, kStageAssigned);
}

TEST(AsmlAssignment, OkOnTheAssignedCopyAndReplacingIt) {
    AsmlProject p;
    WriteFile(p.folder + "/Input/spec.doc", "old\r\n");
    const std::string stored = Var(p.templatePath) + Var("spec.doc") + kTrue;
    WriteFile(p.folder + "/Input/asml.dat", stored);

    // OK right after opening: the document is its own copy and stays as it is.
    AsmlAssignmentState state;
    ASSERT_TRUE(LoadAsmlAssignmentState(p.folder, state).ok());
    ProjectRecord record = p.record;
    ASSERT_TRUE(AcceptAsmlAssignment(record, state).ok());
    EXPECT_EQ(test::ReadBytes(p.folder + "/Input/spec.doc"), "old\r\n");
    EXPECT_TRUE(test::SameBytes(stored, p.Stored()));

    // A document of the same name from another folder replaces the copy; a template
    // generated while the window was open is the path saved.
    const std::string newer = p.dir / "other/spec.doc";
    WriteFile(newer, "new\r\n");
    AssignAsmlDocument(state, newer);
    state.record.asmlDocumentPath = p.dir / "tpl/T.doc";
    ASSERT_TRUE(AcceptAsmlAssignment(record, state).ok());
    EXPECT_EQ(test::ReadBytes(p.folder + "/Input/spec.doc"), "new\r\n");
    EXPECT_TRUE(test::SameBytes(
        Overlaid(Var(p.dir / "tpl/T.doc") + Var("spec.doc") + kTrue, stored), p.Stored()));
}

TEST(AsmlAssignment, WorkWithTemplateBeforeAnyTemplate) {
    AsmlProject p;
    auto refusal = CheckAsmlTemplateExists(p.templatePath);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->text, p.templatePath +
                                 " does not exists! \r\n"
                                 "Create it by pressing the Generate AsmL Template button");
    EXPECT_EQ(refusal->title, "File not exists!");
    WriteFile(p.templatePath, "doc");
    EXPECT_FALSE(CheckAsmlTemplateExists(p.templatePath));
}

} // namespace
} // namespace kestrel
