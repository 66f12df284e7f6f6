#pragma once
// The rules of the AsmL assignment window (FormAssignAsmL) without the window: the
// assigned document as the window shows it, Assign and Unassign, Work with Template, and
// OK, which copies the chosen document into Input and saves asml.dat. kestrel-cli
// assign-asml and unassign-asml run the same rules.
#include "model/Assignments.h"
#include "model/ProjectRecord.h"
#include "platform/Status.h"
#include "project/InputRefusal.h"

#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

inline constexpr std::string_view kAsmlAssignCaption =
    "Generate AsmL Template and Assign AsmL Specification";
inline constexpr std::string_view kAssignAsmlTitle = "Assign AsmL Specification...";
inline constexpr std::string_view kSaveAsmlTemplateTitle = "Save AsmL Template As...";
inline constexpr std::string_view kOpenAsmlTemplateQuestion =
    "Do you want to Open Generated AsmL Template with MS Word now?";
inline constexpr std::string_view kOpenAsmlTemplateTitle = "Open with MS Word?";

// What the window holds while it is open: the record as loaded (its template path changes
// when a template is generated), LabelAsmLFName and the hidden LabelIsAssigned.
struct AsmlAssignmentState {
    AsmlAssignment record;
    std::string documentLabel; // a full path, or "<not assigned>"
    std::string assignedMark;  // "1" or "0"
};

// Opening the window: loads asml.dat; an assigned document shows as
// <ProjectFolder>/Input/<AsmlDocumentLabel>.
Status LoadAsmlAssignmentState(std::string_view projectFolder, AsmlAssignmentState& state);

// Assign... after the open dialog: the label becomes the chosen path, the mark "1".
void AssignAsmlDocument(AsmlAssignmentState& state, std::string_view chosenPath);
// Unassign: the label becomes "<not assigned>", the mark "0".
void UnassignAsmlDocument(AsmlAssignmentState& state);

// Work with Template: the critical box shown when no file lies at the template path,
// "<path> does not exists! " CR LF "Create it by pressing the Generate AsmL Template button".
std::optional<InputRefusal> CheckAsmlTemplateExists(std::string_view templatePath);

// OK: AsmlAssigned becomes (the mark reads as the number 1). When assigned, the document
// is copied into Input under the part of the label after its last separator (a failed
// copy is not reported; the document already in Input is left alone) and that name
// becomes AsmlDocumentLabel; otherwise the label becomes "<not assigned>". AsmlDocumentPath
// is saved as the window holds it. Saves asml.dat, sets stage 3 and writes the project
// file. Stops at the first file error.
Status AcceptAsmlAssignment(ProjectRecord& record, AsmlAssignmentState& state);

} // namespace kestrel
