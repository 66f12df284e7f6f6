#pragma once
// The parameter dialog without its window: the working row of the function dialog's
// parameter list, the dialog's checks and the row it writes.
#include "model/TlmFunction.h"
#include "project/InputRefusal.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

// The pass-by entries: only the first character becomes the stored marker.
inline constexpr std::array<std::string_view, 2> kPassByEntries = {"  (Val)", "& (Ref)"};

// One row of the parameter list. The list shows "Type" ("const " and the type), "PassBy"
// (the marker) and "Name" (the name and " []" for an array); "ParaID", "PassByID",
// "isConst" and "isArray" are hidden columns.
struct ParameterRow {
    std::string typeText; // without "const "
    std::string passMarker;
    std::string name;  // without " []"
    int typeIndex = 0; // -1: a typed type
    int passIndex = 0; // -1: a typed pass-by text
    bool isConst = false;
    bool isArray = false;
    friend bool operator==(const ParameterRow&, const ParameterRow&) = default;
};

inline constexpr std::size_t kParameterColumnCount = 7;
using ParameterColumnTexts = std::array<std::string, kParameterColumnCount>;

// What the parameter dialog's boxes hold when OK is pressed. A typed type or pass-by
// text has the position -1.
struct ParameterDraft {
    std::string name;
    std::string typeText = "void";
    int typeIndex = 0;
    std::string passByText = "  (Val)";
    int passIndex = 0;
    bool isConst = false;
    bool isArray = false;
};

// The numeric value of a row text, as the lists read their hidden columns.
int RowNumber(std::string_view text);
// What RowNumber reads back from the text of a number: the number, kept to 16 bits.
int ClampedRowNumber(int number);

// The row's texts in the list's column order ("0"/"1" for the flags), and a row read back
// from such texts: "const " and " []" come off again, numbers and flags go through
// RowNumber.
ParameterColumnTexts ParameterRowTexts(const ParameterRow& row);
ParameterRow ParameterRowOfTexts(const ParameterColumnTexts& texts);

// Add in the function dialog: a 21st parameter is refused.
std::optional<InputRefusal> CheckParameterCapacity(int rowCount);
// OK of the parameter dialog: the empty name first, then the "void" entry.
std::optional<InputRefusal> CheckParameterDraft(const ParameterDraft& draft);
// The row OK writes (after the checks passed).
ParameterRow BuildParameterRow(const ParameterDraft& draft);
// The row shown for a stored parameter when the function dialog opens.
ParameterRow ParameterRowOf(const TlmParameter& parameter);
// Writes a row into a stored parameter, as the function dialog's OK does.
void StoreParameterRow(const ParameterRow& row, TlmParameter& parameter);

// "Add New Function Parameter for <name> ()" / "Edit Parameter - <Name column> of Function <name>
// ()".
std::string ParameterDialogCaption(const ParameterRow* edited, std::string_view functionNameText);

} // namespace kestrel
