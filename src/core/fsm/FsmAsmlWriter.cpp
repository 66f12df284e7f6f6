// Writes a state machine as AsmL: "namespace ns<name>", the imports, an enumeration
// typeState of the state names, the signature, the constants and variables (CurrentState
// first, starting in the initial state), and "step while ( CurrentState <> trap )" around
// a match over CurrentState. Each state's case holds its action texts (split at "\n") and
// its outgoing transitions sorted by priority with a stable-for-equal exchange sort, as an
// if / elseif / else chain; a state whose transitions all have conditions falls back to
// the default state. The trap state closes the match as its otherwise branch.
#include "fsm/FsmAsmlWriter.h"

#include "fsm/AsfRecord.h"
#include "platform/Text.h"

namespace kestrel {

void FsmAsmlText::Line(std::string_view line, DiagramOrigin origin) {
    text.append(line);
    text.append("\r\n");
    origins.push_back(origin);
}

namespace {

struct Outgoing {
    ObjectNumber target = 0;
    std::string targetName;
    std::string condition;
    bool hasCondition = false;
    ObjectNumber priority = 0;
    int transitionLine = 0;
    int targetNameLine = 0; // where the target's name comes from
    int conditionLine = 0;
};

std::string Blanks(int n) {
    return std::string(static_cast<std::size_t>(n), ' ');
}

// The line that a state's name comes from: its label, or the state itself.
int NameLine(const DiagramState& s) {
    return s.nameLine ? s.nameLine : s.line;
}

// The last state with the given object number; null when none has it.
const DiagramState* LastStateNumbered(const StateMachine& m, ObjectNumber number) {
    const DiagramState* found = nullptr;
    for (const DiagramState& s : m.states)
        if (s.number == number) found = &s;
    return found;
}

class Writer {
public:
    Writer(const StateMachine& m, int diagram, FsmAsmlText& out)
        : m_(m), diagram_(diagram), out_(out) {}

    void Write(std::string_view functionName, std::string_view signature);
    std::vector<DiagramProblem> problems_;

private:
    void Line(std::string_view text, int diagramLine = 0) {
        out_.Line(text, diagramLine > 0 ? DiagramOrigin{diagram_, diagramLine} : DiagramOrigin{});
    }
    void StateCase(const DiagramState& state);
    std::vector<Outgoing> OutgoingOf(const DiagramState& state);

