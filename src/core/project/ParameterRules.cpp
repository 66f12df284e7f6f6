// Rules of the parameter dialog: its checks, the row texts it writes, and how a row
// goes into and comes out of a stored parameter.
#include "project/ParameterRules.h"

#include "platform/Text.h"

#include <algorithm>
#include <cmath>

namespace kestrel {

int RowNumber(std::string_view text) {
    double value = RoundHalfEven(LeadingNumber(text));
    if (!std::isfinite(value)) return 0;
    return static_cast<int>(std::clamp(value, -32768.0, 32767.0));
}

std::optional<InputRefusal> CheckParameterCapacity(int rowCount) {
    if (rowCount >= kMaxParameters)
        return InputRefusal{"Cannot have more than " + std::to_string(kMaxParameters) +
                                " parameters",
                            "Max Parameter Error"};
    return std::nullopt;
}

std::optional<InputRefusal> CheckParameterDraft(const ParameterDraft& draft) {
    if (draft.name.empty())
        return InputRefusal{"Enter Parameter Name", "Parameter Name", RefusedField::ParameterName};
    if (draft.typeIndex == 0)
        return InputRefusal{"void parameter not supported", "void type", RefusedField::ParameterType};
    return std::nullopt;
}

ParameterRow BuildParameterRow(const ParameterDraft& draft) {
    ParameterRow row;
    row.columns[0] = (draft.isConst ? "const " : "") + draft.typeText;
    row.columns[1] = draft.passByText.substr(0, 1);
    row.columns[2] = draft.name + (draft.isArray ? " []" : "");
    row.columns[3] = std::to_string(draft.typeIndex);
    row.columns[4] = std::to_string(draft.passIndex);
    row.columns[5] = draft.isConst ? "1" : "0";
    row.columns[6] = draft.isArray ? "1" : "0";
    return row;
}

ParameterRow ParameterRowOf(const TlmParameter& p) {
    ParameterRow row;
    row.columns[0] = (p.isConst ? "const " : "") + p.typeText.Text();
    row.columns[1] = p.passMarker.Text();
    row.columns[2] = p.parameterName.Text() + (p.isArray ? " []" : "");
    row.columns[3] = std::to_string(p.typeIndex);
    row.columns[4] = std::to_string(p.passIndex);
    row.columns[5] = p.isConst ? "1" : "0";
    row.columns[6] = p.isArray ? "1" : "0";
    return row;
}

namespace {

// The text without its first n characters (empty when shorter).
std::string DropFirst(const std::string& text, std::size_t n) {
    return text.size() > n ? text.substr(n) : std::string();
}
std::string DropLast(const std::string& text, std::size_t n) {
    return text.size() > n ? text.substr(0, text.size() - n) : std::string();
}

} // namespace

void StoreParameterRow(const ParameterRow& row, TlmParameter& p) {
    bool isConst = RowNumber(row.columns[5]) == 1;
    bool isArray = RowNumber(row.columns[6]) == 1;
    p.typeText = isConst ? DropFirst(row.columns[0], 6) : row.columns[0];
    p.passMarker = row.columns[1];
    p.parameterName = isArray ? DropLast(row.columns[2], 3) : row.columns[2];
    p.typeIndex = static_cast<std::int16_t>(RowNumber(row.columns[3]));
    p.passIndex = static_cast<std::int16_t>(RowNumber(row.columns[4]));
    p.isConst = isConst;
    p.isArray = isArray;
}

std::string ParameterDialogCaption(const ParameterRow* edited, std::string_view functionNameText) {
    if (!edited) return "Add New Function Parameter for " + Trim(functionNameText) + " ()";
    return "Edit Parameter - " + edited->columns[2] + " of Function " + Trim(functionNameText) +
           " ()";
}

} // namespace kestrel
