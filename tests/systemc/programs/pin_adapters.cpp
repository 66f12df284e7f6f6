// Drives every width class of the testbench's pin adapters in both directions and checks
// what arrives on the other side; X and Z towards the RTL arrive as 0. The 4-state signals
// start at 0, as the transactor's initialised outputs do. Prints "ok" and
// exits 0 when every value came across as expected. The adapters' own warnings (one per
// port that saw an X or Z) go to the output too, for the test to count.
#include "kestrel_pins.h"

#include <cstdio>

namespace {

int failures = 0;

template <class A, class B> void Expect(const char* what, const A& got, const B& expected) {
    if (!(got == expected)) {
        ++failures;
        std::printf("FAILED %s\n", what);
    }
}

} // namespace

SC_MODULE(Driver) {
    sc_signal<sc_logic> l1{"l1", sc_logic(false)};
    sc_signal<bool> p1{"p1"};
    sc_signal<sc_lv<8>> l8{"l8", sc_lv<8>(0)};
    sc_signal<uint32_t> p8{"p8"};
    sc_signal<sc_lv<32>> l32{"l32", sc_lv<32>(0)};
    sc_signal<uint32_t> p32{"p32"};
    sc_signal<sc_lv<40>> l40{"l40", sc_lv<40>(0)};
    sc_signal<uint64_t> p40{"p40"};
    sc_signal<sc_lv<64>> l64{"l64", sc_lv<64>(0)};
    sc_signal<uint64_t> p64{"p64"};
    sc_signal<sc_lv<70>> l70{"l70", sc_lv<70>(0)};
    sc_signal<sc_bv<70>> p70{"p70"};
    // The way back: 2-state into 4-state.
    sc_signal<bool> q1{"q1"};
    sc_signal<sc_logic> m1{"m1"};
    sc_signal<uint32_t> q8{"q8"};
    sc_signal<sc_lv<8>> m8{"m8"};
    sc_signal<uint64_t> q40{"q40"};
    sc_signal<sc_lv<40>> m40{"m40"};
    sc_signal<sc_bv<70>> q70{"q70"};
    sc_signal<sc_lv<70>> m70{"m70"};

    kestrel_tb::ToRtl<sc_logic, bool, 1> to1{"to1", "l1"};
    kestrel_tb::ToRtl<sc_lv<8>, uint32_t, 8> to8{"to8", "l8"};
    kestrel_tb::ToRtl<sc_lv<32>, uint32_t, 32> to32{"to32", "l32"};
    kestrel_tb::ToRtl<sc_lv<40>, uint64_t, 40> to40{"to40", "l40"};
    kestrel_tb::ToRtl<sc_lv<64>, uint64_t, 64> to64{"to64", "l64"};
    kestrel_tb::ToRtl<sc_lv<70>, sc_bv<70>, 70> to70{"to70", "l70"};
    kestrel_tb::FromRtl<bool, sc_logic, 1> from1{"from1"};
    kestrel_tb::FromRtl<uint32_t, sc_lv<8>, 8> from8{"from8"};
    kestrel_tb::FromRtl<uint64_t, sc_lv<40>, 40> from40{"from40"};
    kestrel_tb::FromRtl<sc_bv<70>, sc_lv<70>, 70> from70{"from70"};

    SC_CTOR(Driver) {
        to1.from(l1), to1.to(p1), to8.from(l8), to8.to(p8), to32.from(l32), to32.to(p32);
        to40.from(l40), to40.to(p40), to64.from(l64), to64.to(p64), to70.from(l70), to70.to(p70);
        from1.from(q1), from1.to(m1), from8.from(q8), from8.to(m8);
        from40.from(q40), from40.to(m40), from70.from(q70), from70.to(m70);
        SC_THREAD(Run);
    }

    void Settle() {
        wait(1, SC_NS);
    }

    void Run() {
        // 0s and 1s come across unchanged, in every width class.
        l1.write(SC_LOGIC_1);
        l8.write("10100101");
        l32.write(sc_lv<32>("11111111000000001010101001010101"));
        sc_lv<40> v40;
        v40 = static_cast<sc_dt::uint64>(0xA5F0F0F00Full);
        l40.write(v40);
        sc_lv<64> v64;
        v64 = static_cast<sc_dt::uint64>(0x8000000000000001ull);
        l64.write(v64);
        sc_lv<70> v70;
        v70[69] = SC_LOGIC_1;
        v70[0] = SC_LOGIC_1;
        v70.range(68, 1) = 0;
        l70.write(v70);
        q1.write(true);
        q8.write(0x5Au);
        q40.write(0xFF00000001ull);
        sc_bv<70> b70;
        b70[68] = 1;
        q70.write(b70);
        Settle();
        Expect("1 bit to the RTL", p1.read(), true);
        Expect("8 bits to the RTL", p8.read(), 0xA5u);
        Expect("32 bits to the RTL", p32.read(), 0xFF00AA55u);
        Expect("40 bits to the RTL", p40.read(), 0xA5F0F0F00Full);
        Expect("64 bits to the RTL", p64.read(), 0x8000000000000001ull);
        Expect("70 bits to the RTL", p70.read(), sc_bv<70>(v70));
        Expect("1 bit from the RTL", m1.read(), SC_LOGIC_1);
        Expect("8 bits from the RTL", m8.read(), sc_lv<8>("01011010"));
        Expect("40 bits from the RTL", m40.read().to_uint64(), 0xFF00000001ull);
        Expect("70 bits from the RTL", m70.read(), sc_lv<70>(b70));

        // X and Z arrive as 0 (the other bits as they are); each port is reported once
        // however often it happens.
        l1.write(SC_LOGIC_X);
        l8.write("1X1Z0101");
        Settle();
        Expect("X on 1 bit", p1.read(), false);
        Expect("X and Z on 8 bits", p8.read(), 0xA5u & ~0x50u);
        l1.write(SC_LOGIC_1);
        Settle();
        l1.write(SC_LOGIC_Z);
        l70.write(sc_lv<70>(SC_LOGIC_Z));
        Settle();
        Expect("Z on 1 bit", p1.read(), false);
        Expect("Z on 70 bits", p70.read(), sc_bv<70>(0));

        unsigned long l1Count = 0, l8Count = 0, l70Count = 0;
        for (const kestrel_tb::UnknownDrive& drive : kestrel_tb::UnknownDrives()) {
            if (drive.port == "l1") l1Count = drive.count;
            if (drive.port == "l8") l8Count = drive.count;
            if (drive.port == "l70") l70Count = drive.count;
        }
        Expect("l1 counted twice", l1Count, 2ul);
        Expect("l8 counted once", l8Count, 1ul);
        Expect("l70 counted once", l70Count, 1ul);
        Expect("three ports saw X or Z", kestrel_tb::UnknownDrives().size(), std::size_t(3));
        std::printf("%s\n", failures == 0 ? "ok" : "failed");
        sc_stop();
    }
};

int sc_main(int, char*[]) {
    Driver driver("driver");
    sc_start();
    return failures == 0 ? 0 : 1;
}
