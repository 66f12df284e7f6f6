// Rules of the signal list and the signal dialog: rows, refusals, the clock rule, the
// fitting of initial values and the list's OK.
#include "project/SignalRules.h"

#include "platform/Text.h"
#include "project/ParameterRules.h"

#include <algorithm>
#include <cctype>

namespace kestrel {

namespace {

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

} // namespace

SignalRow SignalRowOf(const RtlSignal& s) {
    SignalRow row;
    row.columns[0] = s.directionText.Text();
    row.columns[1] = s.dataTypeText.Text();
    row.columns[2] = std::to_string(s.width);
    row.columns[3] = s.signalName.Text();
    row.columns[4] = std::to_string(s.directionIndex);
    row.columns[5] = std::to_string(s.dataTypeIndex);
    row.columns[6] = s.isClock ? "1" : "0";
    row.columns[7] = s.initValue.Text();
    row.columns[8] = s.isLibrary ? "1" : "0";
    return row;
}

std::vector<SignalRow> SignalRowsOf(const RtlSignalTable& table) {
    std::vector<SignalRow> rows;
    int n = std::clamp<int>(table.count, 0, kMaxSignals);
    for (int i = 1; i <= n; ++i) rows.push_back(SignalRowOf(table[i]));
    return rows;
}

std::optional<InputRefusal> CheckSignalCapacity(int rowCount) {
    if (rowCount >= kMaxSignals)
        return InputRefusal{"Cannot have more than " + std::to_string(kMaxSignals) + " Signals",
                            "Max Signal Error"};
    return std::nullopt;
}

std::optional<InputRefusal> CheckSignalEditable(const SignalRow& row) {
    if (RowNumber(row.columns[8]) == 1)
        return InputRefusal{"Library RTL Ports cannot be Edited here.\r\nTo Edit Library Ports, "
                            "Edit and Re-make the corresponding Transactor Library file",
                            ""};
    return std::nullopt;
}

void EnDisWidth(SignalDraft& draft) {
    if (draft.dataTypeIndex == 1) {
        draft.widthEnabled = true;
    } else {
        draft.widthText = std::string(kWidthEntries[0]);
        draft.widthEnabled = false;
    }
}

void SelectDataType(SignalDraft& draft, int index) {
    draft.dataTypeIndex = index;
    if (index >= 0 && index < static_cast<int>(kDataTypeNames.size()))
        draft.dataTypeText = std::string(kDataTypeNames[static_cast<std::size_t>(index)]);
    EnDisWidth(draft);
}

namespace {

void SelectDirection(SignalDraft& draft, int index) {
    draft.directionIndex = index;
    if (index >= 0 && index < static_cast<int>(kDirectionNames.size()))
        draft.directionText = std::string(kDirectionNames[static_cast<std::size_t>(index)]);
    else
        draft.directionText.clear();
}

} // namespace

void SetClock(SignalDraft& draft, bool checked) {
    draft.clock = checked;
    SelectDirection(draft, 0);
    SelectDataType(draft, checked ? 2 : 0);
    draft.widthText = std::string(kWidthEntries[0]);
    draft.widthEnabled = false;
    draft.initText = checked ? "1" : "0";
    draft.boxesEnabled = !checked;
}

SignalDraft NewSignalDraft() {
    SignalDraft draft;
    SelectDataType(draft, 0);
    draft.widthText = std::string(kWidthEntries[1]);
    draft.name.clear();
    SelectDirection(draft, 0);
    draft.initText = "0";
    draft.clock = false;
    EnDisWidth(draft);
    return draft;
}

SignalDraft SignalDraftOf(const SignalRow& row) {
    SignalDraft draft;
    SelectDirection(draft, RowNumber(row.columns[4]));
    draft.name = row.columns[3];
    int type = RowNumber(row.columns[5]);
    SelectDataType(draft, type);
    if (type < 0 || type >= static_cast<int>(kDataTypeNames.size())) draft.dataTypeText.clear();
    draft.widthText = std::to_string(RowNumber(row.columns[2]));
    if (RowNumber(row.columns[6]) != 0) SetClock(draft, true);
    draft.initText = Upper(row.columns[7]);
    EnDisWidth(draft);
    return draft;
}

std::string SignalDialogCaption(const SignalRow* edited) {
    if (!edited) return "Add New Signal";
    return "Edit Signal - " + Trim(edited->columns[3]);
}

std::optional<InputRefusal> CheckSignalDraft(SignalDraft& draft) {
    if (draft.name.empty())
        return InputRefusal{"Enter Signal Name", "Signal Name", RefusedField::SignalName};
    std::size_t n = Trim(draft.initText).size();
    for (std::size_t k = 0; k < n && k < draft.initText.size(); ++k) {
        char c = Upper(draft.initText.substr(k, 1))[0];
        if (c != '1' && c != '0' && c != 'X' && c != 'Z')
            return InputRefusal{"Init value can contain only 1,0,X,Z", "Init value", RefusedField::SignalInitValue};
    }
    if (Trim(draft.initText).empty()) draft.initText = "0";
    return std::nullopt;
}

SignalRow BuildSignalRow(const SignalDraft& draft, std::string_view libraryColumn) {
    SignalRow row;
    row.columns[0] = draft.directionText;
    row.columns[1] = Trim(draft.dataTypeText);
    row.columns[2] = Trim(draft.widthText);
    row.columns[3] = Trim(draft.name);
    row.columns[4] = std::to_string(draft.directionIndex);
    row.columns[5] = std::to_string(draft.dataTypeIndex);
    row.columns[6] = draft.clock ? "1" : "0";
    row.columns[7] = Trim(Upper(draft.initText));
    row.columns[8] = std::string(libraryColumn);
    return row;
}

std::optional<InputRefusal> CheckClock(const std::vector<SignalRow>& rows) {
    if (rows.empty()) return std::nullopt;
    for (const SignalRow& row : rows)
        if (RowNumber(row.columns[6]) == 1) return std::nullopt;
    return InputRefusal{"Please declare a signal as Clock\r\nMake a Clock signal by clicking "
                        "Add/Edit Command Buttons and Check the 'Clock Signal' Check box",
                        "Clock?"};
}

void StoreSignalRows(const std::vector<SignalRow>& rows, RtlSignalTable& table) {
    int n = std::min<int>(static_cast<int>(rows.size()), kMaxSignals);
    for (int i = 1; i <= n; ++i) {
        const SignalRow& row = rows[static_cast<std::size_t>(i - 1)];
        RtlSignal& s = table[i];
        s.directionText = row.columns[0];
        s.dataTypeText = row.columns[1];
        s.width = static_cast<std::int16_t>(RowNumber(row.columns[2]));
        s.signalName = row.columns[3];
        s.directionIndex = static_cast<std::int16_t>(RowNumber(row.columns[4]));
        s.dataTypeIndex = static_cast<std::int16_t>(RowNumber(row.columns[5]));
        s.isClock = RowNumber(row.columns[6]) == 1;
        s.initValue = row.columns[7];
        s.isLibrary = RowNumber(row.columns[8]) == 1;
    }
    table.count = static_cast<std::int16_t>(n);
}

void AdjustInitValues(RtlSignalTable& table) {
    int n = std::clamp<int>(table.count, 0, kMaxSignals);
    for (int i = 1; i <= n; ++i) {
        RtlSignal& s = table[i];
        std::string v = s.initValue.Text();
        if (s.dataTypeIndex == 0) {
            if (!v.empty()) s.initValue = v.substr(v.size() - 1);
        } else if (s.dataTypeIndex == 1) {
            // A width below 0 is treated as 0: the value becomes empty.
            std::size_t w = static_cast<std::size_t>(std::max<int>(s.width, 0));
            if (v.size() > w) v = v.substr(v.size() - w);
            if (v.size() < w) v.insert(0, w - v.size(), '0');
            s.initValue = v;
        }
    }
}

CommandOutcome AcceptSignalList(ProjectRecord& record, const std::vector<SignalRow>& rows,
                                RtlSignalTable& table) {
    CommandOutcome outcome;
    if (auto refusal = CheckClock(rows)) {
        outcome.refusal = refusal;
        return outcome;
    }
    StoreSignalRows(rows, table);
    AdjustInitValues(table);
    if (Status s = SaveRtlSignals(record.projectFolder, table); !s) {
        outcome.status = s;
        return outcome;
    }
    RecomputeStage(record, std::nullopt, table.count);
    outcome.status = SaveProjectFile(record);
    return outcome;
}

} // namespace kestrel
