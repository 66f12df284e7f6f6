// Random traffic through the TLM-2.0 socket of the project `kestrel-cli from-rtl` makes from
// rtl/axil_ram.v (kestrel-cli sim --tlm2), checked against a byte array that models the RAM:
// 512 bytes at 0x000-0x1ff, and DECERR, which the transactor returns as response 3 and the
// socket as an address error, from 0x200 to the end of the 1 KiB target. The socket splits a
// transaction into aligned 32-bit beats, turns partial beats and byte enables into WSTRB, runs
// no beat whose bytes are all switched off, and ends the transaction at the first beat that
// fails (those before it are done); one past the target's end moves no pin. Generic payloads
// of 1 to 16 bytes at random addresses (a fixed seed), a quarter with byte enables; every
// response and every byte read is compared. A mismatch fails the run (sim exits 1).
#include "kestrel_pins.h"
#include "rtl_pins.h"

#include <tlm.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr unsigned kTransactions = 2000;
constexpr unsigned kRamBytes = 0x200;    // the RAM, from address 0
constexpr unsigned kTargetBytes = 0x400; // the 10-bit address space the socket serves
constexpr unsigned kBeatBytes = 4;

using Bytes = std::vector<unsigned char>;

struct Counts {
    unsigned writes = 0, reads = 0, withEnables = 0, decodeErrors = 0, mismatches = 0;
};

// The response the RAM gives through the socket, applying a write to `ram` and a read to
// `data`, beat by beat.
tlm::tlm_response_status Model(bool write, unsigned address, Bytes& data, const Bytes& enables,
                               Bytes& ram) {
    const unsigned end = address + static_cast<unsigned>(data.size());
    if (end > kTargetBytes) return tlm::TLM_ADDRESS_ERROR_RESPONSE;
    auto enabled = [&](unsigned i) { return enables.empty() || enables[i % enables.size()]; };
    for (unsigned beat = address - address % kBeatBytes; beat < end; beat += kBeatBytes) {
        bool any = false;
        for (unsigned byte = beat; byte < beat + kBeatBytes; ++byte)
            any = any || (byte >= address && byte < end && enabled(byte - address));
        if (!any) continue;
        if (beat >= kRamBytes) return tlm::TLM_ADDRESS_ERROR_RESPONSE;
        for (unsigned byte = beat; byte < beat + kBeatBytes; ++byte) {
            if (byte < address || byte >= end || !enabled(byte - address)) continue;
            if (write)
                ram[byte] = data[byte - address];
            else
                data[byte - address] = ram[byte];
        }
    }
    return tlm::TLM_OK_RESPONSE;
}

std::string StatusName(tlm::tlm_response_status status) {
    tlm::tlm_generic_payload payload;
    payload.set_response_status(status);
    return payload.get_response_string();
}

// One random transaction, sent through the socket and checked against the model.
void RandomTransaction(tlm::tlm_fw_transport_if<>& bus, std::mt19937& random, Bytes& ram,
                       Counts& counts) {
    const bool write = random() % 2 == 0;
    // Mostly the RAM; one in eight anywhere up to a little past the target's end.
    const unsigned address = random() % (random() % 8 == 0 ? kTargetBytes + 8 : kRamBytes);
    Bytes data(1 + random() % 16), enables;
    for (unsigned char& byte : data) byte = static_cast<unsigned char>(random());
    if (random() % 4 == 0) { // byte enables, a pattern repeated over the data
        enables.resize(1 + random() % data.size());
        for (unsigned char& enable : enables) enable = random() % 4 == 0 ? 0x00 : 0xff;
        ++counts.withEnables;
    }
    ++(write ? counts.writes : counts.reads);
    Bytes expected = data;
    const tlm::tlm_response_status response = Model(write, address, expected, enables, ram);
    counts.decodeErrors += response == tlm::TLM_ADDRESS_ERROR_RESPONSE;

    tlm::tlm_generic_payload payload;
    payload.set_command(write ? tlm::TLM_WRITE_COMMAND : tlm::TLM_READ_COMMAND);
    payload.set_address(address);
    payload.set_data_ptr(data.data());
    payload.set_data_length(static_cast<unsigned>(data.size()));
    payload.set_streaming_width(static_cast<unsigned>(data.size()));
    payload.set_byte_enable_ptr(enables.empty() ? nullptr : enables.data());
    payload.set_byte_enable_length(static_cast<unsigned>(enables.size()));
    payload.set_response_status(tlm::TLM_INCOMPLETE_RESPONSE);
    sc_core::sc_time delay = sc_core::SC_ZERO_TIME;
    bus.b_transport(payload, delay);

    std::string mismatch;
    if (payload.get_response_status() != response)
        mismatch =
            "response " + payload.get_response_string() + ", the model's " + StatusName(response);
    else if (response == tlm::TLM_OK_RESPONSE && data != expected)
        mismatch = "the data differs from the model's";
    if (!mismatch.empty() && ++counts.mismatches <= 10)
        std::printf("tlm2: mismatch at %s: %s of %u byte(s) at 0x%x: %s\n",
                    sc_core::sc_time_stamp().to_string().c_str(), write ? "write" : "read",
                    static_cast<unsigned>(data.size()), address, mismatch.c_str());
}

} // namespace

void RunTransactions(tlm::tlm_fw_transport_if<>& bus, RtlPins&) {
    std::mt19937 random(2027);
    Bytes ram(kRamBytes, 0); // the RAM starts out cleared
    Counts counts;
    for (unsigned i = 0; i < kTransactions; ++i) RandomTransaction(bus, random, ram, counts);
    std::printf("tlm2: %u transactions (%u writes, %u reads, %u with byte enables; %u decode "
                "errors as expected), %u mismatches\n",
                kTransactions, counts.writes, counts.reads, counts.withEnables,
                counts.decodeErrors, counts.mismatches);
    kestrel_tb::Check(counts.mismatches == 0, "tlm2: the socket disagrees with the RAM model");
}
