// kestrel-cli diagram show / set. The JSON texts are UTF-8 with real line breaks; the
// diagram keeps Windows-1252 and its own line breaks (backslash and "n" inside texts).
// set reads the whole model before it touches the diagram: a refused model leaves the
// file as it was, and a model that changes nothing does not write the file at all.
#include "DiagramCommand.h"

#include "CliApp.h"
#include "CliSupport.h"
#include "fsm/AsfChecks.h"
#include "fsm/AsfDecorations.h"
#include "fsm/AsfDocument.h"
#include "fsm/AsfEdit.h"
#include "fsm/AsfModel.h"
#include "generate/DiagramPreview.h"
#include "generate/RunTables.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "platform/Text.h"
#include "project/ProjectCommands.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <ostream>

namespace kestrel::cli {

namespace {

using Json = nlohmann::ordered_json;

const char* KindWord(AsfStateKind kind) {
    switch (kind) {
    case AsfStateKind::Default: return "default";
    case AsfStateKind::Trap: return "trap";
    case AsfStateKind::Ordinary: break;
    }
    return "state";
}

Json Text(std::string_view stored) {
    return Cp1252ToUtf8(stored);
}

Json ModelToJson(const DiagramModel& m) {
    Json j = Json::object();
    j["states"] = Json::array();
    for (const ModelState& s : m.states)
        j["states"].push_back({{"id", *s.id},
                               {"name", Text(s.name)},
                               {"kind", KindWord(s.kind)},
                               {"x", s.at->x},
                               {"y", s.at->y}});
    j["reset"] = m.reset ? Json{{"id", *m.reset->id}, {"x", m.reset->at->x}, {"y", m.reset->at->y}}
                         : Json(nullptr);
    j["transitions"] = Json::array();
    for (const ModelTransition& t : m.transitions)
        j["transitions"].push_back(
            {{"id", *t.id},
             {"from", t.from},
             {"to", t.to},
             {"priority", t.priority},
             {"condition", t.condition ? Text(*t.condition) : Json(nullptr)}});
    j["actions"] = Json::array();
    for (const ModelAction& a : m.actions)
        j["actions"].push_back({{"id", *a.id}, {"state", a.state}, {"text", Text(a.text)}});
    j["signals"] = Json::array();
    for (const ModelSignal& s : m.signals)
        j["signals"].push_back({{"id", *s.id}, {"name", Text(s.name)}, {"init", Text(s.init)}});
    j["constants"] = Json::array();
    for (const ModelConstant& c : m.constants)
        j["constants"].push_back({{"id", *c.id}, {"name", Text(c.name)}, {"value", Text(c.value)}});
    j["ports"] = Json::array();
    for (const ModelPort& p : m.ports)
        j["ports"].push_back(
            {{"id", p.id}, {"name", Text(p.name)}, {"direction", p.input ? "in" : "out"}});
    return j;
}

// A refusal of the model file, naming it and the entry.
struct ModelError {
    std::string message;
};

class ModelReader {
public:
    explicit ModelReader(std::string file) : file_(std::move(file)) {}

    DiagramModel Read(const Json& j) const {
        if (!j.is_object()) Fail("", "must be a JSON object");
        DiagramModel m;
        for (auto& [k, e] : Items(j, "states")) {
            ModelState s;
            s.id = Id(e, k);
            s.name = String(e, k, "name");
            std::string kind = Has(e, "kind") ? String(e, k, "kind") : "state";
            if (kind == "default")
                s.kind = AsfStateKind::Default;
            else if (kind == "trap")
                s.kind = AsfStateKind::Trap;
            else if (kind != "state")
                Fail(k, "\"kind\" must be \"state\", \"default\" or \"trap\"");
            s.at = Point(e, k);
            m.states.push_back(std::move(s));
        }
        if (Has(j, "reset")) {
            const Json& r = j["reset"];
            if (!r.is_null()) {
                if (!r.is_object()) Fail("reset", "must be an object or null");
                m.reset = ModelReset{Id(r, "reset"), Point(r, "reset")};
            }
        }
        for (auto& [k, e] : Items(j, "transitions")) {
            ModelTransition t;
            t.id = Id(e, k);
            t.from = Integer(e, k, "from");
            t.to = Integer(e, k, "to");
            t.priority = Has(e, "priority") ? Integer(e, k, "priority") : 0;
            if (Has(e, "condition") && !e["condition"].is_null())
                t.condition = String(e, k, "condition");
            m.transitions.push_back(std::move(t));
        }
        for (auto& [k, e] : Items(j, "actions"))
            m.actions.push_back({Id(e, k), Integer(e, k, "state"), String(e, k, "text")});
        for (auto& [k, e] : Items(j, "signals"))
            m.signals.push_back({Id(e, k), String(e, k, "name"),
                                 Has(e, "init") ? String(e, k, "init") : std::string()});
        for (auto& [k, e] : Items(j, "constants"))
            m.constants.push_back({Id(e, k), String(e, k, "name"), String(e, k, "value")});
        return m;
    }

private:
    [[noreturn]] void Fail(const std::string& entry, const std::string& what) const {
        throw ModelError{file_ + ": " + (entry.empty() ? "" : entry + ": ") + what};
    }
    static bool Has(const Json& e, const char* key) { return e.contains(key); }

