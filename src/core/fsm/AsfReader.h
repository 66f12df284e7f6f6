#pragma once
// The diagram reader: fills a state machine from the records of an ASF document (its
// objects block), names its states, signals and constants from their labels, and finds
// the initial state. Problems come back as values, in the order they were found, each
// with the diagram line it concerns.
#include "fsm/AsfDocument.h"
#include "fsm/StateMachine.h"

#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

struct DiagramReading {
    StateMachine machine;
    std::vector<DiagramProblem> problems;
};

// Reads the document (its path is named in messages) as the behaviour of function
// `functionName` (trimmed; named in the messages about missing states). The document may
// come from AsfDocument::Parse: one without the version line or without END is reported.
DiagramReading ReadMachine(const AsfDocument& doc, std::string_view functionName);

// Reads the diagram `bytes`, the file at `path`: ReadMachine of the parsed bytes.
DiagramReading ReadAsfDiagram(std::string_view bytes, std::string_view path,
                              std::string_view functionName);

} // namespace kestrel
