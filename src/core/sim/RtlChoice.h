#pragma once
// The Verilog files and top a project simulates against, kept in the project folder
// (rtl.json) so that Simulate and `kestrel-cli sim` start from them; the table files stay as
// they are.
#include "platform/Status.h"

#include <optional>
#include <string>
#include <vector>

namespace kestrel {

inline constexpr const char* kRtlChoiceFile = "rtl.json";

struct RtlChoice {
    std::vector<std::string> files; // full paths
    std::string top;                // the Verilog top module; empty: the files' own
    friend bool operator==(const RtlChoice&, const RtlChoice&) = default;
};

// <project folder>/rtl.json
std::string RtlChoicePath(const std::string& projectFolder);

// A missing file is no choice (and no error); a damaged one is an error naming the file.
// Files stored relative to the project folder come back as full paths.
Status LoadRtlChoice(const std::string& projectFolder, std::optional<RtlChoice>& choice);

// Written atomically; a file inside the project folder is stored relative to it, so a moved
// or copied project keeps its RTL. A choice without files forgets the project's RTL.
Status SaveRtlChoice(const std::string& projectFolder, const RtlChoice& choice);

// How a file of `choice` is stored: relative to the project folder when inside it.
std::string RtlStoredName(const std::string& projectFolder, const std::string& file);

// "rtl: using the project's Verilog: a.v, b.v (top memory)"
std::string RtlChoiceLine(const RtlChoice& choice);

// The first remembered file that no longer exists, as an error naming it and saying how to
// replace it (`replace` names the user's way: the command line's flags or the window's
// button); ok when every file is there.
Status CheckRtlChoiceFiles(const RtlChoice& choice, const std::string& replace);

} // namespace kestrel
