// sc_main.cpp - written by kestrel-cli testbench for project MemReqAck.
// Rewritten by every Simulate and every run of kestrel-cli testbench and sim; put your own
// code in transactions.cpp and rtl.h.
//
// The clock (10 SC_NS, steps on the rising edge), one signal per port, the transactor
// and the RTL bound to them, a VCD trace of every port (waves.vcd) and the top thread,
// which resets the RTL (ResetRtl, reset.h), calls RunTransactions on an active clock edge
// and then stops the simulation.
//   sim [--until TIME]   e.g. --until 50us (default 1 ms of simulated time)
#include "Tran.h"
#include "kestrel_pins.h"
#include "rtl_pins.h"
#include "reset.h"
#include "rtl.h"

#include <cstdio>
#include <cstring>
#include <string>

void RunTransactions(clsTLM_AIC& tlm, RtlPins& pins);

namespace {

// The transactor seen through its interface, counting the calls that returned.
class CountingTlm : public clsTLM_AIC {
public:
    explicit CountingTlm(clsTLM_AIC& target) : target_(target) {}
    unsigned long completed = 0;

    void Write ( unsigned char  address, unsigned char  data, unsigned int & waits ) override {
        target_.Write(address, data, waits);
        ++completed;
    }

    void Read ( unsigned char  address, unsigned char & data, unsigned int & waits ) override {
        target_.Read(address, data, waits);
        ++completed;
    }

private:
    clsTLM_AIC& target_;
};

} // namespace

SC_MODULE(Testbench) {
    sc_core::sc_clock clk;
    sc_core::sc_signal<sc_logic> req;
    sc_core::sc_signal<sc_logic> we;
    sc_core::sc_signal<sc_lv<8>> addr;
    sc_core::sc_signal<sc_lv<8>> wdata;
    sc_core::sc_signal<sc_logic> ack;
    sc_core::sc_signal<sc_lv<8>> rdata;
    RtlPins pins;
    clsTran transactor;
    Rtl rtl;
    kestrel_tb::ChangeWatch<sc_logic> req_watch;
    kestrel_tb::ChangeWatch<sc_logic> we_watch;
    kestrel_tb::ChangeWatch<sc_lv<8>> addr_watch;
    kestrel_tb::ChangeWatch<sc_lv<8>> wdata_watch;
    CountingTlm tlm;
    bool finished = false;

    KESTREL_TB_PROCESSES(Testbench)
    explicit Testbench(sc_core::sc_module_name name)
        : sc_core::sc_module(name),
          clk("clk", sc_core::sc_time(10, sc_core::SC_NS)),
          req("req"),
          we("we"),
          addr("addr"),
          wdata("wdata"),
          ack("ack"),
          rdata("rdata"),
          transactor("transactor"),
          rtl("rtl"),
          req_watch("req_watch"),
          we_watch("we_watch"),
          addr_watch("addr_watch"),
          wdata_watch("wdata_watch"),
          tlm(transactor) {
        transactor.clk(clk);
        transactor.req(req);
        transactor.we(we);
        transactor.addr(addr);
        transactor.wdata(wdata);
        transactor.ack(ack);
        transactor.rdata(rdata);
        rtl.clk(clk);
        rtl.req(req);
        rtl.we(we);
        rtl.addr(addr);
        rtl.wdata(wdata);
        rtl.ack(ack);
        rtl.rdata(rdata);
        req_watch.in(req);
        we_watch.in(we);
        addr_watch.in(addr);
        wdata_watch.in(wdata);
        SC_THREAD(Run);
    }

    // The transactor's steps end on the active clock edge, and a TLM call is expected to
    // begin on one: a call that begins between two edges keeps its first outputs across
    // two edges.
    // ResetRtl (reset.h) asserts and releases the RTL's resets first.
    void Run() {
        ResetRtl(pins, clk.posedge_event());
        wait(clk.posedge_event());
        RunTransactions(tlm, pins);
        finished = true;
        sc_core::sc_stop();
    }
};

int sc_main(int argc, char* argv[]) {
    sc_core::sc_time limit(1, sc_core::SC_MS);
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--until") == 0 && i + 1 < argc &&
            kestrel_tb::ParseTime(argv[i + 1], limit)) {
            ++i;
            continue;
        }
        std::fprintf(stderr, "usage: %s [--until TIME]   (TIME like 50us, 2 ms)\n", argv[0]);
        return 2;
    }
    sc_core::sc_report_handler::set_actions(sc_core::SC_INFO, sc_core::SC_DO_NOTHING);
    Testbench tb("tb");
    sc_core::sc_trace_file* waves = sc_core::sc_create_vcd_trace_file("waves");
    waves->set_time_unit(1, sc_core::SC_PS);
    sc_core::sc_trace(waves, tb.clk, "clk");
    sc_core::sc_trace(waves, tb.req, "req");
    sc_core::sc_trace(waves, tb.we, "we");
    sc_core::sc_trace(waves, tb.addr, "addr");
    sc_core::sc_trace(waves, tb.wdata, "wdata");
    sc_core::sc_trace(waves, tb.ack, "ack");
    sc_core::sc_trace(waves, tb.rdata, "rdata");

    sc_core::sc_start(limit);
    sc_core::sc_close_vcd_trace_file(waves);
    for (const kestrel_tb::UnknownDrive& drive : kestrel_tb::UnknownDrives())
        std::printf("kestrel-sim: port %s: X or Z driven towards the RTL %lu time(s)\n",
                    drive.port.c_str(), drive.count);
    const sc_core::sc_time clock(10, sc_core::SC_NS);
    std::printf("kestrel-sim: %lu transaction(s) completed in %s (%.0f clock cycles)\n",
                tb.tlm.completed, sc_core::sc_time_stamp().to_string().c_str(),
                sc_core::sc_time_stamp() / clock);
    std::printf("kestrel-sim: waveform waves.vcd\n");
    if (!tb.finished) {
        std::printf("kestrel-sim: the time limit of %s was reached before RunTransactions "
                    "returned (a transactor waiting for an answer that never comes?); "
                    "raise it with --until\n",
                    limit.to_string().c_str());
        const std::string unchanged = kestrel_tb::UnchangedInputs();
        if (!unchanged.empty())
            std::printf("kestrel-sim: inputs of the RTL that never changed: %s\n",
                        unchanged.c_str());
        return 3;
    }
    if (kestrel_tb::Failures() != 0) {
        std::printf("kestrel-sim: %lu check(s) failed\n", kestrel_tb::Failures());
        return 1;
    }
    return 0;
}
