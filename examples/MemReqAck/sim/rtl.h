// The RTL of the MemReqAck testbench in SystemC (kestrel-cli sim without --rtl): the
// memory model of testbench/Memory.h with the example's wait states (writes answered on
// the first edge that sees the request, reads one edge later). `make demo` copies this
// file into Output/testbench, where kestrel-cli keeps it.
#ifndef KESTREL_RTL_H
#define KESTREL_RTL_H

#include "../../testbench/Memory.h"

SC_MODULE(Rtl) {
    sc_core::sc_in<bool> clk;
    sc_core::sc_in<sc_logic> req;
    sc_core::sc_in<sc_logic> we;
    sc_core::sc_in<sc_lv<8> > addr;
    sc_core::sc_in<sc_lv<8> > wdata;
    sc_core::sc_out<sc_logic> ack;
    sc_core::sc_out<sc_lv<8> > rdata;

    SC_CTOR(Rtl) : memory("memory", 0, 1) {
        memory.clk(clk);
        memory.req(req);
        memory.we(we);
        memory.addr(addr);
        memory.wdata(wdata);
        memory.ack(ack);
        memory.rdata(rdata);
    }

private:
    Memory memory;
};

#endif
