// The editing operations of an ASF document. Existing records are changed word by word
// (the words that carry the changed value and nothing else), so that the diagram editor's
// own words around them stay as they were; new records are written in the layout below.
#include "fsm/AsfEdit.h"

#include "fsm/AsfRecord.h"
#include "platform/Text.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace kestrel {

namespace {

// Coordinates and numbers beyond this would not read back as written.
constexpr ObjectNumber kCoordinateBound = 999'999'999;
constexpr ObjectNumber kLastObjectNumber = 999'999'999'998;
constexpr ObjectNumber kStateRadius = 6000;
// A reset object added for an initial state stands this far above it, below the page's
// top margin.
constexpr ObjectNumber kResetAbove = 24000;
constexpr ObjectNumber kPageTop = 279400 - 12700;

Status Refuse(const AsfDocument& doc, const std::string& what) {
    return Status::Error("ASF file " + doc.Path() + ": " + what);
}

std::string Num(ObjectNumber n) {
    return std::to_string(n);
}
std::string Pt(AsfPoint p) {
    return Num(p.x) + "," + Num(p.y);
}
std::string Quote(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// ---- word-level changes of a record ----

// The byte offset of word k of a record, or npos past its last word.
std::size_t WordBegin(std::string_view bytes, std::size_t k) {
    std::size_t at = 0;
    for (std::size_t i = 0; i < k; ++i) {
        at = bytes.find(' ', at);
        if (at == std::string_view::npos) return at;
        ++at;
    }
    return at;
}

std::string WithWord(std::string_view bytes, std::size_t k, std::string_view word) {
    std::size_t begin = WordBegin(bytes, k);
    std::size_t end = bytes.find(' ', begin);
    if (end == std::string_view::npos) end = bytes.size();
    return std::string(bytes.substr(0, begin)) + std::string(word) + std::string(bytes.substr(end));
}

// The record with point p replaced; the record has that point. A record whose bytes were
// changed this way keeps its words where they were.
std::string WithPoint(const AsfLine& record, std::size_t p, AsfPoint at) {
    return WithWord(record.bytes, record.pointsWord + p, Pt(at));
}

// The text word of a label, action or condition record.
std::size_t TextWord(const AsfLine& record) {
    return record.kind == AsfKind::Label && record.stateLabel ? kStateLabelTextWord
                                                              : kLabelTextWord;
}

// ---- new records ----

std::string StateRecord(ObjectNumber n, ObjectNumber flags, AsfPoint at) {
    return "S " + Num(n) + " 0 " + Num(flags) + " ELLIPSE 0,0,0 0 0 1 0,255,0 1 | " + Pt(at) + " " +
           Num(kStateRadius) + "," + Num(kStateRadius);
}
std::string NoteRecord(char letter, ObjectNumber n, ObjectNumber owner, std::string_view bundle,
                       AsfPoint at, std::string_view text) {
    return std::string(1, letter) + " " + Num(n) + " " + Num(owner) + " 0 TEXT " + Quote(bundle) +
           " | " + Pt(at) + " 1 0 0 " + Quote(text);
}
std::string TransitionRecord(ObjectNumber n, ObjectNumber flags, ObjectNumber from, ObjectNumber to,
                             AsfPoint start, AsfPoint end) {
    return "W " + Num(n) + " 0 " + Num(flags) + " " + Num(from) + " " + Num(to) +
           " BEZIER 0,0,0 0 0 1 0,0,0 1 | " + Pt(start) + " " + Pt(end);
}
std::string DeclarationRecord(ObjectNumber n, std::string_view kind, AsfPoint at,
                              std::string_view tail) {
    return "I " + Num(n) + " 0 0 Builtin " + std::string(kind) + " | " + Pt(at) + std::string(tail);
}

// ---- numbers ----

Status NextNumber(const AsfDocument& doc, ObjectNumber& number) {
    number = std::max(doc.FreeOid(), doc.HighestNumber() + 1);
    if (number < 1 || number > kLastObjectNumber) return Refuse(doc, "no object number is left");
    return Status::Ok();
}

std::size_t Append(AsfDocument& doc, std::string bytes) {
    return doc.InsertRecord(doc.ObjectsEnd(), std::move(bytes));
}

// ---- checks ----

Status CheckRoom(const AsfDocument& doc, AsfKind kind, std::size_t capacity, std::size_t adding,
                 const char* what) {
    if (doc.Records(kind).size() + adding <= capacity) return Status::Ok();
    return Refuse(doc, "the diagram can hold at most " + std::to_string(capacity) + " " + what);
}

Status CheckPoint(const AsfDocument& doc, AsfPoint at) {
    if (std::llabs(at.x) > kCoordinateBound || std::llabs(at.y) > kCoordinateBound)
        return Refuse(doc, "the position " + Pt(at) + " lies outside the page");
    return Status::Ok();
}

// A text for a message: one line, at most 40 characters.
std::string Excerpt(std::string_view text) {
    std::string out(text.substr(0, 40));
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return text.size() > 40 ? out + "..." : out;
}

// A name of one line (states, signals).
Status CheckName(const AsfDocument& doc, std::string_view name, const std::string& what) {
    if (Trim(name).empty()) return Refuse(doc, what + " needs a name");
    if (name.find_first_of("\r\n") != std::string_view::npos)
        return Refuse(doc, what + " \"" + Excerpt(name) + "\": a name has one line");
    if (name.size() > kMaxAsfNameLength)
        return Refuse(doc, what + " \"" + Excerpt(name) + "\": a name has at most " +
                               std::to_string(kMaxAsfNameLength) + " characters");
    return Status::Ok();
}

Status CheckText(const AsfDocument& doc, std::string_view stored, const std::string& what) {
    if (stored.size() > kMaxAsfTextLength)
        return Refuse(doc, what + " is too long (at most " + std::to_string(kMaxAsfTextLength) +
                               " characters)");
    return Status::Ok();
}

Status CheckPriority(const AsfDocument& doc, ObjectNumber priority) {
    if (priority < 0 || priority > kMaxTransitionPriority)
        return Refuse(doc, "the priority " + Num(priority) + " lies outside 0 to 4095");
    return Status::Ok();
}

Status Missing(const AsfDocument& doc, const char* what, ObjectNumber n) {
    return Refuse(doc, std::string("there is no ") + what + " " + Num(n));
}

// ---- lookups ----

std::optional<std::size_t> StateOrReset(const AsfDocument& doc, ObjectNumber n) {
    if (auto s = doc.Find(AsfKind::State, n)) return s;
    return doc.Find(AsfKind::Reset, n);
}

// The transition the reader takes as the reset transition: the last one leaving the
// reset object.
std::optional<std::size_t> ResetTransition(const AsfDocument& doc) {
    const ObjectNumber reset = doc.ResetNumber();
    std::optional<std::size_t> found;
    if (doc.Records(AsfKind::Reset).empty()) return found;
    for (std::size_t i : doc.Records(AsfKind::Transition))
        if (doc.Lines()[i].source == reset) found = i;
    return found;
}

std::size_t Outgoing(const AsfDocument& doc, ObjectNumber from) {
    std::size_t count = 0;
    for (std::size_t i : doc.Records(AsfKind::Transition))
        if (doc.Lines()[i].source == from) ++count;
    return count;
}

// ---- removal ----

// Removes the records and, over and over, what hangs on an object no record carries any
// more: labels, actions and conditions it owns, transitions from or to it.
void EraseWithDependents(AsfDocument& doc, std::set<std::size_t> doomed) {
    const std::vector<AsfLine>& lines = doc.Lines();
    bool grew = true;
    while (grew) {
        grew = false;
        std::set<ObjectNumber> gone;
        for (std::size_t i : doomed) gone.insert(lines[i].number);
        for (std::size_t i = doc.ObjectsBegin(); i < doc.ObjectsEnd(); ++i)
            if (!doomed.count(i) && lines[i].kind != AsfKind::Other) gone.erase(lines[i].number);
        for (std::size_t i = doc.ObjectsBegin(); i < doc.ObjectsEnd(); ++i) {
            if (doomed.count(i)) continue;
            const AsfLine& r = lines[i];
            bool owned = (r.kind == AsfKind::Label || r.kind == AsfKind::Action ||
                          r.kind == AsfKind::Condition) &&
                         gone.count(r.owner);
            bool attached =
                r.kind == AsfKind::Transition && (gone.count(r.source) || gone.count(r.target));
            if (owned || attached) grew = doomed.insert(i).second || grew;
        }
    }
    for (auto i = doomed.rbegin(); i != doomed.rend(); ++i) doc.EraseRecord(*i);
}

Status EraseObject(AsfDocument& doc, AsfKind kind, ObjectNumber n, const char* what) {
    std::set<std::size_t> doomed;
    for (std::size_t i : doc.Records(kind))
        if (doc.Lines()[i].number == n) doomed.insert(i);
    if (doomed.empty()) return Missing(doc, what, n);
    EraseWithDependents(doc, std::move(doomed));
    return Status::Ok();
}

// ---- texts ----

// Sets the stored text of a label, action or condition record, keeping its other words.
void SetRecordText(AsfDocument& doc, std::size_t line, std::string_view stored) {
    const AsfLine& r = doc.Lines()[line];
    if (r.text.value_or("") == stored) return;
    std::size_t k = TextWord(r);
    std::string bytes;
    if (r.words > k) {
        bytes = r.bytes.substr(0, WordBegin(r.bytes, k)) + Quote(stored);
    } else { // too short for its text: written anew in the layout the reader reads
        char letter = r.bytes[0];
        std::string bundle = letter == 'A'   ? "Actions"
                             : letter == 'C' ? "Conditions"
                             : r.stateLabel  ? "State Labels"
                                             : "Labels";
        bytes = NoteRecord(letter, r.number, r.owner, bundle, PositionOf(r), stored);
    }
    doc.SetRecord(line, std::move(bytes));
}

// Gives the object a label with the text: the label that names it now, or a new one.
Status SetNameLabel(AsfDocument& doc, ObjectNumber object, std::string_view text,
                    std::optional<std::size_t> label, bool stateBundle, AsfPoint at) {
    if (label) {
        SetRecordText(doc, *label, text);
        return Status::Ok();
    }
    if (Status s = CheckRoom(doc, AsfKind::Label, kMaxDiagramLabels, 1, "labels"); !s) return s;
    ObjectNumber n = 0;
    if (Status s = NextNumber(doc, n); !s) return s;
    // The label goes right after the object's record.
    std::size_t after = doc.ObjectsEnd();
    for (std::size_t i = doc.ObjectsBegin(); i < doc.ObjectsEnd(); ++i)
        if (doc.Lines()[i].number == object && doc.Lines()[i].kind != AsfKind::Label) after = i + 1;
    doc.InsertRecord(after,
                     NoteRecord('L', n, object, stateBundle ? "State Labels" : "Labels", at, text));
    return Status::Ok();
}

// ---- geometry ----

AsfPoint Shifted(AsfPoint p, ObjectNumber dx, ObjectNumber dy) {
    return {p.x + dx, p.y + dy};
}

// The two ends of a transition drawn straight between two objects, on their rims; a
// self-loop is a small arc on the right of its state.
std::pair<AsfPoint, AsfPoint> TransitionEnds(AsfPoint from, AsfPoint to, bool self) {
    if (self) return {Shifted(from, kStateRadius, 3000), Shifted(from, kStateRadius, -3000)};
    double dx = static_cast<double>(to.x - from.x), dy = static_cast<double>(to.y - from.y);
    double length = std::hypot(dx, dy);
    if (length < 1) return {from, to};
    auto step = [&](double d) {
        return static_cast<ObjectNumber>(std::llround(d * kStateRadius / length));
    };
    return {Shifted(from, step(dx), step(dy)), Shifted(to, -step(dx), -step(dy))};
}

AsfPoint ObjectPosition(const AsfDocument& doc, ObjectNumber n) {
    std::optional<std::size_t> line = StateOrReset(doc, n);
    return line ? PositionOf(doc.Lines()[*line]) : AsfPoint{};
}

AsfPoint ConditionPosition(const AsfLine& transition) {
    if (transition.geometry.empty()) return {};
    AsfPoint a = transition.geometry.front(), b = transition.geometry.back();
    return {(a.x + b.x) / 2 + 4000, (a.y + b.y) / 2};
}

Status MoveRecord(AsfDocument& doc, std::size_t line, AsfPoint at) {
    const AsfLine& r = doc.Lines()[line];
    if (PositionOf(r) == at) return Status::Ok();
    if (r.geometry.empty())
        return Refuse(doc, "object " + Num(r.number) + " has no position to move");
    if (r.geometry[0] != at) doc.SetRecord(line, WithPoint(r, 0, at));
    return Status::Ok();
}

} // namespace

AsfPoint PositionOf(const AsfLine& record) {
    return record.geometry.empty() ? AsfPoint{} : record.geometry.front();
}

AsfStateKind StateKindOf(ObjectNumber flags) {
    if (flags % 4 == 1) return AsfStateKind::Default;
    if (flags % 4 == 2) return AsfStateKind::Trap;
    return AsfStateKind::Ordinary;
}

// ---- states ----

Status AddState(AsfDocument& doc, std::string_view name, AsfPoint at, ObjectNumber& number) {
    if (Status s = CheckName(doc, name, "a state"); !s) return s;
    if (Status s = CheckPoint(doc, at); !s) return s;
    if (Status s = CheckRoom(doc, AsfKind::State, kMaxDiagramStates, 1, "states"); !s) return s;
    if (Status s = CheckRoom(doc, AsfKind::Label, kMaxDiagramLabels, 1, "labels"); !s) return s;
    if (Status s = NextNumber(doc, number); !s) return s;
    Append(doc, StateRecord(number, 0, at));
    Append(doc, NoteRecord('L', number + 1, number, "State Labels", at, name));
    return Status::Ok();
}

Status MoveState(AsfDocument& doc, ObjectNumber state, AsfPoint at) {
    std::optional<std::size_t> line = doc.Find(AsfKind::State, state);
    if (!line) return Missing(doc, "state", state);
    if (Status s = CheckPoint(doc, at); !s) return s;
    AsfPoint old = PositionOf(doc.Lines()[*line]);
    if (old == at) return Status::Ok();
    if (Status s = MoveRecord(doc, *line, at); !s) return s;
    const ObjectNumber dx = at.x - old.x, dy = at.y - old.y;
    for (std::size_t i = doc.ObjectsBegin(); i < doc.ObjectsEnd(); ++i) {
        const AsfLine& r = doc.Lines()[i];
        if (r.geometry.empty()) continue;
        std::string bytes = r.bytes;
        if ((r.kind == AsfKind::Label || r.kind == AsfKind::Action) && r.owner == state)
            bytes = WithPoint(r, 0, Shifted(r.geometry[0], dx, dy));
        if (r.kind == AsfKind::Transition) {
            AsfLine moved = r;
            if (r.source == state)
                moved.bytes = WithPoint(moved, 0, Shifted(r.geometry.front(), dx, dy));
            if (r.target == state)
                moved.bytes =
                    WithPoint(moved, r.geometry.size() - 1, Shifted(r.geometry.back(), dx, dy));
            bytes = moved.bytes;
        }
        if (bytes != r.bytes) doc.SetRecord(i, std::move(bytes));
    }
    return Status::Ok();
}

Status RenameState(AsfDocument& doc, ObjectNumber state, std::string_view name) {
    std::optional<std::size_t> line = doc.Find(AsfKind::State, state);
    if (!line) return Missing(doc, "state", state);
    if (doc.NameOf(state) == name) return Status::Ok();
    if (Status s = CheckName(doc, name, "a state"); !s) return s;
    if (Status s = SetNameLabel(doc, state, name, doc.NameLabel(state), true,
                                PositionOf(doc.Lines()[*line]));
        !s)
        return s;
    return Status::Ok();
}

Status SetStateKind(AsfDocument& doc, ObjectNumber state, AsfStateKind kind) {
    std::optional<std::size_t> line = doc.Find(AsfKind::State, state);
    if (!line) return Missing(doc, "state", state);
    const AsfLine& r = doc.Lines()[*line];
    if (StateKindOf(r.flags) == kind) return Status::Ok();
    // The flags keep their other bits; the value modulo 4 becomes the kind.
    ObjectNumber base = r.flags >= 0 ? r.flags - r.flags % 4 : 0;
    ObjectNumber flags = base + (kind == AsfStateKind::Default ? 1
                                 : kind == AsfStateKind::Trap  ? 2
                                                               : 0);
    if (r.words > 3)
        doc.SetRecord(*line, WithWord(r.bytes, 3, Num(flags)));
    else
        doc.SetRecord(*line, StateRecord(r.number, flags, PositionOf(r)));
    return Status::Ok();
}

Status DeleteState(AsfDocument& doc, ObjectNumber state) {
    return EraseObject(doc, AsfKind::State, state, "state");
}

// ---- reset ----

Status AddReset(AsfDocument& doc, AsfPoint at, ObjectNumber& number) {
    if (!doc.Records(AsfKind::Reset).empty())
        return Refuse(doc, "the diagram has a reset object already");
    if (Status s = CheckPoint(doc, at); !s) return s;
    if (Status s = NextNumber(doc, number); !s) return s;
    Append(doc, DeclarationRecord(number, "Reset", at, ""));
    return Status::Ok();
}

Status MoveReset(AsfDocument& doc, AsfPoint at) {
    std::vector<std::size_t> resets = doc.Records(AsfKind::Reset);
    if (resets.empty()) return Refuse(doc, "the diagram has no reset object");
    if (Status s = CheckPoint(doc, at); !s) return s;
    return MoveRecord(doc, resets.back(), at);
}

Status RemoveReset(AsfDocument& doc) {
    std::vector<std::size_t> resets = doc.Records(AsfKind::Reset);
    if (resets.empty()) return Refuse(doc, "the diagram has no reset object");
    EraseWithDependents(doc, std::set<std::size_t>(resets.begin(), resets.end()));
    return Status::Ok();
}

// ---- the initial state ----

ObjectNumber InitialStateOf(const AsfDocument& doc) {
    std::optional<std::size_t> reset = ResetTransition(doc);
    if (!reset) return 0;
    const ObjectNumber target = doc.Lines()[*reset].target;
    return doc.Find(AsfKind::State, target) ? target : 0;
}

Status SetInitialState(AsfDocument& doc, ObjectNumber state) {
    std::optional<std::size_t> line = doc.Find(AsfKind::State, state);
    if (!line) return Missing(doc, "state", state);
    if (InitialStateOf(doc) == state) return Status::Ok();
    // Worked on a copy: a refusal halfway leaves the document as it was.
    AsfDocument edited = doc;
    if (std::optional<std::size_t> reset = ResetTransition(edited)) {
        const AsfLine& r = edited.Lines()[*reset];
        if (Status s = ReconnectTransition(edited, r.number, r.source, state); !s) return s;
    } else {
        if (edited.Records(AsfKind::Reset).empty()) {
            const AsfPoint at = PositionOf(edited.Lines()[*line]);
            ObjectNumber added = 0;
            if (Status s = AddReset(
                    edited, {at.x, std::max(at.y, std::min(at.y + kResetAbove, kPageTop))}, added);
                !s)
                return s;
        }
        ObjectNumber transition = 0;
        if (Status s =
                AddTransition(edited, edited.ResetNumber(), state, 1, std::nullopt, transition);
            !s)
            return s;
    }
    doc = std::move(edited);
    return Status::Ok();
}

// ---- transitions ----

Status AddTransition(AsfDocument& doc, ObjectNumber from, ObjectNumber to, ObjectNumber priority,
                     const std::optional<std::string>& condition, ObjectNumber& number) {
    if (!StateOrReset(doc, from)) return Missing(doc, "state or reset object", from);
    if (!StateOrReset(doc, to)) return Missing(doc, "state or reset object", to);
    if (Status s = CheckPriority(doc, priority); !s) return s;
    if (Status s = CheckRoom(doc, AsfKind::Transition, kMaxDiagramTransitions, 1, "transitions");
        !s)
        return s;
    if (condition) {
        if (Status s = CheckRoom(doc, AsfKind::Condition, kMaxDiagramConditions, 1, "conditions");
            !s)
            return s;
        if (Status s = CheckText(doc, AsfTextStored(*condition), "the condition"); !s) return s;
    }
    if (Outgoing(doc, from) >= kMaxOutgoingTransitions)
        return Refuse(doc, "object " + Num(from) + " has " +
                               std::to_string(kMaxOutgoingTransitions) +
                               " outgoing transitions already");
    if (Status s = NextNumber(doc, number); !s) return s;
    auto [start, end] =
        TransitionEnds(ObjectPosition(doc, from), ObjectPosition(doc, to), from == to);
    std::size_t line = Append(doc, TransitionRecord(number, priority, from, to, start, end));
    if (condition)
        Append(doc, NoteRecord('C', number + 1, number, "Conditions",
                               ConditionPosition(doc.Lines()[line]), AsfTextStored(*condition)));
    return Status::Ok();
}

Status ReconnectTransition(AsfDocument& doc, ObjectNumber transition, ObjectNumber from,
                           ObjectNumber to) {
    std::optional<std::size_t> line = doc.Find(AsfKind::Transition, transition);
    if (!line) return Missing(doc, "transition", transition);
    const AsfLine& r = doc.Lines()[*line];
    if (r.source == from && r.target == to) return Status::Ok();
    // An end that stays may name no object (as a damaged diagram may have it); a new end
    // must be a state or the reset object.
    if (r.source != from && !StateOrReset(doc, from))
        return Missing(doc, "state or reset object", from);
    if (r.target != to && !StateOrReset(doc, to)) return Missing(doc, "state or reset object", to);
    if (r.source != from && Outgoing(doc, from) >= kMaxOutgoingTransitions)
        return Refuse(doc, "object " + Num(from) + " has " +
                               std::to_string(kMaxOutgoingTransitions) +
                               " outgoing transitions already");
    if (r.words <= 5)
        return Refuse(doc, "transition " + Num(transition) + " is too short a record to change");
    // Read again: in a short record word 4 or 5 may have been the "|".
    AsfLine moved = ReadObjectRecord(WithWord(WithWord(r.bytes, 4, Num(from)), 5, Num(to)), "");
    auto [start, end] =
        TransitionEnds(ObjectPosition(doc, from), ObjectPosition(doc, to), from == to);
    if (r.geometry.size() >= 2) {
        moved.bytes = WithPoint(moved, 0, start);
        moved.bytes = WithPoint(moved, r.geometry.size() - 1, end);
    }
    doc.SetRecord(*line, std::move(moved.bytes));
    return Status::Ok();
}

Status SetTransitionPriority(AsfDocument& doc, ObjectNumber transition, ObjectNumber priority) {
    std::optional<std::size_t> line = doc.Find(AsfKind::Transition, transition);
    if (!line) return Missing(doc, "transition", transition);
    const AsfLine& r = doc.Lines()[*line];
    if (r.flags % 4096 == priority) return Status::Ok();
    if (Status s = CheckPriority(doc, priority); !s) return s;
    ObjectNumber base = r.flags >= 0 ? r.flags - r.flags % 4096 : 0;
    if (r.words <= 3)
        return Refuse(doc, "transition " + Num(transition) + " is too short a record to change");
    doc.SetRecord(*line, WithWord(r.bytes, 3, Num(base + priority)));
    return Status::Ok();
}

Status SetTransitionCondition(AsfDocument& doc, ObjectNumber transition,
                              const std::optional<std::string>& condition) {
    std::optional<std::size_t> line = doc.Find(AsfKind::Transition, transition);
    if (!line) return Missing(doc, "transition", transition);
    std::optional<std::size_t> last = doc.LastCondition(transition);
    if (!condition) {
        if (!last) return Status::Ok();
        std::set<std::size_t> doomed;
        for (std::size_t i : doc.Records(AsfKind::Condition))
            if (doc.Lines()[i].owner == transition) doomed.insert(i);
        EraseWithDependents(doc, std::move(doomed));
        return Status::Ok();
    }
    std::string stored = AsfTextStored(*condition);
    if (last && doc.Lines()[*last].text.value_or("") == stored) return Status::Ok();
    if (Status s = CheckText(doc, stored, "the condition"); !s) return s;
    if (last) {
        SetRecordText(doc, *last, stored);
        return Status::Ok();
    }
    if (Status s = CheckRoom(doc, AsfKind::Condition, kMaxDiagramConditions, 1, "conditions"); !s)
        return s;
    ObjectNumber n = 0;
    if (Status s = NextNumber(doc, n); !s) return s;
    doc.InsertRecord(*line + 1, NoteRecord('C', n, transition, "Conditions",
                                           ConditionPosition(doc.Lines()[*line]), stored));
    return Status::Ok();
}

Status DeleteTransition(AsfDocument& doc, ObjectNumber transition) {
    return EraseObject(doc, AsfKind::Transition, transition, "transition");
}

// ---- actions ----

Status AddAction(AsfDocument& doc, ObjectNumber state, std::string_view text,
                 ObjectNumber& number) {
    std::optional<std::size_t> line = doc.Find(AsfKind::State, state);
    if (!line) return Missing(doc, "state", state);
    std::string stored = AsfTextStored(text);
    if (Status s = CheckText(doc, stored, "the action block"); !s) return s;
    if (Status s = CheckRoom(doc, AsfKind::Action, kMaxDiagramActions, 1, "action blocks"); !s)
        return s;
    if (Status s = NextNumber(doc, number); !s) return s;
    ObjectNumber blocks = 0;
    for (std::size_t i : doc.Records(AsfKind::Action))
        if (doc.Lines()[i].owner == state) ++blocks;
    // On the right of the state, clear of its self-loop when it has one.
    bool loops = false;
    for (std::size_t i : doc.Records(AsfKind::Transition))
        if (doc.Lines()[i].source == state && doc.Lines()[i].target == state) loops = true;
    AsfPoint at = Shifted(PositionOf(doc.Lines()[*line]), loops ? 18000 : 12000, -6000 * blocks);
    Append(doc, NoteRecord('A', number, state, "Actions", at, stored));
    return Status::Ok();
}

Status EditAction(AsfDocument& doc, ObjectNumber action, std::string_view text) {
    std::optional<std::size_t> line = doc.Find(AsfKind::Action, action);
    if (!line) return Missing(doc, "action block", action);
    std::string stored = AsfTextStored(text);
    if (doc.Lines()[*line].text.value_or("") == stored) return Status::Ok();
    if (Status s = CheckText(doc, stored, "the action block"); !s) return s;
    SetRecordText(doc, *line, stored);
    return Status::Ok();
}

Status SetActionState(AsfDocument& doc, ObjectNumber action, ObjectNumber state) {
    std::optional<std::size_t> line = doc.Find(AsfKind::Action, action);
    if (!line) return Missing(doc, "action block", action);
    if (doc.Lines()[*line].owner == state) return Status::Ok();
    if (!doc.Find(AsfKind::State, state)) return Missing(doc, "state", state);
    doc.SetRecord(*line, WithWord(doc.Lines()[*line].bytes, 2, Num(state)));
    return Status::Ok();
}

Status DeleteAction(AsfDocument& doc, ObjectNumber action) {
    return EraseObject(doc, AsfKind::Action, action, "action block");
}

// ---- signals and constants ----

namespace {

Status CheckInit(const AsfDocument& doc, std::string_view init) {
    if (init.find_first_of(" \r\n") != std::string_view::npos || init.size() > kMaxAsfNameLength)
        return Refuse(doc, "the initial value \"" + Excerpt(init) +
                               "\" must be one word of at most " +
                               std::to_string(kMaxAsfNameLength) + " characters");
    return Status::Ok();
}

Status CheckConstant(const AsfDocument& doc, std::string_view name, std::string_view value) {
    if (Status s = CheckName(doc, name, "a constant"); !s) return s;
    if (name.find('=') != std::string_view::npos)
        return Refuse(doc, "the constant name \"" + Excerpt(name) + "\" holds \"=\"");
    if (value.find_first_of("\r\n") != std::string_view::npos || value.size() > kMaxAsfNameLength)
        return Refuse(doc, "the value of constant " + Excerpt(name) +
                               " must be one line of at most " + std::to_string(kMaxAsfNameLength) +
                               " characters");
    return Status::Ok();
}

// Diagram signals and constants stand in a column beside the drawing.
AsfPoint DeclarationPosition(const AsfDocument& doc) {
    auto k = static_cast<ObjectNumber>(doc.Records(AsfKind::Signal).size() +
                                       doc.Records(AsfKind::Constant).size());
    return {150700, 200000 - 6000 * k};
}

Status AddDeclaration(AsfDocument& doc, std::string_view kind, std::string_view tail,
                      std::string_view label, ObjectNumber& number) {
    if (Status s = CheckRoom(doc, AsfKind::Label, kMaxDiagramLabels, 1, "labels"); !s) return s;
    if (Status s = NextNumber(doc, number); !s) return s;
    AsfPoint at = DeclarationPosition(doc);
    Append(doc, DeclarationRecord(number, kind, at, tail));
    Append(doc, NoteRecord('L', number + 1, number, "Labels", Shifted(at, 6000, 0), label));
    return Status::Ok();
}

std::string ConstantLabelText(std::string_view name, std::string_view value) {
    return Trim(name) + " = " + Trim(value);
}

} // namespace

Status AddSignal(AsfDocument& doc, std::string_view name, std::string_view init,
                 ObjectNumber& number) {
    if (Status s = CheckName(doc, name, "a signal"); !s) return s;
    if (Status s = CheckInit(doc, init); !s) return s;
    if (Status s = CheckRoom(doc, AsfKind::Signal, kMaxDiagramSignals, 1, "signals"); !s) return s;
    return AddDeclaration(doc, "Signal", " " + Quote(init) + " \"\"", name, number);
}

Status EditSignal(AsfDocument& doc, ObjectNumber signal, std::string_view name,
                  std::string_view init) {
    std::optional<std::size_t> line = doc.Find(AsfKind::Signal, signal);
    if (!line) return Missing(doc, "signal", signal);
    if (doc.Lines()[*line].text.value_or("") != init) {
        if (Status s = CheckInit(doc, init); !s) return s;
        const AsfLine& r = doc.Lines()[*line];
        if (r.words > 8)
            doc.SetRecord(*line, WithWord(r.bytes, 8, Quote(init)));
        else
            doc.SetRecord(*line, DeclarationRecord(r.number, "Signal", PositionOf(r),
                                                   " " + Quote(init) + " \"\""));
    }
    if (doc.NameOf(signal) != name) {
        if (Status s = CheckName(doc, name, "a signal"); !s) return s;
        AsfPoint at = Shifted(PositionOf(doc.Lines()[*line]), 6000, 0);
        if (Status s = SetNameLabel(doc, signal, name, doc.NameLabel(signal), false, at); !s)
            return s;
    }
    return Status::Ok();
}

Status DeleteSignal(AsfDocument& doc, ObjectNumber signal) {
    return EraseObject(doc, AsfKind::Signal, signal, "signal");
}

Status AddConstant(AsfDocument& doc, std::string_view name, std::string_view value,
                   ObjectNumber& number) {
    if (Status s = CheckConstant(doc, name, value); !s) return s;
    if (Status s = CheckRoom(doc, AsfKind::Constant, kMaxDiagramConstants, 1, "constants"); !s)
        return s;
    return AddDeclaration(doc, "Constant", " \"\" \"\"", ConstantLabelText(name, value), number);
}

Status EditConstant(AsfDocument& doc, ObjectNumber constant, std::string_view name,
                    std::string_view value) {
    std::optional<std::size_t> line = doc.Find(AsfKind::Constant, constant);
    if (!line) return Missing(doc, "constant", constant);
    std::optional<std::size_t> label = doc.ConstantLabel(constant);
    auto [oldName, oldValue] = ConstantOf(doc, constant);
    if (oldName == name && oldValue == value) return Status::Ok();
    if (Status s = CheckConstant(doc, name, value); !s) return s;
    AsfPoint at = Shifted(PositionOf(doc.Lines()[*line]), 6000, 0);
    if (Status s = SetNameLabel(doc, constant, ConstantLabelText(name, value), label, false, at);
        !s)
        return s;
    return Status::Ok();
}

std::pair<std::string, std::string> ConstantOf(const AsfDocument& doc, ObjectNumber constant) {
    std::optional<std::size_t> label = doc.ConstantLabel(constant);
    if (!label) return {};
    std::string_view text = *doc.Lines()[*label].text;
    std::size_t equals = text.find('=');
    return {Trim(text.substr(0, equals)), Trim(text.substr(equals + 1))};
}

Status DeleteConstant(AsfDocument& doc, ObjectNumber constant) {
    return EraseObject(doc, AsfKind::Constant, constant, "constant");
}

} // namespace kestrel
