// The merge rules of a declaring file: where library items go, which declared function
// edits which own function, which declared signal keeps its row, the capacity refusals,
// and the notes on initial values the storing rules changed.
#include "project/DeclarationMerge.h"

#include "platform/Text.h"
#include "project/ParameterRules.h"

#include <algorithm>

namespace kestrel {

namespace {

// Whether two functions read the same (texts trimmed, as the list and the dialog show
// them): an unchanged function keeps its stored bytes, blanks around its texts included.
bool ReadsTheSame(const TlmFunction& a, const TlmFunction& b) {
    if (a.functionName.Text() != b.functionName.Text() ||
        a.returnTypeText.Text() != b.returnTypeText.Text() ||
        a.returnTypeIndex != b.returnTypeIndex || a.parameterCount != b.parameterCount ||
        a.isLibrary != b.isLibrary)
        return false;
    for (int j = 1; j <= a.UsedParameterCount(); ++j)
        if (ParameterRowOf(a.parameters[static_cast<std::size_t>(j)]) !=
            ParameterRowOf(b.parameters[static_cast<std::size_t>(j)]))
            return false;
    return true;
}

std::string QuotedName(const std::string& name) {
    return " \"" + name + "\"";
}

// The entry's function as the declaration dialog would take it, or its refusal.
std::optional<MergeRefusal> DraftOf(const FunctionEntry& entry, const TlmFunctionTable& fresh,
                                    std::string& what, FunctionDraft& draft) {
    draft.name = entry.Name();
    what += QuotedName(draft.name);
    const BoxChoice returnType = entry.ReturnType();
    draft.returnTypeText = returnType.text;
    draft.returnTypeIndex = returnType.index;
    // As the list window refuses Add at 25 rows before its dialog opens.
    if (auto r = CheckFunctionCapacity(fresh.count)) return MergeRefusal{*r, what};
    const int count = entry.ParameterCount();
    for (int k = 0; k < count; ++k) {
        entry.CheckParameter(k);
        if (auto r = CheckParameterCapacity(static_cast<int>(draft.rows.size())))
            return MergeRefusal{*r, what};
        const ParameterDraft parameter = entry.Parameter(k);
        if (auto r = CheckParameterDraft(parameter))
            return MergeRefusal{*r, what + ", parameter " + std::to_string(draft.rows.size() + 1)};
        draft.rows.push_back(BuildParameterRow(parameter));
    }
    if (auto r = CheckFunctionDraft(draft)) return MergeRefusal{*r, what};
    return std::nullopt;
}

} // namespace

std::optional<MergeRefusal> MergeFunctions(const std::vector<const FunctionEntry*>& entries,
                                           const TlmFunctionTable& old, TlmFunctionTable& fresh) {
    std::vector<int> libraries, owns;
    for (int i = 1; i <= old.UsedCount(); ++i) (old[i].isLibrary ? libraries : owns).push_back(i);
    std::vector<bool> used(kMaxFunctions + 1, false);
    std::size_t nextLibrary = 0;
    fresh.count = 0;
    auto place = [&](const TlmFunction& record) -> std::optional<InputRefusal> {
        if (auto refusal = CheckFunctionCapacity(fresh.count)) return refusal;
        fresh.count = static_cast<std::int16_t>(fresh.count + 1);
        fresh[fresh.count] = record;
        return std::nullopt;
    };
    int position = 0;
    for (const FunctionEntry* entry : entries) {
        ++position;
        std::string what = "function " + std::to_string(position);
        if (entry->IsLibrary()) {
            if (nextLibrary < libraries.size())
                if (auto r = place(old[libraries[nextLibrary++]])) return MergeRefusal{*r, what};
            continue;
        }
        FunctionDraft draft;
        if (auto refused = DraftOf(*entry, fresh, what, draft)) return refused;
        int match = 0;
        for (int i : owns)
            if (!used[static_cast<std::size_t>(i)] &&
                old[i].functionName.Text() == Trim(draft.name)) {
                match = i;
                break;
            }
        if (match != 0) {
            // Edited in place: the record keeps what the dialog does not write.
            used[static_cast<std::size_t>(match)] = true;
            place(old[match]);
            ApplyFunctionDraft(fresh, fresh.count, draft);
            if (ReadsTheSame(fresh[fresh.count], old[match])) fresh[fresh.count] = old[match];
        } else {
            fresh[fresh.count + 1] = TlmFunction{};
            ApplyFunctionDraft(fresh, 0, draft);
        }
    }
    while (nextLibrary < libraries.size()) {
        const TlmFunction& library = old[libraries[nextLibrary++]];
        if (auto r = place(library))
            return MergeRefusal{*r, "library function" + QuotedName(library.functionName.Text())};
    }
    return std::nullopt;
}

namespace {

// Whether an entry says exactly what a row of the list shows (keys left out agree).
bool SameAsRow(const SignalEntry& entry, const SignalRow& row) {
    auto same = [&](SignalKey key, const std::string& shown) {
        return !entry.Has(key) || entry.Text(key) == shown;
    };
    auto sameNumber = [&](SignalKey key, int number) {
        return !entry.Has(key) || entry.Number(key) == number;
    };
    return entry.Name() == row.name && same(SignalKey::Direction, row.direction) &&
           sameNumber(SignalKey::DirectionIndex, row.directionIndex) &&
           same(SignalKey::DataType, row.dataType) &&
           sameNumber(SignalKey::DataTypeIndex, row.dataTypeIndex) &&
           (!entry.Has(SignalKey::Width) ||
            std::to_string(entry.Number(SignalKey::Width)) == row.width) &&
           same(SignalKey::Init, row.initValue) &&
           (!entry.Has(SignalKey::Clock) || entry.Clock() == row.isClock);
}

// The signal dialog's draft for an entry declared anew.
SignalDraft DraftOf(const SignalEntry& entry) {
    SignalDraft draft = NewSignalDraft();
    draft.name = entry.Name();
    const bool clock = entry.Clock();
    // The clock rule fixes direction, type, width and the initial value "1", as checking
    // Clock does in the dialog; an initial value given with a clock is not used.
    std::string init = clock ? "1" : entry.Has(SignalKey::Init) ? entry.Text(SignalKey::Init) : "0";
    if (clock) {
        SetClock(draft, true);
    } else {
        const BoxChoice direction = entry.Direction();
        draft.directionText = direction.text;
        draft.directionIndex = direction.index;
        const BoxChoice type = entry.DataType();
        SelectDataType(draft, type.index);
        draft.dataTypeText = type.text;
        if (DataTypeOfIndex(type.index) == SignalDataType::LogicVector)
            draft.widthText =
                std::to_string(entry.Has(SignalKey::Width) ? entry.Number(SignalKey::Width) : 1);
    }
    draft.initText = init;
    return draft;
}

} // namespace

std::optional<MergeRefusal> MergeSignals(const std::vector<const SignalEntry*>& entries,
                                         const RtlSignalTable& old, std::vector<SignalRow>& rows,
                                         std::vector<GivenInit>& given) {
    std::vector<SignalRow> libraries, owns;
    for (const SignalRow& row : SignalRowsOf(old))
        (row.isLibrary ? libraries : owns).push_back(row);
    std::vector<bool> used(owns.size(), false);
    std::size_t nextLibrary = 0;
    int position = 0;
    for (const SignalEntry* entry : entries) {
        ++position;
        std::string what = "signal " + std::to_string(position);
        if (entry->IsLibrary()) {
            if (nextLibrary < libraries.size()) {
                if (auto r = CheckSignalCapacity(static_cast<int>(rows.size())))
                    return MergeRefusal{*r, what};
                rows.push_back(libraries[nextLibrary++]);
            }
            continue;
        }
        if (auto r = CheckSignalCapacity(static_cast<int>(rows.size())))
            return MergeRefusal{*r, what};
        bool kept = false;
        for (std::size_t i = 0; i < owns.size() && !kept; ++i)
            if (!used[i] && SameAsRow(*entry, owns[i])) {
                used[i] = kept = true;
                rows.push_back(owns[i]);
            }
        if (kept) continue;
        SignalDraft draft = DraftOf(*entry);
        what += QuotedName(draft.name);
        if (auto r = CheckSignalDraft(draft)) return MergeRefusal{*r, what};
        if (entry->Has(SignalKey::Init))
            given.push_back({rows.size(), entry->Text(SignalKey::Init)});
        rows.push_back(BuildSignalRow(draft));
    }
    while (nextLibrary < libraries.size()) {
        const SignalRow& row = libraries[nextLibrary++];
        if (auto r = CheckSignalCapacity(static_cast<int>(rows.size())))
            return MergeRefusal{*r, "library signal" + QuotedName(row.name)};
        rows.push_back(row);
    }
    return std::nullopt;
}

std::vector<std::string> ChangedInitNotes(const std::vector<GivenInit>& given,
                                          const RtlSignalTable& stored) {
    std::vector<std::string> notes;
    for (const GivenInit& g : given) {
        const int slot = static_cast<int>(g.row) + 1;
        if (slot > stored.count) continue;
        const RtlSignal& s = stored[slot];
        const std::string now = s.initValue.Text();
        std::string upper = g.text;
        for (char& c : upper)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (upper == now) continue;
        std::string why;
        if (s.isClock)
            why = "a clock starts at 1";
        else if (s.DataType() == SignalDataType::LogicVector)
            why = "fitted to the width " + std::to_string(s.width);
        else if (s.DataType() == SignalDataType::Logic)
            why = "an sc_logic value is one character";
        else
            why = "as the signal dialog stores it";
        notes.push_back("signal \"" + s.signalName.Text() + "\": initial value \"" + g.text +
                        "\" stored as \"" + now + "\" (" + why + ")");
    }
    return notes;
}

} // namespace kestrel
