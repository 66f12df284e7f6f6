#pragma once
// The function list and the function declaration dialog without their windows: the row
// texts, the refusals, Remove's table shift, the dialog's OK and the list's OK.
#include "model/ProjectRecord.h"
#include "model/TlmFunction.h"
#include "platform/Status.h"
#include "project/InputRefusal.h"
#include "project/ParameterRules.h"

#include <optional>
#include <string>
#include <vector>

namespace kestrel {

// The three columns of a row of the function list.
struct FunctionListRow {
    std::string returnType;
    std::string name;
    std::string parameters;
    bool isLibrary = false; // drawn in the library colour
};

FunctionListRow FunctionListRowOf(const TlmFunction& function);

// Add in the list: a 26th function is refused.
std::optional<InputRefusal> CheckFunctionCapacity(int count);
// Edit in the list: library functions are refused.
std::optional<InputRefusal> CheckFunctionEditable(const TlmFunction& function);
// Remove in the list: functions k+1..count move up by one slot; the last slot keeps its copy.
void RemoveFunction(TlmFunctionTable& table, int k);

// What the function dialog holds when OK is pressed. A typed return type has index -1.
struct FunctionDraft {
    std::string name;
    std::string returnTypeText = "void";
    int returnTypeIndex = 0;
    std::vector<ParameterRow> rows;
};

// The dialog's contents when it opens on a stored function.
FunctionDraft FunctionDraftOf(const TlmFunction& function);
// "Add New TLM Function Declaration" (index 0) or "Edit TLM Function Declaration - <name> ()".
std::string FunctionDialogCaption(const TlmFunctionTable& table, int index);

// OK of the dialog: the empty name is refused (focus on the name).
std::optional<InputRefusal> CheckFunctionDraft(const FunctionDraft& draft);
// Writes the draft into function `index` (0: a new function at count + 1, not a library
// function, with no diagram assigned). Returns the index written. The draft must have
// passed its check and hold at most 20 rows; a new one needs a free slot.
int ApplyFunctionDraft(TlmFunctionTable& table, int index, const FunctionDraft& draft);

// OK of the list: saves the table, sets the declared flag, recomputes the stage and
// writes the project file.
Status AcceptFunctionList(ProjectRecord& record, const TlmFunctionTable& table);

} // namespace kestrel
