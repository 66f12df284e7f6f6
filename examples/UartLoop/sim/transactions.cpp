// transactions.cpp - the UART loopback test of the UartLoop example (written by hand).
//
// tx is looped back to rx by a process spawned here; the test resets the UART, checks the
// read-only DIV register, sends a few bytes through the TX FIFO, waits until they have
// come back through rx, reads them from the RX FIFO and checks each one.
#include "TLM_AIC.h"
#include "kestrel_pins.h"
#include "rtl_pins.h"

#include <cstdio>
#include <string>

namespace {

const sc_core::sc_time kClock(10, sc_core::SC_NS);

enum : unsigned char { kData = 0, kStatus = 1, kCtrl = 2, kDiv = 3 };
enum : unsigned char { kTxBusy = 1, kRxValid = 2, kTxFull = 4, kRxOverrun = 8 };

int passes = 0;

void Expect(bool holds, const std::string& what) {
    std::printf("%10s  %s: %s\n", sc_core::sc_time_stamp().to_string().c_str(),
                holds ? "PASS" : "FAIL", what.c_str());
    if (holds) ++passes;
    kestrel_tb::Check(holds, what);
}

std::string Hex(unsigned v) {
    char b[8];
    std::snprintf(b, sizeof b, "0x%02x", v);
    return b;
}

} // namespace

void RunTransactions(clsTLM_AIC& tlm, RtlPins& pins) {
    // Loopback: rx follows tx, from now on (a method process, run once at once and then
    // on every change of tx; it is the only writer of rx).
    sc_core::sc_spawn_options opts;
    opts.spawn_method();
    opts.set_sensitivity(&pins.tx.value_changed_event());
    sc_core::sc_spawn([&pins] { pins.rx.write(pins.tx.read()); }, "loopback", &opts);

    // Synchronous reset for three clocks, on whole clock periods so calls stay on edges.
    pins.rst.write(true);
    sc_core::wait(3 * kClock);
    pins.rst.write(false);
    sc_core::wait(kClock);

    unsigned char v = 0xEE;
    tlm.read_reg(kDiv, v);
    Expect(v == 4, "DIV register reads 4 (got " + Hex(v) + ")");
    tlm.read_reg(kStatus, v);
    Expect(v == 0, "STATUS after reset is 0 (got " + Hex(v) + ")");

    tlm.write_reg(kCtrl, 1); // irq enable
    tlm.read_reg(kCtrl, v);
    Expect(v == 1, "CTRL reads back 1 (got " + Hex(v) + ")");
    Expect(!pins.irq.read(), "irq low with the RX FIFO empty");

    const unsigned char bytes[] = {0xA5, 0x3C, 0x81, 0x00};
    for (unsigned char b : bytes) tlm.write_reg(kData, b);
    tlm.read_reg(kStatus, v);
    Expect((v & kTxBusy) != 0, "STATUS shows tx busy after the writes (got " + Hex(v) + ")");

    // 4 frames of 10 bits at 4 clocks a bit: about 160 clocks. Poll until TX is idle.
    int polls = 0;
    do {
        sc_core::wait(20 * kClock);
        tlm.read_reg(kStatus, v);
        ++polls;
    } while ((v & kTxBusy) && polls < 50);
    sc_core::wait(10 * kClock); // the last stop bit still has to be sampled by RX
    tlm.read_reg(kStatus, v);
    std::printf("%10s  status %s after %d polls\n",
                sc_core::sc_time_stamp().to_string().c_str(), Hex(v).c_str(), polls);
    Expect((v & (kTxBusy | kRxValid | kRxOverrun)) == kRxValid,
           "STATUS: tx idle, rx valid, no overrun (got " + Hex(v) + ")");
    Expect(pins.irq.read(), "irq high with bytes in the RX FIFO");

    for (unsigned char b : bytes) {
        tlm.read_reg(kData, v);
        Expect(v == b, "byte sent " + Hex(b) + " received " + Hex(v));
    }
    tlm.read_reg(kStatus, v);
    Expect((v & kRxValid) == 0, "RX FIFO empty after reading back (got " + Hex(v) + ")");
    sc_core::wait(kClock);
    Expect(!pins.irq.read(), "irq low again");

    std::printf("%d PASS, %lu FAIL\n", passes, kestrel_tb::Failures());
}
