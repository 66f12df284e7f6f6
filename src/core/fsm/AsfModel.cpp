// Describing a diagram as a model and making a diagram hold a model, through the editing
// operations: deletions first, then the changes of the objects the model keeps, then the
// new objects, then each list put in the model's order.
#include "fsm/AsfModel.h"

#include "fsm/AsfEdit.h"

#include <map>
#include <set>
#include <tuple>

namespace kestrel {

namespace {

// The shape of the object of the record at `line`, as the last record of its kind and
// number holds it: the record every change of that object edits.
ModelShape ShapeOf(const AsfDocument& doc, std::size_t line) {
    const AsfLine& r = doc.Lines()[*doc.Find(doc.Lines()[line].kind, doc.Lines()[line].number)];
    ModelShape shape{r.geometry, std::nullopt};
    if (std::optional<std::size_t> label = doc.NameLabel(r.number))
        shape.label = PositionOf(doc.Lines()[*label]);
    return shape;
}

ModelTransition TransitionOf(const AsfDocument& doc, std::size_t line) {
    const AsfLine& r = doc.Lines()[line];
    ModelTransition t{r.number, r.source, r.target, r.flags % 4096, std::nullopt};
    if (std::optional<std::size_t> c = doc.LastCondition(r.number)) {
        const AsfLine& condition = doc.Lines()[*c];
        t.condition = AsfTextShown(condition.text.value_or(""));
        if (!condition.geometry.empty()) t.conditionAt = condition.geometry.front();
    }
    t.shape = ShapeOf(doc, line);
    return t;
}

} // namespace

DiagramModel DescribeDiagram(const AsfDocument& doc) {
    DiagramModel m;
    const std::vector<AsfLine>& lines = doc.Lines();
    for (std::size_t i : doc.Records(AsfKind::State))
        m.states.push_back({lines[i].number, doc.NameOf(lines[i].number),
                            StateKindOf(lines[i].flags), PositionOf(lines[i]), ShapeOf(doc, i)});
    if (std::vector<std::size_t> resets = doc.Records(AsfKind::Reset); !resets.empty())
        m.reset = ModelReset{lines[resets.back()].number, PositionOf(lines[resets.back()]),
                             ShapeOf(doc, resets.back())};
    for (std::size_t i : doc.Records(AsfKind::Transition))
        m.transitions.push_back(TransitionOf(doc, i));
    for (std::size_t i : doc.Records(AsfKind::Action))
        m.actions.push_back({lines[i].number, lines[i].owner,
                             AsfTextShown(lines[i].text.value_or("")), ShapeOf(doc, i)});
    for (std::size_t i : doc.Records(AsfKind::Signal))
        m.signals.push_back({lines[i].number, doc.NameOf(lines[i].number),
                             lines[i].text.value_or(""), ShapeOf(doc, i)});
    for (std::size_t i : doc.Records(AsfKind::Constant)) {
        auto [name, value] = ConstantOf(doc, lines[i].number);
        m.constants.push_back({lines[i].number, name, value, ShapeOf(doc, i)});
    }
    for (std::size_t i = doc.ObjectsBegin(); i < doc.ObjectsEnd(); ++i)
        if (lines[i].kind == AsfKind::InPort || lines[i].kind == AsfKind::OutPort)
            m.ports.push_back({lines[i].number, doc.NameOf(lines[i].number),
                               lines[i].kind == AsfKind::InPort, ShapeOf(doc, i)});
    m.initial = InitialStateOf(doc);
    m.drawings = DescribeDecorations(doc);
    return m;
}

namespace {

std::string Entry(const char* list, std::size_t k, const std::optional<ObjectNumber>& id) {
    return std::string(list) + "[" + std::to_string(k) + "]" +
           (id ? " (id " + std::to_string(*id) + ")" : " (new)");
}

// A refusal of an operation, with the model entry it was made for.
Status ForEntry(Status s, const std::string& entry) {
    if (s) return s;
    return Status::Error(s.message() + "; in " + entry);
}

Status Refuse(const AsfDocument& doc, const std::string& entry, const std::string& what) {
    return Status::Error("ASF file " + doc.Path() + ": " + entry + ": " + what);
}

// The numbers of the records of a kind; refused when two records share one, since the
// model could not tell them apart.
Status NumbersOf(const AsfDocument& doc, AsfKind kind, const char* list,
                 std::set<ObjectNumber>& out) {
    for (std::size_t i : doc.Records(kind))
        if (!out.insert(doc.Lines()[i].number).second)
            return Status::Error("ASF file " + doc.Path() + ": two " + list +
                                 " records carry number " + std::to_string(doc.Lines()[i].number) +
                                 " (line " + std::to_string(i + 1) +
                                 "); the diagram cannot be set from a model");
    return Status::Ok();
}

// The model entries of a list that name a record of the file, and a refusal for an id
// given twice.
template <typename Item>
Status Known(const AsfDocument& doc, const std::vector<Item>& items,
             const std::set<ObjectNumber>& inFile, const char* list,
             std::set<ObjectNumber>& known) {
    std::set<ObjectNumber> seen;
    for (std::size_t k = 0; k < items.size(); ++k) {
        if (!items[k].id) continue;
        if (!seen.insert(*items[k].id).second)
            return Refuse(doc, Entry(list, k, items[k].id), "the id is given twice");
        if (inFile.count(*items[k].id)) known.insert(*items[k].id);
    }
    return Status::Ok();
}

// Deletes the records of a kind that the model leaves out (a refusal means the record
// went already, with an object it hung on).
void DeleteLeftOut(AsfDocument& doc, const std::set<ObjectNumber>& inFile,
                   const std::set<ObjectNumber>& known,
                   Status (*remove)(AsfDocument&, ObjectNumber)) {
    for (ObjectNumber n : inFile)
        if (!known.count(n)) (void)remove(doc, n);
}

// A free place for a new state, far enough from every state: first down the middle of
// the page below the reset object's usual place, a state every 50000 (so that transitions
// run straight down, their conditions beside them and action blocks on the right of their
// states), then down a column on the right and one on the left, then anywhere on a grid.
AsfPoint FreePlace(const AsfDocument& doc) {
    auto free = [&doc](AsfPoint p) {
        for (std::size_t i : doc.Records(AsfKind::State)) {
            AsfPoint q = PositionOf(doc.Lines()[i]);
            if (std::llabs(q.x - p.x) < 20000 && std::llabs(q.y - p.y) < 20000) return false;
        }
        return true;
    };
    for (ObjectNumber x : {100700, 160700, 40700})
        for (ObjectNumber y = 176000; y >= 26000; y -= 50000)
            if (free({x, y})) return {x, y};
    for (ObjectNumber cell = 0;; ++cell) {
        AsfPoint p{40000 + 40000 * (cell % 4), 190000 - 40000 * (cell / 4)};
        if (free(p)) return p;
    }
}

// Puts the records of a kind in the order of the numbers.
void Order(AsfDocument& doc, AsfKind kind, const std::vector<ObjectNumber>& numbers) {
    std::vector<std::size_t> lines = doc.Records(kind);
    std::vector<std::size_t> order;
    for (ObjectNumber n : numbers)
        if (std::optional<std::size_t> line = doc.Find(kind, n)) order.push_back(*line);
    if (order.size() == lines.size() && order != lines) doc.Arrange(lines, order);
}

class Applier {
public:
    Applier(AsfDocument& doc, const DiagramModel& model) : doc_(doc), m_(model) {}
    Status Run();

private:
    Status Check();
    Status States();
    Status Reset();
    Status Transitions();
    Status Actions();
    Status Declarations();
    // True when no state or reset record of the file carries the number.
    bool Dangling(ObjectNumber n) const {
        return !doc_.Find(AsfKind::State, n) && !doc_.Find(AsfKind::Reset, n);
    }
    // The number of the object a model id names.
    ObjectNumber Mapped(ObjectNumber id) const {
        auto it = mapped_.find(id);
        return it == mapped_.end() ? id : it->second;
    }

