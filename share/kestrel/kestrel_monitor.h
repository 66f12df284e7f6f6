//
// The protocol monitor of a testbench: watches a bus between the transactor (the master)
// and the RTL (the slave) on every active clock edge and checks the rules of AXI4-Lite,
// APB or Wishbone classic for both sides. The values checked on an edge are those the pins
// held just before it (what the slave samples there), read from the transactor's 4-state
// signals, so an X or Z the transactor drives is seen. Cycle N counts the active clock edges
// from 0. Each violation prints one line,
//   protocol: TIME cycle N: RULE: what, with the signals' values
// naming the side at fault (transactor or RTL); the first 20 are printed, all are counted.
// A request left unanswered for the hang limit stops the simulation.
#ifndef KESTREL_MONITOR_H
#define KESTREL_MONITOR_H

#include "kestrel_pins.h"

#include <systemc.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace kestrel_tb {

enum class Bus { Axi4Lite, Apb, Wishbone };

// One sampled value: its bits, and which of them are X or Z.
struct Sample {
    std::uint64_t bits = 0;
    std::uint64_t unknown = 0;
    bool High() const { return (bits & 1u) != 0 && (unknown & 1u) == 0; }
    bool Unknown() const { return unknown != 0; }
    bool operator==(const Sample& other) const {
        return bits == other.bits && unknown == other.unknown;
    }
    bool operator!=(const Sample& other) const { return !(*this == other); }
};

inline void Read(bool value, Sample& sample) {
    sample.bits = value ? 1u : 0u;
    sample.unknown = 0;
}

inline void Read(std::uint32_t value, Sample& sample) {
    sample.bits = value;
    sample.unknown = 0;
}

inline void Read(std::uint64_t value, Sample& sample) {
    sample.bits = value;
    sample.unknown = 0;
}

inline void Read(const sc_dt::sc_logic& value, Sample& sample) {
    const sc_dt::sc_logic_value_t bit = value.value();
    sample.bits = bit == sc_dt::Log_1 ? 1u : 0u;
    sample.unknown = bit == sc_dt::Log_0 || bit == sc_dt::Log_1 ? 0u : 1u;
}

// A 4-state vector keeps two words per 32 bits: the data and the control word, whose bits
// mark X (data 1) and Z (data 0).
template <int W> void Read(const sc_dt::sc_lv<W>& value, Sample& sample) {
    static_assert(W <= 64, "the monitor watches signals of at most 64 bits");
    sample.bits = 0;
    sample.unknown = 0;
    for (int i = 0; i < value.size(); ++i) {
        sample.bits |= static_cast<std::uint64_t>(value.get_word(i)) << (32 * i);
        sample.unknown |= static_cast<std::uint64_t>(value.get_cword(i)) << (32 * i);
    }
    sample.bits &= ~sample.unknown;
}

class Probe {
public:
    virtual ~Probe() = default;
    virtual void Take(Sample& sample) const = 0;
};

template <class T> class SignalProbe : public Probe {
public:
    explicit SignalProbe(const sc_core::sc_signal_in_if<T>& signal) : signal_(signal) {}
    void Take(Sample& sample) const override { Read(signal_.read(), sample); }

private:
    const sc_core::sc_signal_in_if<T>& signal_;
};

// The signals of each protocol, as the slave names them.
enum Role {
    // AXI4-Lite
    AWADDR,
    AWPROT,
    AWVALID,
    AWREADY,
    WDATA,
    WSTRB,
    WVALID,
    WREADY,
    BRESP,
    BVALID,
    BREADY,
    ARADDR,
    ARPROT,
    ARVALID,
    ARREADY,
    RDATA,
    RRESP,
    RVALID,
    RREADY,
    // APB
    PSEL,
    PENABLE,
    PWRITE,
    PADDR,
    PWDATA,
    PRDATA,
    PREADY,
    PSLVERR,
    PSTRB,
    PPROT,
    // Wishbone classic
    CYC,
    STB,
    WE,
    ADR,
    DAT_I,
    DAT_O,
    ACK,
    SEL,
    ERR,
    RTY,
    STALL,
    kRoles
};

inline const char* RoleName(int role) {
    static const char* const names[kRoles] = {
        "AWADDR", "AWPROT", "AWVALID", "AWREADY", "WDATA",   "WSTRB",   "WVALID",  "WREADY",
        "BRESP",  "BVALID", "BREADY",  "ARADDR",  "ARPROT",  "ARVALID", "ARREADY", "RDATA",
        "RRESP",  "RVALID", "RREADY",  "PSEL",    "PENABLE", "PWRITE",  "PADDR",   "PWDATA",
        "PRDATA", "PREADY", "PSLVERR", "PSTRB",   "PPROT",   "CYC",     "STB",     "WE",
        "ADR",    "DAT_I",  "DAT_O",   "ACK",     "SEL",     "ERR",     "RTY",     "STALL"};
    return names[role];
}