    std::vector<std::pair<std::string, const Json&>> Items(const Json& j, const char* list) const {
        std::vector<std::pair<std::string, const Json&>> items;
        if (!Has(j, list)) return items;
        const Json& a = j[list];
        if (!a.is_array()) Fail(list, "must be an array");
        for (std::size_t k = 0; k < a.size(); ++k) {
            std::string entry = std::string(list) + "[" + std::to_string(k) + "]";
            if (!a[k].is_object()) Fail(entry, "must be an object");
            items.emplace_back(entry, a[k]);
        }
        return items;
    }
    ObjectNumber Integer(const Json& e, const std::string& entry, const char* key) const {
        if (!Has(e, key)) Fail(entry, std::string("\"") + key + "\" is missing");
        const Json& v = e[key];
        if (!v.is_number_integer() ||
            (v.is_number_unsigned() && v.get<std::uint64_t>() > std::uint64_t{INT64_MAX}))
            Fail(entry, std::string("\"") + key + "\" must be an integer");
        return e[key].get<ObjectNumber>();
    }
    std::optional<ObjectNumber> Id(const Json& e, const std::string& entry) const {
        if (!Has(e, "id") || e["id"].is_null()) return std::nullopt;
        return Integer(e, entry, "id");
    }
    std::optional<AsfPoint> Point(const Json& e, const std::string& entry) const {
        if (!Has(e, "x") && !Has(e, "y")) return std::nullopt;
        return AsfPoint{Integer(e, entry, "x"), Integer(e, entry, "y")};
    }
    std::string String(const Json& e, const std::string& entry, const char* key) const {
        if (!Has(e, key)) Fail(entry, std::string("\"") + key + "\" is missing");
        if (!e[key].is_string()) Fail(entry, std::string("\"") + key + "\" must be a string");
        std::optional<std::string> stored = Utf8ToCp1252(e[key].get<std::string>());
        if (!stored)
            Fail(entry, std::string("\"") + key +
                            "\" holds characters a diagram cannot store "
                            "(Windows-1252 only)");
        return *stored;
    }

