#pragma once
// Which source line made each line of a function's section texts. The translation works
// line by line, so every line it writes has a source line: the statement it renders, a
// comment or blank line it carries over, or for a brace or closing line the line that
// opened the block. Recorded only when asked for (building a source map), from outside
// the translator: the section writers note where each of their lines begins, and the
// tracker reads the translation state between two lines.
#include "translator/SectionTexts.h"
#include "translator/TranslationState.h"

#include <array>
#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// Per section text, one entry per line (as SplitSectionLines splits the text): the index
// (from 0) of the source line that made it, or -1 for a line the translation adds of
// itself (the clock waits of the update, the initialisation's tail).
struct SectionOrigins {
    std::vector<int> dec;
    std::vector<int> ini;
    std::vector<int> behaviour;
    std::vector<int> upd;
};

// Follows one function's translation into `texts` (which must not spill) and fills
// `origins` when Finish is called. The caller translates the lines itself and tells the
// tracker before and after each one.
class SectionOriginTracker {
public:
    SectionOriginTracker(SectionTexts& texts, const TranslationState& state,
                         SectionOrigins& origins);
    ~SectionOriginTracker();
    SectionOriginTracker(const SectionOriginTracker&) = delete;
    SectionOriginTracker& operator=(const SectionOriginTracker&) = delete;

    void BeforeLine();
    // After the source line `index` was translated.
    void AfterLine(int index);
    // After the blocks still open at the end were closed.
    void AfterClosingAll();
    // Everything written from here on is the translation's own; gives the origins.
    void Finish();

private:
    static constexpr std::size_t kSections = 4;
    struct Section {
        TextWriter* writer = nullptr;
        std::vector<int>* out = nullptr;
        std::vector<std::size_t> starts;                     // where each call of the writer began
        std::vector<int> callOrigin;                         // per call
        std::map<std::size_t, std::vector<int>> lineOrigins; // calls of several origins
        std::size_t seen = 0;                                // the calls handed out by TakeNewCalls
    };
    struct Block {
        int indentation = 0;
        int opener = -1;  // the source line whose kind the block took
        int section = -1; // where its brace was written; -1 for a block without one
    };
    // The writer calls of one step not yet given an origin, per section, in writing order.
    using NewCalls = std::array<std::vector<std::size_t>, kSections>;

    std::string_view CallText(const Section& section, std::size_t call) const;
    NewCalls TakeNewCalls();
    void CloseBlock(const Block& block, NewCalls& calls);
    void Settle(NewCalls& calls, int origin);

    std::array<Section, kSections> sections_;
    const TranslationState& state_;
    std::vector<Block> blocks_;
    std::string pendingBefore_;
    std::vector<int> pendingOrigins_; // the source line of each line of the pending text
    int previousIndentation_ = 0;
    int lastNonEmpty_ = -1;
};

} // namespace kestrel
