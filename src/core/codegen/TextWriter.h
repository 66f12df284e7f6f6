#pragma once
// The line writer of the generated text files: every line ends with CR LF.
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

class TextWriter {
public:
    // Receives the text of a writer that spills, piece by piece and in order.
    using Sink = std::function<void(std::string_view)>;

    // Appends the text and CR LF.
    void line(std::string_view text);
    // Appends the concatenation of the pieces and CR LF.
    void line(std::initializer_list<std::string_view> pieces);
    // Appends an empty line.
    void blank();
    // Appends every line of a section file's text, each behind `indent` and ended by
    // CR LF. An empty text contributes no lines.
    void splice(std::string_view sectionFileText, std::string_view indent = {});

    // From now on, whenever the text held reaches `threshold` bytes it is handed to
    // `sink` and the writer starts again from empty (keeping its memory), so that a large
    // file is written in pieces as it grows instead of being built whole in memory.
    // text() then holds only what has not been handed over yet.
    void SpillTo(Sink sink, std::size_t threshold);
    // Hands what is held to the sink; does nothing without one.
    void Flush();

    // From now on, every line(), blank() and spliced line adds to `starts` the offset in
    // text() at which its text begins, so that a caller can tell afterwards which call
    // wrote which bytes (a text holding line breaks of its own is still one call). Only
    // for a writer that does not spill; null stops the recording.
    void RecordLineStarts(std::vector<std::size_t>* starts) { starts_ = starts; }

    const std::string& text() const { return text_; }
    // Whether some of the text has been handed to the sink already.
    bool Spilled() const { return spilled_; }
    std::string take() { return std::move(text_); }

private:
    void SpillWhenFull() {
        if (text_.size() >= threshold_) Flush();
    }
    void NoteLineStart() {
        if (starts_) starts_->push_back(text_.size());
    }

    std::string text_;
    Sink sink_;
    std::size_t threshold_ = std::numeric_limits<std::size_t>::max();
    std::vector<std::size_t>* starts_ = nullptr;
    bool spilled_ = false;
};

} // namespace kestrel
