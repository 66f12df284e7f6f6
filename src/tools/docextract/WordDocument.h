#pragma once
// The AsmL text of a word-processing document in the Office Open XML format (a zip of
// XML parts, as Writer and Word save .docx files): the text of every paragraph in the
// paragraph style AsmL, in document order, one line per paragraph.
#include "AsmlDocument.h"

#include <string_view>

namespace kestrel {

// True for the bytes a zip archive starts with.
bool LooksLikeZip(std::string_view bytes);

// Inside a paragraph the runs are joined; a tab (<w:tab/>) is a tab character and a line
// break (<w:br/>, <w:cr/>) ends a line. Deleted text of tracked changes, field codes and
// text boxes are left out. Typing replacements of word processors that AsmL cannot read
// are turned back: curly quotes into straight ones, non-breaking spaces into blanks.
// The lines are Windows-1252 text ended by CR LF. A damaged archive, a package without
// a main document, a main document that is not well-formed XML, and a document without
// any AsmL paragraph are refused with the reason in `error`.
DocumentText WordDocumentText(std::string_view bytes);

} // namespace kestrel
