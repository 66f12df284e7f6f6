#pragma once
// The signal list and the signal dialog without their windows: the working rows, the
// dialog's checks and clock rule, the list's clock check, AdjustInitValues and the OK
// that rebuilds and saves the table.
#include "model/ProjectRecord.h"
#include "model/RtlSignal.h"
#include "platform/Status.h"
#include "project/InputRefusal.h"
#include "project/ProjectCommands.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// The width entries, with the blank where a sign would go.
inline constexpr std::array<std::string_view, 7> kWidthEntries = {" 1",  " 2",  " 4", " 8",
                                                                  " 16", " 32", " 64"};

// One row of the signal list. The list shows "Direction", "Hardware Data Type", "Width"
// and "Name"; "DirID", "HDID", "isClk", "IVID" (the initial value) and "isLibrary" are
// hidden columns.
struct SignalRow {
    std::string direction;
    std::string dataType;
    // The width as the list shows it: the dialog's text, trimmed, which need not be a
    // number; it is read through RowNumber wherever a width is needed.
    std::string width;
    std::string name;
    // The stored indices, read through DirectionOfIndex and DataTypeOfIndex (-1: typed).
    int directionIndex = IndexOf(SignalDirection::In);
    int dataTypeIndex = IndexOf(SignalDataType::Logic);
    bool isClock = false;
    std::string initValue;
    bool isLibrary = false;
    friend bool operator==(const SignalRow&, const SignalRow&) = default;
};

inline constexpr std::size_t kSignalColumnCount = 9;
using SignalColumnTexts = std::array<std::string, kSignalColumnCount>;

// The row's texts in the list's column order ("0"/"1" for the flags), and a row read back
// from such texts, its numbers and flags through RowNumber.
SignalColumnTexts SignalRowTexts(const SignalRow& row);
SignalRow SignalRowOfTexts(const SignalColumnTexts& texts);

SignalRow SignalRowOf(const RtlSignal& signal);
std::vector<SignalRow> SignalRowsOf(const RtlSignalTable& table);

// Add in the list: a 26th signal is refused.
std::optional<InputRefusal> CheckSignalCapacity(int rowCount);
// Edit in the list: library ports are refused.
std::optional<InputRefusal> CheckSignalEditable(const SignalRow& row);

// What the signal dialog's boxes hold. A typed direction or data type has position -1.
struct SignalDraft {
    std::string name;
    std::string directionText = "sc_in";
    int directionIndex = IndexOf(SignalDirection::In);
    std::string dataTypeText = "sc_logic";
    int dataTypeIndex = IndexOf(SignalDataType::Logic);
    std::string widthText = " 1";
    bool widthEnabled = false;
    std::string initText = "0";
    bool clock = false;
    // Whether direction, data type and initial value can be changed (not while a clock).
    bool boxesEnabled = true;
};

// The dialog opening on a new signal or on a row of the list.
SignalDraft NewSignalDraft();
SignalDraft SignalDraftOf(const SignalRow& row);
// "Add New Signal" or "Edit Signal - <name>".
std::string SignalDialogCaption(const SignalRow* edited);

// Selecting a data type entry: the width box is usable only for sc_lv.
void EnDisWidth(SignalDraft& draft);
void SelectDataType(SignalDraft& draft, int index);
// Checking or clearing "Clock Signal".
void SetClock(SignalDraft& draft, bool checked);

// OK of the dialog: the empty name, then the initial value's characters. On success an
// empty initial value becomes "0" in the draft.
std::optional<InputRefusal> CheckSignalDraft(SignalDraft& draft);
// The row OK writes: an added row is no library row, an edited one keeps its flag.
SignalRow BuildSignalRow(const SignalDraft& draft, bool isLibrary = false);

// OK of the list: at least one clock while there are rows.
std::optional<InputRefusal> CheckClock(const std::vector<SignalRow>& rows);
// Rebuilds signals 1..n of the table from the rows and sets the count.
void StoreSignalRows(const std::vector<SignalRow>& rows, RtlSignalTable& table);
// Fits sc_logic values to their last character and sc_lv values to their width.
void AdjustInitValues(RtlSignalTable& table);
// The whole OK: the clock check, the table, AdjustInitValues, the file, the declared
// flag, the stage and the project file. A refusal touches nothing.
CommandOutcome AcceptSignalList(ProjectRecord& record, const std::vector<SignalRow>& rows,
                                RtlSignalTable& table);

} // namespace kestrel
