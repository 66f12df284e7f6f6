// reset.h - written by Kestrel's Simulate (Generate window) for project UartLoop.
// Yours to edit: Kestrel writes this file only when it is missing (delete it to have it
// written again for the RTL's pins as they are then).
//
// ResetRtl runs at the start of the simulation, before RunTransactions, which begins on
// the first active clock edge after it returns. It holds the RTL's inputs named as resets
// asserted for 4 active clock edges, then releases them:
//   rst: active high, 1 then 0
// RunTransactions may drive them again (every RtlPins signal accepts writes from more
// than one process).
#ifndef KESTREL_RESET_H
#define KESTREL_RESET_H

#include "rtl_pins.h"

inline void ResetRtl(RtlPins& pins, const sc_core::sc_event& clockEdge) {
    pins.rst.write(true);
    for (int cycle = 0; cycle < 4; ++cycle)
        sc_core::wait(clockEdge);
    pins.rst.write(false);
}

#endif
