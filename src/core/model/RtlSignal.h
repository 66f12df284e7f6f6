#pragma once
// RTL port signals: the records of Input/rtl_sig.dat and the in-memory table of 25
// usable slots (numbered from 1).
#include "model/Encoding.h"
#include "platform/Status.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

inline constexpr int kMaxSignals = 25;

inline constexpr std::array<std::string_view, 3> kDataTypeNames = {"sc_logic", "sc_lv", "bool"};
inline constexpr std::array<std::string_view, 3> kDirectionNames = {"sc_in", "sc_out", "sc_inout"};

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

    friend bool operator==(const RtlSignal&, const RtlSignal&) = default;
};

std::string EncodeRtlSignal(const RtlSignal& signal);
bool DecodeRtlSignal(std::string_view bytes, RtlSignal& signal);

struct RtlSignalTable {
    std::array<RtlSignal, kMaxSignals + 1> slots{};
    std::int16_t count = 0;

    RtlSignal& operator[](int slot) { return slots.at(static_cast<std::size_t>(slot)); }
    const RtlSignal& operator[](int slot) const { return slots.at(static_cast<std::size_t>(slot)); }
};

Status LoadRtlSignalsFrom(std::string_view filePath, RtlSignalTable& table);
Status SaveRtlSignalsTo(std::string_view filePath, const RtlSignalTable& table);

Status LoadRtlSignals(std::string_view projectFolder, RtlSignalTable& table);
Status SaveRtlSignals(std::string_view projectFolder, const RtlSignalTable& table);

} // namespace kestrel
