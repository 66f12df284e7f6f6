#pragma once
// The writer of generated C++ and CMake text: lines behind the indentation of the blocks
// open around them, blank lines, text spliced in, and the line end of the file written.
#include <initializer_list>
#include <string>
#include <string_view>

namespace kestrel {

class CodeWriter {
public:
    explicit CodeWriter(std::string_view lineEnd = "\n", std::string_view indentStep = "    ")
        : lineEnd_(lineEnd), step_(indentStep) {}

    // One more level of indentation from its making to its end, where it writes its
    // closing line ("}", "};"; none when empty) at the level outside it.
    class Block {
    public:
        ~Block();
        Block(const Block&) = delete;
        Block& operator=(const Block&) = delete;

    private:
        friend class CodeWriter;
        Block(CodeWriter& writer, std::string closing);
        CodeWriter& writer_;
        std::string closing_;
    };

    // Appends the indentation, the text (or the pieces one after the other) and the line
    // end; an empty text gives an empty line, without indentation.
    void line(std::string_view text);
    void line(std::initializer_list<std::string_view> pieces);
    // One line() for each text.
    void lines(std::initializer_list<std::string_view> texts);
    void blank();
    // Appends every line of a text ending in '\n' (or not), each as by line().
    void splice(std::string_view text);
    // Writes `opening` as a line (none when empty) and opens a level that ends with the
    // Block returned.
    [[nodiscard]] Block block(std::string_view opening = {}, std::string closing = {});

    const std::string& text() const { return text_; }
    std::string take() { return std::move(text_); }

private:
    std::string text_;
    std::string lineEnd_;
    std::string step_;
    std::string indent_;
};

} // namespace kestrel
