// sc_main.cpp - written by kestrel-cli testbench for project MemReqAck.
// Rewritten by every Simulate and every run of kestrel-cli testbench and sim; put your own
// code in transactions_tlm2.cpp.
//
// The clock (10 SC_NS, steps on the rising edge), one signal per port, the transactor
// and the RTL bound to them, a VCD trace of every port (waves.vcd) and the top thread,
// which resets the RTL (ResetRtl, reset.h), calls RunTransactions on an active clock edge
// and then stops the simulation.
//   sim [--until TIME]   e.g. --until 50us (default 1 ms of simulated time)
// Through the TLM-2.0 socket: clsTran_tlm2 in the transactor's place, an initiator
// socket bound to its socket, and RunTransactions given the initiator socket's forward
// interface.
#include "Tran_tlm2.h"
#include "kestrel_pins.h"
#include "rtl_pins.h"
#include "reset.h"
#include "Vmemory.h"

#include <tlm.h>
#include <tlm_utils/simple_initiator_socket.h>

#include <cstdio>
#include <cstring>
#include <string>

void RunTransactions(tlm::tlm_fw_transport_if<>& bus, RtlPins& pins);

namespace {

// The initiator of the transactions, bound to the socket module.
struct Initiator : sc_core::sc_module {
    using Socket = tlm_utils::simple_initiator_socket<Initiator, 8>;
    Socket socket;
    explicit Initiator(sc_core::sc_module_name name)
        : sc_core::sc_module(name), socket("socket") {}
};

// The initiator socket's forward interface, counting the b_transport calls that returned.
class CountingBus : public tlm::tlm_fw_transport_if<> {
public:
    explicit CountingBus(Initiator::Socket& socket) : socket_(socket) {}
    unsigned long completed = 0;

    void b_transport(tlm::tlm_generic_payload& payload, sc_core::sc_time& delay) override {
        socket_->b_transport(payload, delay);
        ++completed;
    }
    tlm::tlm_sync_enum nb_transport_fw(tlm::tlm_generic_payload& payload, tlm::tlm_phase& phase,
                                       sc_core::sc_time& delay) override {
        return socket_->nb_transport_fw(payload, phase, delay);
    }
    bool get_direct_mem_ptr(tlm::tlm_generic_payload& payload, tlm::tlm_dmi& dmi) override {
        return socket_->get_direct_mem_ptr(payload, dmi);
    }
    unsigned int transport_dbg(tlm::tlm_generic_payload& payload) override {
        return socket_->transport_dbg(payload);
    }

private:
    Initiator::Socket& socket_;
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
    sc_core::sc_signal<bool> req_pin;
    sc_core::sc_signal<bool> we_pin;
    sc_core::sc_signal<uint32_t> addr_pin;
    sc_core::sc_signal<uint32_t> wdata_pin;
    sc_core::sc_signal<bool> ack_pin;
    sc_core::sc_signal<uint32_t> rdata_pin;
    RtlPins pins;
    clsTran_tlm2 transactor;
    Vmemory rtl;
    Initiator initiator;
    kestrel_tb::ToRtl<sc_logic, bool, 1> req_adapter;
    kestrel_tb::ToRtl<sc_logic, bool, 1> we_adapter;
    kestrel_tb::ToRtl<sc_lv<8>, uint32_t, 8> addr_adapter;
    kestrel_tb::ToRtl<sc_lv<8>, uint32_t, 8> wdata_adapter;
    kestrel_tb::FromRtl<bool, sc_logic, 1> ack_adapter;
    kestrel_tb::FromRtl<uint32_t, sc_lv<8>, 8> rdata_adapter;
    kestrel_tb::ChangeWatch<bool> req_watch;
    kestrel_tb::ChangeWatch<bool> we_watch;
    kestrel_tb::ChangeWatch<uint32_t> addr_watch;
    kestrel_tb::ChangeWatch<uint32_t> wdata_watch;
    CountingBus bus;
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
          req_pin("req_pin"),
          we_pin("we_pin"),
          addr_pin("addr_pin"),
          wdata_pin("wdata_pin"),
          ack_pin("ack_pin"),
          rdata_pin("rdata_pin"),
          transactor("transactor"),
          rtl("rtl"),
          initiator("initiator"),
          req_adapter("req_adapter", "req"),
          we_adapter("we_adapter", "we"),
          addr_adapter("addr_adapter", "addr"),
          wdata_adapter("wdata_adapter", "wdata"),
          ack_adapter("ack_adapter"),
          rdata_adapter("rdata_adapter"),
          req_watch("req_watch"),
          we_watch("we_watch"),
          addr_watch("addr_watch"),
          wdata_watch("wdata_watch"),
          bus(initiator.socket) {
        initiator.socket.bind(transactor.socket);
        transactor.clk(clk);
        transactor.req(req);
        transactor.we(we);
        transactor.addr(addr);
        transactor.wdata(wdata);
        transactor.ack(ack);
        transactor.rdata(rdata);
        rtl.clk(clk);
        rtl.req(req_pin);
        rtl.we(we_pin);
        rtl.addr(addr_pin);
        rtl.wdata(wdata_pin);
        rtl.ack(ack_pin);
        rtl.rdata(rdata_pin);
        req_adapter.from(req);
        req_adapter.to(req_pin);
        we_adapter.from(we);
        we_adapter.to(we_pin);
        addr_adapter.from(addr);
        addr_adapter.to(addr_pin);
        wdata_adapter.from(wdata);
        wdata_adapter.to(wdata_pin);
        ack_adapter.from(ack_pin);
        ack_adapter.to(ack);
        rdata_adapter.from(rdata_pin);
        rdata_adapter.to(rdata);
        req_watch.in(req_pin);
        we_watch.in(we_pin);
        addr_watch.in(addr_pin);
        wdata_watch.in(wdata_pin);
        SC_THREAD(Run);
    }

    // The transactor's steps end on the active clock edge, and a TLM call is expected to
    // begin on one: a call that begins between two edges keeps its first outputs across
    // two edges.
    // ResetRtl (reset.h) asserts and releases the RTL's resets first.
    void Run() {
        ResetRtl(pins, clk.posedge_event());
        wait(clk.posedge_event());
        RunTransactions(bus, pins);
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
                tb.bus.completed, sc_core::sc_time_stamp().to_string().c_str(),
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
