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

SignalColumnTexts SignalRowTexts(const SignalRow& row) {
    return {row.direction,
            row.dataType,
            row.width,
            row.name,
            std::to_string(row.directionIndex),
            std::to_string(row.dataTypeIndex),
            row.isClock ? "1" : "0",
            row.initValue,
            row.isLibrary ? "1" : "0"};
}

SignalRow SignalRowOfTexts(const SignalColumnTexts& texts) {
    return {texts[0],
            texts[1],
            texts[2],
            texts[3],
            RowNumber(texts[4]),
            RowNumber(texts[5]),
            RowNumber(texts[6]) == 1,
            texts[7],
            RowNumber(texts[8]) == 1};
}

SignalRow SignalRowOf(const RtlSignal& s) {
    return {s.directionText.Text(),
            s.dataTypeText.Text(),
            std::to_string(s.width),
            s.signalName.Text(),
            s.directionIndex,
            s.dataTypeIndex,
            s.isClock,
            s.initValue.Text(),
            s.isLibrary};
}

std::vector<SignalRow> SignalRowsOf(const RtlSignalTable& table) {
    std::vector<SignalRow> rows;
    for (const RtlSignal& s : table.Used()) rows.push_back(SignalRowOf(s));
    return rows;
}

std::optional<InputRefusal> CheckSignalCapacity(int rowCount) {
    if (rowCount >= kMaxSignals)
        return InputRefusal{"Cannot have more than " + std::to_string(kMaxSignals) + " Signals",
                            "Max Signal Error"};
    return std::nullopt;
}

std::optional<InputRefusal> CheckSignalEditable(const SignalRow& row) {
    if (row.isLibrary)
        return InputRefusal{"Library RTL Ports cannot be Edited here.\r\nTo Edit Library Ports, "
                            "Edit and Re-make the corresponding Transactor Library file",
                            ""};
    return std::nullopt;
}

void EnDisWidth(SignalDraft& draft) {
    if (DataTypeOfIndex(draft.dataTypeIndex) == SignalDataType::LogicVector) {
        draft.widthEnabled = true;
    } else {
        draft.widthText = std::string(kWidthEntries[0]);
        draft.widthEnabled = false;
    }
}

void SelectDataType(SignalDraft& draft, int index) {
    draft.dataTypeIndex = index;
    if (SignalDataType type = DataTypeOfIndex(index); type != SignalDataType::Typed)
        draft.dataTypeText = std::string(DataTypeName(type));
    EnDisWidth(draft);
}

namespace {

void SelectDirection(SignalDraft& draft, int index) {
    draft.directionIndex = index;
    draft.directionText = std::string(DirectionName(DirectionOfIndex(index)));
}

} // namespace

void SetClock(SignalDraft& draft, bool checked) {
    draft.clock = checked;
    SelectDirection(draft, IndexOf(SignalDirection::In));
    SelectDataType(draft, IndexOf(checked ? SignalDataType::Bool : SignalDataType::Logic));
    draft.widthText = std::string(kWidthEntries[0]);
    draft.widthEnabled = false;
    draft.initText = checked ? "1" : "0";
    draft.boxesEnabled = !checked;
}

SignalDraft NewSignalDraft() {
    SignalDraft draft;
    SelectDataType(draft, IndexOf(SignalDataType::Logic));
    draft.widthText = std::string(kWidthEntries[1]);
    draft.name.clear();
    SelectDirection(draft, IndexOf(SignalDirection::In));
    draft.initText = "0";
    draft.clock = false;
    EnDisWidth(draft);
    return draft;
}

SignalDraft SignalDraftOf(const SignalRow& row) {
    SignalDraft draft;
    SelectDirection(draft, row.directionIndex);
    draft.name = row.name;
    SelectDataType(draft, row.dataTypeIndex);
    if (DataTypeOfIndex(row.dataTypeIndex) == SignalDataType::Typed) draft.dataTypeText.clear();
    draft.widthText = std::to_string(RowNumber(row.width));
    if (row.isClock) SetClock(draft, true);
    draft.initText = Upper(row.initValue);
    EnDisWidth(draft);
    return draft;
}

std::string SignalDialogCaption(const SignalRow* edited) {
    if (!edited) return "Add New Signal";
    return "Edit Signal - " + Trim(edited->name);
}

std::optional<InputRefusal> CheckSignalDraft(SignalDraft& draft) {
    if (draft.name.empty())
        return InputRefusal{"Enter Signal Name", "Signal Name", RefusedField::SignalName};
    std::size_t n = Trim(draft.initText).size();
    for (std::size_t k = 0; k < n && k < draft.initText.size(); ++k) {
        char c = Upper(draft.initText.substr(k, 1))[0];
        if (c != '1' && c != '0' && c != 'X' && c != 'Z')
            return InputRefusal{"Init value can contain only 1,0,X,Z", "Init value",
                                RefusedField::SignalInitValue};
    }
    if (Trim(draft.initText).empty()) draft.initText = "0";
    return std::nullopt;
}

SignalRow BuildSignalRow(const SignalDraft& draft, bool isLibrary) {
    return {draft.directionText,
            Trim(draft.dataTypeText),
            Trim(draft.widthText),
            Trim(draft.name),
            ClampedRowNumber(draft.directionIndex),
            ClampedRowNumber(draft.dataTypeIndex),
            draft.clock,
            Trim(Upper(draft.initText)),
            isLibrary};
}

std::optional<InputRefusal> CheckClock(const std::vector<SignalRow>& rows) {
    if (rows.empty()) return std::nullopt;
    for (const SignalRow& row : rows)
        if (row.isClock) return std::nullopt;
    return InputRefusal{"Please declare a signal as Clock\r\nMake a Clock signal by clicking "
                        "Add/Edit Command Buttons and Check the 'Clock Signal' Check box",
                        "Clock?"};
}

void StoreSignalRows(const std::vector<SignalRow>& rows, RtlSignalTable& table) {
    int n = std::min<int>(static_cast<int>(rows.size()), kMaxSignals);
    for (int i = 1; i <= n; ++i) {
        const SignalRow& row = rows[static_cast<std::size_t>(i - 1)];
        RtlSignal& s = table[i];
        s.directionText = row.direction;
        s.dataTypeText = row.dataType;
        s.width = static_cast<std::int16_t>(RowNumber(row.width));
        s.signalName = row.name;
        s.directionIndex = static_cast<std::int16_t>(ClampedRowNumber(row.directionIndex));
        s.dataTypeIndex = static_cast<std::int16_t>(ClampedRowNumber(row.dataTypeIndex));
        s.isClock = row.isClock;
        s.initValue = row.initValue;
        s.isLibrary = row.isLibrary;
    }
    table.count = static_cast<std::int16_t>(n);
}

void AdjustInitValues(RtlSignalTable& table) {
    for (RtlSignal& s : table.Used()) {
        std::string v = s.initValue.Text();
        if (s.DataType() == SignalDataType::Logic) {
            if (!v.empty()) s.initValue = v.substr(v.size() - 1);
        } else if (s.DataType() == SignalDataType::LogicVector) {
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
