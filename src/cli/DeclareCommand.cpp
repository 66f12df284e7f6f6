// kestrel-cli declare: reads functions and signals from JSON (the `show --json` format)
// and hands each entry, in the file's order, to the core's merge rules (DeclarationMerge),
// which read an entry's keys as they need them; the merged lists are then saved as the two
// list windows' OK save them. Every check runs before anything is written.
#include "DeclareCommand.h"

#include "CliApp.h"
#include "CliSupport.h"
#include "model/ProjectPaths.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "project/DeclarationMerge.h"
#include "project/DuplicateNames.h"
#include "project/FunctionRules.h"
#include "project/ProjectCommands.h"
#include "project/SignalRules.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <memory>
#include <ostream>

namespace kestrel::cli {

namespace {

using Json = nlohmann::json;

// A file that cannot be used: reported as a file error naming the file.
struct BadFile : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string TextOf(const Json& object, const char* key, const std::string& fallback) {
    if (!object.contains(key)) return fallback;
    const Json& value = object.at(key);
    if (!value.is_string()) throw BadFile(std::string("\"") + key + "\" must be a text");
    try {
        return ArgText(value.get<std::string>());
    } catch (const UsageError& e) {
        throw BadFile(e.what());
    }
}

bool FlagOf(const Json& object, const char* key) {
    if (!object.contains(key)) return false;
    const Json& value = object.at(key);
    if (!value.is_boolean()) throw BadFile(std::string("\"") + key + "\" must be true or false");
    return value.get<bool>();
}

int NumberOf(const Json& object, const char* key, int fallback) {
    if (!object.contains(key)) return fallback;
    const Json& value = object.at(key);
    if (!value.is_number_integer() || value.get<long long>() < -32768 ||
        value.get<long long>() > 32767)
        throw BadFile(std::string("\"") + key + "\" must be a whole number");
    return value.get<int>();
}

// An entry of a drop-down box: the index picks the entry (its text is the entry's);
// -1, or a missing index with a text that is no entry, is a typed text.
template <std::size_t N>
void BoxEntry(const Json& object, const char* textKey, const char* indexKey,
              const std::array<std::string_view, N>& entries, int defaultIndex, std::string& text,
              int& index) {
    std::string typed = TextOf(object, textKey, "");
    if (object.contains(indexKey)) {
        index = NumberOf(object, indexKey, defaultIndex);
    } else if (object.contains(textKey)) {
        index = -1;
        for (std::size_t i = 0; i < N; ++i)
            if (entries[i] == typed) index = static_cast<int>(i);
    } else {
        index = defaultIndex;
    }
    if (index == -1) {
        text = typed;
    } else if (index >= 0 && index < static_cast<int>(N)) {
        text = std::string(entries[static_cast<std::size_t>(index)]);
    } else {
        throw BadFile(std::string("\"") + indexKey + "\" must be -1 (typed text) or 0 to " +
                      std::to_string(N - 1));
    }
}

const Json& ListOf(const Json& root, const char* key) {
    static const Json empty = Json::array();
    if (!root.contains(key)) return empty;
    const Json& list = root.at(key);
    if (!list.is_array()) throw BadFile(std::string("\"") + key + "\" must be a list");
    for (const Json& item : list)
        if (!item.is_object())
            throw BadFile(std::string("each of \"") + key + "\" must be an object");
    return list;
}

// A box entry that defaults to the first entry.
template <std::size_t N>
BoxChoice ChoiceOf(const Json& object, const char* textKey, const char* indexKey,
                   const std::array<std::string_view, N>& entries) {
    BoxChoice choice;
    BoxEntry(object, textKey, indexKey, entries, 0, choice.text, choice.index);
    return choice;
}

// A function entry of the file, read as the merge rules ask.
class JsonFunctionEntry : public FunctionEntry {
public:
    explicit JsonFunctionEntry(const Json& item) : item_(&item) {}
    bool IsLibrary() const override { return FlagOf(*item_, "library"); }
    std::string Name() const override { return TextOf(*item_, "name", ""); }
    BoxChoice ReturnType() const override {
        return ChoiceOf(*item_, "returnType", "returnTypeIndex", kCTypeNames);
    }
    int ParameterCount() const override {
        if (!item_->contains("parameters")) return 0;
        const Json& params = item_->at("parameters");
        if (!params.is_array()) throw BadFile("\"parameters\" must be a list");
        return static_cast<int>(params.size());
    }
    void CheckParameter(int k) const override {
        if (!ParameterAt(k).is_object()) throw BadFile("each of \"parameters\" must be an object");
    }
    ParameterDraft Parameter(int k) const override {
        const Json& p = ParameterAt(k);
        ParameterDraft pd;
        pd.name = TextOf(p, "name", "");
        BoxEntry(p, "type", "typeIndex", kCTypeNames, 0, pd.typeText, pd.typeIndex);
        bool byReference = FlagOf(p, "byReference");
        pd.passIndex = byReference ? 1 : 0;
        pd.passByText = std::string(kPassByEntries[static_cast<std::size_t>(pd.passIndex)]);
        pd.isConst = FlagOf(p, "const");
        pd.isArray = FlagOf(p, "array");
        return pd;
    }

private:
    const Json& ParameterAt(int k) const {
        return item_->at("parameters").at(static_cast<std::size_t>(k));
    }
    const Json* item_;
};

// A signal entry of the file, read as the merge rules ask.
class JsonSignalEntry : public SignalEntry {
public:
    explicit JsonSignalEntry(const Json& item) : item_(&item) {}
    bool IsLibrary() const override { return FlagOf(*item_, "library"); }
    std::string Name() const override { return TextOf(*item_, "name", ""); }
    bool Has(SignalKey key) const override { return item_->contains(KeyOf(key)); }
    std::string Text(SignalKey key) const override { return TextOf(*item_, KeyOf(key), ""); }
    int Number(SignalKey key) const override { return NumberOf(*item_, KeyOf(key), 0); }
    bool Clock() const override { return FlagOf(*item_, "clock"); }
    BoxChoice Direction() const override {
        return ChoiceOf(*item_, "direction", "directionIndex", kDirectionNames);
    }
    BoxChoice DataType() const override {
        return ChoiceOf(*item_, "dataType", "dataTypeIndex", kDataTypeNames);
    }

private:
    static const char* KeyOf(SignalKey key) {
        switch (key) {
        case SignalKey::Direction: return "direction";
        case SignalKey::DirectionIndex: return "directionIndex";
        case SignalKey::DataType: return "dataType";
        case SignalKey::DataTypeIndex: return "dataTypeIndex";
        case SignalKey::Width: return "width";
        case SignalKey::Init: return "init";
        case SignalKey::Clock: break;
        }
        return "clock";
    }
    const Json* item_;
};

// The entries of a list of the file, each reading its own object.
template <typename Entry, typename Base>
std::vector<const Base*> EntriesOf(const Json& list, std::vector<Entry>& entries) {
    for (const Json& item : list) entries.emplace_back(item);
    std::vector<const Base*> pointers;
    for (const Entry& entry : entries) pointers.push_back(&entry);
    return pointers;
}

} // namespace

int RunDeclareCommand(std::string_view projectFile, std::string_view jsonFile, std::ostream& out,
                      std::ostream& err) {
    ProjectRecord record;
    if (std::optional<int> failed = TakeProject(projectFile, ProjectAccess::Read, record, err))
        return *failed;
    const std::string& folder = record.projectFolder;

    // The tables as the two list windows open them.
    auto functions = std::make_unique<TlmFunctionTable>();
    auto signals = std::make_unique<RtlSignalTable>();
    if (record.tlmDeclared && FileExists(InputPath(folder, kTlmFunctionFile)))
        if (Status s = LoadTlmFunctions(folder, *functions); !s) return PrintFileError(err, s);
    if (record.rtlDeclared && FileExists(InputPath(folder, kRtlSignalFile)))
        if (Status s = LoadRtlSignals(folder, *signals); !s) return PrintFileError(err, s);

    std::string bytes;
    if (Status s = ReadFileBytes(jsonFile, bytes); !s) return PrintFileError(err, s);
    auto fresh = std::make_unique<TlmFunctionTable>();
    std::vector<SignalRow> rows;
    std::vector<GivenInit> given;
    std::optional<MergeRefusal> refused;
    try {
        Json root = Json::parse(bytes);
        if (!root.is_object()) throw BadFile("the file must hold a JSON object");
        std::vector<JsonFunctionEntry> functionEntries;
        refused = MergeFunctions(
            EntriesOf<JsonFunctionEntry, FunctionEntry>(ListOf(root, "functions"), functionEntries),
            *functions, *fresh);
        std::vector<JsonSignalEntry> signalEntries;
        if (!refused)
            refused = MergeSignals(
                EntriesOf<JsonSignalEntry, SignalEntry>(ListOf(root, "signals"), signalEntries),
                *signals, rows, given);
        if (!refused)
            if (auto r = CheckClock(rows)) refused = MergeRefusal{*r, "signals"};
    } catch (const Json::exception& e) {
        return PrintFileError(err, Status::Error(Show(std::string(jsonFile)) + ": " + e.what()));
    } catch (const BadFile& e) {
        return PrintFileError(err, Status::Error(Show(std::string(jsonFile)) + ": " + e.what()));
    }
    if (refused) {
        PrintRefusal(err, refused->refusal);
        err << "kestrel-cli: " << Show(std::string(jsonFile)) << ": " << Show(refused->what)
            << "\n";
        return kExitRefused;
    }

    if (Status s = AcceptFunctionList(record, *fresh); !s) return PrintFileError(err, s);
    CommandOutcome saved = AcceptSignalList(record, rows, *signals);
    if (saved.refusal) return PrintRefusal(err, *saved.refusal);
    if (!saved.status) return PrintFileError(err, saved.status);
    for (const std::string& note : ChangedInitNotes(given, *signals))
        err << "kestrel-cli: note: " << Show(note) << "\n";
    // Stored all the same, as the windows store them; the C++ would not compile.
    for (const std::string& warning : FunctionTableNameWarnings(*fresh))
        err << "kestrel-cli: warning: " << Show(warning) << "\n";
    for (const std::string& warning : PortTableNameWarnings(*signals, *fresh))
        err << "kestrel-cli: warning: " << Show(warning) << "\n";
    out << "Declared " << fresh->count << " functions and " << signals->count << " signals in "
        << Show(ProjectFilePath(record)) << "\n";
    return kExitOk;
}

} // namespace kestrel::cli
