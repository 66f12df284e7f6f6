#pragma once
// The rules a socket mapping keeps against the declarations of its two functions, shared by
// the proposal (ChooseTlm2Mapping) and the resolution of a kept mapping (ResolveTlm2Module).
#include "model/TlmFunction.h"
#include "tlm2/Tlm2Mapping.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// A declared parameter as the socket sees it.
struct Tlm2Parameter {
    std::string name; // trimmed
    std::string type; // as declared, without const
    bool byReference = false;
    bool isConst = false;
    bool isArray = false;
    int bits = 0; // 8, 16 or 32 for an integer type, 1 for bool, 0 for any other type

    // Set by the function: passed by reference and not const.
    bool Output() const { return byReference && !isConst; }
    bool Integer() const { return bits >= 8; }
};

std::vector<Tlm2Parameter> Tlm2Parameters(const TlmFunction& function);
// The used function of that name (trimmed, letter case as declared); null for none.
const TlmFunction* FindTlm2Function(const TlmFunctionTable& functions, std::string_view name);

// One broken rule: the flag of `kestrel-cli tlm2` that changes it and the sentence, which
// starts in lower case and has no full stop (the caller frames it).
struct Tlm2Problem {
    std::string flag;
    std::string text;
};

// Every rule the mapping breaks against the declarations, in the order of the flags.
std::vector<Tlm2Problem> CheckTlm2Mapping(const TlmFunctionTable& functions,
                                          const Tlm2Mapping& mapping);

// The parameters of the two functions that need a fixed value (passed by value or as a const
// reference, carrying no role, no array), each name once, in declaration order.
std::vector<std::string> Tlm2FixedNames(const TlmFunctionTable& functions,
                                        const Tlm2Mapping& mapping);

// The width of the narrower of the two address parameters (8 when neither is declared).
int Tlm2AddressBits(const TlmFunctionTable& functions, const Tlm2Mapping& mapping);
// The mapping's size, or 2^addressBits when it gives none.
std::uint64_t Tlm2EffectiveSize(const Tlm2Mapping& mapping, int addressBits);

// A number as typed: decimal or 0x hex, blanks around it ignored; none when it is neither or
// does not fit 64 bits.
std::optional<std::uint64_t> ParseTlm2Number(std::string_view text);
// "0x100"
std::string Tlm2Hex(std::uint64_t value);

// The C++ expression a fixed value passes to a parameter ("12", "-3", "true"); none when
// `value` is no whole number (decimal or 0x hex, an optional minus) within the parameter's
// type, or for bool none of true, false, 0 and 1.
std::optional<std::string> Tlm2FixedExpression(const Tlm2Parameter& parameter,
                                               std::string_view value);

} // namespace kestrel
