// The FSM assignment window's rules. The rows are the window's working copy: Browse and
// Unassign change only them, and OK turns them into the function table: the assigned mark
// becomes FsmAssigned, the chosen file is copied into Input and its name becomes
// AsfFileName (an unassigned function keeps its old name). OK always raises the stage to 3.
#include "project/FsmAssignment.h"

#include "model/ProjectPaths.h"
#include "platform/FileSystem.h"
#include "project/AssignmentCopy.h"
#include "project/ProjectCommands.h"

#include <algorithm>

namespace kestrel {

namespace {

InputRefusal LibraryRefusal(const FsmAssignmentRow& row, std::string_view what) {
    InputRefusal refusal;
    refusal.text = row.functionName + "() is a Library function.\r\n" + std::string(what);
    return refusal;
}

} // namespace

std::string FsmFunctionSignature(const TlmFunction& function) {
    std::string text = function.returnTypeText.Text() + " " + function.functionName.Text() + " (";
    for (const TlmParameter& p : function.UsedParameters()) {
        if (&p != &function.UsedParameters().front()) text += ", ";
        if (p.isConst) text += "const ";
        text += p.typeText.Text() + " " + p.passMarker.Text() + " " + p.parameterName.Text();
        if (p.isArray) text += " []";
    }
    return text + " )";
}

Status LoadFsmAssignment(std::string_view projectFolder, FsmAssignmentState& state) {
    if (Status s = LoadTlmFunctions(projectFolder, state.functions); !s) return s;
    if (Status s = LoadAsfAssignment(projectFolder, state.asf); !s) return s;
    state.rows.clear();
    for (const TlmFunction& function : state.functions.Used()) {
        FsmAssignmentRow row;
        row.functionName = function.functionName.Text();
        row.isLibrary = function.isLibrary;
        row.signature = FsmFunctionSignature(function);
        if (function.isLibrary) {
            row.asfFile = std::string(kNoNeedToAssign);
            row.assignedMark = "0";
        } else if (function.fsmAssigned) {
            row.asfFile = InputPath(projectFolder, function.asfFileName.Text());
            row.assignedMark = "1";
        } else {
            row.asfFile = std::string(kNotAssigned);
            row.assignedMark = "0";
        }
        state.rows.push_back(std::move(row));
    }
    return Status::Ok();
}

std::optional<InputRefusal> CheckAsfBrowse(const FsmAssignmentRow& row) {
    if (!row.isLibrary) return std::nullopt;
    return LibraryRefusal(row, "No need to assign FSM for this function.");
}

std::string AsfBrowseTitle(const FsmAssignmentRow& row) {
    return "Select ASF File for Function: " + row.functionName + " ()";
}

std::optional<InputRefusal> CheckAsfFileName(std::string_view chosenPath) {
    const std::string name = AfterLastSeparator(chosenPath);
    if (name.size() <= kAsfFileNameLimit) return std::nullopt;
    InputRefusal refusal;
    refusal.text = "The file name " + name + " is longer than 80 characters.\r\n" +
                   "Please choose an ASF file with a shorter name.";
    refusal.title = "ASF File Name";
    return refusal;
}

void AssignAsfFile(FsmAssignmentRow& row, std::string_view chosenPath) {
    row.asfFile = std::string(chosenPath);
    row.assignedMark = "1";
}

std::optional<InputRefusal> UnassignAsfFile(FsmAssignmentRow& row) {
    if (row.isLibrary) return LibraryRefusal(row, "Cannot unassign FSM for this function.");
    row.asfFile = std::string(kNotAssigned);
    row.assignedMark = "0";
    return std::nullopt;
}

std::optional<InputRefusal> CheckAsfTemplateExists(std::string_view templatePath) {
    if (FileExists(templatePath)) return std::nullopt;
    InputRefusal refusal;
    refusal.text = std::string(templatePath) +
                   " does not exists! \r\nCreate it by pressing the Generate ASF Template button";
    refusal.title = std::string(kTemplateMissingTitle);
    return refusal;
}

Status AcceptFsmAssignment(ProjectRecord& record, FsmAssignmentState& state) {
    const std::string& folder = record.projectFolder;
    const int count = std::min<int>(static_cast<int>(state.rows.size()), kMaxFunctions);
    for (int f = 1; f <= count; ++f) {
        const FsmAssignmentRow& row = state.rows[static_cast<std::size_t>(f - 1)];
        TlmFunction& function = state.functions[f];
        function.fsmAssigned = MarkReadsAsOne(row.assignedMark);
        if (function.fsmAssigned) function.asfFileName = CopyIntoInput(folder, row.asfFile);
    }
    if (Status s = SaveTlmFunctions(folder, state.functions); !s) return s;
    if (Status s = SaveAsfAssignment(folder, state.asf); !s) return s;
    MarkBehaviourAssigned(record);
    return SaveProjectFile(record);
}

} // namespace kestrel