// The start cycles of the requests not yet answered, oldest first, without allocating.
class Pending {
public:
    bool Empty() const { return count_ == 0; }
    unsigned long Oldest() const { return starts_[first_]; }
    void Push(unsigned long cycle) {
        if (count_ == kSize) return; // too many to follow: the oldest are still watched
        starts_[(first_ + count_) % kSize] = cycle;
        ++count_;
    }
    void Pop() {
        if (count_ == 0) return;
        first_ = (first_ + 1) % kSize;
        --count_;
    }
    void Clear() { count_ = 0; }

private:
    static constexpr unsigned kSize = 64;
    unsigned long starts_[kSize] = {};
    unsigned first_ = 0, count_ = 0;
};

class BusMonitor : public sc_core::sc_module {
public:
    static constexpr unsigned long kPrinted = 20;

    KESTREL_TB_PROCESSES(BusMonitor)
    // `edge`: the active clock edge's event; `hangCycles`: how many edges a request may
    // wait for its answer.
    BusMonitor(sc_core::sc_module_name name, Bus bus, unsigned long hangCycles,
               const sc_core::sc_event& edge)
        : sc_core::sc_module(name), bus_(bus), hang_(hangCycles) {
        SC_METHOD(OnEdge);
        sensitive << edge;
        dont_initialize();
    }

    // Watches a signal of `width` bits in the role named `role` ("AWVALID", "PSEL", "DAT_I");
    // the read data and the slave's error answers of APB and Wishbone are checked by no rule
    // and not sampled.
    template <class T>
    void Watch(const char* role, const sc_core::sc_signal_in_if<T>& signal, int width = 1) {
        for (int r = 0; r < kRoles; ++r)
            if (std::strcmp(RoleName(r), role) == 0) {
                if (r == PRDATA || r == PSLVERR || r == DAT_O) return;
                if (!probes_[r]) watched_[watchedCount_++] = r;
                probes_[r].reset(new SignalProbe<T>(signal));
                widths_[r] = width;
                return;
            }
        SC_REPORT_ERROR("kestrel/monitor", (std::string("no bus signal ") + role).c_str());
    }

    // The slave's reset: while it is asserted no request may begin.
    template <class T> void WatchReset(const sc_core::sc_signal_in_if<T>& signal, bool activeLow) {
        reset_.reset(new SignalProbe<T>(signal));
        resetActiveLow_ = activeLow;
    }

    unsigned long Violations() const { return violations_; }
    bool Hung() const { return hung_; }

    // The count at the end of the run, for kestrel-cli to read; true when there was none.
    bool Report() const {
        if (violations_ > kPrinted)
            std::printf("protocol: %lu more violation(s) not shown\n", violations_ - kPrinted);
        std::printf("kestrel-sim: protocol check: %lu violation(s)%s\n", violations_,
                    hung_ ? " (the simulation was stopped at a hang)" : "");
        return violations_ == 0;
    }

private:
    enum class Side { Transactor, Rtl };

    // An AXI4-Lite channel: its handshake pair, payload and who drives VALID.
    struct Channel {
        const char* name;
        int valid, ready;
        int payload[2];
        Side driver;
    };

    void OnEdge() {
        for (int i = 0; i < watchedCount_; ++i) probes_[watched_[i]]->Take(now_[watched_[i]]);
        inReset_ = false;
        if (reset_) {
            Sample level;
            reset_->Take(level);
            inReset_ = level.Unknown() || (level.bits & 1u) == (resetActiveLow_ ? 0u : 1u);
            if (inReset_) resetSeen_ = true;
        }
        running_ = !inReset_ && (reset_ ? resetSeen_ : cycle_ > 0);
        if (bus_ == Bus::Axi4Lite)
            CheckAxi();
        else if (bus_ == Bus::Apb)
            CheckApb();
        else
            CheckWishbone();
        for (int i = 0; i < watchedCount_; ++i) before_[watched_[i]] = now_[watched_[i]];
        wasRunning_ = running_;
        wasInReset_ = inReset_;
        ++cycle_;
    }

    static const char* SideName(Side side) {
        return side == Side::Transactor ? "transactor" : "RTL";
    }

