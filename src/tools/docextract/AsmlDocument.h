#pragma once
// The AsmL text of a specification document. A document is recognised by its content:
// - an XML text in the AsmL template format, whose AsmL stands in CDATA sections of
//   <asml> elements: the text is the lines of those sections, in document order;
// - any other text: the text is the document itself, line by line;
// - a zip archive: a word-processing document in the Office Open XML format, whose AsmL
//   is the text of the paragraphs in the style AsmL (WordDocument.h).
// The result always has CR LF line ends. Other binary documents (old binary Word files,
// RTF) are refused.
#include <string>
#include <string_view>

namespace kestrel {

struct DocumentText {
    std::string text;  // the AsmL lines, each ended by CR LF
    std::string error; // empty on success; otherwise why the document was refused
};

DocumentText ReadAsmlDocument(std::string_view documentBytes);

// The lines of a text (CR LF, a lone CR and a lone LF each end a line; a last line without
// an end still counts), each written back with CR LF.
std::string WithCrLfLineEnds(std::string_view text);

// The lines of the CDATA sections of every <asml> element. The rest of the line that
// opens a section and the part of the line before its closing "]]>" are left out when
// they hold only blanks. Sets `error` for an element or section that is not closed, or
// when the document holds no AsmL section at all.
DocumentText TemplateSectionsText(std::string_view xml);

} // namespace kestrel
