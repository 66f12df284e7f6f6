#pragma once
// Gives the errors of a run their places. A route calls Place after each step whose
// errors belong to one file and line (a translated line, a diagram record): every error
// logged since the previous call is recorded with that place. The errors are taken from
// the status text, so the steps themselves only log, as usual.
#include "codegen/GenerationLog.h"
#include "translator/Diagnostic.h"

#include <string_view>

namespace kestrel {

class DiagnosticCollector {
public:
    // With a null `out` the collector records nothing and costs nothing.
    DiagnosticCollector(const GenerationLog& log, Diagnostics* out);

    bool Active() const { return out_ != nullptr; }
    // Records the errors logged since the last call at file:line (line 0: the whole file).
    void Place(std::string_view file, int line);

private:
    const GenerationLog& log_;
    Diagnostics* out_;
    std::size_t seen_;
};

// The messages of the errors in a piece of status text ("ERROR: " lines), in order.
std::vector<std::string> ErrorMessagesIn(std::string_view statusText);

} // namespace kestrel
