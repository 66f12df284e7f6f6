// The origins of the section lines, told from the outside of the translator. Within one
// source line the translator writes, in this order: the texts of the blocks it closes or
// the brace of the block it opens (its indentation rule is followed here with a stack of
// its own), the comments and blank lines that waited for a statement (recognised as the
// pending text it had before the line), then the statement. Braces and closing texts go
// to the line that opened their block, the waiting lines to their own lines, the rest to
// the line being translated.
#include "generate/SectionOrigins.h"

#include "translator/ClassStack.h"

namespace kestrel {

namespace {

constexpr std::size_t kDec = 0;
constexpr std::size_t kBehaviour = 2;

// The number of lines a text of one writer call makes: the call's own line end and every
// line break inside, counted as SplitSectionLines counts them.
std::size_t LinesOfCall(std::string_view text) {
    std::size_t lines = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        if (text[i] == '\r' || text[i] == '\n') ++lines;
    }
    return lines;
}

// The text without the blanks at both ends.
std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

void SectionOriginTracker::Begin(SectionTexts& texts, TranslationState& state) {
    StopRecording();
    sections_ = {};
    blocks_.clear();
    pendingBefore_.clear();
    pendingOrigins_.clear();
    previousIndentation_ = 0;
    lastNonEmpty_ = -1;
    origins_ = SectionOrigins{};
    state_ = &state;
    following_ = true;
    TextWriter* writers[] = {&texts.dec, &texts.ini, &texts.behaviour, &texts.upd};
    for (std::size_t s = 0; s < kSections; ++s) {
        sections_[s].writer = writers[s];
        sections_[s].out = &origins_.Of(static_cast<int>(s));
        writers[s]->RecordLineStarts(&sections_[s].starts);
    }
}

void SectionOriginTracker::StopRecording() {
    for (Section& section : sections_) {
        if (section.writer) section.writer->RecordLineStarts(nullptr);
        section.writer = nullptr; // the texts may end before the tracker
    }
}

bool SectionOriginTracker::Following() {
    for (const Section& section : sections_)
        following_ = following_ && section.writer && !section.writer->Spilled();
    if (!following_) {
        StopRecording();
        origins_.complete = false;
    }
    return following_;
}

std::string_view SectionOriginTracker::CallText(const Section& section, std::size_t call) const {
    const std::string& text = section.writer->text();
    const std::size_t begin = section.starts[call];
    const std::size_t end =
        call + 1 < section.starts.size() ? section.starts[call + 1] : text.size();
    return std::string_view(text).substr(begin, end - begin - 2); // without its CR LF
}

SectionOriginTracker::NewCalls& SectionOriginTracker::TakeNewCalls() {
    NewCalls& calls = calls_; // kept from line to line with its memory
    for (std::vector<std::size_t>& own : calls) own.clear();
    for (std::size_t s = 0; s < kSections; ++s) {
        Section& section = sections_[s];
        section.callOrigin.resize(section.starts.size(), -1);
        for (std::size_t call = section.seen; call < section.starts.size(); ++call)
            calls[s].push_back(call);
        section.seen = section.starts.size();
    }
    return calls;
}

void SectionOriginTracker::CloseBlock(const Block& block, NewCalls& calls) {
    if (block.section < 0) return;
    const auto s = static_cast<std::size_t>(block.section);
    std::vector<std::size_t>& own = calls[s];
    // Its closing text ends with the first line that starts with a brace: "}", "} break ;"
    // or, for an enumeration, "};" after the list of its values.
    for (std::size_t k = 0; k < own.size(); ++k) {
        if (!Trimmed(CallText(sections_[s], own[k])).starts_with('}')) continue;
        for (std::size_t j = 0; j <= k; ++j) sections_[s].callOrigin[own[j]] = block.opener;
        own.erase(own.begin(), own.begin() + static_cast<std::ptrdiff_t>(k + 1));
        return;
    }
}

void SectionOriginTracker::Settle(NewCalls& calls, int origin) {
    for (std::size_t s = 0; s < kSections; ++s) {
        for (std::size_t call : calls[s]) sections_[s].callOrigin[call] = origin;
        calls[s].clear();
    }
}

void SectionOriginTracker::BeforeLine(std::size_t) {
    pendingBefore_ = state_->pendingText;
    previousIndentation_ = state_->previousIndentation;
}

void SectionOriginTracker::AfterLine(std::size_t line, std::string_view) {
    if (!Following()) return;
    const int index = static_cast<int>(line);
    NewCalls& calls = TakeNewCalls();
    const TranslationState& state = *state_;

    if (state.tokenCount > 0 && state.indentation > previousIndentation_) {
        // A block opened (unless the translator's stack was full): its brace, if its kind
        // has one, is the first thing the line wrote into the behaviour or the declarations.
        if (blocks_.size() < static_cast<std::size_t>(ClassStack::kCapacity)) {
            Block block{state.indentation, lastNonEmpty_, -1};
            for (std::size_t s : {kBehaviour, kDec}) {
                if (calls[s].empty() || Trimmed(CallText(sections_[s], calls[s].front())) != "{")
                    continue;
                block.section = static_cast<int>(s);
                sections_[s].callOrigin[calls[s].front()] = block.opener;
                calls[s].erase(calls[s].begin());
                break;
            }
            blocks_.push_back(block);
        }
    } else if (state.tokenCount > 0 && state.indentation < previousIndentation_) {
        while (!blocks_.empty() && state.indentation < blocks_.back().indentation) {
            CloseBlock(blocks_.back(), calls);
            blocks_.pop_back();
        }
    }

    // The waiting comments and blank lines, written whole ahead of the statement.
    if (!pendingBefore_.empty() && state.pendingText.empty()) {
        bool found = false;
        for (std::size_t s = 0; s < kSections && !found; ++s) {
            for (auto it = calls[s].begin(); it != calls[s].end(); ++it) {
                if (CallText(sections_[s], *it) != pendingBefore_) continue;
                sections_[s].lineOrigins[*it] = pendingOrigins_;
                sections_[s].callOrigin[*it] = index;
                calls[s].erase(it);
                found = true;
                break;
            }
        }
    }
    Settle(calls, index);

    const std::string& pending = state.pendingText;
    if (pending.empty()) {
        pendingOrigins_.clear();
    } else if (pending.starts_with(pendingBefore_)) {
        pendingOrigins_.resize(LinesOfCall(pending), index);
    } else {
        pendingOrigins_.assign(LinesOfCall(pending), index);
    }
    if (state.lineKind != LineKind::Empty) lastNonEmpty_ = index;
}

void SectionOriginTracker::AfterClosingAll() {
    if (!Following()) return;
    NewCalls& calls = TakeNewCalls();
    while (!blocks_.empty()) {
        CloseBlock(blocks_.back(), calls);
        blocks_.pop_back();
    }
    Settle(calls, -1);
}

void SectionOriginTracker::Finish() {
    if (!Following()) return;
    NewCalls& calls = TakeNewCalls();
    Settle(calls, -1);
    for (Section& section : sections_) {
        section.out->clear();
        for (std::size_t call = 0; call < section.starts.size(); ++call) {
            const std::size_t lines = LinesOfCall(CallText(section, call));
            auto several = section.lineOrigins.find(call);
            if (several != section.lineOrigins.end() && several->second.size() == lines)
                section.out->insert(section.out->end(), several->second.begin(),
                                    several->second.end());
            else
                section.out->insert(section.out->end(), lines, section.callOrigin[call]);
        }
    }
    StopRecording();
    following_ = false;
}

} // namespace kestrel
