// FindBusPorts: reads every port name as a prefix followed by one of the protocol's signal
// names (Wishbone's with an optional direction mark before or after), groups the readings by
// prefix, takes the given prefix or the only one that carries every required signal, then
// checks the directions and widths of what it found and looks for the clock and the reset.
#include "bus/BusPorts.h"

#include "platform/Text.h"
#include "sim/Testbench.h"

#include <algorithm>
#include <cctype>
#include <functional>

namespace kestrel {

namespace {

enum class Mark { None, Leading, Trailing };

// One way of reading a port as a signal of the protocol.
struct Reading {
    std::size_t port;   // index among the module's ports
    std::size_t signal; // index in the protocol's table
    std::string key;    // the prefix in lower case
    std::string prefix; // the prefix as written
    Mark mark = Mark::None;
};

// A name with its direction mark, if any, taken off.
struct NameForm {
    std::size_t begin, end;
    Mark mark;
    PortDirection direction;
};

bool SharesItsName(const BusSignal& signal) {
    return signal.role == BusRole::DatI || signal.role == BusRole::DatO;
}

std::vector<NameForm> NameForms(std::string_view lower, bool marks) {
    const std::size_t size = lower.size();
    std::vector<NameForm> forms{{0, size, Mark::None, PortDirection::In}};
    if (!marks || size <= 2) return forms;
    auto direction = [](char c) { return c == 'i' ? PortDirection::In : PortDirection::Out; };
    if (lower[1] == '_' && (lower[0] == 'i' || lower[0] == 'o'))
        forms.push_back({2, size, Mark::Leading, direction(lower[0])});
    if (lower[size - 2] == '_' && (lower[size - 1] == 'i' || lower[size - 1] == 'o'))
        forms.push_back({0, size - 2, Mark::Trailing, direction(lower[size - 1])});
    return forms;
}

// Every reading of the port at `index` as one of `signals`. A mark must agree with the
// signal's direction; DAT without a mark is told by the port's own direction.
void AddReadings(const std::vector<RtlPort>& ports, std::size_t index,
                 const std::vector<BusSignal>& signals, bool marks, std::vector<Reading>& out) {
    const RtlPort& port = ports[index];
    const std::string lower = AsciiLower(port.name);
    for (const NameForm& form : NameForms(lower, marks)) {
        const std::string_view rest =
            std::string_view(lower).substr(form.begin, form.end - form.begin);
        for (std::size_t i = 0; i < signals.size(); ++i) {
            const BusSignal& signal = signals[i];
            const PortDirection direction =
                form.mark == Mark::None ? port.direction : form.direction;
            if ((form.mark != Mark::None || SharesItsName(signal)) && direction != signal.direction)
                continue;
            for (std::string_view spelling : signal.spellings) {
                if (rest.size() < spelling.size() ||
                    rest.substr(rest.size() - spelling.size()) != spelling)
                    continue;
                const std::size_t prefixSize = rest.size() - spelling.size();
                if (prefixSize > 0 && rest[prefixSize - 1] != '_') continue;
                out.push_back({index, i, std::string(rest.substr(0, prefixSize)),
                               port.name.substr(form.begin, prefixSize), form.mark});
            }
        }
    }
}

// Whether a reading belongs to the prefix `key`. A given prefix with a direction mark
// (i_wb_) also takes the names marked the other way (o_wb_ack).
bool Belongs(const Reading& reading, std::string_view key, bool given) {
    if (reading.key == key) return true;
    return given && reading.mark == Mark::Leading && key.size() >= 2 && key[1] == '_' &&
           (key[0] == 'i' || key[0] == 'o') && reading.key == key.substr(2);
}

// The ports read as each signal under the prefix `key`, each port once.
std::vector<std::vector<std::size_t>> PortsBySignal(const std::vector<Reading>& readings,
                                                    std::size_t signalCount, std::string_view key,
                                                    bool given) {
    std::vector<std::vector<std::size_t>> found(signalCount);
    for (const Reading& reading : readings) {
        if (!Belongs(reading, key, given)) continue;
        std::vector<std::size_t>& ports = found[reading.signal];
        if (std::find(ports.begin(), ports.end(), reading.port) == ports.end())
            ports.push_back(reading.port);
    }
    return found;
}

int RequiredFound(const std::vector<BusSignal>& signals,
                  const std::vector<std::vector<std::size_t>>& found) {
    int count = 0;
    for (std::size_t i = 0; i < signals.size(); ++i)
        if (signals[i].required && !found[i].empty()) ++count;
    return count;
}

int RequiredCount(const std::vector<BusSignal>& signals) {
    return static_cast<int>(std::count_if(signals.begin(), signals.end(),
                                          [](const BusSignal& s) { return s.required; }));
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

std::string Joined(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : ", ") + item;
    return text;
}

// The names a signal was looked for by, in the letter case of the prefix (upper case for
// AXI4-Lite and APB, lower for Wishbone, when the prefix has no letter).
std::string LookedFor(const BusSignal& signal, std::string_view prefix, bool marks) {
    const bool hasLower = std::any_of(prefix.begin(), prefix.end(), [](char c) {
        return std::islower(static_cast<unsigned char>(c)) != 0;
    });
    const bool hasUpper = std::any_of(prefix.begin(), prefix.end(), [](char c) {
        return std::isupper(static_cast<unsigned char>(c)) != 0;
    });
    const bool upper = hasUpper || (!hasLower && !marks);
    const std::string in = upper ? "I" : "i", out = upper ? "O" : "o";
    const std::string mark = signal.direction == PortDirection::In ? in : out;
    std::vector<std::string> names;
    for (std::string_view spelling : signal.spellings) {
        std::string name = std::string(prefix) + std::string(spelling);
        if (upper) name = Upper(name);
        names.push_back(name);
        if (!marks) continue;
        names.push_back(name + "_" + mark);
        names.push_back(mark + "_" + name);
    }
    return Joined(names);
}

std::string NoSet(const std::vector<RtlPort>& ports, BusProtocol protocol,
                  const std::optional<std::string>& prefix) {
    std::vector<std::string> wanted, present;
    for (const BusSignal& signal : BusSignals(protocol))
        if (signal.required) wanted.push_back(std::string(signal.name));
    for (const RtlPort& port : ports) present.push_back(port.name);
    return "no " + std::string(BusProtocolTitle(protocol)) + " slave ports found: looked for " +
           Joined(wanted) +
           (prefix ? " after the prefix " + Quoted(*prefix) : std::string(" after any prefix")) +
           " (letter case ignored) among the module's ports " +
           (present.empty() ? std::string("(none)") : Joined(present));
}

// The prefix of the set: the given one, or the only one before every required signal. None
// when there is no usable set (the problem says why).
std::optional<std::string> ChoosePrefix(const std::vector<RtlPort>& ports, BusProtocol protocol,
                                        const std::vector<Reading>& readings,
                                        std::vector<std::string>& problems) {
    const std::vector<BusSignal>& signals = BusSignals(protocol);
    std::vector<const Reading*> firsts; // the first reading of each prefix
    for (const Reading& reading : readings)
        if (std::none_of(firsts.begin(), firsts.end(),
                         [&](const Reading* seen) { return seen->key == reading.key; }))
            firsts.push_back(&reading);
    std::vector<std::string> whole;
    const Reading* best = nullptr;
    int bestCount = 0;
    for (const Reading* first : firsts) {
        const int count =
            RequiredFound(signals, PortsBySignal(readings, signals.size(), first->key, false));
        if (count == RequiredCount(signals)) whole.push_back(first->prefix);
        if (count > bestCount) best = first, bestCount = count;
    }
    if (whole.size() == 1) return whole.front();
    if (whole.size() > 1) {
        std::vector<std::string> quoted;
        for (const std::string& prefix : whole) quoted.push_back(Quoted(prefix));
        problems.push_back("several sets of " + std::string(BusProtocolTitle(protocol)) +
                           " slave ports, with the prefixes " + Joined(quoted) +
                           ": choose one with --prefix");
        return std::nullopt;
    }
    // Most of a set: say what it lacks rather than that there is none.
    if (best && bestCount * 2 > RequiredCount(signals)) return best->prefix;
    problems.push_back(NoSet(ports, protocol, std::nullopt));
    return std::nullopt;
}

// Takes the one port of each signal under the prefix; names a missing required signal and
// a signal that several ports answer to.
void TakePorts(const std::vector<RtlPort>& ports, const std::vector<Reading>& readings, bool given,
               BusPortSet& set) {
    const std::vector<BusSignal>& signals = BusSignals(set.protocol);
    const bool marks = set.protocol == BusProtocol::Wishbone;
    const std::string title(BusProtocolTitle(set.protocol));
    const auto found = PortsBySignal(readings, signals.size(), AsciiLower(set.prefix), given);
    for (std::size_t i = 0; i < signals.size(); ++i) {
        const BusSignal& signal = signals[i];
        const std::string what = title + " " + std::string(signal.name);
        if (found[i].empty()) {
            if (signal.required)
                set.problems.push_back("no port for " + what + ": looked for " +
                                       LookedFor(signal, set.prefix, marks) +
                                       " (letter case ignored)");
        } else if (found[i].size() > 1) {
            std::vector<std::string> names;
            for (std::size_t port : found[i]) names.push_back(ports[port].name);
            set.problems.push_back("several ports could be " + what + ": " + Joined(names) +
                                   "; only one of them may carry it");
        } else {
            const RtlPort& port = ports[found[i].front()];
            set.ports.push_back({signal.role, port.name, port.width, port.direction});
        }
    }
}

const BusSignal& SignalOf(BusProtocol protocol, BusRole role) {
    for (const BusSignal& signal : BusSignals(protocol))
        if (signal.role == role) return signal;
    return BusSignals(protocol).front();
}

// The two data alike wide, and a byte strobe of one bit per byte of the write data.
void CheckDataWidths(const BusPort* write, const BusPort* read, const BusPort* strobe,
                     BusPortSet& set) {
    if (write && read && write->width != read->width)
        set.problems.push_back("the write data " + write->name + " has " +
                               std::to_string(write->width) + " bits but the read data " +
                               read->name + " has " + std::to_string(read->width) +
                               ": they must be equally wide");
    if (write && strobe && strobe->width * 8 != write->width && write->width % 8 == 0)
        set.problems.push_back("the strobe " + strobe->name + " has " +
                               std::to_string(strobe->width) + " bits but the write data " +
                               write->name + " has " + std::to_string(write->width / 8) +
                               " bytes: it must have one bit per byte");
}

// The direction and the width of each port found.
void CheckPorts(BusPortSet& set) {
    const std::string title(BusProtocolTitle(set.protocol));
    const BusPort* data[2] = {nullptr, nullptr}; // write, read
    const BusPort* strobe = nullptr;
    for (const BusPort& port : set.ports) {
        const BusSignal& signal = SignalOf(set.protocol, port.role);
        const std::string what = title + " " + std::string(signal.name);
        const std::string wide =
            "port " + port.name + " is " + std::to_string(port.width) + " bits wide: " + what;
        if (port.direction != signal.direction)
            set.problems.push_back("port " + port.name + " is an " +
                                   std::string(DirectionWord(port.direction)) + ", but " + what +
                                   " is an " + std::string(DirectionWord(signal.direction)) +
                                   " of the slave");
        if (signal.width == BusWidth::Bit && port.width != 1)
            set.problems.push_back(wide + " must be 1 bit");
        else if (port.width > 32)
            set.problems.push_back(wide + " may have at most 32 bits");
        else if (signal.width == BusWidth::Data && port.width != 8 && port.width != 16 &&
                 port.width != 32)
            set.problems.push_back(wide + " must have 8, 16 or 32 bits");
        if (signal.width == BusWidth::Data)
            data[signal.direction == PortDirection::In ? 0 : 1] = &port;
        if (signal.width == BusWidth::Strobe) strobe = &port;
    }
    CheckDataWidths(data[0], data[1], strobe, set);
}

// A clock by its name, letter case ignored: clk or clock after nothing, after a prefix
// ending in '_', or after one letter (ACLK, PCLK, wb_clk), with an optional input mark
// (clk_i, i_clk).
bool IsClockName(std::string_view name) {
    std::string text = AsciiLower(name);
    if (text.size() > 2 && text.compare(text.size() - 2, 2, "_i") == 0)
        text.resize(text.size() - 2);
    else if (text.size() > 2 && text.compare(0, 2, "i_") == 0)
        text.erase(0, 2);
    std::size_t size = text.size();
    if (size >= 5 && text.compare(size - 5, 5, "clock") == 0)
        size -= 5;
    else if (size >= 3 && text.compare(size - 3, 3, "clk") == 0)
        size -= 3;
    else
        return false;
    if (size == 0 || text[size - 1] == '_') return true;
    return std::isalpha(static_cast<unsigned char>(text[size - 1])) &&
           (size == 1 || text[size - 2] == '_');
}

// The first 1-bit input that `is` accepts and no bus signal uses, one after the set's prefix
// first.
const RtlPort* FindPin(const std::vector<RtlPort>& ports, const BusPortSet& set,
                       const std::function<bool(const RtlPort&)>& is) {
    const std::string key = AsciiLower(set.prefix);
    const RtlPort* first = nullptr;
    for (const RtlPort& port : ports) {
        if (port.direction != PortDirection::In || port.width != 1 || !is(port)) continue;
        if (std::any_of(set.ports.begin(), set.ports.end(),
                        [&](const BusPort& bus) { return bus.name == port.name; }))
            continue;
        const std::string lower = AsciiLower(port.name);
        if (!key.empty() && (lower.rfind(key, 0) == 0 || lower.rfind("i_" + key, 0) == 0))
            return &port;
        if (!first) first = &port;
    }
    return first;
}

void FindClockAndReset(const std::vector<RtlPort>& ports, BusPortSet& set) {
    if (const RtlPort* clock =
            FindPin(ports, set, [](const RtlPort& port) { return IsClockName(port.name); }))
        set.clock = clock->name;
    else
        set.problems.push_back("no clock: looked for a 1-bit input named like ACLK, PCLK, clk, "
                               "clk_i, wb_clk_i or i_clk (letter case ignored)");
    if (const RtlPort* reset = FindPin(ports, set, [](const RtlPort& port) {
            return ResetLevelOfName(port.name) != ResetLevel::None;
        }))
        set.reset = BusReset{reset->name, ResetLevelOfName(reset->name) == ResetLevel::ActiveLow};
}

} // namespace

BusPortSet FindBusPorts(const std::vector<RtlPort>& ports, BusProtocol protocol,
                        const std::optional<std::string>& prefix) {
    BusPortSet set;
    set.protocol = protocol;
    const std::vector<BusSignal>& signals = BusSignals(protocol);
    std::vector<Reading> readings;
    for (std::size_t i = 0; i < ports.size(); ++i)
        AddReadings(ports, i, signals, protocol == BusProtocol::Wishbone, readings);
    if (prefix) {
        const auto found = PortsBySignal(readings, signals.size(), AsciiLower(*prefix), true);
        if (RequiredFound(signals, found) == 0) {
            set.problems.push_back(NoSet(ports, protocol, prefix));
            return set;
        }
        set.prefix = *prefix;
    } else if (std::optional<std::string> chosen =
                   ChoosePrefix(ports, protocol, readings, set.problems)) {
        set.prefix = *chosen;
    } else {
        return set;
    }
    TakePorts(ports, readings, prefix.has_value(), set);
    CheckPorts(set);
    FindClockAndReset(ports, set);
    return set;
}

} // namespace kestrel
