#pragma once
// The checks of a diagram while it is drawn: the two errors that make the FSM route refuse
// it (no initial state, no trap state) and warnings for what is legal but most likely not
// meant (a state nothing leads to, a state with no way out, two states of one name, two
// transitions of one state with one priority, a transition that ends nowhere, an action of
// the trap state, a backslash the converter drops, a table of the reader overfull). Each
// names the diagram line and the object it concerns, so that an editor can select it.
#include "fsm/AsfDocument.h"

#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

enum class DiagramSeverity { Error, Warning };

struct DiagramCheck {
    DiagramSeverity severity = DiagramSeverity::Warning;
    int line = 0;            // the diagram line from 1; 0 for the diagram as a whole
    ObjectNumber object = 0; // the object concerned; 0 for none
    std::string message;     // stored text
};

// The checks of the document: the reader's problems as errors, then the warnings. `functionName`
// is named in the messages the reader itself would give.
std::vector<DiagramCheck> CheckDiagram(const AsfDocument& doc, std::string_view functionName);

// The action blocks of the trap state, which never run: the machine stops as soon as it
// enters that state. One warning per block that is not empty, at its line.
std::vector<DiagramProblem> TrapActionWarnings(const StateMachine& machine);

// The object a diagram line (from 1) is about: a label or a condition stands for the
// object it belongs to, every other record of the objects block for itself; 0 for none.
ObjectNumber ObjectOfDiagramLine(const AsfDocument& doc, int line);

// The object a diagram line (from 1) is about, in words, as compilers name a scope:
// "action of state REQUEST", "condition of transition WAIT_ACK -> DONE", "state IDLE",
// "reset"; empty for a line of no object.
std::string DiagramLineScope(const AsfDocument& doc, int line);

// "FILE:LINE: error: MESSAGE" or "... warning: ..." (no line when it is 0).
std::string DiagramCheckText(const DiagramCheck& check, std::string_view path);

} // namespace kestrel
