// kestrel-cli declare: reads functions and signals from JSON (the `show --json` format)
// and enters each one as the dialogs would, in the file's order. A function whose name
// matches one of the project's own functions is entered as an edit of that function, so
// it keeps its diagram assignment and the rest of its record (all of it when the file
// leaves the function as it reads); any other function is added
// as new. Library entries of the file only mark where the project's library items go: the
// k-th library entry takes the project's k-th library item, whatever the entry says;
// library items the file does not mark follow the own items; extra library entries are
// ignored. A signal the file gives exactly as the list shows it is kept as it is, as a
// row the user never opens; any other signal goes through the signal dialog's rules.
// Every check runs before anything is written.
#include "DeclareCommand.h"

#include "CliApp.h"
#include "CliSupport.h"
#include "model/ProjectPaths.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
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

// A refusal of entry `what`: the dialog's message, then which entry it was.
struct Refused {
    InputRefusal refusal;
    std::string what;
};

// Whether two functions read the same (texts trimmed, as the list and the dialog show
// them): an unchanged function keeps its stored bytes, blanks around its texts included.
bool ReadsTheSame(const TlmFunction& a, const TlmFunction& b) {
    if (a.functionName.Text() != b.functionName.Text() ||
        a.returnTypeText.Text() != b.returnTypeText.Text() ||
        a.returnTypeIndex != b.returnTypeIndex || a.parameterCount != b.parameterCount ||
        a.isLibrary != b.isLibrary)
        return false;
    for (int j = 1; j <= std::clamp<int>(a.parameterCount, 0, kMaxParameters); ++j)
        if (ParameterRowOf(a.parameters[static_cast<std::size_t>(j)]) !=
            ParameterRowOf(b.parameters[static_cast<std::size_t>(j)]))
            return false;
    return true;
}

std::optional<Refused> BuildFunctions(const Json& list, const TlmFunctionTable& old,
                                      TlmFunctionTable& fresh) {
    std::vector<int> libraries, owns;
    for (int i = 1; i <= std::clamp<int>(old.count, 0, kMaxFunctions); ++i)
        (old[i].isLibrary ? libraries : owns).push_back(i);
    std::vector<bool> used(kMaxFunctions + 1, false);
    std::size_t nextLibrary = 0;
    fresh.count = 0;
    auto place = [&](const TlmFunction& record) -> std::optional<InputRefusal> {
        if (auto refusal = CheckFunctionCapacity(fresh.count)) return refusal;
        fresh.count = static_cast<std::int16_t>(fresh.count + 1);
        fresh[fresh.count] = record;
        return std::nullopt;
    };
    int position = 0;
    for (const Json& item : list) {
        ++position;
        std::string what = "function " + std::to_string(position);
        if (FlagOf(item, "library")) {
            if (nextLibrary < libraries.size())
                if (auto r = place(old[libraries[nextLibrary++]])) return Refused{*r, what};
            continue;
        }
        FunctionDraft draft;
        draft.name = TextOf(item, "name", "");
        what += " \"" + Show(draft.name) + "\"";
        BoxEntry(item, "returnType", "returnTypeIndex", kCTypeNames, 0, draft.returnTypeText,
                 draft.returnTypeIndex);
        // As the list window refuses Add at 25 rows before its dialog opens.
        if (auto r = CheckFunctionCapacity(fresh.count)) return Refused{*r, what};
        if (item.contains("parameters")) {
            const Json& params = item.at("parameters");
            if (!params.is_array()) throw BadFile("\"parameters\" must be a list");
            for (const Json& p : params) {
                if (!p.is_object()) throw BadFile("each of \"parameters\" must be an object");
                if (auto r = CheckParameterCapacity(static_cast<int>(draft.rows.size())))
                    return Refused{*r, what};
                ParameterDraft pd;
                pd.name = TextOf(p, "name", "");
                BoxEntry(p, "type", "typeIndex", kCTypeNames, 0, pd.typeText, pd.typeIndex);
                bool byReference = FlagOf(p, "byReference");
                pd.passIndex = byReference ? 1 : 0;
                pd.passByText = std::string(kPassByEntries[static_cast<std::size_t>(pd.passIndex)]);
                pd.isConst = FlagOf(p, "const");
                pd.isArray = FlagOf(p, "array");
                if (auto r = CheckParameterDraft(pd))
                    return Refused{*r,
                                   what + ", parameter " + std::to_string(draft.rows.size() + 1)};
                draft.rows.push_back(BuildParameterRow(pd));
            }
        }
        if (auto r = CheckFunctionDraft(draft)) return Refused{*r, what};
        int match = 0;
        for (int i : owns)
            if (!used[static_cast<std::size_t>(i)] &&
                old[i].functionName.Text() == Trim(draft.name)) {
                match = i;
                break;
            }
        if (match != 0) {
            // Edited in place: the record keeps what the dialog does not write.
            used[static_cast<std::size_t>(match)] = true;
            place(old[match]);
            ApplyFunctionDraft(fresh, fresh.count, draft);
            if (ReadsTheSame(fresh[fresh.count], old[match])) fresh[fresh.count] = old[match];
        } else {
            fresh[fresh.count + 1] = TlmFunction{};
            ApplyFunctionDraft(fresh, 0, draft);
        }
    }
    while (nextLibrary < libraries.size())
        if (auto r = place(old[libraries[nextLibrary++]]))
            return Refused{*r, "library function \"" +
                                   Show(old[libraries[nextLibrary - 1]].functionName.Text()) +
                                   "\""};
    return std::nullopt;
}

