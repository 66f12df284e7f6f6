// The RTL side of the MemReqAck example: a 256-byte memory behind a request/acknowledge
// handshake, written as a designer would write the RTL model it tests against.
//
// On every rising clock edge:
//   - while ack is high, it stays high until req is seen low, then drops;
//   - while req is high (and ack low), the memory waits its wait states (counted in
//     clock edges), then carries out the access, drives rdata (reads) or stores wdata
//     (writes, we high) and raises ack.
// The outputs are always driven with 0 and 1 only, so a transactor may read them at any
// time.
#ifndef MEMREQACK_MEMORY_H
#define MEMREQACK_MEMORY_H

#include <systemc.h>

#include <array>

SC_MODULE(Memory) {
    sc_in<bool> clk;
    sc_in<sc_logic> req;
    sc_in<sc_logic> we;
    sc_in<sc_lv<8>> addr;
    sc_in<sc_lv<8>> wdata;
    sc_out<sc_logic> ack;
    sc_out<sc_lv<8>> rdata;

#if SC_VERSION_MAJOR < 3 // SystemC 3 finds the module's class by itself
    SC_HAS_PROCESS(Memory);
#endif

    // `writeWaitStates` and `readWaitStates`: the clock edges the memory lets pass after
    // seeing the request before it answers.
    Memory(sc_module_name name, int writeWaitStates, int readWaitStates)
        : sc_module(name), writeWaits_(writeWaitStates), readWaits_(readWaitStates) {
        cells_.fill(0);
        ack.initialize(sc_dt::SC_LOGIC_0);
        rdata.initialize(sc_lv<8>(0));
        SC_METHOD(Tick);
        sensitive << clk.pos();
        dont_initialize();
    }

private:
    void Tick() {
        const bool requested = req.read() == sc_dt::SC_LOGIC_1;
        if (acknowledged_) {
            if (!requested) {
                acknowledged_ = false;
                ack.write(sc_dt::SC_LOGIC_0);
            }
            return;
        }
        if (!requested) return;
        const bool writing = we.read() == sc_dt::SC_LOGIC_1;
        if (waited_ < (writing ? writeWaits_ : readWaits_)) {
            ++waited_;
            return;
        }
        waited_ = 0;
        const unsigned int address = addr.read().to_uint() & 0xFFu;
        if (writing)
            cells_[address] = static_cast<unsigned char>(wdata.read().to_uint());
        else
            rdata.write(sc_lv<8>(static_cast<unsigned int>(cells_[address])));
        acknowledged_ = true;
        ack.write(sc_dt::SC_LOGIC_1);
    }

    std::array<unsigned char, 256> cells_{};
    int writeWaits_;
    int readWaits_;
    int waited_ = 0;
    bool acknowledged_ = false;
};

#endif
