#pragma once
// RTL port signals: the records of Input/rtl_sig.dat and the in-memory table of 25
// usable slots (numbered from 1).
#include "model/Encoding.h"
#include "model/TableRows.h"
#include "platform/Status.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

inline constexpr int kMaxSignals = 25;

inline constexpr std::array<std::string_view, 3> kDataTypeNames = {"sc_logic", "sc_lv", "bool"};
inline constexpr std::array<std::string_view, 3> kDirectionNames = {"sc_in", "sc_out", "sc_inout"};

// What a stored index (or a combo box position) means. Any index outside the lists above
// (-1 as stored for a typed entry, or a damaged value) is Typed: its text says what it is.
enum class SignalDataType { Logic, LogicVector, Bool, Typed };
enum class SignalDirection { In, Out, InOut, Typed };

SignalDataType DataTypeOfIndex(int index);
SignalDirection DirectionOfIndex(int index);
// The entry a text names ("sc_lv", "sc_out", ...), blanks around it ignored; Typed when it
// names none.
SignalDataType DataTypeOfName(std::string_view name);
SignalDirection DirectionOfName(std::string_view name);
// The stored index (the combo box position) of an entry; -1 for Typed.
template <typename Entry> constexpr int IndexOf(Entry entry) {
    return entry == Entry::Typed ? -1 : static_cast<int>(entry);
}
// The name a data type or direction is stored with; empty for Typed.
std::string_view DataTypeName(SignalDataType type);
std::string_view DirectionName(SignalDirection direction);
// sc_in and sc_out swapped: the same port seen from the other side. The rest stay.
SignalDirection Reversed(SignalDirection direction);

// One signal: 380 bytes on disk.
struct RtlSignal {
    static constexpr std::size_t kRecordSize = 380;

    FixedText<80> dataTypeText;
    std::int16_t dataTypeIndex = 0; // 0 sc_logic, 1 sc_lv, 2 bool, -1 typed
    std::int16_t width = 0;
    FixedText<80> signalName;
    FixedText<80> directionText;
    std::int16_t directionIndex = 0; // 0 sc_in, 1 sc_out, 2 sc_inout, -1 typed
    FixedText<130> initValue;
    Flag isClock;
    Flag isLibrary;

    SignalDataType DataType() const { return DataTypeOfIndex(dataTypeIndex); }
    SignalDirection Direction() const { return DirectionOfIndex(directionIndex); }
    // Sets the index and its text together; Typed stores -1 and leaves the text as it is.
    void SetDataType(SignalDataType type);
    void SetDirection(SignalDirection direction);

    friend bool operator==(const RtlSignal&, const RtlSignal&) = default;
};

std::string EncodeRtlSignal(const RtlSignal& signal);
bool DecodeRtlSignal(std::string_view bytes, RtlSignal& signal);

struct RtlSignalTable {
    std::array<RtlSignal, kMaxSignals + 1> slots{};
    std::int16_t count = 0;

    RtlSignal& operator[](int slot) { return slots.at(static_cast<std::size_t>(slot)); }
    const RtlSignal& operator[](int slot) const { return slots.at(static_cast<std::size_t>(slot)); }

    // Slots 1..count, the count clamped to 0..kMaxSignals.
    std::span<RtlSignal> Used() { return UsedSlots(slots, count); }
    std::span<const RtlSignal> Used() const { return UsedSlots(slots, count); }
    int UsedCount() const { return ClampedCount(count, kMaxSignals); }
};

// The signals as the transactor sees them: every non-clock port's sc_in becomes sc_out
// and its sc_out sc_in; sc_inout, typed directions and the clock stay.
void ReverseDirections(RtlSignalTable& signals);

Status LoadRtlSignalsFrom(std::string_view filePath, RtlSignalTable& table);
Status SaveRtlSignalsTo(std::string_view filePath, const RtlSignalTable& table);

Status LoadRtlSignals(std::string_view projectFolder, RtlSignalTable& table);
Status SaveRtlSignals(std::string_view projectFolder, const RtlSignalTable& table);

} // namespace kestrel
