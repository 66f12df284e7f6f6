// The RTL's reset inputs: which undeclared pins are resets by their names, reset.h (the
// user's file that asserts them for a few clock cycles and releases them before the
// transactions) and the line sim prints about them.
#include "sim/Testbench.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace kestrel {

namespace {

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

bool Letter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

std::string LevelWords(const ResetPin& pin) {
    return pin.name + (pin.activeLow ? " (active low)" : " (active high)");
}

} // namespace

ResetLevel ResetLevelOfName(std::string_view name) {
    std::string text(name);
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    bool low = false;
    // An input suffix: wb_rst_i, rst_ni (active low).
    if (EndsWith(text, "_ni")) {
        text.resize(text.size() - 3);
        low = true;
    } else if (EndsWith(text, "_i")) {
        text.resize(text.size() - 2);
    }
    // Active low after the word: rst_n, PRESETn, S_AXI_ARESETN.
    if (!low && EndsWith(text, "_n")) {
        text.resize(text.size() - 2);
        low = true;
    } else if (!low && (EndsWith(text, "rstn") || EndsWith(text, "resetn"))) {
        text.pop_back();
        low = true;
    }
    std::string_view prefix;
    if (EndsWith(text, "reset"))
        prefix = std::string_view(text).substr(0, text.size() - 5);
    else if (EndsWith(text, "rst"))
        prefix = std::string_view(text).substr(0, text.size() - 3);
    else
        return ResetLevel::None;
    // Before the word: nothing, a prefix ending in '_' (i_, wb_, S_AXI_), or one letter on
    // its own (PRESET, HRESET, ARESET, srst) - but not the end of a word (first, burst).
    const std::size_t size = prefix.size();
    const bool oneLetter =
        size > 0 && Letter(prefix[size - 1]) && (size == 1 || prefix[size - 2] == '_');
    if (size > 0 && prefix.back() != '_' && !oneLetter) return ResetLevel::None;
    // A lone n before the word: nRST, n_reset.
    const bool lowBefore =
        (oneLetter && prefix.back() == 'n') || prefix == "n_" || EndsWith(prefix, "_n_");
    if (lowBefore && low) return ResetLevel::None; // n before and after: unclear
    return low || lowBefore ? ResetLevel::ActiveLow : ResetLevel::ActiveHigh;
}

std::string ResetText(const TestbenchPlan& plan) {
    std::ostringstream out;
    out << "// " << WrittenByText("reset.h", plan) << "\n"
        << "// Yours to edit: Kestrel writes this file only when it is missing (delete it to "
           "have it\n"
        << "// written again for the RTL's pins as they are then).\n"
        << "//\n"
        << "// ResetRtl runs at the start of the simulation, before RunTransactions, which "
           "begins on\n"
        << "// the first active clock edge after it returns. ";
    if (plan.resets.empty()) {
        out << "No input of the RTL that the project does\n"
            << "// not declare is named as a reset (rst, reset, rst_n, PRESETn, ...), so it "
               "does nothing.\n";
    } else {
        out << "It holds the RTL's inputs named as resets\n"
            << "// asserted for " << kResetCycles << " active clock edges, then releases them:\n";
        for (const ResetPin& pin : plan.resets)
            out << "//   " << pin.name
                << (pin.activeLow ? ": active low, 0 then 1\n" : ": active high, 1 then 0\n");
        out << "// RunTransactions may drive them again (every RtlPins signal accepts writes "
               "from more\n"
            << "// than one process).\n";
    }
    out << "#ifndef KESTREL_RESET_H\n#define KESTREL_RESET_H\n\n"
        << "#include \"rtl_pins.h\"\n\n"
        << "inline void ResetRtl(RtlPins& pins, const sc_core::sc_event& clockEdge) {\n";
    if (plan.resets.empty()) {
        out << "    (void)pins;\n    (void)clockEdge;\n";
    } else {
        for (const ResetPin& pin : plan.resets)
            out << "    pins." << pin.name << ".write(" << (pin.activeLow ? "false" : "true")
                << ");\n";
        out << "    for (int cycle = 0; cycle < " << kResetCycles << "; ++cycle)\n"
            << "        sc_core::wait(clockEdge);\n";
        for (const ResetPin& pin : plan.resets)
            out << "    pins." << pin.name << ".write(" << (pin.activeLow ? "true" : "false")
                << ");\n";
    }
    out << "}\n\n#endif\n";
    return out.str();
}

std::string ResetsNotice(const TestbenchResult& result) {
    const std::vector<ResetPin>& resets = result.plan.resets;
    if (resets.empty()) return {};
    std::string names;
    for (const ResetPin& pin : resets) names += (names.empty() ? "" : ", ") + LevelWords(pin);
    const bool yours =
        std::find(result.kept.begin(), result.kept.end(), "reset.h") != result.kept.end();
    if (yours) return "resets: " + names + ", driven as your reset.h says";
    return "resets: " + names + ", held for " + std::to_string(kResetCycles) +
           " clock cycles by reset.h, then released";
}

} // namespace kestrel
