#pragma once
// Drives the line translator the way the route does: one function's section, line by
// line, then the closing of every open block; collects the four section texts and the
// log text the function produced.
#include "codegen/GenerationRun.h"
#include "translator/SectionTexts.h"
#include "translator/StatementTranslator.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::test {

struct TranslatedSection {
    std::string dec;
    std::string ini;
    std::string behaviour;
    std::string upd;
    std::string log; // what the function appended to the status text
};

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

// The same for a text of CR LF lines.
inline TranslatedSection TranslateSectionText(GenerationRun& run, int slot,
                                              std::string_view text) {
    return TranslateSection(run, slot, SplitCrLfLines(text));
}

} // namespace kestrel::test
