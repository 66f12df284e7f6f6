// rtl_pins.h - written by kestrel-cli testbench for project MemReqAck.
// Rewritten by every Simulate and every run of kestrel-cli testbench and sim; put your own
// code in transactions_tlm2.cpp.
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
    // (every port of the RTL is a port of the project)
};

#endif