    std::string file_;
};

int LoadDiagram(const std::string& path, AsfDocument& doc, std::ostream& err) {
    std::string bytes;
    if (Status s = ReadFileBytes(path, bytes); !s) return PrintFileError(err, s);
    if (Status s = AsfDocument::Load(bytes, path, doc); !s) return PrintFileError(err, s);
    return kExitOk;
}

std::string Where(const std::optional<AsfPoint>& at) {
    return at ? " at " + std::to_string(at->x) + "," + std::to_string(at->y) : "";
}

void PrintListing(std::ostream& out, const DiagramModel& m, const AsfDecorations& decorations,
                  ObjectNumber initial) {
    // A text of several lines, each line after the first indented like the first.
    auto indented = [](const std::string& first, const std::string& text) {
        std::string out = first;
        for (char c : Show(text)) {
            out.push_back(c);
            if (c == '\n') out += std::string(first.size(), ' ');
        }
        return out;
    };
    out << "States:\n";
    for (const ModelState& s : m.states)
        out << "  " << *s.id << " " << Show(s.name) << " (" << KindWord(s.kind)
            << (s.id == initial ? ", initial" : "") << ")" << Where(s.at) << "\n";
    out << "Reset: ";
    if (m.reset)
        out << *m.reset->id << Where(m.reset->at) << "\n";
    else
        out << "none\n";
    // Ends and owners by name: "REQUEST (26)", "reset (25)".
    std::map<ObjectNumber, std::string> names;
    for (const ModelState& s : m.states) names.emplace(*s.id, Show(s.name));
    if (m.reset) names.emplace(*m.reset->id, "reset");
    auto named = [&](ObjectNumber n) {
        auto it = names.find(n);
        return (it == names.end() ? std::string("?") : it->second) + " (" + std::to_string(n) + ")";
    };
    out << "Transitions:\n";
    for (const ModelTransition& t : m.transitions) {
        out << "  " << *t.id << ": " << named(t.from) << " -> " << named(t.to) << ", priority "
            << t.priority << "\n";
        if (t.condition) out << indented("    when ", *t.condition) << "\n";
    }
    out << "Actions:\n";
    for (const ModelAction& a : m.actions)
        out << "  " << *a.id << " of " << named(a.state) << ":\n"
            << indented("    ", a.text) << "\n";
    out << "Signals:\n";
    for (const ModelSignal& s : m.signals)
        out << "  " << *s.id << " " << Show(s.name) << (s.init.empty() ? "" : " = " + Show(s.init))
            << "\n";
    out << "Constants:\n";
    for (const ModelConstant& c : m.constants)
        out << "  " << *c.id << " " << Show(c.name) << " = " << Show(c.value) << "\n";
    out << "Ports:\n";
    for (const ModelPort& p : m.ports)
        out << "  " << p.id << " " << Show(p.name) << " (" << (p.input ? "in" : "out") << ")\n";
    // The free texts, such as the function's signature that a template shows.
    out << "Texts:\n";
    for (const AsfTextObject& t : decorations.texts)
        out << indented("  ", AsfTextShown(t.text)) << Where(t.at) << "\n";
}

} // namespace

DiagramCommands::DiagramCommands(CLI::App& app) {
    CLI::App* diagram =
        app.add_subcommand("diagram", "Show or set the contents of an ASF state diagram");
    diagram->require_subcommand(1);
    AddShowAndSet(diagram);
    AddInitialAndCheck(diagram);
    AddAsmlAndPicture(diagram);
}

CLI::App* DiagramCommands::Subcommand(CLI::App* diagram, const char* name,
                                      const std::string& description, Command command) {
    CLI::App* sub = diagram->add_subcommand(name, description);
    sub->add_option("FILE", diagram_, "The .asf file")->required();
    sub->callback([this, command] { chosen_ = command; });
    return sub;
}

void DiagramCommands::AddShowAndSet(CLI::App* diagram) {
    CLI::App* show =
        Subcommand(diagram, "show",
                   "List the diagram's states, reset object, transitions, actions, signals, "
                   "constants and ports in file order, names as Generate reads them, then (not in "
                   "the JSON) the free texts, such as a template's signature",
                   Command::Show);
    show->add_flag("--json", json_,
                   "Print the model as JSON: states (id, name, kind state|default|trap, x, y), "
                   "reset (id, x, y, or null), transitions (id, from, to, priority, condition "
                   "or null), actions (id, state, text), signals (id, name, init), constants "
                   "(id, name, value), ports (id, name, direction in|out)");

    CLI::App* set = Subcommand(
        diagram, "set",
        "Make the diagram hold exactly the states, reset, transitions, actions, signals "
        "and constants of a JSON model in the format of show --json (ports, frame, text "
        "object and header stay). Entries whose id is in the diagram keep their record and "
        "take the model's values; entries without an id or with a new one are added "
        "(placed automatically without x and y) and get the diagram's next free object "
        "numbers, which show prints: a new id only names the entry within the model, for "
        "the transitions and actions that refer to it; what the model leaves out is deleted, "
        "with what hangs on it. A missing list counts as empty, a missing reset as null. A "
        "refused model changes nothing (exit 2)",
        Command::Set);
    set->add_option("MODEL", model_, "The JSON model")->required();
}

void DiagramCommands::AddInitialAndCheck(CLI::App* diagram) {
    CLI::App* initial = Subcommand(
        diagram, "initial",
        "Make STATE the initial state: the reset transition (the last transition from the reset "
        "object, which Generate follows) is pointed at it, keeping its priority and condition; a "
        "diagram without one gets a transition from the reset object, and without a reset "
        "object one above the state. The default kind of a state is another thing: where a "
        "state goes when none of its conditions holds. Every other record keeps its bytes",
        Command::Initial);
    initial->add_option("STATE", state_, "The state's name, or its object number")->required();

    CLI::App* check =
        Subcommand(diagram, "check",
                   "Check the diagram: the errors Generate would report for it and warnings for "
                   "states that cannot be reached or never end, two states of one name, two "
                   "transitions of one state with one priority, transitions that end nowhere, "
                   "actions of the trap state (which never run) and backslashes the conversion "
                   "drops. With --project and --function, also the errors of translating it as "
                   "that function's behaviour. Prints "
                   "FILE:LINE: error|warning: MESSAGE; exit 1 when there are errors",
                   Command::Check);
    auto* project = check->add_option("--project", project_, "The project's .tp file");
    AddFunctionOption(check, "--function", function_)->needs(project);
    project->needs(check->get_option("--function"));
}

void DiagramCommands::AddAsmlAndPicture(CLI::App* diagram) {
    CLI::App* asml =
        Subcommand(diagram, "asml",
                   "Print the AsmL namespace that Generate's FSM route writes into clean.asml for "
                   "the diagram as the behaviour of the function",
                   Command::Asml);
    asml->add_option("--project", project_, "The project's .tp file")->required();
    AddFunctionOption(asml, "--function", function_)->required();

    CLI::App* picture =
        Subcommand(diagram, "picture",
                   "Draw the diagram as the editor does, into a PNG or (for a .svg name) an SVG "
                   "file, without a screen",
                   Command::Picture);
    picture->add_option("OUTPUT", picture_, "The .png or .svg file to write")->required();
}

int DiagramCommands::Run(std::ostream& out, std::ostream& err) const {
    switch (chosen_) {
    case Command::Show: return RunShow(out, err);
    case Command::Set: return RunSet(out, err);
    case Command::Initial: return RunInitial(out, err);
    case Command::Check: return RunCheck(out, err);
    case Command::Asml: return RunAsml(out, err);
    case Command::Picture: return RunPicture(out, err);
    case Command::None: break;
    }
    return kExitUsage;
}

int DiagramCommands::RunShow(std::ostream& out, std::ostream& err) const {
    AsfDocument doc;
    if (int code = LoadDiagram(ArgPath(diagram_), doc, err); code != kExitOk) return code;
    DiagramModel m = DescribeDiagram(doc);
    if (json_)
        out << ModelToJson(m).dump(2) << "\n";
    else
        PrintListing(out, m, DescribeDecorations(doc), InitialStateOf(doc));
    return kExitOk;
}

int DiagramCommands::RunSet(std::ostream& out, std::ostream& err) const {
    const std::string path = ArgPath(diagram_);
    const std::string modelPath = ArgPath(model_);
    AsfDocument doc;
    if (int code = LoadDiagram(path, doc, err); code != kExitOk) return code;
    std::string text;
    if (Status s = ReadFileBytes(modelPath, text); !s) return PrintFileError(err, s);

    DiagramModel model;
    try {
        Json j = Json::parse(text);
        model = ModelReader(modelPath).Read(j);
    } catch (const Json::exception& e) {
        err << "kestrel-cli: " << Show(modelPath) << ": not valid JSON: " << e.what() << "\n";
        return kExitUsage;
    } catch (const ModelError& e) {
        err << "kestrel-cli: " << Show(e.message) << "\n";
        return kExitUsage;
    }
    const std::string before = doc.Bytes();
    if (Status s = ApplyDiagramModel(doc, model); !s) return PrintFileError(err, s);
    const std::string after = doc.Bytes();
    if (after == before) {
        out << "Unchanged: " << Show(path) << "\n";
        return kExitOk;
    }
    if (Status s = WriteFileAtomic(path, after); !s) return PrintFileError(err, s);
    out << "Diagram saved to " << Show(path) << "\n";
    return kExitOk;
}

int DiagramCommands::RunInitial(std::ostream& out, std::ostream& err) const {
    const std::string path = ArgPath(diagram_);
    AsfDocument doc;
    if (int code = LoadDiagram(path, doc, err); code != kExitOk) return code;
    // A state by its object number, else by its name as Generate reads it (only one
    // state may have it).
    const std::string wanted = ArgText(state_);
    const DiagramModel m = DescribeDiagram(doc);
    std::vector<ObjectNumber> found;
    for (const ModelState& s : m.states)
        if (std::to_string(*s.id) == wanted) found = {*s.id};
    if (found.empty())
        for (const ModelState& s : m.states)
            if (s.name == wanted) found.push_back(*s.id);
    if (found.size() != 1) {
        err << "kestrel-cli: " << Show(path) << ": "
            << (found.empty() ? "there is no state " + Show(wanted)
                              : std::to_string(found.size()) + " states are named " + Show(wanted) +
                                    "; give the object number of one")
            << "\n";
        return kExitUsage;
    }
    const std::string before = doc.Bytes();
    if (Status s = SetInitialState(doc, found.front()); !s) return PrintFileError(err, s);
    const std::string named =
        Show(doc.NameOf(found.front())) + " (" + std::to_string(found.front()) + ")";
    if (doc.Bytes() == before) {
        out << named << " is the initial state already: " << Show(path) << " unchanged\n";
        return kExitOk;
    }
    if (Status s = WriteFileAtomic(path, doc.Bytes()); !s) return PrintFileError(err, s);
    out << "Initial state " << named << " saved to " << Show(path) << "\n";
    return kExitOk;
}

namespace {

// The project of --project, read without changing anything, and the slot of --function.
std::optional<int> LoadFunctionContext(const std::string& project, const std::string& function,
                                       ProjectTables& tables, int& slot, std::ostream& err) {
    ProjectRecord record;
    if (Status s = PeekProject(ArgPath(project), record); !s) return PrintFileError(err, s);
    std::vector<Status> failures =
        LoadRunTables(record.projectFolder, tables, AbsentTableFiles::ReadAsEmpty);
    if (!failures.empty()) return PrintFileError(err, failures.front());
    slot = FunctionNumber(tables.functions, function);
    return std::nullopt;
}

} // namespace

int DiagramCommands::RunCheck(std::ostream& out, std::ostream& err) const {
    const std::string path = ArgPath(diagram_);
    AsfDocument doc;
    if (int code = LoadDiagram(path, doc, err); code != kExitOk) return code;
    std::vector<DiagramCheck> checks;
    if (project_.empty()) {
        // Without a project the function is named after the file.
        std::string name = AfterLastSeparator(path);
        if (std::size_t dot = name.rfind('.'); dot != std::string::npos) name.resize(dot);
        checks = DiagramChecks(doc, name, nullptr);
    } else {
        auto tables = std::make_unique<ProjectTables>();
        int slot = 0;
        if (std::optional<int> failed =
                LoadFunctionContext(project_, function_, *tables, slot, err))
            return *failed;
        const DiagramPreview preview = PreviewDiagram(doc, *tables, slot);
        checks = DiagramChecks(doc, tables->functions[slot].functionName.Text(), &preview);
    }
    int errors = 0;
    for (const DiagramCheck& check : checks) {
        err << Show(DiagramCheckText(check, path)) << "\n";
        if (check.severity == DiagramSeverity::Error) ++errors;
    }
    out << Show(path) << ": " << errors << " error(s), " << checks.size() - errors
        << " warning(s)\n";
    return errors == 0 ? kExitOk : kExitRefused;
}

int DiagramCommands::RunAsml(std::ostream& out, std::ostream& err) const {
    AsfDocument doc;
    if (int code = LoadDiagram(ArgPath(diagram_), doc, err); code != kExitOk) return code;
    auto tables = std::make_unique<ProjectTables>();
    int slot = 0;
    if (std::optional<int> failed = LoadFunctionContext(project_, function_, *tables, slot, err))
        return *failed;
    out << Show(PreviewDiagram(doc, *tables, slot).asml);
    return kExitOk;
}

// The drawing lives in the desktop program: it is asked to draw without a screen.
int DiagramCommands::RunPicture(std::ostream& out, std::ostream& err) const {
    const std::string diagram = ArgPath(diagram_);
    const std::string picture = ArgPath(picture_);
    const std::string program = RunningProgramFolder() + "/kestrel";
    LinuxProcessRunner runner;
    ProcessOutcome outcome =
        runner.Run(program, {"--export-picture", NativePath(diagram), NativePath(picture)},
                   std::chrono::seconds(60));
    if (!outcome.started) {
        err << "kestrel-cli: cannot start " << program
            << " to draw the diagram: " << outcome.errorOutput << "\n";
        return kExitUsage;
    }
    if (!outcome.succeeded()) {
        // The program's own message names the file; its other output is noise here.
        std::string message = "the drawing did not finish";
        for (std::size_t at = 0; at < outcome.errorOutput.size();) {
            std::size_t end = outcome.errorOutput.find('\n', at);
            if (end == std::string::npos) end = outcome.errorOutput.size();
            std::string_view line(outcome.errorOutput.data() + at, end - at);
            if (line.rfind("kestrel: ", 0) == 0) message = line.substr(9);
            at = end + 1;
        }
        err << "kestrel-cli: " << message << "\n";
        return kExitUsage;
    }
    out << "Picture written to " << Show(picture) << "\n";
    return kExitOk;
}

} // namespace kestrel::cli
