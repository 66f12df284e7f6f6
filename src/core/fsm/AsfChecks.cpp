// The checks of a diagram.
#include "fsm/AsfChecks.h"

#include "fsm/AsfReader.h"

namespace kestrel {

std::vector<DiagramCheck> CheckDiagram(const AsfDocument& doc, std::string_view functionName) {
    std::vector<DiagramCheck> checks;
    DiagramReading reading = ReadAsfDiagram(doc.Bytes(), doc.Path(), functionName);
    for (const DiagramProblem& problem : reading.problems)
        checks.push_back({DiagramSeverity::Error, problem.line, 0, problem.message});
    return checks;
}

std::string DiagramCheckText(const DiagramCheck& check, std::string_view path) {
    std::string text(path);
    if (check.line > 0) text += ":" + std::to_string(check.line);
    text += check.severity == DiagramSeverity::Error ? ": error: " : ": warning: ";
    return text + check.message;
}

} // namespace kestrel
