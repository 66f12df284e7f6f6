// The MemReqAck transactions through the TLM-2.0 socket (kestrel-cli sim --tlm2): random
// generic-payload reads and writes of 1 to 16 bytes at random addresses (a fixed seed),
// some with byte enables and some reaching past the memory's 256 bytes, each checked
// against a byte array that models the memory: the response status the target must give
// and, for a read, every byte of the data array. A mismatch fails the run (sim exits 1).
#include "kestrel_pins.h"
#include "rtl_pins.h"

#include <tlm.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr unsigned kTransactions = 2000;
constexpr unsigned kMemoryBytes = 256; // the memory's cells, from address 0

struct Counts {
    unsigned writes = 0, reads = 0, withEnables = 0, addressErrors = 0, enableErrors = 0;
    unsigned mismatches = 0;
};

// The response the target gives, and the memory and the data array after it. The write
// has no strobe: a write with any byte switched off is refused; a read leaves the bytes
// switched off as they were.
tlm::tlm_response_status Model(tlm::tlm_command command, unsigned address,
                               std::vector<unsigned char>& data,
                               const std::vector<unsigned char>& enables,
                               std::vector<unsigned char>& memory) {
    if (address + data.size() > kMemoryBytes) return tlm::TLM_ADDRESS_ERROR_RESPONSE;
    auto enabled = [&](std::size_t i) { return enables.empty() || enables[i % enables.size()]; };
    for (std::size_t i = 0; i < data.size(); ++i)
        if (command == tlm::TLM_WRITE_COMMAND && !enabled(i))
            return tlm::TLM_BYTE_ENABLE_ERROR_RESPONSE;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (command == tlm::TLM_WRITE_COMMAND)
            memory[address + i] = data[i];
        else if (enabled(i))
            data[i] = memory[address + i];
    }
    return tlm::TLM_OK_RESPONSE;
}

std::string StatusName(tlm::tlm_response_status status) {
    tlm::tlm_generic_payload payload;
    payload.set_response_status(status);
    return payload.get_response_string();
}

// A mismatch, the first few printed.
void Report(const char* what, unsigned address, std::size_t length, const std::string& detail,
            Counts& counts) {
    if (++counts.mismatches <= 10)
        std::printf("tlm2: mismatch at %s: %s of %u byte(s) at 0x%x: %s\n",
                    sc_core::sc_time_stamp().to_string().c_str(), what,
                    static_cast<unsigned>(length), address, detail.c_str());
}

// One random transaction, sent through the socket and checked against the model.
void RandomTransaction(tlm::tlm_fw_transport_if<>& bus, std::mt19937& random,
                       std::vector<unsigned char>& memory, Counts& counts) {
    const bool write = random() % 2 == 0;
    const unsigned length = 1 + random() % 16;
    const unsigned address = random() % (kMemoryBytes + 8);
    std::vector<unsigned char> data(length), enables;
    for (unsigned char& byte : data) byte = static_cast<unsigned char>(random());
    if (random() % 4 == 0) { // byte enables, a pattern repeated over the data
        enables.resize(1 + random() % length);
        for (unsigned char& enable : enables) enable = random() % 4 == 0 ? 0x00 : 0xff;
        ++counts.withEnables;
    }
    ++(write ? counts.writes : counts.reads);
    std::vector<unsigned char> expected = data;
    const tlm::tlm_command command = write ? tlm::TLM_WRITE_COMMAND : tlm::TLM_READ_COMMAND;
    const tlm::tlm_response_status response = Model(command, address, expected, enables, memory);
    counts.addressErrors += response == tlm::TLM_ADDRESS_ERROR_RESPONSE;
    counts.enableErrors += response == tlm::TLM_BYTE_ENABLE_ERROR_RESPONSE;

    tlm::tlm_generic_payload payload;
    payload.set_command(command);
    payload.set_address(address);
    payload.set_data_ptr(data.data());
    payload.set_data_length(length);
    payload.set_streaming_width(length);
    payload.set_byte_enable_ptr(enables.empty() ? nullptr : enables.data());
    payload.set_byte_enable_length(static_cast<unsigned>(enables.size()));
    payload.set_response_status(tlm::TLM_INCOMPLETE_RESPONSE);
    sc_core::sc_time delay = sc_core::SC_ZERO_TIME;
    bus.b_transport(payload, delay);

    const char* what = write ? "write" : "read";
    if (payload.get_response_status() != response)
        Report(what, address, length,
               "response " + payload.get_response_string() + ", the model's " +
                   StatusName(response),
               counts);
    else if (data != expected)
        Report(what, address, length, "the data differs from the model's", counts);
}

} // namespace

void RunTransactions(tlm::tlm_fw_transport_if<>& bus, RtlPins&) {
    std::mt19937 random(2026);
    std::vector<unsigned char> memory(kMemoryBytes, 0); // the memory starts out cleared
    Counts counts;
    for (unsigned i = 0; i < kTransactions; ++i) RandomTransaction(bus, random, memory, counts);
    std::printf("tlm2: %u transactions (%u writes, %u reads, %u with byte enables; %u address "
                "errors, %u byte enable errors as expected), %u mismatches\n",
                kTransactions, counts.writes, counts.reads, counts.withEnables,
                counts.addressErrors, counts.enableErrors, counts.mismatches);
    kestrel_tb::Check(counts.mismatches == 0, "tlm2: the socket disagrees with the memory model");
}
