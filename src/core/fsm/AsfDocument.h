#pragma once
// An ASF diagram held for editing: every line of the file kept as its bytes and its own
// line end, so that saving an unchanged document gives the file back byte for byte, and
// for the records of the objects block the meaning the diagram reader gives them (states,
// labels, actions, transitions, conditions, reset, diagram signals and constants, ports)
// with the coordinates after "|" that drawing needs. Records the reader skips are kept
// as they stand, in their place (frames and text objects with their points too). This is
// the only reading of a diagram: the reader, the checks, the model and the editing
// operations all work on it.
#include "fsm/StateMachine.h"
#include "platform/Status.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

enum class AsfKind {
    Other, // outside the objects block, or a record the reader skips
    State,
    Label,
    Action,
    Transition,
    Condition,
    Reset,
    Signal,
    Constant,
    InPort,
    OutPort,
};

// The records the reader skips but a drawing shows: the frame (F, a rectangle given by
// two corners) and free text objects (G, a point and a text).
enum class AsfDrawing { None, Frame, Text };

// The state kinds of the flags word modulo 4.
enum class AsfStateKind { Ordinary, Default, Trap };

struct AsfPoint {
    ObjectNumber x = 0;
    ObjectNumber y = 0;
    bool operator==(const AsfPoint&) const = default;
};

struct AsfLine {
    std::string bytes; // the line without its end
    std::string end;   // "\r\n", "\n", "\r", or "" for a last line without an end

    AsfKind kind = AsfKind::Other;
    bool stateLabel = false; // a label of the "State Labels" bundle
    ObjectNumber number = 0; // word 1
    ObjectNumber owner =
        0; // word 2: the labelled object, the action's state, the condition's transition
    ObjectNumber flags = 0;  // word 3 of states and transitions
    ObjectNumber source = 0; // word 4 of transitions
    ObjectNumber target = 0; // word 5 of transitions
    // The text of a label, action, condition or free text object as stored (line breaks
    // as backslash and "n"); the initial value of a signal. Nothing when the record is too
    // short for it.
    std::optional<std::string> text;
    std::vector<AsfPoint> geometry; // the x,y words right after "|", as the file holds them
    AsfDrawing drawing = AsfDrawing::None;
    std::size_t words = 0;      // the number of words of the record
    std::size_t pointsWord = 0; // the word right after "|" (the number of words without one)
    bool closesBlock = false;   // the record END, which ends the objects block
};

// Reads the meaning of one record of the objects block: the one place the words of a
// record are read.
AsfLine ReadObjectRecord(std::string bytes, std::string end);

class AsfDocument {
public:
    // Takes the file's bytes. Refused, with a message naming `path`, when the diagram
    // reader would not find its objects: a first line other than "VERSION=1.19", or no
    // objects block ended by END.
    static Status Load(std::string_view bytes, std::string_view path, AsfDocument& out);
    // Takes the file's bytes as far as the reader takes them: without the version line
    // there are no records (HasVersion() false); without END the objects block runs to
    // the last line (Ended() false).
    static AsfDocument Parse(std::string_view bytes, std::string_view path);
    bool HasVersion() const { return versioned_; }
    bool Ended() const { return ended_; }

    std::string Bytes() const;
    const std::string& Path() const { return path_; }
    const std::vector<AsfLine>& Lines() const { return lines_; }
    // The records of the objects block are lines [ObjectsBegin(), ObjectsEnd()); the line
    // at ObjectsEnd() is its END.
    std::size_t ObjectsBegin() const { return begin_; }
    std::size_t ObjectsEnd() const { return end_; }

    // The records of one kind, in file order, as line indexes.
    std::vector<std::size_t> Records(AsfKind kind) const;
    // The last record of a kind with the number, if any.
    std::optional<std::size_t> Find(AsfKind kind, ObjectNumber number) const;
    // The labels the reader counts (its table holds the first kMaxDiagramLabels).
    std::vector<std::size_t> CountedLabels() const;
    // The text of the last counted label of the object, as the reader names it.
    std::optional<std::size_t> NameLabel(ObjectNumber object) const;
    std::string NameOf(ObjectNumber object) const;
    // The last counted label of a constant that holds "=", as the reader splits it.
    std::optional<std::size_t> ConstantLabel(ObjectNumber constant) const;
    // The last condition of a transition: the one the reader writes.
    std::optional<std::size_t> LastCondition(ObjectNumber transition) const;
    // The number of the reset object the reader uses (the last one); 0 when none.
    ObjectNumber ResetNumber() const;

    // The value of the header's FREEOID line; 0 when there is none.
    ObjectNumber FreeOid() const;
    // The highest object number of the objects block, carried or referred to.
    ObjectNumber HighestNumber() const;

    // Changes: a record's bytes (its meaning is read again), a record inserted before
    // line `at` (between ObjectsBegin() and ObjectsEnd()) with the line end the block
    // uses, a record removed, records of the block put in another order. After each
    // change that alters a byte, FREEOID (when the header has it) stays above the
    // highest number in use.
    void SetRecord(std::size_t line, std::string bytes);
    std::size_t InsertRecord(std::size_t at, std::string bytes);
    void EraseRecord(std::size_t line);
    std::optional<std::size_t> FreeOidLine() const;
    // Puts the records at `lines` (increasing) in the order `order` (a permutation of
    // them): lines[k] receives the record that stood at order[k].
    void Arrange(const std::vector<std::size_t>& lines, const std::vector<std::size_t>& order);

private:
    void Edited();

    std::string path_;
    std::vector<AsfLine> lines_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool versioned_ = false;
    bool ended_ = false;
};

// A stored multi-line text (line breaks as backslash and "n") with real line breaks (LF),
// and back (CR LF, a lone CR and a lone LF each become one backslash and "n").
std::string AsfTextShown(std::string_view stored);
std::string AsfTextStored(std::string_view shown);

} // namespace kestrel