    // "0x0000001f", "1", "X", with X for every unknown hex digit.
    std::string Text(int role, const Sample& value) const {
        int width = widths_[role];
        if (width <= 1) return value.Unknown() ? "X" : value.High() ? "1" : "0";
        std::string text = "0x";
        for (int digit = (width + 3) / 4 - 1; digit >= 0; --digit) {
            const unsigned shift = static_cast<unsigned>(digit) * 4;
            if ((value.unknown >> shift) & 0xFu)
                text += 'X';
            else
                text += "0123456789abcdef"[(value.bits >> shift) & 0xFu];
        }
        return text;
    }

    std::string Now(int role) const {
        return std::string(RoleName(role)) + " " + Text(role, now_[role]);
    }

    std::string Before(int role) const {
        return std::string(RoleName(role)) + " " + Text(role, before_[role]);
    }

    void Violation(const char* rule, Side side, const std::string& what) {
        ++violations_;
        if (violations_ > kPrinted) return;
        std::printf("protocol: %s cycle %lu: %s: %s %s\n",
                    sc_core::sc_time_stamp().to_string().c_str(), cycle_, rule, SideName(side),
                    what.c_str());
    }

    bool Has(int role) const { return probes_[role] != nullptr; }
    bool High(int role) const { return now_[role].High(); }
    bool WasHigh(int role) const { return before_[role].High(); }

    // An X or Z the transactor drives, once per stretch of the same value.
    void CheckKnown(int role) {
        if (!Has(role) || !now_[role].Unknown()) return;
        if (wasRunning_ && before_[role] == now_[role]) return;
        Violation("no X or Z from the transactor", Side::Transactor,
                  std::string("drove ") + Now(role));
    }

    // True when the oldest request waited the hang limit.
    bool Expired(const Pending& pending) const {
        return !pending.Empty() && cycle_ - pending.Oldest() >= hang_;
    }

    void Hang(Pending& pending, const std::string& what, Side side) {
        Violation("request answered in time", side,
                  "left the request of cycle " + std::to_string(pending.Oldest()) +
                      " unanswered for " + std::to_string(cycle_ - pending.Oldest()) + " cycles (" +
                      what + ")");
        pending.Clear();
        hung_ = true;
        sc_core::sc_stop();
    }

    // VALID held and the payload unchanged until READY; true when this edge begins a new
    // VALID (it was low, or handshaken, on the edge before).
    bool CheckChannel(const Channel& c) {
        const bool waited = WasHigh(c.valid) && !WasHigh(c.ready) && wasRunning_;
        if (running_ && waited && !High(c.valid)) {
            Violation((std::string(c.name) + " VALID held until " + RoleName(c.ready)).c_str(),
                      c.driver,
                      std::string("dropped ") + RoleName(c.valid) + " before " + RoleName(c.ready) +
                          " (" + Before(c.ready) + ")");
        } else if (running_ && waited) {
            for (int p : c.payload)
                if (p >= 0 && Has(p) && now_[p] != before_[p])
                    Violation((std::string(c.name) + " payload stable until " + RoleName(c.ready))
                                  .c_str(),
                              c.driver,
                              std::string("changed ") + RoleName(p) + " from " +
                                  Text(p, before_[p]) + " to " + Text(p, now_[p]) + " while " +
                                  RoleName(c.valid) + " waited (" + Before(c.ready) + ")");
        }
        if (inReset_ && High(c.valid) && !(wasInReset_ && WasHigh(c.valid)))
            Violation("no VALID during reset", c.driver,
                      std::string("raised ") + RoleName(c.valid) + " while the reset is asserted");
        if (running_ && c.driver == Side::Transactor) {
            CheckKnown(c.valid);
            if (High(c.valid))
                for (int p : c.payload)
                    if (p >= 0) CheckKnown(p);
        }
        if (running_ && c.driver == Side::Rtl) CheckKnown(c.ready);
        return High(c.valid) && !waited;
    }

