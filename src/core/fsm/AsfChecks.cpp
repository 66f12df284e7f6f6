// The checks of a diagram: the reader's problems as errors (they are Generate's errors
// too), then warnings found on the machine the reader sees and on the texts as stored.
#include "fsm/AsfChecks.h"

#include "fsm/AsfReader.h"
#include "platform/Text.h"

#include <algorithm>
#include <map>
#include <set>

namespace kestrel {

namespace {

class Checker {
public:
    Checker(const AsfDocument& doc, const StateMachine& machine) : doc_(doc), m_(machine) {
        for (const DiagramState& state : m_.states) states_.emplace(state.number, &state);
    }

    void Warn(int line, ObjectNumber object, std::string message) {
        out.push_back({DiagramSeverity::Warning, line, object, std::move(message)});
    }

    void Reachability() {
        if (m_.initialState == 0) return;
        const DiagramState& initial = m_.states[m_.initialState - 1];
        std::set<ObjectNumber> reached{initial.number};
        std::vector<ObjectNumber> open{initial.number};
        while (!open.empty()) {
            ObjectNumber from = open.back();
            open.pop_back();
            for (const DiagramTransition& t : m_.transitions)
                if (t.source == from && states_.count(t.target) && reached.insert(t.target).second)
                    open.push_back(t.target);
        }
        for (const DiagramState& state : m_.states)
            if (!reached.count(state.number))
                Warn(state.line, state.number,
                     "State " + Quoted(state.name) + " cannot be reached from the initial state " +
                         Quoted(initial.name));
    }

    void WaysOut() {
        for (const DiagramState& state : m_.states) {
            if (state.isTrap) continue;
            const bool leaves =
                std::any_of(m_.transitions.begin(), m_.transitions.end(),
                            [&](const DiagramTransition& t) { return t.source == state.number; });
            if (!leaves)
                Warn(state.line, state.number,
                     "State " + Quoted(state.name) +
                         " has no outgoing transition: the machine would stay in it for ever");
        }
    }

    void Names() {
        std::map<std::string, const DiagramState*> first;
        for (const DiagramState& state : m_.states) {
            auto [it, fresh] = first.emplace(state.name, &state);
            if (!fresh)
                Warn(state.line, state.number,
                     "Two states are named " + Quoted(state.name) + " (lines " +
                         std::to_string(it->second->line) + " and " + std::to_string(state.line) +
                         ")");
        }
    }

    void Priorities() {
        std::map<std::pair<ObjectNumber, ObjectNumber>, const DiagramTransition*> seen;
        for (const DiagramTransition& t : m_.transitions) {
            auto [it, fresh] = seen.emplace(std::make_pair(t.source, t.priority), &t);
            if (!fresh)
                Warn(t.line, t.number,
                     "Transitions at lines " + std::to_string(it->second->line) + " and " +
                         std::to_string(t.line) + " leave " + NameOf(t.source) +
                         " with the same priority " + std::to_string(t.priority) +
                         ": which one is tried first depends on their order in the file");
        }
    }

    void Ends() {
        for (const DiagramTransition& t : m_.transitions) {
            const bool fromReset = m_.resetObject != 0 && t.source == m_.resetObject;
            if (!fromReset && !states_.count(t.source))
                Warn(t.line, t.number,
                     "The transition at line " + std::to_string(t.line) + " starts at object " +
                         std::to_string(t.source) + ", which is not a state");
            if (!states_.count(t.target))
                Warn(t.line, t.number,
                     "The transition at line " + std::to_string(t.line) + " ends at object " +
                         std::to_string(t.target) + ", which is not a state");
        }
    }

    void TrapActions() {
        for (DiagramProblem& found : TrapActionWarnings(m_))
            Warn(found.line, ObjectOfDiagramLine(doc_, found.line), std::move(found.message));
    }

    void Backslashes() {
        for (std::size_t i = doc_.ObjectsBegin(); i < doc_.ObjectsEnd(); ++i) {
            const AsfLine& record = doc_.Lines()[i];
            if (!record.text || (record.kind != AsfKind::Label && record.kind != AsfKind::Action &&
                                 record.kind != AsfKind::Condition))
                continue;
            if (AsfTextShown(*record.text).find('\\') == std::string::npos) continue;
            const int line = static_cast<int>(i + 1);
            Warn(line, ObjectOfDiagramLine(doc_, line),
                 "The text at line " + std::to_string(line) +
                     " holds a backslash, which the conversion to AsmL removes");
        }
    }

