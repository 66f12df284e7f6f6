// The AsmL assignment window's rules. The label and the mark are the window's working copy
// until OK, which records the document's file name (not its folder) in asml.dat and puts a
// copy of it in Input, where Generate finds it. OK always raises the stage to 3, also when
// the document was unassigned.
#include "project/AsmlAssignmentRules.h"

#include "model/ProjectPaths.h"
#include "platform/FileSystem.h"
#include "project/AssignmentCopy.h"
#include "project/ProjectCommands.h"

namespace kestrel {

Status LoadAsmlAssignmentState(std::string_view projectFolder, AsmlAssignmentState& state) {
    if (Status s = LoadAsmlAssignment(projectFolder, state.record); !s) return s;
    if (state.record.asmlAssigned) {
        state.documentLabel = InputPath(projectFolder, state.record.asmlDocumentLabel);
        state.assignedMark = "1";
    } else {
        state.documentLabel = std::string(kNotAssigned);
        state.assignedMark = "0";
    }
    return Status::Ok();
}

void AssignAsmlDocument(AsmlAssignmentState& state, std::string_view chosenPath) {
    state.documentLabel = std::string(chosenPath);
    state.assignedMark = "1";
}

void UnassignAsmlDocument(AsmlAssignmentState& state) {
    state.documentLabel = std::string(kNotAssigned);
    state.assignedMark = "0";
}

std::optional<InputRefusal> CheckAsmlTemplateExists(std::string_view templatePath) {
    if (FileExists(templatePath)) return std::nullopt;
    InputRefusal refusal;
    refusal.text = std::string(templatePath) +
                   " does not exists! \r\nCreate it by pressing the Generate AsmL Template button";
    refusal.title = "File not exists!";
    return refusal;
}

Status AcceptAsmlAssignment(ProjectRecord& record, AsmlAssignmentState& state) {
    const std::string& folder = record.projectFolder;
    AsmlAssignment& a = state.record;
    a.asmlAssigned = MarkReadsAsOne(state.assignedMark);
    if (a.asmlAssigned) {
        a.asmlDocumentLabel = CopyIntoInput(folder, state.documentLabel);
    } else {
        a.asmlDocumentLabel = std::string(kNotAssigned);
    }
    if (Status s = SaveAsmlAssignment(folder, a); !s) return s;
    MarkBehaviourAssigned(record);
    return SaveProjectFile(record);
}

} // namespace kestrel
