#pragma once
// The content of an AsmL template text (template.asml): the document's title and
// author, then its blocks in order, each a heading (a `para`) or the lines of an AsmL
// section (an `asml` element's CDATA).
#include "platform/Status.h"

#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

struct TemplateBlock {
    enum class Kind { Heading, Asml };
    Kind kind = Kind::Heading;
    std::vector<std::string> lines; // UTF-8; a heading has one line
};

struct TemplateContent {
    std::string title;  // UTF-8, trimmed
    std::string author; // UTF-8, trimmed
    std::vector<TemplateBlock> blocks;
};

// Reads a template text (Windows-1252 bytes, as the template writer leaves it).
// `fileName` names the file in messages. A text that is not well-formed XML, or whose
// root is not `document`, is an error with the line where the reading stopped.
Status ReadAsmlTemplate(std::string_view bytes, std::string_view fileName,
                        TemplateContent& content);

} // namespace kestrel
