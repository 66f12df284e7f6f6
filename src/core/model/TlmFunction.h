#pragma once
// TLM functions and their parameters: the records of Input/tlm_func.dat and the
// in-memory table of 25 usable slots (numbered from 1; slot 0 is the loader's scratch slot).
#include "model/Encoding.h"
#include "model/TableRows.h"
#include "platform/Status.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

inline constexpr int kMaxFunctions = 25;
inline constexpr int kMaxParameters = 20;

// The C type list used for return and parameter types.
inline constexpr std::array<std::string_view, 8> kCTypeNames = {
    "void", "bool", "char", "short", "int", "unsigned char", "unsigned short", "unsigned int"};

// One parameter slot: 248 bytes on disk.
struct TlmParameter {
    static constexpr std::size_t kRecordSize = 248;

    FixedText<80> typeText;      // without any "const " prefix
    std::int16_t typeIndex = 0;  // index into kCTypeNames
    FixedText<80> passMarker;    // " " by value, "&" by reference
    std::int16_t passIndex = 0;  // 0 by value, 1 by reference
    FixedText<80> parameterName; // without the " []" shown for arrays
    Flag isConst;
    Flag isArray;

    friend bool operator==(const TlmParameter&, const TlmParameter&) = default;
};

// One function: 5458 bytes on disk.
struct TlmFunction {
    static constexpr std::size_t kRecordSize = 5458;

    FixedText<80> functionName;
    FixedText<80> returnTypeText;
    std::int16_t returnTypeIndex = 0;                          // -1 when the text was typed
    std::int16_t reserved = 0;                                 // never set by the program
    std::array<TlmParameter, kMaxParameters + 1> parameters{}; // slot 0 unused
    std::int16_t parameterCount = 0;
    FixedText<80> asfFileName; // file name (no folder) of the assigned ASF diagram in Input
    Flag fsmAssigned;
    Flag isLibrary;

    // Parameters 1..parameterCount, the count clamped to 0..kMaxParameters.
    std::span<TlmParameter> UsedParameters() { return UsedSlots(parameters, parameterCount); }
    std::span<const TlmParameter> UsedParameters() const {
        return UsedSlots(parameters, parameterCount);
    }
    int UsedParameterCount() const { return ClampedCount(parameterCount, kMaxParameters); }

    friend bool operator==(const TlmFunction&, const TlmFunction&) = default;
};

std::string EncodeTlmFunction(const TlmFunction& function);
// Decodes one whole record; false when fewer than kRecordSize bytes are given.
bool DecodeTlmFunction(std::string_view bytes, TlmFunction& function);

struct TlmFunctionTable {
    std::array<TlmFunction, kMaxFunctions + 1> slots{};
    std::int16_t count = 0;

    TlmFunction& operator[](int slot) { return slots.at(static_cast<std::size_t>(slot)); }
    const TlmFunction& operator[](int slot) const {
        return slots.at(static_cast<std::size_t>(slot));
    }

    // Slots 1..count, the count clamped to 0..kMaxFunctions.
    std::span<TlmFunction> Used() { return UsedSlots(slots, count); }
    std::span<const TlmFunction> Used() const { return UsedSlots(slots, count); }
    int UsedCount() const { return ClampedCount(count, kMaxFunctions); }
};

// Reads a table file into slots 1..n and sets the count to n (whole records only; a
// trailing partial record is ignored; records beyond the 25th are ignored). A missing
// file reads as an empty table and is left behind as an empty file. Slots above the new
// count keep what they held.
Status LoadTlmFunctionsFrom(std::string_view filePath, TlmFunctionTable& table);
// Replaces the file with slots 1..count; its length is then count x 5458.
Status SaveTlmFunctionsTo(std::string_view filePath, const TlmFunctionTable& table);

// The same on the project's Input/tlm_func.dat.
Status LoadTlmFunctions(std::string_view projectFolder, TlmFunctionTable& table);
Status SaveTlmFunctions(std::string_view projectFolder, const TlmFunctionTable& table);

} // namespace kestrel
