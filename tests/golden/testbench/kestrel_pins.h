// kestrel_pins.h - written by kestrel-cli testbench; rewritten on every run.
//
// A transactor's ports are 4-state (sc_logic, sc_lv<N>); a model verilated for SystemC has
// 2-state ports (bool up to 1 bit, uint32_t up to 32, uint64_t up to 64, sc_bv<N> above).
// ToRtl and FromRtl copy a port's value across, bit for bit, on every change. An X or Z
// driven towards the RTL reaches it as 0; each port where that happens is reported once
// with SC_REPORT_WARNING and counted, and sc_main prints the counts at the end. ChangeWatch
// notes which of the RTL's inputs changed, for the message at the time limit.
#ifndef KESTREL_PINS_H
#define KESTREL_PINS_H

#include <systemc.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// SystemC 3 finds a module's class for SC_METHOD and SC_THREAD by itself and deprecates
// SC_HAS_PROCESS; SystemC 2.3 needs the class named in modules without SC_CTOR.
#if SC_VERSION_MAJOR >= 3
#define KESTREL_TB_PROCESSES(module)
#else
#define KESTREL_TB_PROCESSES(module) SC_HAS_PROCESS(module);
#endif

namespace kestrel_tb {

// How often an X or Z was driven towards the RTL, per port.
struct UnknownDrive {
    std::string port;
    unsigned long count = 0;
};

inline std::vector<UnknownDrive>& UnknownDrives() {
    static std::vector<UnknownDrive> drives;
    return drives;
}

inline void CountUnknown(const std::string& port) {
    for (UnknownDrive& drive : UnknownDrives())
        if (drive.port == port) {
            ++drive.count;
            return;
        }
    UnknownDrives().push_back({port, 1});
    const std::string message =
        "port " + port + ": X or Z driven towards the RTL, which reads 0 for those bits";
    SC_REPORT_WARNING("kestrel/pins", message.c_str());
}

// The checks of RunTransactions that failed; sc_main exits 1 when there are any.
inline unsigned long& Failures() {
    static unsigned long failures = 0;
    return failures;
}

// Counts a failed check and prints it with the simulated time.
inline void Fail(const std::string& what) {
    ++Failures();
    std::printf("%s  FAILED: %s\n", sc_core::sc_time_stamp().to_string().c_str(), what.c_str());
}

inline bool Check(bool holds, const std::string& what) {
    if (!holds) Fail(what);
    return holds;
}

// The bits of a 4-state value; X and Z give 0 and set `unknown`.
template <int W>
sc_dt::sc_bv<W> Bits(const sc_dt::sc_logic& value, bool& unknown) {
    sc_dt::sc_bv<W> bits;
    unknown = !value.is_01();
    bits.set_bit(0, value.value() == sc_dt::Log_1 ? sc_dt::Log_1 : sc_dt::Log_0);
    return bits;
}

template <int W>
sc_dt::sc_bv<W> Bits(const sc_dt::sc_lv<W>& value, bool& unknown) {
    sc_dt::sc_bv<W> bits;
    unknown = false;
    for (int i = 0; i < W; ++i) {
        const sc_dt::sc_logic_value_t bit = value.get_bit(i);
        if (bit == sc_dt::Log_1)
            bits.set_bit(i, sc_dt::Log_1);
        else if (bit != sc_dt::Log_0)
            unknown = true;
    }
    return bits;
}

// The bits of a 2-state pin.
template <int W>
sc_dt::sc_bv<W> PinBits(bool pin) {
    sc_dt::sc_bv<W> bits;
    bits.set_bit(0, pin ? sc_dt::Log_1 : sc_dt::Log_0);
    return bits;
}

template <int W>
sc_dt::sc_bv<W> PinBits(std::uint32_t pin) {
    sc_dt::sc_bv<W> bits;
    bits = static_cast<sc_dt::uint64>(pin);
    return bits;
}

template <int W>
sc_dt::sc_bv<W> PinBits(std::uint64_t pin) {
    sc_dt::sc_bv<W> bits;
    bits = static_cast<sc_dt::uint64>(pin);
    return bits;
}

template <int W>
sc_dt::sc_bv<W> PinBits(const sc_dt::sc_bv<W>& pin) {
    return pin;
}

// Bits into a 2-state pin.
template <int W>
void SetPin(bool& pin, const sc_dt::sc_bv<W>& bits) {
    pin = bits.get_bit(0) == sc_dt::Log_1;
}

template <int W>
void SetPin(std::uint32_t& pin, const sc_dt::sc_bv<W>& bits) {
    pin = static_cast<std::uint32_t>(bits.to_uint64());
}

template <int W>
void SetPin(std::uint64_t& pin, const sc_dt::sc_bv<W>& bits) {
    pin = static_cast<std::uint64_t>(bits.to_uint64());
}

template <int W>
void SetPin(sc_dt::sc_bv<W>& pin, const sc_dt::sc_bv<W>& bits) {
    pin = bits;
}

// Bits into a 4-state value.
template <int W>
void SetLogic(sc_dt::sc_logic& logic, const sc_dt::sc_bv<W>& bits) {
    logic = sc_dt::sc_logic(bits.get_bit(0) == sc_dt::Log_1);
}

template <int W>
void SetLogic(sc_dt::sc_lv<W>& logic, const sc_dt::sc_bv<W>& bits) {
    logic = bits;
}

// A transactor output (4-state) driving an RTL input (2-state).
template <class Logic, class Pin, int W>
class ToRtl : public sc_core::sc_module {
public:
    sc_core::sc_in<Logic> from;
    sc_core::sc_out<Pin> to;

