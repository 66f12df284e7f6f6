#pragma once
// Which source line made each line of a function's section texts. The translation works
// line by line, so every line it writes has a source line: the statement it renders, a
// comment or blank line it carries over, or for a brace or closing line the line that
// opened the block. Recorded only when asked for (building a source map), from outside
// the translator: the section writers note where each of their lines begins, and the
// tracker reads the translation state between two lines. A section that spills (too long
// to be held whole) is not followed: its origins are marked incomplete.
#include "codegen/LineMap.h"
#include "translator/SectionObserver.h"

#include <array>
#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// Follows one function's translation (as an observer of TranslateSection) and fills
// `origins` at Finish.
class SectionOriginTracker : public SectionObserver {
public:
    explicit SectionOriginTracker(SectionOrigins& origins) : origins_(origins) {}
    ~SectionOriginTracker() override { StopRecording(); }
    SectionOriginTracker(const SectionOriginTracker&) = delete;
    SectionOriginTracker& operator=(const SectionOriginTracker&) = delete;

    void Begin(SectionTexts& texts, TranslationState& state) override;
    void BeforeLine(std::size_t index) override;
    void AfterLine(std::size_t index, std::string_view line) override;
    void AfterClosingAll() override;
    void Finish() override;

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

    // False once a text spilled: the recording stops there.
    bool Following();
    void StopRecording();
    std::string_view CallText(const Section& section, std::size_t call) const;
    NewCalls& TakeNewCalls();
    void CloseBlock(const Block& block, NewCalls& calls);
    void Settle(NewCalls& calls, int origin);

    SectionOrigins& origins_;
    std::array<Section, kSections> sections_;
    NewCalls calls_;
    const TranslationState* state_ = nullptr;
    bool following_ = false;
    std::vector<Block> blocks_;
    std::string pendingBefore_;
    std::vector<int> pendingOrigins_; // the source line of each line of the pending text
    int previousIndentation_ = 0;
    int lastNonEmpty_ = -1;
};

} // namespace kestrel
