// Builds generated files line by line with CR LF line ends, and copies the lines of a
// section file into them. A writer given a sink hands its text over in pieces once it
// has grown to the sink's threshold.
#include "codegen/TextWriter.h"

#include "codegen/SectionFileReader.h"

#include <algorithm>

namespace kestrel {

namespace {

// The most a spilling writer reserves up front.
constexpr std::size_t kMostReserved = std::size_t{16} << 20;

} // namespace

void TextWriter::line(std::string_view text) {
    NoteLineStart();
    text_.append(text);
    text_.append("\r\n");
    SpillWhenFull();
}

void TextWriter::line(std::initializer_list<std::string_view> pieces) {
    NoteLineStart();
    for (std::string_view piece : pieces) text_.append(piece);
    text_.append("\r\n");
    SpillWhenFull();
}

void TextWriter::blank() {
    NoteLineStart();
    text_.append("\r\n");
    SpillWhenFull();
}

void TextWriter::splice(std::string_view sectionFileText, std::string_view indent) {
    for (std::string_view each : SplitSectionLines(sectionFileText)) line({indent, each});
}

void TextWriter::SpillTo(Sink sink, std::size_t threshold) {
    sink_ = std::move(sink);
    threshold_ = threshold;
    // One allocation for the writer's life: a line rarely overshoots the threshold by
    // more than this.
    text_.reserve(std::min(threshold, kMostReserved) + 4096);
    SpillWhenFull();
}

void TextWriter::Flush() {
    if (!sink_ || text_.empty()) return;
    sink_(text_);
    text_.clear();
    spilled_ = true;
}

} // namespace kestrel
