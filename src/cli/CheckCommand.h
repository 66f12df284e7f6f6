#pragma once
// kestrel-cli check: translates a project's behaviour without writing its output files
// and prints every error and warning the way compilers do, so that editors can jump to it.
#include "translator/Diagnostic.h"

#include <iosfwd>
#include <optional>
#include <string>

namespace kestrel::cli {

// "FILE:LINE: error: MESSAGE", or "FILE: error: MESSAGE" for an error about a whole file
// ("warning" for a warning); in UTF-8 for the terminal.
std::string FormatDiagnostic(const Diagnostic& diagnostic);

// Checks the project file `projectPath` (stored text): the errors and then the warnings go
// to err, one line each, and a summary line "<project>: N error(s), M warning(s)" to out.
// Returns 0 without errors (whatever the warnings), 1 with errors, 2 when the project
// cannot be read.
int RunCheckCommand(const std::string& projectPath, std::optional<int> method, std::ostream& out,
                    std::ostream& err);

} // namespace kestrel::cli
