#pragma once
// A generation error or a warning with its place: the file and line that caused it, as a
// compiler would report it ("FILE:LINE: error: MESSAGE", "FILE:LINE: warning: MESSAGE").
#include <string>
#include <vector>

namespace kestrel {

// Errors are what Generate logs and counts; warnings only check gives.
enum class Severity { Error, Warning };

struct Diagnostic {
    std::string file; // stored path; empty when the error belongs to no file
    int line = 0;     // from 1; 0 when the error concerns the file as a whole
    std::string message;
    Severity severity = Severity::Error;
};

using Diagnostics = std::vector<Diagnostic>;

} // namespace kestrel
