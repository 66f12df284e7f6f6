// Tran_tlm2.h - written by kestrel-cli tlm2 for project Apb.
// Rewritten by every Generate and every run of kestrel-cli tlm2; put your own code in
// files of your own.
//
// clsTran_tlm2: the transactor clsTran behind a TLM-2.0 target socket, `socket`
// (32 bits wide, loosely timed). b_transport waits out the annotated delay and
// hands the transaction to the module's one pin process, which serves the transactions
// one at a time in the order they were called, each from a rising edge of PCLK:
//   - addresses [0x40000000, 0x40001000) of the socket are 0x0.. of apb_write and apb_read,
//     called once per 32-bit beat at aligned addresses (byte lane = address modulo 4,
//     host byte order); partial beats and byte enables make the strobe strb;
//   - before any pin moves: TLM_ADDRESS_ERROR_RESPONSE outside those addresses,
//     TLM_BURST_ERROR_RESPONSE for a streaming width below the length;
//   - the response argument after each beat: 0 TLM_OK_RESPONSE, 3
//     TLM_ADDRESS_ERROR_RESPONSE, other values TLM_GENERIC_ERROR_RESPONSE; the first
//     failing beat ends the transaction;
//   - apb_read's waits is not read;
//   - TLM_IGNORE_COMMAND: TLM_OK_RESPONSE without pin activity; no direct memory access,
//     no debug transport; nb_transport_fw is served through the socket's conversion.
#ifndef KESTREL_TRAN_TLM2_H
#define KESTREL_TRAN_TLM2_H

#include <systemc.h>
#include <tlm.h>
#include <tlm_utils/simple_target_socket.h>

#include "Tran.h"

#include <cstdint>
#include <cstring>
#include <deque>

class clsTran_tlm2 : public clsTran {
public:
    tlm_utils::simple_target_socket<clsTran_tlm2, 32> socket;

    explicit clsTran_tlm2(sc_core::sc_module_name name)
        : clsTran(name), socket("socket") {
        socket.register_b_transport(this, &clsTran_tlm2::b_transport);
        socket.register_get_direct_mem_ptr(this, &clsTran_tlm2::get_direct_mem_ptr);
        socket.register_transport_dbg(this, &clsTran_tlm2::transport_dbg);
        sc_core::sc_spawn([this] { Serve(); }, "tlm2_pins");
    }

private:
    using Beat = std::uint32_t;
    static constexpr unsigned kBeatBytes = 4;
    static constexpr sc_dt::uint64 kBase = 0x40000000;
    static constexpr sc_dt::uint64 kSize = 0x1000;

    std::deque<tlm::tlm_generic_payload*> queue_; // waiting for the pin process
    std::uint64_t called_ = 0, served_ = 0;
    sc_core::sc_event queued_, served_event_;

    // Queues the transaction for the pin process and waits until it is served.
    void b_transport(tlm::tlm_generic_payload& trans, sc_core::sc_time& delay) {
        if (delay != sc_core::SC_ZERO_TIME) sc_core::wait(delay);
        delay = sc_core::SC_ZERO_TIME;
        const std::uint64_t ticket = ++called_;
        queue_.push_back(&trans);
        queued_.notify();
        while (served_ < ticket) sc_core::wait(served_event_);
    }

    // A pin-level target has no direct access and no timeless one.
    bool get_direct_mem_ptr(tlm::tlm_generic_payload&, tlm::tlm_dmi& dmi) {
        dmi.set_start_address(0);
        dmi.set_end_address(~sc_dt::uint64(0));
        return false;
    }

    unsigned int transport_dbg(tlm::tlm_generic_payload&) { return 0; }

    // The one process that drives the pins: every call of the functions comes from here.
    void Serve() {
        for (;;) {
            while (queue_.empty()) sc_core::wait(queued_);
            tlm::tlm_generic_payload& trans = *queue_.front();
            trans.set_dmi_allowed(false);
            AtClockEdge();
            trans.set_response_status(Refusal(trans));
            if (trans.is_response_ok() && trans.get_command() != tlm::TLM_IGNORE_COMMAND)
                trans.set_response_status(RunBeats(trans));
            queue_.pop_front();
            ++served_;
            served_event_.notify();
        }
    }

    // The functions begin on an active clock edge, as the testbench's own calls do.
    void AtClockEdge() {
        if (!PCLK->posedge()) sc_core::wait(PCLK->posedge_event());
    }