    const StateMachine& m_;
    int diagram_;
    FsmAsmlText& out_;
};

void Writer::Write(std::string_view functionName, std::string_view signature) {
    const DiagramState* initial = m_.initialState ? &m_.states[m_.initialState - 1] : nullptr;
    const DiagramState* trap = m_.trapState ? &m_.states[m_.trapState - 1] : nullptr;

    Line("namespace ns" + std::string(functionName));
    Line("import nsHardwareDatatype");
    Line("import nsRTL");
    Line("");
    Line("// Declare Enumeration here");
    Line("enum typeState");
    for (const DiagramState& s : m_.states) Line(Blanks(2) + s.name, NameLine(s));
    Line("");
    Line("// Function Declaration");
    Line(signature);
    Line("");
    Line(Blanks(2) + "// Declare Constants here");
    for (const DiagramConstant& c : m_.constants)
        Line(Blanks(2) + "const " + c.name + " As Integer = " + c.value,
             c.nameLine ? c.nameLine : c.line);
    Line("");
    Line(Blanks(2) + "// Declare Local AsmL Variables here");
    if (initial)
        Line(Blanks(2) + "var CurrentState as typeState = " + initial->name, NameLine(*initial));
    else
        Line(Blanks(2) + "var CurrentState as typeState");
    for (const DiagramSignal& s : m_.signals) {
        std::string line = Blanks(2) + "var " + s.name + " As Integer";
        if (s.hasInitialValue) line += " = " + s.initialValue;
        Line(line, s.line);
    }
    Line("");
    Line(Blanks(2) + "// Start writing State Machine from here");
    Line(Blanks(2) + "step while ( CurrentState <> " + (trap ? trap->name : std::string()) + " )",
         trap ? NameLine(*trap) : 0);
    Line("");
    Line(Blanks(4) + "match ( CurrentState )");
    Line("");
    for (const DiagramState& s : m_.states) StateCase(s);
    if (trap) {
        Line(Blanks(6) + "// Trap State", trap->line);
        Line(Blanks(6) + "otherwise", trap->line);
        Line("");
        Line(Blanks(8) + "// Next State");
        Line(Blanks(8) + "CurrentState := " + trap->name, NameLine(*trap));
        Line("");
        Line("");
        Line("");
    }
}

std::vector<Outgoing> Writer::OutgoingOf(const DiagramState& state) {
    std::vector<Outgoing> list;
    for (const DiagramTransition& t : m_.transitions) {
        if (t.source != state.number) continue;
        if (list.size() >= kMaxOutgoingTransitions) {
            problems_.push_back(
                {t.line, "Too many transitions leave state " + state.name + " in ASF file " +
                             out_.diagramPaths[static_cast<std::size_t>(diagram_)] + ", line " +
                             std::to_string(t.line) + " (at most " +
                             std::to_string(kMaxOutgoingTransitions) + "); the rest are left out"});
            break;
        }
        Outgoing entry;
        entry.target = t.target;
        entry.priority = t.priority;
        entry.transitionLine = t.line;
        for (const DiagramCondition& c : m_.conditions) {
            if (c.transition != t.number) continue;
            entry.condition = c.text;
            entry.hasCondition = true;
            entry.conditionLine = c.line;
        }
        const DiagramState* target = LastStateNumbered(m_, entry.target);
        entry.targetName = target ? target->name : std::string();
        entry.targetNameLine = target ? NameLine(*target) : t.line;
        list.push_back(std::move(entry));
    }
    // The exchange sort: entries of equal priority are never swapped with each other
    // directly, but may change order through a swap with a third entry.
    for (std::size_t a = 0; a + 1 < list.size(); ++a)
        for (std::size_t b = a + 1; b < list.size(); ++b)
            if (list[a].priority > list[b].priority) std::swap(list[a], list[b]);
    return list;
}

void Writer::StateCase(const DiagramState& state) {
    Line(Blanks(6) + state.name + " :", NameLine(state));
    Line("");
    for (const DiagramAction& action : m_.actions) {
        if (action.state != state.number || Trim(action.text).empty()) continue;
        std::string_view rest = action.text;
        bool first = true;
        while (true) {
            std::size_t split = rest.find("\\n");
            std::string_view piece = rest.substr(0, split);
            if (first) Line(Blanks(8) + "// Actions", action.line);
            first = false;
            Line(Blanks(8) + RemoveBackslashes(piece), action.line);
            if (split == std::string_view::npos) break;
            rest.remove_prefix(split + 2);
        }
    }
    Line("");

    std::vector<Outgoing> list = OutgoingOf(state);
    bool elseOpen = !list.empty();
    for (std::size_t i = 0; i < list.size(); ++i) {
        const Outgoing& e = list[i];
        int conditionLine = e.conditionLine ? e.conditionLine : e.transitionLine;
        std::string next = "CurrentState := " + e.targetName;
        if (i == 0) Line(Blanks(8) + "// Next State", e.transitionLine);
        if (e.hasCondition) {
            Line(Blanks(8) + (i == 0 ? "if ( " : "elseif ( ") + RemoveBackslashes(e.condition) +
                     " ) then",
                 conditionLine);
            Line(Blanks(10) + next, e.targetNameLine);
        } else if (i == 0) {
            Line(Blanks(8) + next, e.targetNameLine);
            elseOpen = false;
        } else {
            Line(Blanks(8) + "else", e.transitionLine);
            Line(Blanks(10) + next, e.targetNameLine);
            elseOpen = false;
        }
    }
    if (elseOpen && m_.defaultState) {
        const DiagramState& fallback = m_.states[m_.defaultState - 1];
        Line(Blanks(8) + "else", fallback.line);
        Line(Blanks(10) + "CurrentState := " + fallback.name, NameLine(fallback));
    }
    Line("");
    Line("");
}

} // namespace

std::vector<DiagramProblem> WriteFsmNamespace(const StateMachine& machine,
                                              std::string_view functionName,
                                              std::string_view signature, int diagram,
                                              FsmAsmlText& out) {
    Writer writer(machine, diagram, out);
    writer.Write(functionName, signature);
    return std::move(writer.problems_);
}

} // namespace kestrel
