#pragma once
// A generation error with its place: the file and line that caused it, as a compiler
// would report it ("FILE:LINE: error: MESSAGE").
#include <string>
#include <vector>

namespace kestrel {

struct Diagnostic {
    std::string file; // stored path; empty when the error belongs to no file
    int line = 0;     // from 1; 0 when the error concerns the file as a whole
    std::string message;
};

using Diagnostics = std::vector<Diagnostic>;

} // namespace kestrel
