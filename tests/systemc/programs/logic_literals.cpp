// Built by test_systemc with -include kestrel_systemc.h: the SC_LOGIC_ expressions and the
// _itoa that the compatibility header promises, compiled under -Wall -Wextra -Werror and run.
// Exits 0 when every check holds and names each failed check on stderr.
#include "kestrel_systemc.h" // a second time, through the include guard

#include <cstdio>
#include <sstream>
#include <string>

static int failures = 0;

#define CHECK(condition)                                                                           \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "line %d: check failed: %s\n", __LINE__, #condition);             \
            ++failures;                                                                            \
        }                                                                                          \
    } while (0)

// Ports initialised the way the generated constructor does it, bool ports included.
SC_MODULE(Ports) {
    sc_out<bool> enable;
    sc_out<bool> reset;
    sc_out<sc_logic> start;
    sc_inout<bool> flag;
    sc_inout<sc_logic> line;

    SC_CTOR(Ports) {
        enable.initialize(SC_LOGIC_1);
        reset.initialize(SC_LOGIC_0);
        start.initialize(SC_LOGIC_Z);
        flag.initialize(SC_LOGIC_1);
        line.initialize(SC_LOGIC_X);
    }
};

int sc_main(int, char*[]) {
    sc_signal<bool> enable("enable"), reset("reset"), flag("flag");
    sc_signal<sc_logic> start("start"), line("line");
    sc_signal<bool> written("written");
    sc_signal<sc_logic> driven("driven");
    Ports ports("ports");
    ports.enable(enable);
    ports.reset(reset);
    ports.start(start);
    ports.flag(flag);
    ports.line(line);

    sc_start(1, SC_NS);
    CHECK(enable.read() == true);
    CHECK(reset.read() == false);
    CHECK(start.read().to_char() == 'Z');
    CHECK(flag.read() == true);
    CHECK(line.read().to_char() == 'X');

    // Reading: sc_logic signals compare as sc_logic, bool signals through bool.
    CHECK(start.read() == SC_LOGIC_Z);
    CHECK(start == SC_LOGIC_Z);
    CHECK(SC_LOGIC_Z == start.read());
    CHECK(line.read() != SC_LOGIC_0);
    CHECK(enable.read() == SC_LOGIC_1);
    CHECK(SC_LOGIC_1 == enable.read());
    CHECK(reset.read() != SC_LOGIC_1);
    CHECK(reset.read() == SC_LOGIC_0);

    // Writing, as translated assignments do.
    driven.write(SC_LOGIC_1);
    written.write(SC_LOGIC_1);
    ports.start.write(SC_LOGIC_0);
    ports.reset = SC_LOGIC_1;
    sc_start(1, SC_NS);
    CHECK(driven.read() == SC_LOGIC_1);
    CHECK(written.read() == true);
    CHECK(start.read() == SC_LOGIC_0);
    CHECK(reset.read() == true);

    // Plain sc_logic values and operators.
    sc_logic v = SC_LOGIC_Z;
    CHECK(v.to_char() == 'Z');
    sc_logic w(SC_LOGIC_X);
    CHECK(w.to_char() == 'X');
    v = SC_LOGIC_0;
    CHECK(v == SC_LOGIC_0);
    v |= SC_LOGIC_1;
    CHECK(v == SC_LOGIC_1);
    CHECK((SC_LOGIC_1 & SC_LOGIC_0) == SC_LOGIC_0);
    CHECK((SC_LOGIC_0 | SC_LOGIC_1) == SC_LOGIC_1);
    CHECK((SC_LOGIC_1 ^ SC_LOGIC_1) == SC_LOGIC_0);
    CHECK((~SC_LOGIC_0) == SC_LOGIC_1);
    CHECK((SC_LOGIC_1 & SC_LOGIC_X) == SC_LOGIC_X);
    CHECK(SC_LOGIC_0 != SC_LOGIC_1);
    CHECK(SC_LOGIC_1 == true && SC_LOGIC_0 == false);
    CHECK(SC_LOGIC_1 == '1' && SC_LOGIC_Z == 'Z');
    CHECK(sc_dt::SC_LOGIC_1 == SC_LOGIC_1);
    CHECK(SC_LOGIC_X.value() == sc_dt::Log_X);
    CHECK(SC_LOGIC_1.is_01() && !SC_LOGIC_Z.is_01());
    const sc_logic& bound = SC_LOGIC_X;
    CHECK(bound.to_char() == 'X');
    sc_logic table[4] = {SC_LOGIC_0, SC_LOGIC_1, SC_LOGIC_X, SC_LOGIC_Z};
    CHECK(table[2] == SC_LOGIC_X);
    bool pickFirst = v == SC_LOGIC_1;
    CHECK((pickFirst ? SC_LOGIC_0 : SC_LOGIC_1) == SC_LOGIC_0);
    CHECK((pickFirst ? SC_LOGIC_Z : v) == SC_LOGIC_Z);
    auto literal = SC_LOGIC_1;
    literal = SC_LOGIC_0;
    CHECK(literal == SC_LOGIC_0);

    // Conversion to bool where only a bool fits.
    bool on = SC_LOGIC_1;
    bool off = SC_LOGIC_0;
    CHECK(on && !off);
    CHECK(!static_cast<bool>(SC_LOGIC_0));

    // Logic vectors.
    sc_lv<8> lv("00000000");
    lv[0] = SC_LOGIC_1;
    lv[7] = SC_LOGIC_Z;
    CHECK(lv.to_string() == "Z0000001");
    CHECK(lv[0] == SC_LOGIC_1);
    sc_lv<4> filled(SC_LOGIC_1);
    CHECK(filled.to_string() == "1111");

    std::ostringstream text;
    text << SC_LOGIC_0 << SC_LOGIC_1 << SC_LOGIC_X << SC_LOGIC_Z;
    CHECK(text.str() == "01XZ");

    // _itoa as toLv uses it (radix 2), and the other radixes.
    char digits[40];
    CHECK(std::string(_itoa(0u, digits, 2)) == "0");
    CHECK(std::string(_itoa(10u, digits, 2)) == "1010");
    CHECK(std::string(_itoa(4294967295u, digits, 2)) == std::string(32, '1'));
    CHECK(std::string(_itoa(2147483648u, digits, 2)) == "1" + std::string(31, '0'));
    CHECK(std::string(_itoa(1234567u, digits, 10)) == "1234567");
    CHECK(std::string(_itoa(255u, digits, 16)) == "ff");
    CHECK(std::string(_itoa(71u, digits, 36)) == "1z");
    CHECK(_itoa(7u, digits, 8) == digits);
    CHECK(std::string(_itoa(7u, digits, 1)).empty());
    CHECK(std::string(_itoa(7u, digits, 37)).empty());
    sc_lv<8> fromDigits(_itoa(5u, digits, 2));
    CHECK(fromDigits.to_uint() == 5u);

    // The assert of toInt needs <cassert>, which the header brings.
    assert(SC_LOGIC_1.is_01());

    return failures == 0 ? 0 : 1;
}
