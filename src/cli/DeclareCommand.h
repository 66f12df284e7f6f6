#pragma once
// kestrel-cli declare: the function list and the signal list, with their dialogs, driven
// by a JSON file instead of a screen.
#include <iosfwd>
#include <string_view>

namespace kestrel::cli {

// Replaces the project's own functions and signals with those of a JSON file in the
// format `show --json` writes, by the rules of the declaration windows, then saves as
// the two lists' OK do. A refusal prints the window's message on err, writes nothing
// and returns 1; an unreadable or malformed file returns 2.
int RunDeclareCommand(std::string_view projectFile, std::string_view jsonFile, std::ostream& out,
                      std::ostream& err);

} // namespace kestrel::cli