    KESTREL_TB_PROCESSES(ToRtl)
    ToRtl(sc_core::sc_module_name name, const char* port) : sc_core::sc_module(name), port_(port) {
        SC_METHOD(Convert);
        sensitive << from;
    }

private:
    void Convert() {
        bool unknown = false;
        const sc_dt::sc_bv<W> bits = Bits<W>(from.read(), unknown);
        Pin pin{};
        SetPin<W>(pin, bits);
        to.write(pin);
        if (unknown) CountUnknown(port_);
    }

    std::string port_;
};

// An RTL output (2-state) driving a transactor input (4-state).
template <class Pin, class Logic, int W>
class FromRtl : public sc_core::sc_module {
public:
    sc_core::sc_in<Pin> from;
    sc_core::sc_out<Logic> to;

    KESTREL_TB_PROCESSES(FromRtl)
    FromRtl(sc_core::sc_module_name name) : sc_core::sc_module(name) {
        SC_METHOD(Convert);
        sensitive << from;
    }

private:
    void Convert() {
        Logic logic;
        SetLogic<W>(logic, PinBits<W>(from.read()));
        to.write(logic);
    }
};

// The RTL's inputs, each with whether it changed during the run; when the time limit is
// reached, sc_main names those that never did. A change from an unknown value (X or Z: the
// transactor's first drive of a 4-state port) does not count.
struct WatchedInput {
    std::string port;
    bool changed = false;
};

inline std::vector<WatchedInput>& WatchedInputs() {
    static std::vector<WatchedInput> inputs;
    return inputs;
}

// "PRESETn, wdata": the watched inputs that never changed.
inline std::string UnchangedInputs() {
    std::string names;
    for (const WatchedInput& input : WatchedInputs())
        if (!input.changed) names += (names.empty() ? "" : ", ") + input.port;
    return names;
}

template <class T>
bool Known(const T&) {
    return true;
}

inline bool Known(const sc_dt::sc_logic& value) {
    return value.is_01();
}

template <int W>
bool Known(const sc_dt::sc_lv<W>& value) {
    return value.is_01();
}

// Marks an input as changed on its first change from a known value. Named PORT_watch,
// it reports the input as PORT.
template <class T>
class ChangeWatch : public sc_core::sc_module {
public:
    sc_core::sc_in<T> in;

    SC_CTOR(ChangeWatch) : index_(WatchedInputs().size()) {
        std::string port = basename();
        const std::string suffix = "_watch";
        if (port.size() > suffix.size() &&
            port.compare(port.size() - suffix.size(), suffix.size(), suffix) == 0)
            port.resize(port.size() - suffix.size());
        WatchedInputs().push_back({port, false});
        SC_METHOD(Changed);
        sensitive << in;
        dont_initialize();
    }

private:
    void start_of_simulation() override { last_ = in.read(); }

    void Changed() {
        if (Known(last_)) {
            WatchedInputs()[index_].changed = true;
            next_trigger(never_); // nothing more to learn: not called again
            return;
        }
        last_ = in.read();
    }

    std::size_t index_;
    T last_{};
    sc_core::sc_event never_;
};

// "10us", "10 us", "2.5 ms", "10000" (ns): a simulated time from the command line.
inline bool ParseTime(const char* text, sc_core::sc_time& time) {
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end == text || value < 0) return false;
    while (*end == ' ') ++end;
    const std::string unit(end);
    static const struct {
        const char* name;
        sc_core::sc_time_unit unit;
    } units[] = {{"fs", sc_core::SC_FS}, {"ps", sc_core::SC_PS}, {"ns", sc_core::SC_NS},
                 {"us", sc_core::SC_US}, {"ms", sc_core::SC_MS}, {"s", sc_core::SC_SEC},
                 {"", sc_core::SC_NS}};
    for (const auto& u : units)
        if (unit == u.name) {
            time = sc_core::sc_time(value, u.unit);
            return true;
        }
    return false;
}

} // namespace kestrel_tb

#endif
