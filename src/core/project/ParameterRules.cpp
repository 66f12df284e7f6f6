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

int ClampedRowNumber(int number) {
    return std::clamp(number, -32768, 32767);
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
        return InputRefusal{"void parameter not supported", "void type",
                            RefusedField::ParameterType};
    return std::nullopt;
}

ParameterRow BuildParameterRow(const ParameterDraft& draft) {
    return {draft.typeText,
            draft.passByText.substr(0, 1),
            draft.name,
            ClampedRowNumber(draft.typeIndex),
            ClampedRowNumber(draft.passIndex),
            draft.isConst,
            draft.isArray};
}

ParameterRow ParameterRowOf(const TlmParameter& p) {
    return {p.typeText.Text(), p.passMarker.Text(), p.parameterName.Text(),
            p.typeIndex,       p.passIndex,         p.isConst,
            p.isArray};
}

namespace {

constexpr std::string_view kConstPrefix = "const ";
constexpr std::string_view kArraySuffix = " []";

// The text without its first n characters (empty when shorter).
std::string DropFirst(const std::string& text, std::size_t n) {
    return text.size() > n ? text.substr(n) : std::string();
}
std::string DropLast(const std::string& text, std::size_t n) {
    return text.size() > n ? text.substr(0, text.size() - n) : std::string();
}

} // namespace

ParameterColumnTexts ParameterRowTexts(const ParameterRow& row) {
    return {(row.isConst ? std::string(kConstPrefix) : std::string()) + row.typeText,
            row.passMarker,
            row.name + (row.isArray ? std::string(kArraySuffix) : std::string()),
            std::to_string(row.typeIndex),
            std::to_string(row.passIndex),
            row.isConst ? "1" : "0",
            row.isArray ? "1" : "0"};
}

ParameterRow ParameterRowOfTexts(const ParameterColumnTexts& texts) {
    const bool isConst = RowNumber(texts[5]) == 1;
    const bool isArray = RowNumber(texts[6]) == 1;
    return {isConst ? DropFirst(texts[0], kConstPrefix.size()) : texts[0],
            texts[1],
            isArray ? DropLast(texts[2], kArraySuffix.size()) : texts[2],
            RowNumber(texts[3]),
            RowNumber(texts[4]),
            isConst,
            isArray};
}

void StoreParameterRow(const ParameterRow& row, TlmParameter& p) {
    p.typeText = row.typeText;
    p.passMarker = row.passMarker;
    p.parameterName = row.name;
    p.typeIndex = static_cast<std::int16_t>(ClampedRowNumber(row.typeIndex));
    p.passIndex = static_cast<std::int16_t>(ClampedRowNumber(row.passIndex));
    p.isConst = row.isConst;
    p.isArray = row.isArray;
}

std::string ParameterDialogCaption(const ParameterRow* edited, std::string_view functionNameText) {
    if (!edited) return "Add New Function Parameter for " + Trim(functionNameText) + " ()";
    return "Edit Parameter - " + ParameterRowTexts(*edited)[2] + " of Function " +
           Trim(functionNameText) + " ()";
}

} // namespace kestrel
