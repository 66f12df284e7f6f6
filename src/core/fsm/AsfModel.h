#pragma once
// A diagram as a plain model of what the FSM route reads from it: states, the reset
// object, transitions, action blocks, diagram signals and constants (and the ports, shown
// only), each with its object number. Describing a document gives the model in file
// order with names resolved as the diagram reader resolves them; applying a model makes
// the document hold exactly its objects: known numbers keep their records, new ones are
// added, the rest is deleted, and each list's records follow the model's order. Texts are
// stored text with real line breaks (LF).
#include "fsm/AsfDocument.h"

#include <optional>
#include <string>
#include <vector>

namespace kestrel {

struct ModelState {
    std::optional<ObjectNumber> id;
    std::string name;
    AsfStateKind kind = AsfStateKind::Ordinary;
    std::optional<AsfPoint> at; // laid out automatically when absent
};

struct ModelReset {
    std::optional<ObjectNumber> id;
    std::optional<AsfPoint> at;
};

struct ModelTransition {
    std::optional<ObjectNumber> id;
    ObjectNumber from = 0; // ids of the model's states or reset
    ObjectNumber to = 0;
    ObjectNumber priority = 0;
    std::optional<std::string> condition;
};

struct ModelAction {
    std::optional<ObjectNumber> id;
    ObjectNumber state = 0;
    std::string text;
};

struct ModelSignal {
    std::optional<ObjectNumber> id;
    std::string name;
    std::string init;
};

struct ModelConstant {
    std::optional<ObjectNumber> id;
    std::string name;
    std::string value;
};

struct ModelPort {
    ObjectNumber id = 0;
    std::string name;
    bool input = true;
};

struct DiagramModel {
    std::vector<ModelState> states;
    std::optional<ModelReset> reset;
    std::vector<ModelTransition> transitions;
    std::vector<ModelAction> actions;
    std::vector<ModelSignal> signals;
    std::vector<ModelConstant> constants;
    std::vector<ModelPort> ports; // not applied
};

DiagramModel DescribeDiagram(const AsfDocument& doc);

// On a refusal (an entry naming a missing object, a priority outside 0 to 4095, a name
// the diagram cannot hold, a full table) the document is left as it was; the message
// names the file and the entry.
Status ApplyDiagramModel(AsfDocument& doc, const DiagramModel& model);

} // namespace kestrel
