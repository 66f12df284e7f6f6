#pragma once
// The editing operations of an ASF document, shared by the diagram editor's undo stack
// and the command line. Each one either changes the document and returns Ok, or refuses
// with a message naming the file and leaves the document as it was.
//
// New records go before the END of the objects block, in the word layout the diagram
// reader reads: text fields last on the line, line breaks of texts as backslash and "n".
// New objects take the next free object number (above FREEOID and every number in use),
// and after every change FREEOID stays above the highest number in use. Changing a value
// to the value it already has changes no byte. Texts are stored text (Windows-1252) with
// real line breaks where a text may have several lines (actions, conditions).
#include "fsm/AsfDocument.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace kestrel {

inline constexpr ObjectNumber kMaxTransitionPriority = 4095;
inline constexpr std::size_t kMaxAsfNameLength = 255;
inline constexpr std::size_t kMaxAsfTextLength = 8000;

// States. A new state gets a "State Labels" label with its name; renaming changes the
// label that names it (the last one), moving moves its labels, its actions and the ends
// of its transitions along; deleting deletes everything that hangs on it.
Status AddState(AsfDocument& doc, std::string_view name, AsfPoint at, ObjectNumber& number);
Status MoveState(AsfDocument& doc, ObjectNumber state, AsfPoint at);
Status RenameState(AsfDocument& doc, ObjectNumber state, std::string_view name);
Status SetStateKind(AsfDocument& doc, ObjectNumber state, AsfStateKind kind);
Status DeleteState(AsfDocument& doc, ObjectNumber state);
AsfStateKind StateKindOf(ObjectNumber flags);

// The reset object: one per diagram; removing it removes its transitions.
Status AddReset(AsfDocument& doc, AsfPoint at, ObjectNumber& number);
Status MoveReset(AsfDocument& doc, AsfPoint at);
Status RemoveReset(AsfDocument& doc);

// The initial state is the state the reset transition enters, as the diagram reader finds
// it: the target of the last transition from the (last) reset object. The default flag
// of a state has nothing to do with it. InitialStateOf gives 0 when that transition is
// missing or enters no state.
ObjectNumber InitialStateOf(const AsfDocument& doc);
// Points the reset transition at the state: the transition the reader takes is
// reconnected (its priority and condition stay); without one, a transition from the reset
// object is added, and without a reset object one is added above the state first.
Status SetInitialState(AsfDocument& doc, ObjectNumber state);

// Transitions between states or from the reset object (self-loops included); priority 0
// to 4095; the condition is the transition's last condition record (nothing: none).
Status AddTransition(AsfDocument& doc, ObjectNumber from, ObjectNumber to, ObjectNumber priority,
                     const std::optional<std::string>& condition, ObjectNumber& number);
Status ReconnectTransition(AsfDocument& doc, ObjectNumber transition, ObjectNumber from,
                           ObjectNumber to);
Status SetTransitionPriority(AsfDocument& doc, ObjectNumber transition, ObjectNumber priority);
Status SetTransitionCondition(AsfDocument& doc, ObjectNumber transition,
                              const std::optional<std::string>& condition);
Status DeleteTransition(AsfDocument& doc, ObjectNumber transition);

// Action blocks of a state.
Status AddAction(AsfDocument& doc, ObjectNumber state, std::string_view text, ObjectNumber& number);
Status EditAction(AsfDocument& doc, ObjectNumber action, std::string_view text);
Status SetActionState(AsfDocument& doc, ObjectNumber action, ObjectNumber state);
Status DeleteAction(AsfDocument& doc, ObjectNumber action);

// Diagram signals (a name and an initial value of one word, or none) and constants (a
// name and a value, held by one label "NAME = VALUE").
Status AddSignal(AsfDocument& doc, std::string_view name, std::string_view init,
                 ObjectNumber& number);
Status EditSignal(AsfDocument& doc, ObjectNumber signal, std::string_view name,
                  std::string_view init);
Status DeleteSignal(AsfDocument& doc, ObjectNumber signal);
Status AddConstant(AsfDocument& doc, std::string_view name, std::string_view value,
                   ObjectNumber& number);
Status EditConstant(AsfDocument& doc, ObjectNumber constant, std::string_view name,
                    std::string_view value);
Status DeleteConstant(AsfDocument& doc, ObjectNumber constant);
// A constant's name and value as the reader splits its label (empty without one).
std::pair<std::string, std::string> ConstantOf(const AsfDocument& doc, ObjectNumber constant);

// The position of an object: the first point of its record (0,0 when it has none).
AsfPoint PositionOf(const AsfLine& record);

} // namespace kestrel
