// The ASF diagram reader, over the records of a document (found after "OBJECTS" up to
// "END"), by their kind: states (flags modulo 4: 1 default, 2 trap), labels, actions,
// transitions (flags modulo 4096: priority), conditions, diagram signals and constants;
// other records are skipped. Then the transition from the reset object gives the initial
// state, and labels give names by the document's rules (the last counted label wins;
// constants split theirs at "="). Each table has a fixed capacity; what does not fit is
// reported once and left out.
#include "fsm/AsfReader.h"

#include "platform/Text.h"

namespace kestrel {

namespace {

class Reader {
public:
    Reader(std::string_view path, std::string_view functionName, DiagramReading& out)
        : path_(path), functionName_(functionName), out_(out) {}

    void Read(const AsfDocument& doc);

private:
    void Problem(int line, std::string message) {
        out_.problems.push_back({line, std::move(message)});
    }
    std::string Where(int line) const { return path_ + ", line " + std::to_string(line); }
    // Whether one more item fits into a table of `capacity`; reports the first refusal.
    template <typename Item>
    bool Fits(const std::vector<Item>& table, std::size_t capacity, const char* what,
              bool& reported, int line) {
        if (table.size() < capacity) return true;
        if (!reported)
            Problem(line, "Too many " + std::string(what) + " in ASF file " + Where(line) +
                              " (at most " + std::to_string(capacity) + "); the rest are left out");
        reported = true;
        return false;
    }
    // The record's text, or an empty text and a report.
    std::string Text(const AsfLine& record, int line) {
        if (record.text) return *record.text;
        Problem(line, "ASF record too short for its text in " + Where(line));
        return {};
    }

    void ReadRecord(const AsfLine& record, int line);
    void FindInitialState();
    void NameObjects(const AsfDocument& doc);

    std::string path_;
    std::string functionName_;
    DiagramReading& out_;
    bool tooManyStates_ = false, tooManyLabels_ = false, tooManyActions_ = false,
         tooManyTransitions_ = false, tooManyConditions_ = false, tooManySignals_ = false,
         tooManyConstants_ = false;
};

void Reader::Read(const AsfDocument& doc) {
    StateMachine& m = out_.machine;
    if (!doc.HasVersion()) {
        Problem(1, "Invalid ASF file format: " + path_);
        return;
    }
    for (std::size_t i = doc.ObjectsBegin(); i < doc.ObjectsEnd(); ++i)
        ReadRecord(doc.Lines()[i], static_cast<int>(i + 1));
    if (!doc.Ended())
        Problem(static_cast<int>(doc.Lines().size()),
                "ASF file ends before the END of its objects block: " + path_);

    m.resetObject = doc.ResetNumber();
    FindInitialState();
    NameObjects(doc);

    if (m.initialState == 0)
        Problem(0, "Initial State Not Defined for " + functionName_ + " (...)");
    if (m.trapState == 0)
        Problem(0, "End (i.e. Trap) State Not Defined for " + functionName_ + " (...)");
}

void Reader::ReadRecord(const AsfLine& r, int line) {
    StateMachine& m = out_.machine;
    switch (r.kind) {
    case AsfKind::State: {
        if (!Fits(m.states, kMaxDiagramStates, "states", tooManyStates_, line)) return;
        DiagramState state;
        state.number = r.number;
        state.line = line;
        m.states.push_back(state);
        // A later default or trap state takes the place of an earlier one.
        if (r.flags % 4 == 1) {
            m.states.back().isDefault = true;
            m.defaultState = m.states.size();
        } else if (r.flags % 4 == 2) {
            m.states.back().isTrap = true;
            m.trapState = m.states.size();
        }
        return;
    }
    case AsfKind::Label:
        if (Fits(m.labels, kMaxDiagramLabels, "labels", tooManyLabels_, line))
            m.labels.push_back({r.number, r.owner, Text(r, line), line});
        return;
    case AsfKind::Action:
        if (Fits(m.actions, kMaxDiagramActions, "actions", tooManyActions_, line))
            m.actions.push_back({r.number, r.owner, Text(r, line), line});
        return;
    case AsfKind::Transition:
        if (Fits(m.transitions, kMaxDiagramTransitions, "transitions", tooManyTransitions_, line))
            m.transitions.push_back({r.number, r.source, r.target, r.flags % 4096, line});
        return;
    case AsfKind::Condition:
        if (Fits(m.conditions, kMaxDiagramConditions, "conditions", tooManyConditions_, line))
            m.conditions.push_back({r.number, r.owner, Text(r, line), line});
        return;
    case AsfKind::Signal: {
        if (!Fits(m.signals, kMaxDiagramSignals, "signals", tooManySignals_, line)) return;
        DiagramSignal signal;
        signal.number = r.number;
        signal.line = line;
        if (!r.text)
            Problem(line, "ASF signal record without its quoted initial value in " + Where(line));
        signal.initialValue = r.text.value_or("");
        signal.hasInitialValue = !signal.initialValue.empty();
        m.signals.push_back(std::move(signal));
        return;
    }
    case AsfKind::Constant:
        if (Fits(m.constants, kMaxDiagramConstants, "constants", tooManyConstants_, line)) {
            DiagramConstant constant;
            constant.number = r.number;
            constant.line = line;
            m.constants.push_back(std::move(constant));
        }
        return;
    default: return; // the reset object is the document's; ports and the rest are skipped
    }
}

void Reader::FindInitialState() {
    StateMachine& m = out_.machine;
    // The last transition from the reset object names the initial state; the last state
    // of that number is it.
    ObjectNumber target = 0;
    for (const DiagramTransition& t : m.transitions)
        if (t.source == m.resetObject) target = t.target;
    for (std::size_t i = 0; i < m.states.size(); ++i)
        if (m.states[i].number == target) m.initialState = i + 1;
}

void Reader::NameObjects(const AsfDocument& doc) {
    StateMachine& m = out_.machine;
    const std::vector<AsfLine>& lines = doc.Lines();
    for (DiagramState& state : m.states)
        if (std::optional<std::size_t> label = doc.NameLabel(state.number)) {
            state.name = lines[*label].text.value_or("");
            state.nameLine = static_cast<int>(*label + 1);
        }
    for (DiagramSignal& signal : m.signals) signal.name = doc.NameOf(signal.number);
    for (DiagramConstant& constant : m.constants) {
        for (std::size_t i : doc.CountedLabels()) {
            const std::string text = lines[i].text.value_or("");
            if (lines[i].owner != constant.number || text.find('=') != std::string::npos) continue;
            const int line = static_cast<int>(i + 1);
            Problem(line, "Constant label without \"=\" in ASF file " + Where(line) + ": " + text);
        }
        if (std::optional<std::size_t> label = doc.ConstantLabel(constant.number)) {
            const std::string& text = *lines[*label].text;
            const std::size_t equals = text.find('=');
            constant.name = Trim(std::string_view(text).substr(0, equals));
            constant.value = Trim(std::string_view(text).substr(equals + 1));
            constant.nameLine = static_cast<int>(*label + 1);
        }
    }
}

} // namespace

DiagramReading ReadMachine(const AsfDocument& doc, std::string_view functionName) {
    DiagramReading reading;
    Reader(doc.Path(), functionName, reading).Read(doc);
    return reading;
}

DiagramReading ReadAsfDiagram(std::string_view bytes, std::string_view path,
                              std::string_view functionName) {
    return ReadMachine(AsfDocument::Parse(bytes, path), functionName);
}

} // namespace kestrel
