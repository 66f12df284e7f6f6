/*
 * kestrel_systemc.h - lets g++ on Linux compile the transactors Kestrel generates
 * (TLM_AIC.h, Tran.h, Tran.cpp) against SystemC 2.3. Force-include it ahead of everything:
 *
 *   g++ -std=c++17 -O0 -Wno-return-type -include kestrel_systemc.h -c Tran.cpp \
 *       $(pkg-config --cflags systemc)
 *
 * The generated files are written for a Windows compiler and are used as they are; this
 * header supplies what they take for granted there:
 *   1. <systemc.h> before the generated headers, which use the SystemC names without
 *      including it, and <cassert> for the assert in toInt / LVtoINT.
 *   2. _itoa (value, buffer, radix), the Windows C runtime function behind toLv / INTtoLV.
 *   3. SC_LOGIC_0, SC_LOGIC_1, SC_LOGIC_X and SC_LOGIC_Z that also fit bool ports:
 *      Generate writes "enable.initialize (SC_LOGIC_1) ;" for an sc_out <bool> port.
 *
 * How 3 works: after <systemc.h> each SC_LOGIC_ name is a macro for a value of
 * kestrel_systemc::LogicLiteral, a class derived from sc_logic that also converts to bool.
 *   - Where an sc_logic fits, it is used as one: the derived-to-base conversion is a
 *     standard conversion and beats the user-defined conversion to bool, so
 *     sig.write (SC_LOGIC_1), sig.read () == SC_LOGIC_0, sc_logic v = SC_LOGIC_Z,
 *     v |= SC_LOGIC_1, lv[0] = SC_LOGIC_1, c ? SC_LOGIC_1 : v, stream output and the
 *     sc_logic overloads of initialize keep their SystemC meaning.
 *   - Where only a bool fits (sc_out <bool>::initialize, sc_signal <bool>::write,
 *     bool b = SC_LOGIC_1;) the value converts through sc_logic::to_bool (): SC_LOGIC_0 is
 *     false and SC_LOGIC_1 true; SC_LOGIC_X and SC_LOGIC_Z draw SystemC's run-time warning
 *     "sc_logic value 'X' cannot be converted to bool" and read as true.
 *   - bool_port.read () == SC_LOGIC_1 uses SystemC's operator == (bool, const sc_logic &).
 * Known limits, compared with the plain SystemC constants:
 *   - `using sc_dt::SC_LOGIC_1;` and `&SC_LOGIC_1` no longer compile (the constants are
 *     values now); sc_dt::SC_LOGIC_1 still works. A header that declares these names must
 *     come before this one.
 *   - `auto v = SC_LOGIC_1;` makes v a LogicLiteral, to which a plain sc_logic cannot be
 *     assigned; declare `sc_logic v` instead.
 *   - The bool conversion lets a few expressions compile that SystemC refuses, such as
 *     `int i = SC_LOGIC_1;` or `lv = SC_LOGIC_1;` on an sc_lv (which assigns the number 1).
 *
 * Debian's SystemC library is built as C++17: compile with -std=c++17, or with -std=c++20
 * and -DSC_CPLUSPLUS=201703L, or linking fails on sc_api_version_2_3_4_cxx202002L.
 */
#ifndef KESTREL_SYSTEMC_H
#define KESTREL_SYSTEMC_H

#include <cassert>
#include <systemc.h>

/* The Windows C runtime's _itoa for the unsigned values that toLv passes: writes the
 * digits of `value` in `radix` (2 to 36, lower-case letters above 9) and a terminating
 * zero into `buffer`, which needs 33 characters for radix 2. Returns `buffer`. An
 * unsupported radix writes the empty text. */
inline char *_itoa(unsigned int value, char *buffer, int radix)
{
    if (radix < 2 || radix > 36) {
        buffer[0] = '\0';
        return buffer;
    }
    const unsigned int base = static_cast<unsigned int>(radix);
    char reversed[sizeof(unsigned int) * 8];
    int count = 0;
    do {
        reversed[count++] = "0123456789abcdefghijklmnopqrstuvwxyz"[value % base];
        value /= base;
    } while (value != 0);
    for (int i = 0; i < count; ++i)
        buffer[i] = reversed[count - 1 - i];
    buffer[count] = '\0';
    return buffer;
}

namespace kestrel_systemc {

// An sc_logic constant that also serves where a bool is expected.
class LogicLiteral : public sc_dt::sc_logic {
public:
    explicit LogicLiteral(sc_dt::sc_logic_value_t value) : sc_dt::sc_logic(value) {}
    operator bool() const { return to_bool(); }
};

} // namespace kestrel_systemc

// Values rather than const objects, so that `c ? SC_LOGIC_1 : v` with a plain sc_logic v
// still has a common type. They live in sc_dt beside the constants they stand for, so that
// the qualified sc_dt::SC_LOGIC_1 keeps working.
namespace sc_dt {
inline kestrel_systemc::LogicLiteral kestrel_SC_LOGIC_0()
{
    return kestrel_systemc::LogicLiteral(Log_0);
}
inline kestrel_systemc::LogicLiteral kestrel_SC_LOGIC_1()
{
    return kestrel_systemc::LogicLiteral(Log_1);
}
inline kestrel_systemc::LogicLiteral kestrel_SC_LOGIC_X()
{
    return kestrel_systemc::LogicLiteral(Log_X);
}
inline kestrel_systemc::LogicLiteral kestrel_SC_LOGIC_Z()
{
    return kestrel_systemc::LogicLiteral(Log_Z);
}
} // namespace sc_dt

// <systemc.h> brings the constants into the global namespace; so do these.
using sc_dt::kestrel_SC_LOGIC_0;
using sc_dt::kestrel_SC_LOGIC_1;
using sc_dt::kestrel_SC_LOGIC_X;
using sc_dt::kestrel_SC_LOGIC_Z;

#define SC_LOGIC_0 kestrel_SC_LOGIC_0()
#define SC_LOGIC_1 kestrel_SC_LOGIC_1()
#define SC_LOGIC_X kestrel_SC_LOGIC_X()
#define SC_LOGIC_Z kestrel_SC_LOGIC_Z()

#endif /* KESTREL_SYSTEMC_H */
