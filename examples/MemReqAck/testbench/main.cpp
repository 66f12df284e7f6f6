// The MemReqAck simulation: a caller thread calls the TLM functions of the generated
// transactor (Tran.h / Tran.cpp, from the AsmL document or from the ASF diagrams), which
// drives the handshake of the RTL memory model. Prints each transaction with the time and
// clock cycle at which it ended and what it returned; exits 1 when a read does not give
// back the byte last written to its address.
#include "Memory.h"
#include "Tran.h"

#include <cstdio>
#include <map>

namespace {

const sc_time kClockPeriod(10, SC_NS);

// Memory wait states: writes are answered on the first edge that sees the request,
// reads one edge later.
constexpr int kWriteWaitStates = 0;
constexpr int kReadWaitStates = 1;

} // namespace

SC_MODULE(Caller) {
    clsTLM_AIC* tlm = nullptr;
    int failures = 0;

    SC_CTOR(Caller) {
        SC_THREAD(Run);
    }

private:
    std::map<unsigned int, unsigned int> written_;

    void Print(const char* transaction, const char* result) {
        const sc_time now = sc_time_stamp();
        const auto cycle = static_cast<unsigned long>(now / kClockPeriod);
        std::printf("%8s  %5lu  %-20s %s\n", now.to_string().c_str(), cycle, transaction, result);
    }

    void Write(unsigned int address, unsigned int data) {
        unsigned int waits = 0;
        tlm->Write(static_cast<unsigned char>(address), static_cast<unsigned char>(data), waits);
        written_[address] = data;
        char transaction[40], result[40];
        std::snprintf(transaction, sizeof transaction, "Write (0x%02x, 0x%02x)", address, data);
        std::snprintf(result, sizeof result, "waits %u", waits);
        Print(transaction, result);
    }

    void Read(unsigned int address) {
        unsigned char data = 0xEE;
        unsigned int waits = 0;
        tlm->Read(static_cast<unsigned char>(address), data, waits);
        const unsigned int expected = written_.count(address) ? written_[address] : 0u;
        const bool right = data == expected;
        if (!right) ++failures;
        char transaction[40], result[60];
        std::snprintf(transaction, sizeof transaction, "Read (0x%02x)", address);
        std::snprintf(result, sizeof result, "data 0x%02x, waits %u%s", data, waits,
                      right ? "" : "  <-- expected another byte");
        Print(transaction, result);
    }

    void Run() {
        std::printf("%8s  %5s  %-20s %s\n", "end", "cycle", "transaction", "result");
        Write(0x10, 0xA5);
        Write(0x11, 0x3C);
        Write(0xFF, 0x01);
        Read(0x10);
        Read(0x11);
        Write(0x10, 0x5A);
        Read(0x10);
        Read(0xFF);
        Read(0x42); // never written: the memory starts out cleared
        std::printf("%s\n", failures == 0 ? "all reads returned the bytes written"
                                          : "some reads returned a wrong byte");
        sc_stop();
    }
};

int sc_main(int, char*[]) {
    sc_clock clk("clk", kClockPeriod);
    sc_signal<sc_logic> req("req"), we("we"), ack("ack");
    sc_signal<sc_lv<8>> addr("addr"), wdata("wdata"), rdata("rdata");

    clsTran tran("tran");
    tran.clk(clk);
    tran.req(req);
    tran.we(we);
    tran.addr(addr);
    tran.wdata(wdata);
    tran.ack(ack);
    tran.rdata(rdata);

    Memory memory("memory", kWriteWaitStates, kReadWaitStates);
    memory.clk(clk);
    memory.req(req);
    memory.we(we);
    memory.addr(addr);
    memory.wdata(wdata);
    memory.ack(ack);
    memory.rdata(rdata);

    Caller caller("caller");
    caller.tlm = &tran;

    // No "simulation stopped by user" note after the transcript.
    sc_report_handler::set_actions("/OSCI/SystemC", SC_INFO, SC_DO_NOTHING);

    // Far more than the transactions need; the caller stops the simulation when done.
    sc_start(10, SC_US);
    if (sc_get_status() != SC_STOPPED) {
        std::printf("the transactions did not finish within 10 us\n");
        return 1;
    }
    return caller.failures == 0 ? 0 : 1;
}
