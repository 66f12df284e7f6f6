// The merge rules of a declaring file without the file: which declared function edits which
// own function and what it keeps, where library items go, which signal keeps its row, the
// capacity refusals with the entry they name, that an entry's keys are read only when the
// rules reach them, and the notes on changed initial values.
#include "project/DeclarationMerge.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <stdexcept>

namespace kestrel {
namespace {

// A key the rules must not read: reading it fails, as a malformed value of a file does.
struct Unread : std::runtime_error {
    Unread() : std::runtime_error("read") {}
};

struct FakeFunction : FunctionEntry {
    bool library = false;
    std::string name;
    BoxChoice returnType{"void", 0};
    std::vector<ParameterDraft> parameters;
    bool IsLibrary() const override { return library; }
    std::string Name() const override {
        if (library) throw Unread();
        return name;
    }
    BoxChoice ReturnType() const override { return returnType; }
    int ParameterCount() const override { return static_cast<int>(parameters.size()); }
    void CheckParameter(int) const override {}
    ParameterDraft Parameter(int k) const override {
        return parameters.at(static_cast<std::size_t>(k));
    }
};

FakeFunction Function(std::string name, std::vector<ParameterDraft> parameters = {}) {
    FakeFunction f;
    f.name = std::move(name);
    f.parameters = std::move(parameters);
    return f;
}
FakeFunction LibraryFunction() {
    FakeFunction f;
    f.library = true;
    return f;
}

ParameterDraft IntParameter(std::string name) {
    ParameterDraft p;
    p.name = std::move(name);
    p.typeText = "int";
    p.typeIndex = 4;
    return p;
}

struct FakeSignal : SignalEntry {
    bool library = false;
    std::string name;
    std::map<SignalKey, std::string> texts;
    std::map<SignalKey, int> numbers;
    std::optional<bool> clock;
    bool boxesReadable = true;
    bool IsLibrary() const override { return library; }
    std::string Name() const override { return name; }
    bool Has(SignalKey key) const override {
        return texts.count(key) || numbers.count(key) || (key == SignalKey::Clock && clock);
    }
    std::string Text(SignalKey key) const override { return texts.at(key); }
    int Number(SignalKey key) const override { return numbers.at(key); }
    bool Clock() const override { return clock.value_or(false); }
    BoxChoice Direction() const override {
        if (!boxesReadable) throw Unread();
        return {"sc_in", 0};
    }
    BoxChoice DataType() const override {
        if (!boxesReadable) throw Unread();
        auto type = numbers.find(SignalKey::DataTypeIndex);
        int index = type == numbers.end() ? 0 : type->second;
        return {std::string(kDataTypeNames[static_cast<std::size_t>(index)]), index};
    }
};

FakeSignal Signal(std::string name, std::map<SignalKey, std::string> texts = {},
                  std::map<SignalKey, int> numbers = {}) {
    FakeSignal s;
    s.name = std::move(name);
    s.texts = std::move(texts);
    s.numbers = std::move(numbers);
    return s;
}

template <typename Base, typename Fake>
std::vector<const Base*> Pointers(const std::vector<Fake>& fakes) {
    std::vector<const Base*> out;
    for (const Fake& f : fakes) out.push_back(&f);
    return out;
}

TlmFunction Stored(const char* name, bool library, const char* diagram = "") {
    TlmFunction f;
    f.functionName = name;
    f.returnTypeText = "void";
    f.isLibrary = library;
    f.asfFileName = diagram;
    f.fsmAssigned = diagram[0] != '\0';
    return f;
}

// The project's signals as the list's OK stores them.
std::unique_ptr<RtlSignalTable> StoredSignals(const std::vector<SignalRow>& rows) {
    auto table = std::make_unique<RtlSignalTable>();
    StoreSignalRows(rows, *table);
    return table;
}

const SignalRow kClk{"sc_in", "bool", "1", "clk", 0, 2, true, "1", false};
const SignalRow kLib{"sc_in", "sc_logic", "1", "lib", 0, 0, false, "0", true};

void ExpectRefused(const std::optional<MergeRefusal>& refused, const std::string& text,
                   const std::string& what) {
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->refusal.text, text);
    EXPECT_EQ(refused->what, what);
}

TEST(FunctionMerge, EditsOwnFunctionsByNameAndPlacesLibraryItems) {
    auto old = std::make_unique<TlmFunctionTable>();
    (*old)[1] = Stored("lib_a", true);
    (*old)[2] = Stored(" read ", false, "read.asf");
    (*old)[3] = Stored("write", false, "write.asf");
    (*old)[4] = Stored("lib_b", true);
    old->count = 4;

    // write edited (a parameter more), a library mark (lib_a), read as it was and a new
    // function; lib_b, which no entry marks, follows them.
    std::vector<FakeFunction> entries = {Function("write", {IntParameter("a")}), LibraryFunction(),
                                         Function("read"), Function("go")};
    auto fresh = std::make_unique<TlmFunctionTable>();
    ASSERT_FALSE(MergeFunctions(Pointers<FunctionEntry>(entries), *old, *fresh));
    // Unchanged: the stored bytes, blanks included, and the diagram stay.
    EXPECT_EQ(
        test::FunctionLines(*fresh),
        (std::vector<std::string>{"write/1 asf=write.asf assigned", "lib_a/0 library",
                                  "read/0 asf=read.asf assigned", "go/0", "lib_b/0 library"}));
    EXPECT_EQ((*fresh)[3].functionName.Raw(), (*old)[2].functionName.Raw());

    // Extra library entries are ignored.
    std::vector<FakeFunction> marks(4, LibraryFunction());
    ASSERT_FALSE(MergeFunctions(Pointers<FunctionEntry>(marks), *old, *fresh));
    EXPECT_EQ(fresh->count, 2);
}

TEST(FunctionMerge, RefusalsNameTheEntry) {
    auto old = std::make_unique<TlmFunctionTable>();
    auto fresh = std::make_unique<TlmFunctionTable>();
    std::vector<FakeFunction> entries = {Function("ok"),
                                         Function("bad", {IntParameter("a"), IntParameter("")})};
    auto refused = MergeFunctions(Pointers<FunctionEntry>(entries), *old, *fresh);
    ExpectRefused(refused, "Enter Parameter Name", "function 2 \"bad\", parameter 2");

    std::vector<FakeFunction> full(26, Function("f"));
    refused = MergeFunctions(Pointers<FunctionEntry>(full), *old, *fresh);
    ExpectRefused(refused, "Cannot have more than 25 Functions", "function 26 \"f\"");

    // A library item that no longer fits after the own functions.
    (*old)[1] = Stored("lib", true);
    old->count = 1;
    std::vector<FakeFunction> own(25, Function("f"));
    refused = MergeFunctions(Pointers<FunctionEntry>(own), *old, *fresh);
    ExpectRefused(refused, "Cannot have more than 25 Functions", "library function \"lib\"");
}

TEST(SignalMerge, KeepsRowsGivenAsShownAndDeclaresTheRest) {
    auto old =
        StoredSignals({kClk, kLib, {"sc_in", "sc_lv", "8", "bus", 0, 1, false, "00001111", false}});

    FakeSignal clk = Signal("clk", {{SignalKey::Init, "1"}}, {{SignalKey::Width, 1}});
    clk.clock = true;
    // Given as shown but for its width: declared anew through the dialog's rules.
    FakeSignal bus = Signal("bus", {{SignalKey::Init, "1"}},
                            {{SignalKey::DataTypeIndex, 1}, {SignalKey::Width, 4}});
    // A clock fixes its boxes: they are never read, and a given init is not used.
    FakeSignal tick = Signal("tick", {{SignalKey::Init, "0"}});
    tick.clock = true;
    tick.boxesReadable = false;
    std::vector<FakeSignal> entries = {clk, bus, tick};
    std::vector<SignalRow> rows;
    std::vector<GivenInit> given;
    ASSERT_FALSE(MergeSignals(Pointers<SignalEntry>(entries), *old, rows, given));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], kClk);
    EXPECT_EQ(std::tuple(rows[1].name, rows[1].width, rows[1].isLibrary),
              std::tuple("bus", "4", false));
    EXPECT_EQ(std::tuple(rows[2].dataType, rows[2].initValue, rows[2].isClock),
              std::tuple("bool", "1", true));
    EXPECT_EQ(rows[3], kLib); // the unmarked library port follows
    ASSERT_EQ(given.size(), 2u);
    EXPECT_EQ(given[0].row, 1u);
    EXPECT_EQ(given[1].text, "0");

    FakeSignal bad = Signal("d", {{SignalKey::Init, "2"}});
    std::vector<FakeSignal> refusedEntries = {bad};
    rows.clear();
    auto refused = MergeSignals(Pointers<SignalEntry>(refusedEntries), *old, rows, given);
    ExpectRefused(refused, "Init value can contain only 1,0,X,Z", "signal 1 \"d\"");

    std::vector<FakeSignal> full(25, Signal("s"));
    rows.clear();
    refused = MergeSignals(Pointers<SignalEntry>(full), *old, rows, given);
    ExpectRefused(refused, "Cannot have more than 25 Signals", "library signal \"lib\"");
}

TEST(SignalMerge, NotesOnChangedInitialValues) {
    auto stored = StoredSignals({kClk,
                                 {"sc_in", "sc_lv", "4", "bus", 0, 1, false, "0101", false},
                                 {"sc_in", "sc_logic", "1", "d", 0, 0, false, "X", false}});
    const std::vector<GivenInit> given = {{0, "0"}, {1, "10101"}, {2, "x"}, {2, "1x"}, {7, "1"}};
    EXPECT_EQ(ChangedInitNotes(given, *stored),
              (std::vector<std::string>{
                  "signal \"clk\": initial value \"0\" stored as \"1\" (a clock starts at 1)",
                  "signal \"bus\": initial value \"10101\" stored as \"0101\" (fitted to the "
                  "width 4)",
                  "signal \"d\": initial value \"1x\" stored as \"X\" (an sc_logic value is one "
                  "character)"}));
}

} // namespace
} // namespace kestrel
