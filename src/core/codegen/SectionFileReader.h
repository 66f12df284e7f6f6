#pragma once
// Reading the per-function section files (<name>.dec, .ini, .asm, .upd in Temp) that the
// translator writes and the transactor writers copy into the generated files.
#include "platform/Status.h"

#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

inline constexpr std::string_view kDeclarationSection = ".dec";
inline constexpr std::string_view kInitialisationSection = ".ini";
inline constexpr std::string_view kBehaviourSection = ".asm";
inline constexpr std::string_view kUpdateSection = ".upd";

// The texts of one function's four section files, as the writers splice them.
struct FunctionSections {
    std::string declarations;   // .dec, into the transactor header
    std::string initialisation; // .ini, first part of the function body
    std::string behaviour;      // .asm, after the initialisation
    std::string update;         // .upd, body of the update procedure
};

// <projectFolder>/Temp/<trimmed function name><extension>.
std::string SectionFilePath(std::string_view projectFolder, std::string_view functionName,
                            std::string_view extension);

// The lines of a section file's text, without their line ends. CR LF, a lone CR and a
// lone LF each end a line; a last line without an end still counts; an empty text has
// no lines.
std::vector<std::string_view> SplitSectionLines(std::string_view text);

// Reads a section file whole. A missing or unreadable file is an error naming it, and
// `text` is then empty.
Status ReadSectionFile(std::string_view projectFolder, std::string_view functionName,
                       std::string_view extension, std::string& text);

} // namespace kestrel
