#pragma once
// kestrel-cli add-library: the Add Library window without a screen.
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::cli {

// Adds the libraries (stored paths) to the project of a .tp file one after another, then
// does what the window's OK does. A library that is refused prints the window's message
// and the reason on err, saves nothing and returns 1; a file error returns 2.
int RunAddLibraryCommand(std::string_view projectFile, const std::vector<std::string>& libraries,
                         std::ostream& out, std::ostream& err);

} // namespace kestrel::cli