    void CheckAxi() {
        static const Channel aw{"AW", AWVALID, AWREADY, {AWADDR, AWPROT}, Side::Transactor};
        static const Channel w{"W", WVALID, WREADY, {WDATA, WSTRB}, Side::Transactor};
        static const Channel b{"B", BVALID, BREADY, {BRESP, -1}, Side::Rtl};
        static const Channel ar{"AR", ARVALID, ARREADY, {ARADDR, ARPROT}, Side::Transactor};
        static const Channel r{"R", RVALID, RREADY, {RDATA, RRESP}, Side::Rtl};
        if (inReset_) {
            writes_.Clear();
            reads_.Clear();
            awDone_ = wDone_ = bDone_ = arDone_ = rDone_ = awStarts_ = wStarts_ = 0;
        }
        const bool awNew = CheckChannel(aw), wNew = CheckChannel(w);
        const bool bNew = CheckChannel(b), arNew = CheckChannel(ar), rNew = CheckChannel(r);
        const bool awShake = High(AWVALID) && High(AWREADY), wShake = High(WVALID) && High(WREADY);
        const bool bShake = High(BVALID) && High(BREADY), arShake = High(ARVALID) && High(ARREADY);
        const bool rShake = High(RVALID) && High(RREADY);
        const unsigned long awaiting = std::min(awDone_, wDone_) - bDone_;
        if (running_ && bNew && awaiting == 0)
            Violation("B only after AW and W", Side::Rtl,
                      std::string("raised BVALID ") +
                          (awShake || wShake ? std::string("on the edge of the ") +
                                                   (awShake && wShake ? "AW and W"
                                                    : awShake         ? "AW"
                                                                      : "W") +
                                                   " handshake"
                                             : "with no write waiting for its response") +
                          " (AW handshakes " + std::to_string(awDone_) + ", W " +
                          std::to_string(wDone_) + ", B " + std::to_string(bDone_) + ")");
        if (running_ && rNew && arDone_ == rDone_)
            Violation("R only after AR", Side::Rtl,
                      std::string("raised RVALID ") +
                          (arShake ? "on the edge of the AR handshake"
                                   : "with no read waiting for its data") +
                          " (AR handshakes " + std::to_string(arDone_) + ", R " +
                          std::to_string(rDone_) + ")");
        // A write is one request from the first of its AW and W.
        if (running_) {
            const unsigned long started = std::max(awStarts_, wStarts_);
            awStarts_ += awNew;
            wStarts_ += wNew;
            if (std::max(awStarts_, wStarts_) > started) writes_.Push(cycle_);
            if (arNew) reads_.Push(cycle_);
        }
        awDone_ += awShake;
        wDone_ += wShake;
        arDone_ += arShake;
        if (bShake && bDone_ < std::min(awDone_, wDone_)) {
            ++bDone_;
            writes_.Pop();
        }
        if (rShake && rDone_ < arDone_) {
            ++rDone_;
            reads_.Pop();
        }
        if (!running_) return;
        if (Expired(writes_))
            Hang(writes_, WaitingText(AWVALID, AWREADY, WVALID, WREADY, BVALID, BREADY),
                 WaitingSide(BVALID, BREADY));
        if (Expired(reads_))
            Hang(reads_, WaitingText(ARVALID, ARREADY, -1, -1, RVALID, RREADY),
                 WaitingSide(RVALID, RREADY));
    }

    // What an unanswered request waits for.
    std::string WaitingText(int v1, int r1, int v2, int r2, int rv, int rr) const {
        if (High(rv) && !High(rr))
            return std::string(RoleName(rv)) + " waiting for " + RoleName(rr);
        if (High(v1) && !High(r1))
            return std::string(RoleName(v1)) + " waiting for " + RoleName(r1);
        if (v2 >= 0 && High(v2) && !High(r2))
            return std::string(RoleName(v2)) + " waiting for " + RoleName(r2);
        return std::string("no ") + RoleName(rv);
    }

    Side WaitingSide(int rv, int rr) const {
        return High(rv) && !High(rr) ? Side::Transactor : Side::Rtl;
    }

