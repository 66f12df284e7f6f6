// Fuzz target: kestrel-docextract's document reader. The input is a specification
// document: an AsmL template XML text, a plain text or a word-processing document (zip).
// Besides not crashing: the reader either refuses with a one-line reason, or gives a text
// of whole CR LF lines; and reading twice gives the same result.
#include "AsmlDocument.h"
#include "FuzzSupport.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace kestrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    DocumentText first = ReadAsmlDocument(input);
    if (!first.error.empty()) {
        FUZZ_CHECK(first.error.find_first_of("\r\n") == std::string::npos, first.error);
    } else {
        FUZZ_CHECK(kestrel::fuzz::OnlyCrLfLineEnds(first.text), "a line end other than CR LF");
        FUZZ_CHECK(first.text.empty() || first.text.ends_with("\r\n"), "the last line has no end");
    }
    DocumentText second = ReadAsmlDocument(input);
    FUZZ_CHECK(second.text == first.text && second.error == first.error,
               "a second reading differs");

    // The two helpers the reader is built from, on the same bytes.
    std::string lines = WithCrLfLineEnds(input);
    FUZZ_CHECK(kestrel::fuzz::OnlyCrLfLineEnds(lines), "WithCrLfLineEnds");
    DocumentText sections = TemplateSectionsText(input);
    FUZZ_CHECK(kestrel::fuzz::OnlyCrLfLineEnds(sections.text), "a line end other than CR LF");
    return 0;
}
