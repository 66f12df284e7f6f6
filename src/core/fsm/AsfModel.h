#pragma once
// A diagram as a plain model of what the FSM route reads from it: states, the reset
// object, transitions, action blocks, diagram signals and constants (and the ports, shown
// only), each with its object number. Describing a document gives the model in file
// order with names resolved as the diagram reader resolves them; applying a model makes
// the document hold exactly its objects: known numbers keep their records, new ones are
// added, the rest is deleted, and each list's records follow the model's order. Texts are
// stored text with real line breaks (LF). Each object also carries where the file draws
// it (its record's points and its name label's place); these, the frames and text objects
// and the initial state are read only: applying a model moves an object only by `at`.
#include "fsm/AsfDecorations.h"
#include "fsm/AsfDocument.h"

#include <optional>
#include <string>
#include <vector>

namespace kestrel {

// Where the file draws an object: the points of its record as the file holds them (a
// state's centre and radii, a transition's start and end, another object's place), and
// the place of its name label, if it has one.
struct ModelShape {
    std::vector<AsfPoint> points;
    std::optional<AsfPoint> label;
};

struct ModelState {
    std::optional<ObjectNumber> id;
    std::string name;
    AsfStateKind kind = AsfStateKind::Ordinary;
    std::optional<AsfPoint> at; // laid out automatically when absent
    ModelShape shape{};
};

struct ModelReset {
    std::optional<ObjectNumber> id;
    std::optional<AsfPoint> at;
    ModelShape shape{};
};

struct ModelTransition {
    std::optional<ObjectNumber> id;
    ObjectNumber from = 0; // ids of the model's states or reset
    ObjectNumber to = 0;
    ObjectNumber priority = 0;
    std::optional<std::string> condition;
    ModelShape shape{};
    std::optional<AsfPoint> conditionAt{}; // the place of its condition's record, if any
};

struct ModelAction {
    std::optional<ObjectNumber> id;
    ObjectNumber state = 0;
    std::string text;
    ModelShape shape{};
};

struct ModelSignal {
    std::optional<ObjectNumber> id;
    std::string name;
    std::string init;
    ModelShape shape{};
};

struct ModelConstant {
    std::optional<ObjectNumber> id;
    std::string name;
    std::string value;
    ModelShape shape{};
};

struct ModelPort {
    ObjectNumber id = 0;
    std::string name;
    bool input = true;
    ModelShape shape{};
};

struct DiagramModel {
    std::vector<ModelState> states;
    std::optional<ModelReset> reset;
    std::vector<ModelTransition> transitions;
    std::vector<ModelAction> actions;
    std::vector<ModelSignal> signals;
    std::vector<ModelConstant> constants;
    std::vector<ModelPort> ports; // not applied
    ObjectNumber initial = 0;     // the state the reset transition enters; 0 when none
    AsfDecorations drawings{};    // not applied
};

DiagramModel DescribeDiagram(const AsfDocument& doc);

// On a refusal (an entry naming a missing object, a priority outside 0 to 4095, a name
// the diagram cannot hold, a full table) the document is left as it was; the message
// names the file and the entry.
Status ApplyDiagramModel(AsfDocument& doc, const DiagramModel& model);

} // namespace kestrel