// Whether a file entry says exactly what a row of the list shows (keys left out agree).
bool SameAsRow(const Json& item, const SignalRow& row) {
    auto same = [&](const char* key, const std::string& column) {
        return !item.contains(key) || TextOf(item, key, "") == column;
    };
    auto sameNumber = [&](const char* key, int number) {
        return !item.contains(key) || NumberOf(item, key, 0) == number;
    };
    return TextOf(item, "name", "") == row.name && same("direction", row.direction) &&
           sameNumber("directionIndex", row.directionIndex) && same("dataType", row.dataType) &&
           sameNumber("dataTypeIndex", row.dataTypeIndex) &&
           (!item.contains("width") || std::to_string(NumberOf(item, "width", 0)) == row.width) &&
           same("init", row.initValue) &&
           (!item.contains("clock") || FlagOf(item, "clock") == row.isClock);
}

// An initial value the file gives for a signal it declares anew: the row it became and
// the text as written, to be compared with what the storing rules make of it.
struct GivenInit {
    std::size_t row = 0;
    std::string text;
};

std::optional<Refused> BuildSignals(const Json& list, const RtlSignalTable& old,
                                    std::vector<SignalRow>& rows, std::vector<GivenInit>& given) {
    std::vector<SignalRow> libraries, owns;
    for (const SignalRow& row : SignalRowsOf(old))
        (row.isLibrary ? libraries : owns).push_back(row);
    std::vector<bool> used(owns.size(), false);
    std::size_t nextLibrary = 0;
    int position = 0;
    for (const Json& item : list) {
        ++position;
        std::string what = "signal " + std::to_string(position);
        if (FlagOf(item, "library")) {
            if (nextLibrary < libraries.size()) {
                if (auto r = CheckSignalCapacity(static_cast<int>(rows.size())))
                    return Refused{*r, what};
                rows.push_back(libraries[nextLibrary++]);
            }
            continue;
        }
        if (auto r = CheckSignalCapacity(static_cast<int>(rows.size()))) return Refused{*r, what};
        // A row the file leaves as it is is not opened in the dialog: it stays as it is.
        bool kept = false;
        for (std::size_t i = 0; i < owns.size() && !kept; ++i)
            if (!used[i] && SameAsRow(item, owns[i])) {
                used[i] = kept = true;
                rows.push_back(owns[i]);
            }
        if (kept) continue;
        SignalDraft draft = NewSignalDraft();
        draft.name = TextOf(item, "name", "");
        what += " \"" + Show(draft.name) + "\"";
        bool clock = FlagOf(item, "clock");
        // The clock rule fixes direction, type, width and the initial value "1", as checking
        // Clock does in the dialog; an "init" given with a clock is not used.
        std::string init = clock ? "1" : TextOf(item, "init", "0");
        if (clock) {
            SetClock(draft, true);
        } else {
            BoxEntry(item, "direction", "directionIndex", kDirectionNames, 0, draft.directionText,
                     draft.directionIndex);
            std::string typeText;
            int typeIndex = 0;
            BoxEntry(item, "dataType", "dataTypeIndex", kDataTypeNames, 0, typeText, typeIndex);
            SelectDataType(draft, typeIndex);
            draft.dataTypeText = typeText;
            if (typeIndex == 1) draft.widthText = std::to_string(NumberOf(item, "width", 1));
        }
        draft.initText = init;
        if (auto r = CheckSignalDraft(draft)) return Refused{*r, what};
        if (item.contains("init")) given.push_back({rows.size(), TextOf(item, "init", "")});
        rows.push_back(BuildSignalRow(draft));
    }
    while (nextLibrary < libraries.size()) {
        const SignalRow& row = libraries[nextLibrary++];
        if (auto r = CheckSignalCapacity(static_cast<int>(rows.size())))
            return Refused{*r, "library signal \"" + Show(row.name) + "\""};
        rows.push_back(row);
    }
    return std::nullopt;
}