    // What a transaction gets before any pin moves; TLM_OK_RESPONSE: its beats may run.
    tlm::tlm_response_status Refusal(const tlm::tlm_generic_payload& trans) const {
        if (trans.get_command() == tlm::TLM_IGNORE_COMMAND) return tlm::TLM_OK_RESPONSE;
        const unsigned int length = trans.get_data_length();
        if (trans.get_address() < kBase) return tlm::TLM_ADDRESS_ERROR_RESPONSE;
        const sc_dt::uint64 offset = trans.get_address() - kBase;
        if (offset >= kSize || length > kSize - offset) return tlm::TLM_ADDRESS_ERROR_RESPONSE;
        if (trans.get_streaming_width() < length) return tlm::TLM_BURST_ERROR_RESPONSE;
        if (length > 0 && trans.get_data_ptr() == nullptr) return tlm::TLM_GENERIC_ERROR_RESPONSE;
        return tlm::TLM_OK_RESPONSE;
    }

    static bool Enabled(const tlm::tlm_generic_payload& trans, unsigned int index) {
        const unsigned char* enables = trans.get_byte_enable_ptr();
        const unsigned int count = trans.get_byte_enable_length();
        return enables == nullptr || count == 0 ||
               enables[index % count] != 0; // TLM_BYTE_DISABLED
    }

    // One call per beat that has an enabled byte; the byte of the data array at index i is
    // the byte at offset + i, in lane (offset + i) % kBeatBytes.
    tlm::tlm_response_status RunBeats(tlm::tlm_generic_payload& trans) {
        unsigned char* data = trans.get_data_ptr();
        const sc_dt::uint64 first = trans.get_address() - kBase;
        const sc_dt::uint64 end = first + trans.get_data_length();
        for (sc_dt::uint64 at = first - first % kBeatBytes; at < end; at += kBeatBytes) {
            unsigned char lanes[kBeatBytes] = {};
            unsigned int strobe = 0;
            for (unsigned int lane = 0; lane < kBeatBytes; ++lane) {
                const sc_dt::uint64 byte = at + lane;
                if (byte < first || byte >= end || !Enabled(trans, unsigned(byte - first)))
                    continue;
                strobe |= 1u << lane;
                lanes[lane] = data[byte - first];
            }
            if (strobe == 0) continue;
            AtClockEdge();
            Beat beat;
            std::memcpy(&beat, lanes, kBeatBytes);
            if (trans.is_write()) {
                const tlm::tlm_response_status status = WriteBeat(at, beat, strobe);
                if (status != tlm::TLM_OK_RESPONSE) return status;
                continue;
            }
            const tlm::tlm_response_status status = ReadBeat(at, beat);
            if (status != tlm::TLM_OK_RESPONSE) return status;
            std::memcpy(lanes, &beat, kBeatBytes);
            for (unsigned int lane = 0; lane < kBeatBytes; ++lane)
                if (strobe & (1u << lane)) data[at + lane - first] = lanes[lane];
        }
        return tlm::TLM_OK_RESPONSE;
    }

    // One beat of apb_write.
    tlm::tlm_response_status WriteBeat(sc_dt::uint64 beatAddress,
                                       Beat beatData,
                                       unsigned int beatStrobe) {
        unsigned char resp{};
        clsTran::apb_write(static_cast<unsigned int>(beatAddress),
                           static_cast<unsigned int>(beatData),
                           static_cast<unsigned char>(beatStrobe),
                           resp);
        return Response(static_cast<unsigned long long>(resp));
    }

    // One beat of apb_read.
    tlm::tlm_response_status ReadBeat(sc_dt::uint64 beatAddress, Beat& beatData) {
        unsigned int data{};
        unsigned char resp{};
        unsigned int waits{};
        clsTran::apb_read(static_cast<unsigned int>(beatAddress), data, resp, waits);
        beatData = static_cast<Beat>(data);
        return Response(static_cast<unsigned long long>(resp));
    }

    static tlm::tlm_response_status Response(unsigned long long code) {
        return code == 0   ? tlm::TLM_OK_RESPONSE
               : code == 3 ? tlm::TLM_ADDRESS_ERROR_RESPONSE
                           : tlm::TLM_GENERIC_ERROR_RESPONSE;
    }
};

#endif
