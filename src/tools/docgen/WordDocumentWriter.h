#pragma once
// Writes a template's content as an Office Open XML word-processing document (a zip of
// XML parts) that Writer and Word open: title and author in the document properties,
// each heading in the style "heading 1", each AsmL line a paragraph in the monospaced
// paragraph style named "AsmL", one paragraph per line, blanks kept.
#include "AsmlTemplateDocument.h"

#include "platform/Status.h"

#include <string>

namespace kestrel {

inline constexpr const char* kAsmlStyleId = "AsmL";

// The document's bytes; an error only when the zip cannot be made.
Status MakeWordDocument(const TemplateContent& content, std::string& bytes);

} // namespace kestrel
