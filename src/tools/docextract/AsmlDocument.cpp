// Reads the AsmL text of a specification document. The format is told by the content: a
// zip archive is an Office Open XML document (WordDocument.cpp); otherwise a
// text whose first non-blank character is "<" is an XML document in the AsmL template
// format and yields the lines of its <asml> CDATA sections; any other text is AsmL
// itself and is copied line by line. Line ends become CR LF either way.
#include "AsmlDocument.h"

#include "WordDocument.h"
#include "platform/Text.h"

#include <algorithm>
#include <vector>

namespace kestrel {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kCompoundFileMark = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
constexpr std::string_view kRtfMark = "{\\rtf";
constexpr std::string_view kSectionStart = "<![CDATA[";
constexpr std::string_view kSectionEnd = "]]>";
constexpr std::string_view kElementEnd = "</asml>";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool OnlyBlanks(std::string_view text) {
    return std::all_of(text.begin(), text.end(), IsBlank);
}

// The line number (from 1) of a position, for messages.
int LineAt(std::string_view text, std::size_t position) {
    int line = 1;
    for (std::size_t i = 0; i < position && i < text.size(); ++i) {
        bool lineEnd =
            text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'));
        if (lineEnd) ++line;
    }
    return line;
}

// The start of the next "<asml" start tag at or after `from` ("<asml>" or "<asml ...>").
std::size_t FindElementStart(std::string_view xml, std::size_t from) {
    for (std::size_t at = xml.find("<asml", from); at != std::string_view::npos;
         at = xml.find("<asml", at + 1)) {
        std::size_t next = at + 5;
        if (next < xml.size() && (xml[next] == '>' || xml[next] == ' ' || xml[next] == '\t' ||
                                  xml[next] == '\r' || xml[next] == '\n'))
            return at;
    }
    return std::string_view::npos;
}

// Appends the lines of one CDATA section's content. A section written as "<![CDATA[" at
// the end of a line and "]]>" behind the indentation of a line of its own holds no AsmL on
// those two lines.
void AppendSection(std::string_view content, std::string& out) {
    std::vector<std::string_view> lines = SplitLines(content);
    std::size_t first = 0, last = lines.size();
    if (content.find_first_of("\r\n") != std::string_view::npos) {
        if (!lines.empty() && OnlyBlanks(lines.front())) first = 1;
        bool endsWithLineEnd = content.back() == '\r' || content.back() == '\n';
        if (!endsWithLineEnd && last > first && OnlyBlanks(lines.back())) --last;
    } else if (OnlyBlanks(content)) {
        return;
    }
    for (std::size_t i = first; i < last; ++i) {
        out.append(lines[i]);
        out.append("\r\n");
    }
}

} // namespace

std::string WithCrLfLineEnds(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::string_view line : SplitLines(text)) {
        out.append(line);
        out.append("\r\n");
    }
    return out;
}

DocumentText TemplateSectionsText(std::string_view xml) {
    DocumentText result;
    int sections = 0;
    std::size_t at = FindElementStart(xml, 0);
    while (at != std::string_view::npos) {
        std::size_t tagEnd = xml.find('>', at);
        std::size_t elementEnd =
            tagEnd == std::string_view::npos ? tagEnd : xml.find(kElementEnd, tagEnd);
        if (elementEnd == std::string_view::npos) {
            result.error =
                "the <asml> element at line " + std::to_string(LineAt(xml, at)) + " is not closed";
            return result;
        }
        std::size_t cursor = tagEnd + 1;
        while (true) {
            std::size_t open = xml.find(kSectionStart, cursor);
            if (open == std::string_view::npos || open >= elementEnd) break;
            std::size_t contentStart = open + kSectionStart.size();
            std::size_t close = xml.find(kSectionEnd, contentStart);
            if (close == std::string_view::npos) {
                result.error = "the CDATA section at line " + std::to_string(LineAt(xml, open)) +
                               " is not closed";
                return result;
            }
            AppendSection(xml.substr(contentStart, close - contentStart), result.text);
            ++sections;
            cursor = close + kSectionEnd.size();
            // The closing "]]>" may stand inside what looked like the element's end.
            if (cursor > elementEnd) elementEnd = xml.find(kElementEnd, cursor);
            if (elementEnd == std::string_view::npos) {
                result.error = "the <asml> element at line " + std::to_string(LineAt(xml, at)) +
                               " is not closed";
                return result;
            }
        }
        at = FindElementStart(xml, elementEnd + kElementEnd.size());
    }
    if (sections == 0) result.error = "the document holds no <asml> section with AsmL text";
    return result;
}

DocumentText ReadAsmlDocument(std::string_view bytes) {
    if (bytes.substr(0, kCompoundFileMark.size()) == kCompoundFileMark)
        return {{},
                "this is an old binary Word document (.doc), which cannot be read; save it as "
                "a Word document (.docx) and assign that"};
    if (bytes.substr(0, kRtfMark.size()) == kRtfMark)
        return {{},
                "this is an RTF document, which cannot be read; save it as a Word document "
                "(.docx) and assign that"};
    if (LooksLikeZip(bytes)) return WordDocumentText(bytes);
    if (bytes.find('\0') != std::string_view::npos)
        return {{}, "this is not a text document (it holds NUL bytes)"};
    if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark) bytes.remove_prefix(kUtf8Mark.size());

    std::size_t firstVisible = bytes.find_first_not_of(" \t\r\n");
    if (firstVisible != std::string_view::npos && bytes[firstVisible] == '<')
        return TemplateSectionsText(bytes);
    return {WithCrLfLineEnds(bytes), {}};
}

} // namespace kestrel
