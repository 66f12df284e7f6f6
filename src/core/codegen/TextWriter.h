#pragma once
// The line writer of the generated text files: every line ends with CR LF.
#include <initializer_list>
#include <string>
#include <string_view>

namespace kestrel {

class TextWriter {
public:
    // Appends the text and CR LF.
    void line(std::string_view text);
    // Appends the concatenation of the pieces and CR LF.
    void line(std::initializer_list<std::string_view> pieces);
    // Appends an empty line.
    void blank();
    // Appends every line of a section file's text, each behind `indent` and ended by
    // CR LF. An empty text contributes no lines.
    void splice(std::string_view sectionFileText, std::string_view indent = {});

    const std::string& text() const { return text_; }
    std::string take() { return std::move(text_); }

private:
    std::string text_;
};

} // namespace kestrel
