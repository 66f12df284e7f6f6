// kestrel-docextract -cc DOCUMENT OUTPUT: writes the AsmL text of a specification document
// to OUTPUT (replaced atomically), one line per line with CR LF line ends. Messages go to
// the error stream; the exit status is 0 on success, 1 when the document cannot be read
// or the output cannot be written, 2 for a wrong command line.
#include "AsmlDocument.h"

#include "platform/FileSystem.h"
#include "platform/Text.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>

namespace {

constexpr const char* kProgram = "kestrel-docextract";

int Fail(const std::string& message, int status) {
    std::cerr << kProgram << ": " << message << "\n";
    return status;
}

// Reads a whole file given by its native path.
std::optional<std::string> ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return bytes.str();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4 || std::string(argv[1]) != "-cc")
        return Fail("usage: kestrel-docextract -cc DOCUMENT OUTPUT", 2);
    const std::string document = argv[2];
    const std::string output = argv[3];

    std::error_code ec;
    if (!std::filesystem::is_regular_file(document, ec))
        return Fail("cannot read \"" + document + "\": no such document", 1);
    std::optional<std::string> bytes = ReadWhole(document);
    if (!bytes) return Fail("cannot read \"" + document + "\"", 1);

    kestrel::DocumentText text = kestrel::ReadAsmlDocument(*bytes);
    if (!text.error.empty()) return Fail("\"" + document + "\": " + text.error, 1);

    // The core names files by their Windows-1252 text.
    std::optional<std::string> stored = kestrel::Utf8ToCp1252(output);
    if (!stored)
        return Fail("cannot write \"" + output +
                        "\": the name has characters "
                        "outside the Windows-1252 code page",
                    1);
    kestrel::Status written = kestrel::WriteFileAtomic(*stored, text.text);
    if (!written) return Fail(kestrel::Cp1252ToUtf8(written.message()), 1);
    return 0;
}
