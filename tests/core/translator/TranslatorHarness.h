#pragma once
// Drives the line translator the way the route does: one function's section, line by
// line, then the closing of every open block; collects the four section texts and the
// log text the function produced.
#include "codegen/GenerationRun.h"
#include "translator/SectionTexts.h"
#include "translator/StatementTranslator.h"

#include <initializer_list>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kestrel::test {

struct TranslatedSection {
    std::string dec;
    std::string ini;
    std::string behaviour;
    std::string upd;
    std::string log; // what the function appended to the status text
};

// A run over hand-made tables. Function 1 is Read (parameters n, addr), function 2 is
// ReadAll (parameter data); the signals are given as the transactor sees them (after
// the direction reversal): ack sc_in, req sc_out, bus sc_inout, clk the clock, ack_n
// sc_out, data_bus sc_in.
struct SampleRun {
    GenerationSession session;
    FixedClock clock{LocalDateTime{2026, 12, 4, 9, 51, 15, 5}};
    GenerationRun run{"", "Sample", {}, session, clock};

    SampleRun() {
        AddFunction(1, "Read", {"n", "addr"});
        AddFunction(2, "ReadAll", {"data"});
        run.tables.functions.count = 2;
        AddSignal(1, "ack", 0);
        AddSignal(2, "req", 1);
        AddSignal(3, "bus", 2);
        AddSignal(4, "clk", 0, true);
        AddSignal(5, "ack_n", 1);
        AddSignal(6, "data_bus", 0);
        run.tables.signals.count = 6;
        session.clock.clockSignalName = "clk";
        session.clock.clockOnPositiveEdge = true;
        run.currentFunction = 1;
    }

    void AddFunction(int slot, std::string_view name,
                     std::initializer_list<std::string_view> parameters) {
        TlmFunction& f = run.tables.functions[slot];
        f.functionName = name;
        int p = 0;
        for (std::string_view parameter : parameters)
            f.parameters[static_cast<std::size_t>(++p)].parameterName = parameter;
        f.parameterCount = static_cast<std::int16_t>(p);
    }

    void AddSignal(int slot, std::string_view name, int direction, bool isClock = false) {
        RtlSignal& s = run.tables.signals[slot];
        s.signalName = name;
        s.directionIndex = static_cast<std::int16_t>(direction);
        s.isClock = isClock;
    }

    // The status text logged since the last call.
    std::string TakeLog() {
        std::string text = run.log().StatusText().substr(logFrom_);
        logFrom_ = run.log().StatusText().size();
        return text;
    }

private:
    std::size_t logFrom_ = 0;
};

// "\r\nERROR: <message>\r\n" for each message: what LogError appends.
inline std::string Errors(std::initializer_list<std::string_view> messages) {
    std::string text;
    for (std::string_view m : messages) {
        text += "\r\nERROR: ";
        text += m;
        text += "\r\n";
    }
    return text;
}

// The lines of a CR LF text; a last line without a line end counts too.
inline std::vector<std::string_view> SplitCrLfLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// Translates the lines as the section of function `slot` (1-based) of run.tables.
inline TranslatedSection TranslateSection(GenerationRun& run, int slot,
                                          const std::vector<std::string_view>& lines) {
    auto state = std::make_unique<TranslationState>();
    SectionTexts out;
    std::size_t logStart = run.log().StatusText().size();
    run.currentFunction = slot;
    ResetTranslationState(*state);
    for (std::string_view line : lines) TranslateSourceLine(*state, line, run, out);
    CloseAllBlocks(*state, run, out);
    return {out.dec.text(), out.ini.text(), out.behaviour.text(), out.upd.text(),
            run.log().StatusText().substr(logStart)};
}

// The same for lines held as strings.
inline TranslatedSection TranslateLines(GenerationRun& run, int slot,
                                        const std::vector<std::string>& lines) {
    return TranslateSection(run, slot, std::vector<std::string_view>(lines.begin(), lines.end()));
}

// The sections of a golden input file: each starts at a line "=== <title>"; lines
// starting with "#" are comments.
inline std::vector<std::pair<std::string, std::vector<std::string>>>
ReadSections(const std::string& text) {
    std::istringstream input(text);
    std::vector<std::pair<std::string, std::vector<std::string>>> sections;
    for (std::string line; std::getline(input, line);) {
        if (line.starts_with("#")) continue;
        if (line.starts_with("=== "))
            sections.emplace_back(line.substr(4), std::vector<std::string>{});
        else if (!sections.empty())
            sections.back().second.push_back(line);
    }
    return sections;
}

// The same for a text of CR LF lines.
inline TranslatedSection TranslateSectionText(GenerationRun& run, int slot, std::string_view text) {
    return TranslateSection(run, slot, SplitCrLfLines(text));
}

} // namespace kestrel::test
