#pragma once
// The diagram reader: fills a state machine from the text of an ASF file (its objects
// block), names its states, signals and constants from their labels, and finds the
// initial state. Problems come back as values, in the order they were found, each with
// the diagram line it concerns.
#include "fsm/StateMachine.h"

#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

struct DiagramReading {
    StateMachine machine;
    std::vector<DiagramProblem> problems;
};

// Reads the diagram `bytes`, the file at `path` (named in messages) of function
// `functionName` (trimmed; named in the messages about missing states).
DiagramReading ReadAsfDiagram(std::string_view bytes, std::string_view path,
                              std::string_view functionName);

} // namespace kestrel