    void CheckApb() {
        const bool ready = !Has(PREADY) || High(PREADY);
        const bool wasReady = !Has(PREADY) || WasHigh(PREADY);
        const bool wasSetup = wasRunning_ && WasHigh(PSEL) && !WasHigh(PENABLE);
        const bool wasWaiting = wasRunning_ && WasHigh(PSEL) && WasHigh(PENABLE) && !wasReady;
        const bool wasDone = wasRunning_ && WasHigh(PSEL) && WasHigh(PENABLE) && wasReady;
        if (running_) {
            CheckKnown(PSEL);
            CheckKnown(PENABLE);
        }
        if (running_ && High(PENABLE) && wasDone)
            Violation("PENABLE low after transfer", Side::Transactor,
                      "kept PENABLE 1 on the edge after the transfer ended (" + Now(PSEL) + ")");
        else if (running_ && High(PENABLE) && !wasSetup && !wasWaiting)
            Violation("PENABLE only after setup", Side::Transactor,
                      "raised PENABLE without a setup cycle (PSEL 1, PENABLE 0) on the edge "
                      "before (" +
                          Now(PSEL) + ")");
        if (running_ && (wasSetup || wasWaiting)) {
            static const int held[] = {PSEL, PADDR, PWRITE, PWDATA, PSTRB, PPROT};
            for (int role : held)
                if (Has(role) && now_[role] != before_[role] &&
                    !(role == PWDATA && !WasHigh(PWRITE)))
                    Violation("APB transfer stable until PREADY", Side::Transactor,
                              std::string("changed ") + RoleName(role) + " from " +
                                  Text(role, before_[role]) + " to " + Text(role, now_[role]) +
                                  " before the transfer ended (" + Now(PENABLE) +
                                  (Has(PREADY) ? ", " + Now(PREADY) : std::string()) + ")");
        }
        if (inReset_) apb_.Clear();
        if (running_ && High(PSEL) && !High(PENABLE) && !wasSetup && !wasWaiting) {
            apb_.Clear();
            apb_.Push(cycle_);
        }
        if (High(PSEL) && High(PENABLE) && ready) apb_.Clear();
        if (running_ && Expired(apb_))
            Hang(apb_, High(PENABLE) ? "PREADY low" : "PENABLE never raised",
                 High(PENABLE) ? Side::Rtl : Side::Transactor);
    }

    void CheckWishbone() {
        if (running_) {
            CheckKnown(CYC);
            CheckKnown(STB);
        }
        if (running_ && High(STB) && !High(CYC) && !(wasRunning_ && WasHigh(STB) && !WasHigh(CYC)))
            Violation("STB only with CYC", Side::Transactor, "raised STB with CYC 0");
        static const int answers[] = {ACK, ERR, RTY};
        int raised = 0;
        std::string names;
        for (int role : answers)
            if (Has(role) && High(role)) {
                ++raised;
                names += (names.empty() ? "" : " and ") + std::string(RoleName(role));
            }
        const bool answered = raised > 0;
        if (running_ && answered && !(High(CYC) && High(STB)))
            Violation("answer only during STB", Side::Rtl,
                      "raised " + names + " with " + Now(CYC) + ", " + Now(STB));
        if (running_ && raised > 1)
            Violation("one answer at a time", Side::Rtl, "raised " + names + " together");
        const bool wasAnswered =
            (Has(ACK) && WasHigh(ACK)) || (Has(ERR) && WasHigh(ERR)) || (Has(RTY) && WasHigh(RTY));
        const bool waited = wasRunning_ && WasHigh(CYC) && WasHigh(STB) && !wasAnswered;
        if (running_ && waited && High(STB)) {
            static const int held[] = {ADR, WE, DAT_I, SEL};
            for (int role : held)
                if (Has(role) && now_[role] != before_[role] && !(role == DAT_I && !WasHigh(WE)))
                    Violation("master stable while STB waits", Side::Transactor,
                              std::string("changed ") + RoleName(role) + " from " +
                                  Text(role, before_[role]) + " to " + Text(role, now_[role]) +
                                  " before ACK, ERR or RTY");
        }
        if (running_ && High(STB)) {
            static const int carried[] = {ADR, WE, DAT_I, SEL};
            for (int role : carried)
                if (role != DAT_I || High(WE)) CheckKnown(role);
        }
        if (inReset_) wishbone_.Clear();
        if (running_ && High(STB) && !waited) {
            wishbone_.Clear();
            wishbone_.Push(cycle_);
        }
        if (answered) wishbone_.Clear();
        if (running_ && Expired(wishbone_))
            Hang(wishbone_,
                 Has(STALL) && High(STALL) ? "STALL high and no ACK, ERR or RTY"
                                           : "no ACK, ERR or RTY",
                 Side::Rtl);
    }

    Bus bus_;
    unsigned long hang_;
    std::unique_ptr<Probe> probes_[kRoles];
    int watched_[kRoles] = {}; // the roles with a probe
    int watchedCount_ = 0;
    std::unique_ptr<Probe> reset_;
    bool resetActiveLow_ = false;
    int widths_[kRoles] = {};
    Sample now_[kRoles], before_[kRoles];
    unsigned long cycle_ = 0;
    bool inReset_ = false, wasInReset_ = false, resetSeen_ = false;
    bool running_ = false, wasRunning_ = false;
    unsigned long violations_ = 0;
    bool hung_ = false;
    unsigned long awDone_ = 0, wDone_ = 0, bDone_ = 0, arDone_ = 0, rDone_ = 0;
    unsigned long awStarts_ = 0, wStarts_ = 0;
    Pending writes_, reads_, apb_, wishbone_;
};

} // namespace kestrel_tb

#endif
