#pragma once
// The rules by which a file of declarations replaces a project's own functions and
// signals, as `kestrel-cli declare` applies them, without the file: an entry is read key
// by key through the entry classes below, at the point the rules need that key, so that a
// malformed value is met (and the reader fails on it) exactly when the rules reach it.
//
// Functions: a declared function whose name matches one of the project's own functions is
// an edit of that function, so it keeps its diagram assignment and the rest of its record
// (all of it when it reads as before); any other is added as new. Library entries only
// mark where the project's library items go: the k-th library entry takes the k-th
// library item, whatever the entry says; library items no entry takes follow the own
// items; extra library entries are ignored. Signals: library entries likewise; a signal
// given exactly as the list shows one of the own rows keeps that row as it is, as a row
// the user never opens; any other goes through the signal dialog's rules. Every refusal
// is one the windows give, and comes before anything is stored.
#include "model/RtlSignal.h"
#include "model/TlmFunction.h"
#include "project/FunctionRules.h"
#include "project/InputRefusal.h"
#include "project/SignalRules.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace kestrel {

// An entry of a drop-down box as an entry gives it: its position (-1 for a typed text)
// and its text.
struct BoxChoice {
    std::string text;
    int index = 0;
};

class FunctionEntry {
public:
    virtual ~FunctionEntry() = default;
    virtual bool IsLibrary() const = 0;
    virtual std::string Name() const = 0;
    virtual BoxChoice ReturnType() const = 0;
    // How many parameters the entry lists (0 when it lists none).
    virtual int ParameterCount() const = 0;
    // Whether parameter k (from 0) is an entry at all; then what it declares.
    virtual void CheckParameter(int k) const = 0;
    virtual ParameterDraft Parameter(int k) const = 0;
};

enum class SignalKey { Direction, DirectionIndex, DataType, DataTypeIndex, Width, Init, Clock };

class SignalEntry {
public:
    virtual ~SignalEntry() = default;
    virtual bool IsLibrary() const = 0;
    virtual std::string Name() const = 0;
    virtual bool Has(SignalKey key) const = 0;
    // A given text (Direction, DataType, Init) or number (DirectionIndex, DataTypeIndex,
    // Width).
    virtual std::string Text(SignalKey key) const = 0;
    virtual int Number(SignalKey key) const = 0;
    virtual bool Clock() const = 0; // false when not given
    virtual BoxChoice Direction() const = 0;
    virtual BoxChoice DataType() const = 0;
};

// A refusal and the entry it refuses, as stored text ("function 2 \"read\", parameter 1").
struct MergeRefusal {
    InputRefusal refusal;
    std::string what;
};

// Builds the new function table from the entries and the project's functions.
std::optional<MergeRefusal> MergeFunctions(const std::vector<const FunctionEntry*>& entries,
                                           const TlmFunctionTable& old, TlmFunctionTable& fresh);

// An initial value an entry gives for a signal it declares anew: the row it became and the
// text as given.
struct GivenInit {
    std::size_t row = 0;
    std::string text;
};

// Builds the rows of the signal list from the entries and the project's signals; the
// clock check of the list's OK is left to AcceptSignalList.
std::optional<MergeRefusal> MergeSignals(const std::vector<const SignalEntry*>& entries,
                                         const RtlSignalTable& old, std::vector<SignalRow>& rows,
                                         std::vector<GivenInit>& given);

// A note, as stored text, for every given initial value the storing rules changed beyond
// its letter case: a clock starts at 1, an sc_lv value is fitted to its width, an sc_logic
// value keeps its last character.
std::vector<std::string> ChangedInitNotes(const std::vector<GivenInit>& given,
                                          const RtlSignalTable& stored);

} // namespace kestrel
