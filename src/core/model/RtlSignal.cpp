// The RtlSignal record (380 bytes), the meaning of its stored data type and direction
// indices, the transactor's view of the directions, and the loading and saving of
// Input/rtl_sig.dat.
#include "model/RtlSignal.h"

#include "model/ProjectPaths.h"
#include "model/RecordTable.h"
#include "platform/Text.h"

namespace kestrel {

namespace {

// The entry of `index` in a name list, as the enumerator of the same position; any
// other index is Typed, the last enumerator.
template <typename Enum, std::size_t N>
Enum EntryOfIndex(int index, const std::array<std::string_view, N>&) {
    return index >= 0 && index < static_cast<int>(N) ? static_cast<Enum>(index) : Enum::Typed;
}

template <typename Enum, std::size_t N>
std::string_view NameOfEntry(Enum entry, const std::array<std::string_view, N>& names) {
    return entry == Enum::Typed ? std::string_view() : names[static_cast<std::size_t>(entry)];
}

} // namespace

SignalDataType DataTypeOfIndex(int index) {
    return EntryOfIndex<SignalDataType>(index, kDataTypeNames);
}

SignalDirection DirectionOfIndex(int index) {
    return EntryOfIndex<SignalDirection>(index, kDirectionNames);
}

template <typename Entry, std::size_t N>
Entry EntryOfName(std::string_view name, const std::array<std::string_view, N>& names) {
    const std::string trimmed = Trim(name);
    for (std::size_t i = 0; i < N; ++i)
        if (names[i] == trimmed) return static_cast<Entry>(i);
    return Entry::Typed;
}

SignalDataType DataTypeOfName(std::string_view name) {
    return EntryOfName<SignalDataType>(name, kDataTypeNames);
}

SignalDirection DirectionOfName(std::string_view name) {
    return EntryOfName<SignalDirection>(name, kDirectionNames);
}

std::string_view DataTypeName(SignalDataType type) {
    return NameOfEntry(type, kDataTypeNames);
}

std::string_view DirectionName(SignalDirection direction) {
    return NameOfEntry(direction, kDirectionNames);
}

SignalDirection Reversed(SignalDirection direction) {
    if (direction == SignalDirection::In) return SignalDirection::Out;
    if (direction == SignalDirection::Out) return SignalDirection::In;
    return direction;
}

void RtlSignal::SetDataType(SignalDataType type) {
    dataTypeIndex = static_cast<std::int16_t>(IndexOf(type));
    if (type != SignalDataType::Typed) dataTypeText = DataTypeName(type);
}

void RtlSignal::SetDirection(SignalDirection direction) {
    directionIndex = static_cast<std::int16_t>(IndexOf(direction));
    if (direction != SignalDirection::Typed) directionText = DirectionName(direction);
}

void ReverseDirections(RtlSignalTable& signals) {
    for (RtlSignal& signal : signals.Used())
        if (!signal.isClock && Reversed(signal.Direction()) != signal.Direction())
            signal.SetDirection(Reversed(signal.Direction()));
}

std::string EncodeRtlSignal(const RtlSignal& signal) {
    ByteWriter out;
    out.Fixed(signal.dataTypeText);
    out.Integer(signal.dataTypeIndex);
    out.Integer(signal.width);
    out.Fixed(signal.signalName);
    out.Fixed(signal.directionText);
    out.Integer(signal.directionIndex);
    out.Fixed(signal.initValue);
    out.Boolean(signal.isClock);
    out.Boolean(signal.isLibrary);
    return out.Take();
}

bool DecodeRtlSignal(std::string_view bytes, RtlSignal& signal) {
    if (bytes.size() < RtlSignal::kRecordSize) return false;
    // Every field lies inside the first kRecordSize bytes, so no read below can fail.
    ByteReader in(bytes.substr(0, RtlSignal::kRecordSize));
    in.Fixed(signal.dataTypeText);
    in.Integer(signal.dataTypeIndex);
    in.Integer(signal.width);
    in.Fixed(signal.signalName);
    in.Fixed(signal.directionText);
    in.Integer(signal.directionIndex);
    in.Fixed(signal.initValue);
    in.Boolean(signal.isClock);
    in.Boolean(signal.isLibrary);
    return true;
}

Status LoadRtlSignalsFrom(std::string_view filePath, RtlSignalTable& table) {
    return detail::LoadRecordTable<RtlSignalTable, RtlSignal>(
        filePath, table, kMaxSignals,
        [](std::string_view bytes, RtlSignal& s) { DecodeRtlSignal(bytes, s); });
}

Status SaveRtlSignalsTo(std::string_view filePath, const RtlSignalTable& table) {
    return detail::SaveRecordTable<RtlSignalTable, RtlSignal>(filePath, table, EncodeRtlSignal);
}

Status LoadRtlSignals(std::string_view projectFolder, RtlSignalTable& table) {
    return LoadRtlSignalsFrom(InputPath(projectFolder, kRtlSignalFile), table);
}

Status SaveRtlSignals(std::string_view projectFolder, const RtlSignalTable& table) {
    return SaveRtlSignalsTo(InputPath(projectFolder, kRtlSignalFile), table);
}

} // namespace kestrel