    std::vector<DiagramCheck> out;

private:
    std::string NameOf(ObjectNumber object) const {
        auto it = states_.find(object);
        if (it != states_.end()) return "state " + Quoted(it->second->name);
        if (object == m_.resetObject) return "the reset object";
        return "object " + std::to_string(object);
    }

    const AsfDocument& doc_;
    const StateMachine& m_;
    std::map<ObjectNumber, const DiagramState*> states_;
};

} // namespace

std::vector<DiagramProblem> TrapActionWarnings(const StateMachine& machine) {
    std::vector<DiagramProblem> found;
    if (machine.trapState == 0) return found;
    const DiagramState& trap = machine.states[machine.trapState - 1];
    for (const DiagramAction& action : machine.actions)
        if (action.state == trap.number && !Trim(action.text).empty())
            found.push_back({action.line, "The actions of the trap state " + Quoted(trap.name) +
                                              " never run: the machine stops as it enters that "
                                              "state; write them in the state before it, under "
                                              "the condition of its transition to " +
                                              Quoted(trap.name)});
    return found;
}

ObjectNumber ObjectOfDiagramLine(const AsfDocument& doc, int line) {
    if (line < 1 || static_cast<std::size_t>(line) > doc.Lines().size()) return 0;
    const AsfLine& record = doc.Lines()[static_cast<std::size_t>(line - 1)];
    switch (record.kind) {
    case AsfKind::Other: return 0;
    case AsfKind::Label:
    case AsfKind::Condition: return record.owner;
    default: return record.number;
    }
}

namespace {

std::string ObjectName(const AsfDocument& doc, ObjectNumber object) {
    std::string name = Cp1252ToUtf8(Trim(doc.NameOf(object)));
    return name.empty() ? "object " + std::to_string(object) : name;
}

std::string TransitionText(const AsfDocument& doc, ObjectNumber transition) {
    std::optional<std::size_t> record = doc.Find(AsfKind::Transition, transition);
    if (!record) return "transition " + std::to_string(transition);
    const AsfLine& line = doc.Lines()[*record];
    return "transition " + ObjectName(doc, line.source) + " -> " + ObjectName(doc, line.target);
}

// What the object `object` of the diagram is, in words.
std::string ObjectText(const AsfDocument& doc, ObjectNumber object) {
    static constexpr std::pair<AsfKind, std::string_view> kNamed[] = {
        {AsfKind::State, "state "},
        {AsfKind::Signal, "signal "},
        {AsfKind::Constant, "constant "},
        {AsfKind::InPort, "port "},
        {AsfKind::OutPort, "port "}};
    for (const auto& [kind, word] : kNamed)
        if (doc.Find(kind, object)) return std::string(word) + ObjectName(doc, object);
    if (std::optional<std::size_t> action = doc.Find(AsfKind::Action, object))
        return "action of state " + ObjectName(doc, doc.Lines()[*action].owner);
    if (doc.Find(AsfKind::Transition, object)) return TransitionText(doc, object);
    if (doc.Find(AsfKind::Reset, object)) return "reset";
    return {};
}

} // namespace

std::string DiagramLineScope(const AsfDocument& doc, int line) {
    if (line < 1 || static_cast<std::size_t>(line) > doc.Lines().size()) return {};
    const AsfLine& record = doc.Lines()[static_cast<std::size_t>(line - 1)];
    if (record.kind == AsfKind::Condition)
        return "condition of " + TransitionText(doc, record.owner);
    ObjectNumber object = ObjectOfDiagramLine(doc, line);
    return object == 0 ? std::string() : ObjectText(doc, object);
}

std::vector<DiagramCheck> CheckDiagram(const AsfDocument& doc, std::string_view functionName) {
    DiagramReading reading = ReadMachine(doc, functionName);
    std::vector<DiagramCheck> checks;
    for (const DiagramProblem& problem : reading.problems)
        checks.push_back({DiagramSeverity::Error, problem.line,
                          ObjectOfDiagramLine(doc, problem.line), problem.message});
    Checker checker(doc, reading.machine);
    checker.Reachability();
    checker.WaysOut();
    checker.Names();
    checker.Priorities();
    checker.Ends();
    checker.TrapActions();
    checker.Backslashes();
    for (DiagramCheck& check : checker.out) checks.push_back(std::move(check));
    return checks;
}

std::string DiagramCheckText(const DiagramCheck& check, std::string_view path) {
    std::string text(path);
    if (check.line > 0) text += ":" + std::to_string(check.line);
    text += check.severity == DiagramSeverity::Error ? ": error: " : ": warning: ";
    return text + check.message;
}

} // namespace kestrel
