// reset.h - written by kestrel-cli testbench for project MemReqAck.
// Yours to edit: Kestrel writes this file only when it is missing (delete it to have it
// written again for the RTL's pins as they are then).
//
// ResetRtl runs at the start of the simulation, before RunTransactions, which begins on
// the first active clock edge after it returns. No input of the RTL that the project does
// not declare is named as a reset (rst, reset, rst_n, PRESETn, ...), so it does nothing.
#ifndef KESTREL_RESET_H
#define KESTREL_RESET_H

#include "rtl_pins.h"

inline void ResetRtl(RtlPins& pins, const sc_core::sc_event& clockEdge) {
    (void)pins;
    (void)clockEdge;
}

#endif
