// Rules of the function list and the function declaration dialog: row texts, refusals,
// Remove's shift of the table, writing a declared function and saving the list.
#include "project/FunctionRules.h"

#include "platform/Text.h"
#include "project/Declarations.h"
#include "project/ProjectCommands.h"

#include <algorithm>

namespace kestrel {

FunctionListRow FunctionListRowOf(const TlmFunction& f) {
    return {f.returnTypeText.Text(), f.functionName.Text(), FunctionSignatureText(f),
            static_cast<bool>(f.isLibrary)};
}

std::optional<InputRefusal> CheckFunctionCapacity(int count) {
    if (count >= kMaxFunctions)
        return InputRefusal{"Cannot have more than " + std::to_string(kMaxFunctions) + " Functions",
                            "Max Function Error"};
    return std::nullopt;
}

std::optional<InputRefusal> CheckFunctionEditable(const TlmFunction& f) {
    if (f.isLibrary)
        return InputRefusal{"Library Functions cannot be Edited here.\r\nTo Edit Library "
                            "Functions, Edit and Re-make the corresponding Transactor Library "
                            "file",
                            ""};
    return std::nullopt;
}

void RemoveFunction(TlmFunctionTable& table, int k) {
    int count = table.count;
    if (k < 1 || k > count) return;
    for (int i = k; i <= count - 1; ++i) table[i] = table[i + 1];
    table.count = static_cast<std::int16_t>(count - 1);
}

FunctionDraft FunctionDraftOf(const TlmFunction& f) {
    FunctionDraft draft;
    draft.name = f.functionName.Text();
    int index = f.returnTypeIndex;
    // An entry the box does not hold selects nothing: the box shows empty.
    bool listed = index >= 0 && index < static_cast<int>(kCTypeNames.size());
    draft.returnTypeIndex = listed ? index : -1;
    draft.returnTypeText = listed ? std::string(kCTypeNames[static_cast<std::size_t>(index)]) : "";
    for (const TlmParameter& p : f.UsedParameters()) draft.rows.push_back(ParameterRowOf(p));
    return draft;
}

std::string FunctionDialogCaption(const TlmFunctionTable& table, int index) {
    if (index == 0) return "Add New TLM Function Declaration";
    return "Edit TLM Function Declaration - " + table[index].functionName.Text() + " ()";
}

std::optional<InputRefusal> CheckFunctionDraft(const FunctionDraft& draft) {
    if (draft.name.empty())
        return InputRefusal{"Enter Function Name", "Function Name", RefusedField::FunctionName};
    return std::nullopt;
}

int ApplyFunctionDraft(TlmFunctionTable& table, int index, const FunctionDraft& draft) {
    if (index == 0) {
        table.count = static_cast<std::int16_t>(table.count + 1);
        index = table.count;
        TlmFunction& added = table[index];
        added.isLibrary = false;
        // The slot may hold an old record: a new function has no diagram.
        added.asfFileName = "";
        added.fsmAssigned = false;
    }
    TlmFunction& f = table[index];
    f.functionName = draft.name;
    f.returnTypeText = draft.returnTypeText;
    f.returnTypeIndex = static_cast<std::int16_t>(draft.returnTypeIndex);
    int n = std::min<int>(static_cast<int>(draft.rows.size()), kMaxParameters);
    for (int j = 1; j <= n; ++j)
        StoreParameterRow(draft.rows[static_cast<std::size_t>(j - 1)],
                          f.parameters[static_cast<std::size_t>(j)]);
    f.parameterCount = static_cast<std::int16_t>(n);
    return index;
}

Status AcceptFunctionList(ProjectRecord& record, const TlmFunctionTable& table) {
    if (Status s = SaveTlmFunctions(record.projectFolder, table); !s) return s;
    RecomputeStage(record, table.count, std::nullopt);
    return SaveProjectFile(record);
}

} // namespace kestrel