    AsfDocument& doc_;
    const DiagramModel& m_;
    std::set<ObjectNumber> fileStates_, fileTransitions_, fileActions_, fileSignals_,
        fileConstants_;
    std::set<ObjectNumber> knownStates_, knownTransitions_, knownActions_, knownSignals_,
        knownConstants_;
    std::map<ObjectNumber, ObjectNumber> mapped_; // model ids of new states and reset
    std::vector<ObjectNumber> stateOrder_, transitionOrder_, actionOrder_, signalOrder_,
        constantOrder_;
};

Status Applier::Check() {
    if (Status s = NumbersOf(doc_, AsfKind::State, "state", fileStates_); !s) return s;
    if (Status s = NumbersOf(doc_, AsfKind::Transition, "transition", fileTransitions_); !s)
        return s;
    if (Status s = NumbersOf(doc_, AsfKind::Action, "action", fileActions_); !s) return s;
    if (Status s = NumbersOf(doc_, AsfKind::Signal, "signal", fileSignals_); !s) return s;
    if (Status s = NumbersOf(doc_, AsfKind::Constant, "constant", fileConstants_); !s) return s;
    if (Status s = Known(doc_, m_.states, fileStates_, "states", knownStates_); !s) return s;
    if (Status s = Known(doc_, m_.transitions, fileTransitions_, "transitions", knownTransitions_);
        !s)
        return s;
    if (Status s = Known(doc_, m_.actions, fileActions_, "actions", knownActions_); !s) return s;
    if (Status s = Known(doc_, m_.signals, fileSignals_, "signals", knownSignals_); !s) return s;
    if (Status s = Known(doc_, m_.constants, fileConstants_, "constants", knownConstants_); !s)
        return s;

    std::set<ObjectNumber> states;
    for (const ModelState& st : m_.states)
        if (st.id) states.insert(*st.id);
    std::set<ObjectNumber> ends = states;
    if (m_.reset && m_.reset->id) ends.insert(*m_.reset->id);
    for (std::size_t k = 0; k < m_.transitions.size(); ++k) {
        const ModelTransition& t = m_.transitions[k];
        // A transition the model keeps may keep an end that names no object at all, as
        // the diagram has it; a new end must be a state or the reset object.
        std::optional<std::size_t> line;
        if (t.id && knownTransitions_.count(*t.id)) line = doc_.Find(AsfKind::Transition, *t.id);
        for (auto [word, n, old] :
             {std::tuple{"from", t.from, line ? doc_.Lines()[*line].source : 0},
              std::tuple{"to", t.to, line ? doc_.Lines()[*line].target : 0}})
            if (!ends.count(n) && !(line && n == old && Dangling(n)))
                return Refuse(doc_, Entry("transitions", k, t.id),
                              std::string("its \"") + word + "\" " + std::to_string(n) +
                                  " is no state or reset object of the diagram");
        if (t.priority < 0 || t.priority > kMaxTransitionPriority)
            return Refuse(doc_, Entry("transitions", k, t.id),
                          "the priority " + std::to_string(t.priority) + " lies outside 0 to 4095");
    }
    for (std::size_t k = 0; k < m_.actions.size(); ++k) {
        std::optional<std::size_t> line;
        if (m_.actions[k].id && knownActions_.count(*m_.actions[k].id))
            line = doc_.Find(AsfKind::Action, *m_.actions[k].id);
        ObjectNumber state = m_.actions[k].state;
        if (!states.count(state) &&
            !(line && doc_.Lines()[*line].owner == state && Dangling(state)))
            return Refuse(doc_, Entry("actions", k, m_.actions[k].id),
                          "its state " + std::to_string(m_.actions[k].state) +
                              " is no state of the diagram");
    }
    return Status::Ok();
}

// Each entry of a list: the record of a known id takes the entry's values, any other
// entry becomes a new object; the numbers come out in the model's order.
template <typename Item, typename Edit, typename Add>
Status ApplyList(const std::vector<Item>& items, const char* list,
                 const std::set<ObjectNumber>& known, std::vector<ObjectNumber>& order, Edit edit,
                 Add add) {
    for (std::size_t k = 0; k < items.size(); ++k) {
        const Item& item = items[k];
        ObjectNumber n = 0;
        Status s;
        if (item.id && known.count(*item.id)) {
            n = *item.id;
            s = edit(item, n);
        } else {
            s = add(item, n);
        }
        if (!s) return ForEntry(s, Entry(list, k, item.id));
        order.push_back(n);
    }
    return Status::Ok();
}

Status Applier::States() {
    return ApplyList(
        m_.states, "states", knownStates_, stateOrder_,
        [&](const ModelState& st, ObjectNumber n) {
            if (Status s = RenameState(doc_, n, st.name); !s) return s;
            if (st.at)
                if (Status s = MoveState(doc_, n, *st.at); !s) return s;
            return SetStateKind(doc_, n, st.kind);
        },
        [&](const ModelState& st, ObjectNumber& n) {
            if (Status s = AddState(doc_, st.name, st.at ? *st.at : FreePlace(doc_), n); !s)
                return s;
            if (st.id) mapped_[*st.id] = n;
            return SetStateKind(doc_, n, st.kind);
        });
}

Status Applier::Reset() {
    ObjectNumber current = doc_.ResetNumber();
    bool has = !doc_.Records(AsfKind::Reset).empty();
    if (!m_.reset) return has ? RemoveReset(doc_) : Status::Ok();
    const ModelReset& r = *m_.reset;
    if (has && r.id && *r.id == current) {
        if (r.at)
            if (Status s = MoveReset(doc_, *r.at); !s) return ForEntry(s, "reset");
        return Status::Ok();
    }
    if (has)
        if (Status s = RemoveReset(doc_); !s) return s;
    // Without a place, just above the state its first transition enters, or on its left
    // when another state stands above it.
    AsfPoint at{100700, 200000};
    if (r.at) {
        at = *r.at;
    } else if (r.id) {
        for (const ModelTransition& t : m_.transitions) {
            if (t.from != *r.id) continue;
            if (std::optional<std::size_t> line = doc_.Find(AsfKind::State, Mapped(t.to))) {
                const AsfPoint entered = PositionOf(doc_.Lines()[*line]);
                at = {entered.x, entered.y + 24000};
                for (std::size_t i : doc_.Records(AsfKind::State)) {
                    const AsfPoint q = PositionOf(doc_.Lines()[i]);
                    if (std::llabs(q.x - entered.x) < 20000 && q.y > entered.y &&
                        q.y - entered.y < 60000)
                        at = {entered.x - 24000, entered.y};
                }
            }
            break;
        }
    }
    ObjectNumber n = 0;
    if (Status s = AddReset(doc_, at, n); !s) return ForEntry(s, "reset");
    if (r.id) mapped_[*r.id] = n;
    return Status::Ok();
}

Status Applier::Transitions() {
    return ApplyList(
        m_.transitions, "transitions", knownTransitions_, transitionOrder_,
        [&](const ModelTransition& t, ObjectNumber n) {
            if (Status s = ReconnectTransition(doc_, n, Mapped(t.from), Mapped(t.to)); !s) return s;
            if (Status s = SetTransitionPriority(doc_, n, t.priority); !s) return s;
            return SetTransitionCondition(doc_, n, t.condition);
        },
        [&](const ModelTransition& t, ObjectNumber& n) {
            return AddTransition(doc_, Mapped(t.from), Mapped(t.to), t.priority, t.condition, n);
        });
}

Status Applier::Actions() {
    return ApplyList(
        m_.actions, "actions", knownActions_, actionOrder_,
        [&](const ModelAction& a, ObjectNumber n) {
            if (Status s = SetActionState(doc_, n, Mapped(a.state)); !s) return s;
            return EditAction(doc_, n, a.text);
        },
        [&](const ModelAction& a, ObjectNumber& n) {
            return AddAction(doc_, Mapped(a.state), a.text, n);
        });
}

Status Applier::Declarations() {
    if (Status s = ApplyList(
            m_.signals, "signals", knownSignals_, signalOrder_,
            [&](const ModelSignal& v, ObjectNumber n) {
                return EditSignal(doc_, n, v.name, v.init);
            },
            [&](const ModelSignal& v, ObjectNumber& n) {
                return AddSignal(doc_, v.name, v.init, n);
            });
        !s)
        return s;
    return ApplyList(
        m_.constants, "constants", knownConstants_, constantOrder_,
        [&](const ModelConstant& c, ObjectNumber n) {
            return EditConstant(doc_, n, c.name, c.value);
        },
        [&](const ModelConstant& c, ObjectNumber& n) {
            return AddConstant(doc_, c.name, c.value, n);
        });
}

Status Applier::Run() {
    if (Status s = Check(); !s) return s;
    // What the model leaves out goes first, so that its room is free for the new objects.
    DeleteLeftOut(doc_, fileTransitions_, knownTransitions_, DeleteTransition);
    DeleteLeftOut(doc_, fileActions_, knownActions_, DeleteAction);
    DeleteLeftOut(doc_, fileSignals_, knownSignals_, DeleteSignal);
    DeleteLeftOut(doc_, fileConstants_, knownConstants_, DeleteConstant);
    DeleteLeftOut(doc_, fileStates_, knownStates_, DeleteState);
    if (Status s = States(); !s) return s;
    if (Status s = Reset(); !s) return s;
    if (Status s = Transitions(); !s) return s;
    if (Status s = Actions(); !s) return s;
    if (Status s = Declarations(); !s) return s;
    Order(doc_, AsfKind::State, stateOrder_);
    Order(doc_, AsfKind::Transition, transitionOrder_);
    Order(doc_, AsfKind::Action, actionOrder_);
    Order(doc_, AsfKind::Signal, signalOrder_);
    Order(doc_, AsfKind::Constant, constantOrder_);
    return Status::Ok();
}

} // namespace

Status ApplyDiagramModel(AsfDocument& doc, const DiagramModel& model) {
    AsfDocument work = doc;
    if (Status s = Applier(work, model).Run(); !s) return s;
    doc = std::move(work);
    return Status::Ok();
}

} // namespace kestrel
