#pragma once
// Test helpers for word-processing documents: a zip made from named parts, and the parts
// of a zip read back, through libzip in memory.
#include <map>
#include <string>
#include <string_view>

namespace kestrel::test {

using Parts = std::map<std::string, std::string>;

// The zip of the parts (deflated).
std::string ZipOf(const Parts& parts);
// Every part of a zip; an empty map when the bytes are no zip.
Parts PartsOf(std::string_view zip);

// A minimal document package around a main document body (the XML inside <w:body>), with
// a styles part whose paragraph styles are the given (id, name) pairs.
std::string WordPackage(std::string_view body,
                        std::initializer_list<std::pair<std::string, std::string>> styles = {
                            {"AsmL", "AsmL"}, {"Heading1", "heading 1"}});

} // namespace kestrel::test
