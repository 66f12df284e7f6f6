// rtl_pins.h - written by Kestrel's Simulate (Generate window) for project UartLoop.
// Rewritten by every Simulate and every run of kestrel-cli testbench and sim; put your own
// code in transactions.cpp.
//
// The RTL's ports that the project does not declare, one signal each of the
// verilated port's own type, for RunTransactions to drive and watch. Inputs start at 0;
// ResetRtl (reset.h) drives those named as resets first. Each signal accepts writes from
// more than one process (RunTransactions and the processes it spawns), though not two in
// the same delta cycle.
#ifndef KESTREL_RTL_PINS_H
#define KESTREL_RTL_PINS_H

#include <systemc.h>

#include <cstdint>

struct RtlPins {
    sc_core::sc_signal<bool, sc_core::SC_MANY_WRITERS> rst{"rst"}; // input of the RTL
    sc_core::sc_signal<bool, sc_core::SC_MANY_WRITERS> tx{"tx"}; // output of the RTL
    sc_core::sc_signal<bool, sc_core::SC_MANY_WRITERS> rx{"rx"}; // input of the RTL
    sc_core::sc_signal<bool, sc_core::SC_MANY_WRITERS> irq{"irq"}; // output of the RTL
};

#endif
