// The ASF diagram reader. After the line "VERSION=1.19" it skips to "OBJECTS" and reads
// one record per line up to the record "END", by its first word: S states (flags modulo
// 4: 1 default, 2 trap), L labels (of the "State Labels" or the "Labels" bundle), A
// actions, W transitions (flags modulo 4096: priority), C conditions, I reset objects,
// diagram signals and constants; other records are skipped. Then the transition from the
// reset object gives the initial state, and labels give names (the last one wins;
// constants split theirs at "="). Each table has a fixed capacity; what does not fit is
// reported once and left out.
#include "fsm/AsfReader.h"

#include "codegen/SectionFileReader.h"
#include "fsm/AsfRecord.h"
#include "platform/Text.h"

namespace kestrel {

namespace {

class Reader {
public:
    Reader(std::string_view path, std::string_view functionName, DiagramReading& out)
        : path_(path), functionName_(functionName), out_(out) {}

    void Read(std::string_view bytes);

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
    // The quoted text from word k, or an empty text and a report.
    std::string Text(const std::vector<std::string_view>& words, std::size_t k, int line) {
        std::optional<std::string> text = TextFromWord(words, k);
        if (text) return *text;
        Problem(line, "ASF record too short for its text in " + Where(line));
        return {};
    }

    void ReadRecord(const std::vector<std::string_view>& words, int line);
    void FindInitialState();
    void NameObjects();

    std::string path_;
    std::string functionName_;
    DiagramReading& out_;
    bool tooManyStates_ = false, tooManyLabels_ = false, tooManyActions_ = false,
         tooManyTransitions_ = false, tooManyConditions_ = false, tooManySignals_ = false,
         tooManyConstants_ = false;
};

void Reader::Read(std::string_view bytes) {
    StateMachine& m = out_.machine;
    std::vector<std::string_view> lines = SplitSectionLines(bytes);
    if (lines.empty() || lines[0] != "VERSION=1.19") {
        Problem(1, "Invalid ASF file format: " + path_);
        return;
    }

    std::size_t next = 1;
    while (next < lines.size() && lines[next] != "OBJECTS") ++next;
    ++next; // past "OBJECTS"
    bool ended = false;
    for (; next < lines.size(); ++next) {
        std::vector<std::string_view> words = SplitRecordWords(lines[next]);
        if (words[0] == "END") {
            ended = true;
            break;
        }
        ReadRecord(words, static_cast<int>(next + 1));
    }
    if (!ended)
        Problem(static_cast<int>(lines.size()),
                "ASF file ends before the END of its objects block: " + path_);

    FindInitialState();
    NameObjects();

    if (m.initialState == 0)
        Problem(0, "Initial State Not Defined for " + functionName_ + " (...)");
    if (m.trapState == 0)
        Problem(0, "End (i.e. Trap) State Not Defined for " + functionName_ + " (...)");
}

void Reader::ReadRecord(const std::vector<std::string_view>& words, int line) {
    StateMachine& m = out_.machine;
    std::string_view kind = words[0];
    if (kind == "S") {
        if (!Fits(m.states, kMaxDiagramStates, "states", tooManyStates_, line)) return;
        DiagramState state;
        state.number = WordNumber(WordAt(words, 1));
        state.line = line;
        ObjectNumber flags = WordNumber(WordAt(words, 3)) % 4;
        m.states.push_back(state);
        // A later default or trap state takes the place of an earlier one.
        if (flags == 1) {
            m.states.back().isDefault = true;
            m.defaultState = m.states.size();
        } else if (flags == 2) {
            m.states.back().isTrap = true;
            m.trapState = m.states.size();
        }
    } else if (kind == "L") {
        std::string_view bundle = WordAt(words, 5);
        if (IsStateLabelBundle(bundle) &&
            Fits(m.labels, kMaxDiagramLabels, "labels", tooManyLabels_, line))
            m.labels.push_back({WordNumber(WordAt(words, 1)), WordNumber(WordAt(words, 2)),
                                Text(words, kStateLabelTextWord, line), line});
        if (IsLabelsBundle(bundle) &&
            Fits(m.labels, kMaxDiagramLabels, "labels", tooManyLabels_, line))
            m.labels.push_back({WordNumber(WordAt(words, 1)), WordNumber(WordAt(words, 2)),
                                Text(words, kLabelTextWord, line), line});
    } else if (kind == "A") {
        if (!Fits(m.actions, kMaxDiagramActions, "actions", tooManyActions_, line)) return;
        m.actions.push_back({WordNumber(WordAt(words, 1)), WordNumber(WordAt(words, 2)),
                             Text(words, 11, line), line});
    } else if (kind == "W") {
        if (!Fits(m.transitions, kMaxDiagramTransitions, "transitions", tooManyTransitions_, line))
            return;
        m.transitions.push_back({WordNumber(WordAt(words, 1)), WordNumber(WordAt(words, 4)),
                                 WordNumber(WordAt(words, 5)), WordNumber(WordAt(words, 3)) % 4096,
                                 line});
    } else if (kind == "C") {
        if (!Fits(m.conditions, kMaxDiagramConditions, "conditions", tooManyConditions_, line))
            return;
        m.conditions.push_back({WordNumber(WordAt(words, 1)), WordNumber(WordAt(words, 2)),
                                Text(words, 11, line), line});
    } else if (kind == "I") {
        std::string_view objectKind = WordAt(words, 5);
        if (objectKind == "Reset") {
            m.resetObject = WordNumber(WordAt(words, 1));
        } else if (objectKind == "Signal") {
            if (!Fits(m.signals, kMaxDiagramSignals, "signals", tooManySignals_, line)) return;
            DiagramSignal signal;
            signal.number = WordNumber(WordAt(words, 1));
            signal.line = line;
            std::optional<std::string> value = WithoutEnds(WordAt(words, 8));
            if (!value)
                Problem(line,
                        "ASF signal record without its quoted initial value in " + Where(line));
            signal.initialValue = value.value_or("");
            signal.hasInitialValue = !signal.initialValue.empty();
            m.signals.push_back(std::move(signal));
        } else if (objectKind == "Constant") {
            if (!Fits(m.constants, kMaxDiagramConstants, "constants", tooManyConstants_, line))
                return;
            DiagramConstant constant;
            constant.number = WordNumber(WordAt(words, 1));
            constant.line = line;
            m.constants.push_back(std::move(constant));
        }
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

void Reader::NameObjects() {
    StateMachine& m = out_.machine;
    for (DiagramState& state : m.states)
        for (const DiagramLabel& label : m.labels)
            if (label.labelled == state.number) {
                state.name = label.text;
                state.nameLine = label.line;
            }
    for (DiagramSignal& signal : m.signals)
        for (const DiagramLabel& label : m.labels)
            if (label.labelled == signal.number) signal.name = label.text;
    for (DiagramConstant& constant : m.constants) {
        for (const DiagramLabel& label : m.labels) {
            if (label.labelled != constant.number) continue;
            std::size_t equals = label.text.find('=');
            if (equals == std::string::npos) {
                Problem(label.line, "Constant label without \"=\" in ASF file " +
                                        Where(label.line) + ": " + label.text);
                continue;
            }
            constant.name = Trim(std::string_view(label.text).substr(0, equals));
            constant.value = Trim(std::string_view(label.text).substr(equals + 1));
            constant.nameLine = label.line;
        }
    }
}

} // namespace

DiagramReading ReadAsfDiagram(std::string_view bytes, std::string_view path,
                              std::string_view functionName) {
    DiagramReading reading;
    Reader(path, functionName, reading).Read(bytes);
    return reading;
}

} // namespace kestrel
