#pragma once
// The AsmL writer of the FSM route: one AsmL namespace per state machine, appended to the
// text of clean.asml. Every line remembers the diagram line it was made from, so that a
// translation error in it can be reported at its place in the diagram.
#include "fsm/StateMachine.h"

#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// Where a line of clean.asml came from: a line of one of the diagrams, or none for the
// lines the writer makes up itself (headers, comments, the signature).
struct DiagramOrigin {
    int diagram = -1; // index into FsmAsmlText::diagramPaths; -1 for none
    int line = 0;
};

struct FsmAsmlText {
    std::string text;                   // every line ended by CR LF
    std::vector<DiagramOrigin> origins; // one per line of `text`
    std::vector<std::string> diagramPaths;

    void Line(std::string_view line, DiagramOrigin origin = {});
};

// Appends the namespace "ns<functionName>" of the state machine: the enumeration of its
// states, the signature, constants and variables, then a step loop that runs until the
// trap state with one match case per state (its actions and its next-state logic by
// transition priority) and the trap branch. `diagram` is the index of the diagram's path
// in out.diagramPaths, whose path the problems name. A state with more than 25 outgoing
// transitions is a problem: the transitions beyond the 25th are left out.
std::vector<DiagramProblem> WriteFsmNamespace(const StateMachine& machine,
                                              std::string_view functionName,
                                              std::string_view signature, int diagram,
                                              FsmAsmlText& out);

} // namespace kestrel
