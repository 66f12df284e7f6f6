// Builds generated files line by line with CR LF line ends, and copies the lines of a
// section file into them.
#include "codegen/TextWriter.h"

#include "codegen/SectionFileReader.h"

namespace kestrel {

void TextWriter::line(std::string_view text) {
    text_.append(text);
    text_.append("\r\n");
}

void TextWriter::line(std::initializer_list<std::string_view> pieces) {
    for (std::string_view piece : pieces) text_.append(piece);
    text_.append("\r\n");
}

void TextWriter::blank() {
    text_.append("\r\n");
}

void TextWriter::splice(std::string_view sectionFileText, std::string_view indent) {
    for (std::string_view each : SplitSectionLines(sectionFileText)) line({indent, each});
}

} // namespace kestrel
