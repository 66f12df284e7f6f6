// The MemReqAck transactions (kestrel-cli sim): the calls of testbench/main.cpp, each
// printed with the time and clock cycle at which it ended and what it returned; a read
// that does not give back the byte last written to its address fails a check. The same
// file serves both RTLs: the SystemC memory model and the Verilog memory.
#include "TLM_AIC.h"
#include "kestrel_pins.h"
#include "rtl_pins.h"

#include <cstdio>
#include <map>

namespace {

const sc_core::sc_time kClockPeriod(10, sc_core::SC_NS);

void Print(const char* transaction, const char* result) {
    const sc_core::sc_time now = sc_core::sc_time_stamp();
    const auto cycle = static_cast<unsigned long>(now / kClockPeriod);
    std::printf("%8s  %5lu  %-20s %s\n", now.to_string().c_str(), cycle, transaction, result);
}

} // namespace

void RunTransactions(clsTLM_AIC& tlm, RtlPins&) {
    std::map<unsigned int, unsigned int> written;
    auto write = [&](unsigned int address, unsigned int data) {
        unsigned int waits = 0;
        tlm.Write(static_cast<unsigned char>(address), static_cast<unsigned char>(data), waits);
        written[address] = data;
        char transaction[40], result[40];
        std::snprintf(transaction, sizeof transaction, "Write (0x%02x, 0x%02x)", address, data);
        std::snprintf(result, sizeof result, "waits %u", waits);
        Print(transaction, result);
    };
    auto read = [&](unsigned int address) {
        unsigned char data = 0xEE;
        unsigned int waits = 0;
        tlm.Read(static_cast<unsigned char>(address), data, waits);
        const unsigned int expected = written.count(address) ? written[address] : 0u;
        char transaction[40], result[60];
        std::snprintf(transaction, sizeof transaction, "Read (0x%02x)", address);
        std::snprintf(result, sizeof result, "data 0x%02x, waits %u", data, waits);
        Print(transaction, result);
        kestrel_tb::Check(data == expected, std::string(transaction) + " returned another byte");
    };

    std::printf("%8s  %5s  %-20s %s\n", "end", "cycle", "transaction", "result");
    write(0x10, 0xA5);
    write(0x11, 0x3C);
    write(0xFF, 0x01);
    read(0x10);
    read(0x11);
    write(0x10, 0x5A);
    read(0x10);
    read(0xFF);
    read(0x42); // never written: the memory starts out cleared
}
