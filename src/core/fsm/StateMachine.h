#pragma once
// The state machine of one ASF diagram as the diagram reader fills it: its states,
// labels, actions, transitions, conditions, diagram signals and constants in file order,
// and the reset object and the initial, default and trap states. Every item keeps the
// line of the diagram it came from, so that messages about the AsmL made from it can
// point back into the diagram.
#include <cstdint>
#include <string>
#include <vector>

namespace kestrel {

inline constexpr std::size_t kMaxDiagramStates = 50;
inline constexpr std::size_t kMaxDiagramLabels = 50;
inline constexpr std::size_t kMaxDiagramActions = 50;
inline constexpr std::size_t kMaxDiagramTransitions = 50;
inline constexpr std::size_t kMaxDiagramConditions = 50;
inline constexpr std::size_t kMaxDiagramSignals = 25;
inline constexpr std::size_t kMaxDiagramConstants = 25;
inline constexpr std::size_t kMaxOutgoingTransitions = 25;

// Object numbers, flags and priorities as read from a record's words.
using ObjectNumber = std::int64_t;

struct DiagramState {
    ObjectNumber number = 0;
    std::string name;
    bool isDefault = false;
    bool isTrap = false;
    int line = 0;
    int nameLine = 0; // of the label that gave the name; 0 when none did
};

struct DiagramLabel {
    ObjectNumber number = 0;
    ObjectNumber labelled = 0; // the object the label names
    std::string text;
    int line = 0;
};

struct DiagramAction {
    ObjectNumber number = 0;
    ObjectNumber state = 0;
    std::string text;
    int line = 0;
};

struct DiagramTransition {
    ObjectNumber number = 0;
    ObjectNumber source = 0;
    ObjectNumber target = 0;
    ObjectNumber priority = 0; // the flags modulo 4096
    int line = 0;
};

struct DiagramCondition {
    ObjectNumber number = 0;
    ObjectNumber transition = 0;
    std::string text;
    int line = 0;
};

struct DiagramSignal {
    ObjectNumber number = 0;
    std::string name;
    bool hasInitialValue = false;
    std::string initialValue;
    int line = 0;
};

struct DiagramConstant {
    ObjectNumber number = 0;
    std::string name;
    std::string value;
    int line = 0;
    int nameLine = 0; // of the label that gave name and value; 0 when none did
};

struct StateMachine {
    std::vector<DiagramState> states;
    std::vector<DiagramLabel> labels;
    std::vector<DiagramAction> actions;
    std::vector<DiagramTransition> transitions;
    std::vector<DiagramCondition> conditions;
    std::vector<DiagramSignal> signals;
    std::vector<DiagramConstant> constants;

    ObjectNumber resetObject = 0;
    // 1-based indexes into `states`; 0 when the diagram has no such state.
    std::size_t initialState = 0;
    std::size_t defaultState = 0;
    std::size_t trapState = 0;
};

// Something wrong with a diagram, found while reading or writing it.
struct DiagramProblem {
    int line = 0; // 0 when the problem concerns the diagram as a whole
    std::string message;
};

} // namespace kestrel
