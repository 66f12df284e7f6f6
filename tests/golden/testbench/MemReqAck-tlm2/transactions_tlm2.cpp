// transactions_tlm2.cpp - written by kestrel-cli testbench for project MemReqAck.
// Yours to edit: Kestrel writes this file only when it is missing.
//
// RunTransactions is called on an active clock edge with the forward interface of an
// initiator socket bound to the TLM-2.0 target socket of the transactor
// (clsTran_tlm2, Tran_tlm2.h); the simulation stops when it returns. Every b_transport
// that returns counts as a transaction completed. kestrel_tb::Check(condition, "what")
// counts a failed check: sim then exits 1.
#include "kestrel_pins.h"
#include "rtl_pins.h"

#include <tlm.h>

#include <cstdio>
#include <vector>

namespace {

const sc_dt::uint64 kBase = 0x0; // the target's first address
const sc_dt::uint64 kSize = 0x100; // its bytes
const unsigned int kBeat = 1; // bytes per bus beat

// One b_transport: `command` of data.size() bytes at `address`, from `data` (a write) or
// into it (a read), with the byte enables `enables` (0xff: the byte is transferred, 0x00:
// not; repeated over the data; none: every byte). Prints it and returns the response.
tlm::tlm_response_status Transport(tlm::tlm_fw_transport_if<>& bus, tlm::tlm_command command,
                                   sc_dt::uint64 address, std::vector<unsigned char>& data,
                                   std::vector<unsigned char> enables = {}) {
    tlm::tlm_generic_payload payload;
    payload.set_command(command);
    payload.set_address(address);
    payload.set_data_ptr(data.data());
    payload.set_data_length(static_cast<unsigned int>(data.size()));
    payload.set_streaming_width(static_cast<unsigned int>(data.size()));
    payload.set_byte_enable_ptr(enables.empty() ? nullptr : enables.data());
    payload.set_byte_enable_length(static_cast<unsigned int>(enables.size()));
    payload.set_response_status(tlm::TLM_INCOMPLETE_RESPONSE);
    sc_core::sc_time delay = sc_core::SC_ZERO_TIME; // the target waits it out
    bus.b_transport(payload, delay);
    const char* what = command == tlm::TLM_WRITE_COMMAND  ? "write"
                       : command == tlm::TLM_READ_COMMAND ? "read"
                                                          : "ignore";
    std::printf("%s  %-6s %2u byte(s) at 0x%llx%s:", sc_core::sc_time_stamp().to_string().c_str(),
                what, static_cast<unsigned>(data.size()), static_cast<unsigned long long>(address),
                enables.empty() ? "" : " with byte enables");
    for (unsigned char byte : data) std::printf(" %02x", byte);
    std::printf("  -> %s\n", payload.get_response_string().c_str());
    return payload.get_response_status();
}

} // namespace

void RunTransactions(tlm::tlm_fw_transport_if<>& bus, RtlPins& pins) {
    (void)pins;
    // A write and a read of one beat.
    std::vector<unsigned char> one = {0x5a};
    Transport(bus, tlm::TLM_WRITE_COMMAND, kBase, one);
    std::vector<unsigned char> oneBack(kBeat, 0);
    Transport(bus, tlm::TLM_READ_COMMAND, kBase, oneBack);

    // Several bytes in one transaction: the target splits them into beats.
    std::vector<unsigned char> block = {0x10, 0x11, 0x12, 0x13};
    Transport(bus, tlm::TLM_WRITE_COMMAND, kBase, block);
    std::vector<unsigned char> blockBack(block.size(), 0);
    Transport(bus, tlm::TLM_READ_COMMAND, kBase, blockBack);

    // Byte enables: a read of every other byte (those not enabled keep their 0xee)...
    std::vector<unsigned char> some(block.size(), 0xee);
    Transport(bus, tlm::TLM_READ_COMMAND, kBase, some, {0xff, 0x00});
    // ...and a write with byte enables: the write has no strobe, so the target answers
    // TLM_BYTE_ENABLE_ERROR_RESPONSE and no pin moves.
    Transport(bus, tlm::TLM_WRITE_COMMAND, kBase, block, {0xff, 0x00});

    // An ignore command: TLM_OK_RESPONSE, and no pin moves.
    std::vector<unsigned char> nothing(kBeat, 0);
    Transport(bus, tlm::TLM_IGNORE_COMMAND, kBase, nothing);

    // Outside the target: TLM_ADDRESS_ERROR_RESPONSE, and no pin moves.
    Transport(bus, tlm::TLM_READ_COMMAND, kBase + kSize, nothing);
}
