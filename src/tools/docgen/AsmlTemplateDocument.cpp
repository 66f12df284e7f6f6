// Reads template.asml with pugixml. The template is Windows-1252 text without an
// encoding declaration, so it is turned into UTF-8 first. An asml section's CDATA starts
// with the line end after "<![CDATA[" and ends with the indentation before "]]>"; both
// are dropped, every other line is kept as it stands, blanks included.
#include "AsmlTemplateDocument.h"

#include "platform/Text.h"

#include <pugixml.hpp>

#include <algorithm>

namespace kestrel {

namespace {

bool IsXmlBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string TrimXmlBlanks(std::string_view text) {
    std::size_t b = 0, e = text.size();
    while (b < e && IsXmlBlank(text[b])) ++b;
    while (e > b && IsXmlBlank(text[e - 1])) --e;
    return std::string(text.substr(b, e - b));
}

// The character data of an element: its text and CDATA children joined.
std::string CharacterData(const pugi::xml_node& node) {
    std::string text;
    for (const pugi::xml_node& child : node.children())
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            text += child.value();
    return text;
}

std::vector<std::string> SectionLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (true) {
        std::size_t end = text.find('\n', start);
        std::string line =
            text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    if (lines.size() > 1 && lines.front().empty()) lines.erase(lines.begin());
    if (!lines.empty() && TrimXmlBlanks(lines.back()).empty()) lines.pop_back();
    return lines;
}

int LineOfOffset(std::string_view text, std::ptrdiff_t offset) {
    offset = std::clamp<std::ptrdiff_t>(offset, 0, static_cast<std::ptrdiff_t>(text.size()));
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + offset, '\n'));
}

} // namespace

Status ReadAsmlTemplate(std::string_view bytes, std::string_view fileName,
                        TemplateContent& content) {
    content = TemplateContent{};
    const std::string utf8 = Cp1252ToUtf8(bytes);
    pugi::xml_document doc;
    pugi::xml_parse_result parsed = doc.load_buffer(
        utf8.data(), utf8.size(), pugi::parse_default | pugi::parse_ws_pcdata, pugi::encoding_utf8);
    if (!parsed)
        return Status::Error(std::string(fileName) + ": line " +
                             std::to_string(LineOfOffset(utf8, parsed.offset)) +
                             ": not a well-formed AsmL template (" + parsed.description() + ")");
    pugi::xml_node root = doc.document_element();
    if (std::string_view(root.name()) != "document")
        return Status::Error(std::string(fileName) +
                             ": not an AsmL template (its root element is not <document>)");

    pugi::xml_node head = root.child("head");
    content.title = TrimXmlBlanks(CharacterData(head.child("title")));
    content.author = TrimXmlBlanks(CharacterData(head.child("author")));
    for (const pugi::xml_node& section : root.children("section")) {
        for (const pugi::xml_node& node : section.children()) {
            std::string_view name = node.name();
            if (name == "para") {
                content.blocks.push_back(
                    {TemplateBlock::Kind::Heading, {TrimXmlBlanks(CharacterData(node))}});
            } else if (name == "asml") {
                content.blocks.push_back(
                    {TemplateBlock::Kind::Asml, SectionLines(CharacterData(node))});
            }
        }
    }
    return Status::Ok();
}

} // namespace kestrel
