// The RTL's reset inputs: which undeclared pins are resets by their names, reset.h (the
// user's file that asserts them for a few clock cycles and releases them before the
// transactions) and the line sim prints about them.
#include "sim/Testbench.h"

#include "codegen/CodeWriter.h"

#include <algorithm>
#include <cctype>

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

namespace {

// What reset.h says it does, at its top.
void WriteResetComment(CodeWriter& w, const TestbenchPlan& plan) {
    w.line({"// ", WrittenByText("reset.h", plan)});
    w.lines({"// Yours to edit: Kestrel writes this file only when it is missing (delete it to "
             "have it",
             "// written again for the RTL's pins as they are then).", "//",
             "// ResetRtl runs at the start of the simulation, before RunTransactions, which "
             "begins on"});
    if (plan.resets.empty()) {
        w.lines({"// the first active clock edge after it returns. No input of the RTL that the "
                 "project does",
                 "// not declare is named as a reset (rst, reset, rst_n, PRESETn, ...), so it "
                 "does nothing."});
        return;
    }
    w.line("// the first active clock edge after it returns. It holds the RTL's inputs named as "
           "resets");
    w.line({"// asserted for ", std::to_string(kResetCycles),
            " active clock edges, then releases them:"});
    for (const ResetPin& pin : plan.resets)
        w.line({"//   ", pin.name,
                pin.activeLow ? ": active low, 0 then 1" : ": active high, 1 then 0"});
    w.lines({"// RunTransactions may drive them again (every RtlPins signal accepts writes from "
             "more",
             "// than one process)."});
}

// Every reset written at its asserted (or released) level.
void WriteResetLevels(CodeWriter& w, const TestbenchPlan& plan, bool asserted) {
    for (const ResetPin& pin : plan.resets)
        w.line({"pins.", pin.name, ".write(", pin.activeLow == asserted ? "false" : "true", ");"});
}

} // namespace

std::string ResetText(const TestbenchPlan& plan) {
    CodeWriter w;
    WriteResetComment(w, plan);
    w.lines(
        {"#ifndef KESTREL_RESET_H", "#define KESTREL_RESET_H", "", "#include \"rtl_pins.h\"", ""});
    {
        auto body = w.block(
            "inline void ResetRtl(RtlPins& pins, const sc_core::sc_event& clockEdge) {", "}");
        if (plan.resets.empty()) {
            w.lines({"(void)pins;", "(void)clockEdge;"});
        } else {
            WriteResetLevels(w, plan, true);
            w.line({"for (int cycle = 0; cycle < ", std::to_string(kResetCycles), "; ++cycle)"});
            w.line("    sc_core::wait(clockEdge);");
            WriteResetLevels(w, plan, false);
        }
    }
    w.lines({"", "#endif"});
    return w.take();
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
