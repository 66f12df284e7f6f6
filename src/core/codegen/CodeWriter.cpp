// Builds generated C++ and CMake text line by line, each line behind the indentation of
// the blocks open around it and ended as the file wants.
#include "codegen/CodeWriter.h"

namespace kestrel {

CodeWriter::Block::Block(CodeWriter& writer, std::string closing)
    : writer_(writer), closing_(std::move(closing)) {
    writer_.indent_ += writer_.step_;
}

CodeWriter::Block::~Block() {
    writer_.indent_.resize(writer_.indent_.size() - writer_.step_.size());
    if (!closing_.empty()) writer_.line(closing_);
}

void CodeWriter::line(std::string_view text) {
    line({text});
}

void CodeWriter::line(std::initializer_list<std::string_view> pieces) {
    std::size_t size = 0;
    for (std::string_view piece : pieces) size += piece.size();
    if (size > 0) text_ += indent_;
    for (std::string_view piece : pieces) text_ += piece;
    text_ += lineEnd_;
}

void CodeWriter::lines(std::initializer_list<std::string_view> texts) {
    for (std::string_view text : texts) line(text);
}

void CodeWriter::blank() {
    text_ += lineEnd_;
}

void CodeWriter::splice(std::string_view text) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        line(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
}

CodeWriter::Block CodeWriter::block(std::string_view opening, std::string closing) {
    if (!opening.empty()) line(opening);
    return Block(*this, std::move(closing));
}

} // namespace kestrel