// A note for every initial value the storing rules changed beyond its letter case: a
// clock starts at 1, an sc_lv value is fitted to its width, an sc_logic value keeps its
// last character.
void PrintChangedInits(std::ostream& err, const std::vector<GivenInit>& given,
                       const RtlSignalTable& stored) {
    for (const GivenInit& g : given) {
        const int slot = static_cast<int>(g.row) + 1;
        if (slot > stored.count) continue;
        const RtlSignal& s = stored[slot];
        const std::string now = s.initValue.Text();
        std::string upper = g.text;
        for (char& c : upper)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (upper == now) continue;
        std::string why;
        if (s.isClock)
            why = "a clock starts at 1";
        else if (s.dataTypeIndex == 1)
            why = "fitted to the width " + std::to_string(s.width);
        else if (s.dataTypeIndex == 0)
            why = "an sc_logic value is one character";
        else
            why = "as the signal dialog stores it";
        err << "kestrel-cli: note: signal \"" << Show(s.signalName.Text()) << "\": initial value \""
            << Show(g.text) << "\" stored as \"" << Show(now) << "\" (" << why << ")\n";
    }
}

} // namespace

int RunDeclareCommand(std::string_view projectFile, std::string_view jsonFile, std::ostream& out,
                      std::ostream& err) {
    ProjectRecord record;
    std::vector<std::string> created;
    if (Status s = PeekProject(projectFile, record, &created); !s) return PrintFileError(err, s);
    PrintCreatedFolders(err, created);
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
    std::optional<Refused> refused;
    try {
        Json root = Json::parse(bytes);
        if (!root.is_object()) throw BadFile("the file must hold a JSON object");
        refused = BuildFunctions(ListOf(root, "functions"), *functions, *fresh);
        if (!refused) refused = BuildSignals(ListOf(root, "signals"), *signals, rows, given);
        if (!refused)
            if (auto r = CheckClock(rows)) refused = Refused{*r, "signals"};
    } catch (const Json::exception& e) {
        return PrintFileError(err, Status::Error(Show(std::string(jsonFile)) + ": " + e.what()));
    } catch (const BadFile& e) {
        return PrintFileError(err, Status::Error(Show(std::string(jsonFile)) + ": " + e.what()));
    }
    if (refused) {
        PrintRefusal(err, refused->refusal);
        err << "kestrel-cli: " << Show(std::string(jsonFile)) << ": " << refused->what << "\n";
        return kExitRefused;
    }

    if (Status s = AcceptFunctionList(record, *fresh); !s) return PrintFileError(err, s);
    CommandOutcome saved = AcceptSignalList(record, rows, *signals);
    if (saved.refusal) return PrintRefusal(err, *saved.refusal);
    if (!saved.status) return PrintFileError(err, saved.status);
    PrintChangedInits(err, given, *signals);
    out << "Declared " << fresh->count << " functions and " << signals->count << " signals in "
        << Show(ProjectFilePath(record)) << "\n";
    return kExitOk;
}

} // namespace kestrel::cli
