#pragma once
// The rules of the FSM assignment window (FormAssignFSM) without the window: its rows (one
// per TLM function: signature, ASF file, assigned mark), Browse and Unassign with their
// library refusals, Work with Template, and OK, which copies the chosen diagrams into Input
// and records them in the function table. kestrel-cli assign-fsm and unassign-fsm run the
// same rules.
#include "model/Assignments.h"
#include "model/ProjectRecord.h"
#include "model/TlmFunction.h"
#include "platform/Status.h"
#include "project/InputRefusal.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

inline constexpr std::string_view kFsmAssignCaption = "Assign FSM (*.ASF) File with TLM Functions";
inline constexpr std::string_view kNoNeedToAssign = "[no need to assign]";
inline constexpr std::string_view kOpenAsfTemplateQuestion =
    "Do you want to Open Generated ASF Template with Active HDL now?";
inline constexpr std::string_view kOpenAsfTemplateTitle = "Open with Active HDL?";
inline constexpr std::string_view kTemplateMissingTitle = "File not exists!";
// AsfFileName holds at most this many bytes.
inline constexpr std::size_t kAsfFileNameLimit = 80;

// One row of ListViewAssign.
struct FsmAssignmentRow {
    std::string functionName; // trimmed, for the messages
    bool isLibrary = false;
    std::string signature;    // column 1, "Function Name"
    std::string asfFile;      // column 2, "FSM (*.ASF) File"
    std::string assignedMark; // column 3, "isAssigned": "1" or "0"
};

// Column 1: return type, name, " (", the parameters joined by ", ", " )"; each parameter
// "const " when constant, type, pass marker and name separated by blanks, " []" for an
// array; every field trimmed. "int f ( )" without parameters.
std::string FsmFunctionSignature(const TlmFunction& function);

// What the window holds while it is open: the function table and the ASF template path
// as loaded, and the rows, which change until OK.
struct FsmAssignmentState {
    TlmFunctionTable functions;
    AsfAssignment asf;
    std::vector<FsmAssignmentRow> rows; // row i - 1 is function i
};

// Opening the window: loads tlm_func.dat and asf.dat and makes one row per function; an
// assigned function shows <ProjectFolder>/Input/<AsfFileName>.
Status LoadFsmAssignment(std::string_view projectFolder, FsmAssignmentState& state);

// Browse: a library function is refused with the information box
// "<name>() is a Library function." CR LF "No need to assign FSM for this function.".
std::optional<InputRefusal> CheckAsfBrowse(const FsmAssignmentRow& row);
// The title of the open dialog: "Select ASF File for Function: <name> ()".
std::string AsfBrowseTitle(const FsmAssignmentRow& row);
// A chosen file whose name cannot be stored in AsfFileName (longer than 80 bytes).
std::optional<InputRefusal> CheckAsfFileName(std::string_view chosenPath);
// After the open dialog: column 2 becomes the chosen path, column 3 "1".
void AssignAsfFile(FsmAssignmentRow& row, std::string_view chosenPath);

// Unassign: a library function is refused ("... Cannot unassign FSM for this function.");
// otherwise column 2 becomes "<not assigned>" and column 3 "0". The copy in Input stays.
std::optional<InputRefusal> UnassignAsfFile(FsmAssignmentRow& row);

// Work with Template: the critical box shown when no file lies at the template path,
// "<path> does not exists! " CR LF "Create it by pressing the Generate ASF Template button".
std::optional<InputRefusal> CheckAsfTemplateExists(std::string_view templatePath);

// OK: each function's FsmAssigned becomes (column 3 reads as the number 1); each assigned
// file is copied into Input under its file name (a failed copy is not reported: the reader
// names the missing file at Generate time; a row already showing its copy in Input is left
// alone) and that name becomes the function's AsfFileName. Saves tlm_func.dat and asf.dat,
// sets stage 3 and writes the project file. Stops at the first file error.
Status AcceptFsmAssignment(ProjectRecord& record, FsmAssignmentState& state);

} // namespace kestrel
