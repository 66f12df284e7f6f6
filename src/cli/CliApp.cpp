// kestrel-cli: parses the command line with CLI11 and runs one project command.
// Refusals print the dialog's message on stderr and exit 1; file errors exit 2.
#include "CliApp.h"

#include "AddLibraryCommand.h"
#include "AssignCommands.h"
#include "BuildCommand.h"
#include "CheckCommand.h"
#include "CliSupport.h"
#include "DeclareCommand.h"
#include "DiagramCommand.h"
#include "FromRtlCommand.h"
#include "ShowCommand.h"
#include "SimCommands.h"
#include "TemplateCommands.h"
#include "Tlm2Command.h"
#include "generate/Generate.h"
#include "generate/RunTables.h"
#include "library/Archive.h"
#include "model/ProjectPaths.h"
#include "model/ProjectTables.h"
#include "platform/FileSystem.h"
#include "platform/System.h"
#include "platform/Text.h"
#include "project/CodeSettings.h"
#include "project/OutputPlacement.h"
#include "project/ProjectCommands.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <optional>
#include <vector>

namespace kestrel::cli {

namespace {

struct Options {
    // new
    std::string newName;
    std::string newLocation;
    // show
    std::string project;
    bool json = false;
    // options
    std::string method;
    std::string edge;
    std::vector<std::string> setup;
    bool noSetup = false;
    std::vector<std::string> period;
    std::string library;
    bool noLibrary = false;
    std::optional<std::string> title, author, company, comment;
    std::string commentInHeaders;
    // generate, settings
    std::optional<std::string> transactorClass, interfaceClass, cppPath, headerPath,
        interfaceHeaderPath;
    bool here = false;
    // lib
    std::string archive;
    std::vector<std::string> files;
    std::string entryName;
    std::string entry;
    std::string output;
    // declare
    std::string declarations;
};

int RunNew(const Options& opt, std::ostream& out, std::ostream& err) {
    NewProjectDraft draft;
    draft.name = ArgText(opt.newName);
    draft.location = opt.newLocation.empty() ? ArgPath(".") : ArgPath(opt.newLocation);
    LinuxSystemInfo system;
    ProjectRecord record;
    CommandOutcome outcome = NewProject(draft, system, record);
    if (outcome.refusal) return PrintRefusal(err, *outcome.refusal);
    if (!outcome.status) return PrintFileError(err, outcome.status);
    out << Show(ProjectFilePath(record)) << "\n";
    return kExitOk;
}

Status LoadSnapshot(const std::string& tpPath, ProjectSnapshot& snap) {
    if (Status s = PeekProject(tpPath, snap.record); !s) return s;
    ProjectTables& t = snap.tables;
    // Showing a project changes nothing: a table file that does not exist yet is an
    // empty table, and is not created here.
    std::vector<Status> failures =
        LoadRunTables(snap.record.projectFolder, t, AbsentTableFiles::ReadAsEmpty);
    if (!failures.empty()) return failures.front();
    if (Status s = LoadTlm2Mapping(snap.record.projectFolder, snap.tlm2); !s) return s;
    if (Status s = LoadRtlChoice(snap.record.projectFolder, snap.rtl); !s) return s;
    return LoadGenerationSettings(snap.record.projectFolder, t.settings);
}

int RunShow(const Options& opt, std::ostream& out, std::ostream& err) {
    auto snap = std::make_unique<ProjectSnapshot>();
    if (Status s = LoadSnapshot(ArgPath(opt.project), *snap); !s) return PrintFileError(err, s);
    if (opt.json)
        out << SnapshotToJson(*snap).dump(2) << "\n";
    else
        PrintSnapshot(out, *snap);
    return kExitOk;
}

// "fsm", "asml" or "template" (CLI11 checks the word) as a method index.
int MethodIndex(const std::string& name) {
    if (name == "fsm") return kMethodFsm;
    if (name == "asml") return kMethodAsml;
    return kMethodTemplate;
}

// "SC_NS", "sc_ns" or "ns" as an index into the time unit list.
int TimeUnitIndex(const std::string& text) {
    std::string lower = AsciiLower(text);
    for (std::size_t i = 0; i < kTimeUnits.size(); ++i) {
        std::string unit = AsciiLower(kTimeUnits[i]);
        if (lower == unit || "sc_" + lower == unit) return static_cast<int>(i);
    }
    throw UsageError("unknown time unit \"" + text +
                     "\" (use SC_FS, SC_PS, SC_NS, SC_US, SC_MS or SC_SEC)");
}

// A comment typed on the command line: line ends become CR LF.
std::string CommentText(const std::string& utf8) {
    std::string text = ArgText(utf8);
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out.push_back('\r');
        out.push_back(text[i]);
    }
    return out;
}

int RunOptions(const Options& opt, std::ostream& out, std::ostream& err) {
    ProjectRecord record;
    if (std::optional<int> failed =
            TakeProject(ArgPath(opt.project), ProjectAccess::Open, record, err))
        return *failed;
    const std::string& folder = record.projectFolder;

    ProjectOptions options;
    if (Status s = LoadOptions(folder, options); !s) return PrintFileError(err, s);
    CodeSettingsDraft draft = DraftFromOptions(options);

    if (!opt.method.empty()) draft.method = MethodIndex(opt.method);
    if (!opt.edge.empty()) draft.clockPositiveEdge = opt.edge == "pos";
    if (opt.noSetup) draft.useSetup = false;
    if (!opt.setup.empty()) {
        draft.useSetup = true;
        draft.setupText = ArgText(opt.setup[0]);
        draft.setupUnitIndex = TimeUnitIndex(opt.setup[1]);
    }
    if (!opt.period.empty()) {
        draft.periodText = ArgText(opt.period[0]);
        draft.periodUnitIndex = TimeUnitIndex(opt.period[1]);
    }
    if (opt.noLibrary) draft.makeLibrary = false;
    if (!opt.library.empty()) {
        draft.makeLibrary = true;
        draft.libraryFile = ArgPath(opt.library);
    }
    if (opt.title) draft.title = ArgText(*opt.title);
    if (opt.author) draft.author = ArgText(*opt.author);
    if (opt.company) draft.company = ArgText(*opt.company);
    if (opt.comment) draft.comment = CommentText(*opt.comment);
    if (!opt.commentInHeaders.empty()) draft.useCommentInHeaders = opt.commentInHeaders == "on";

    if (auto refusal = ApplyCodeSettings(draft, options)) return PrintRefusal(err, *refusal);
    if (Status s = SaveOptions(folder, options); !s) return PrintFileError(err, s);
    out << "Code settings saved to " << Show(InputPath(folder, kOptionFile)) << "\n";
    return kExitOk;
}

// Prints the status text to stdout as it grows, byte for byte as the status box holds it.
class StatusPrinter final : public LogObserver {
public:
    explicit StatusPrinter(std::ostream& out) : out_(out) {}
    void OnText(std::string_view appended) override {
        out_.write(appended.data(), static_cast<std::streamsize>(appended.size()));
        out_.flush();
    }
    void OnProgress(int, int) override {}

private:
    std::ostream& out_;
};

int RunGenerate(const Options& opt, std::ostream& out, std::ostream& err) {
    GenerationSession session;
    SystemClock clock;
    StatusPrinter printer(out);
    std::optional<int> method;
    if (!opt.method.empty()) method = MethodIndex(opt.method);
    GenerateProjectResult result =
        GenerateProject(ArgPath(opt.project), session, clock, &printer, {}, method);
    if (!result.status) return PrintFileError(err, result.status);
    PrintCreatedFolders(err, result.createdFolders);
    // The log counts no error for these, so neither does the exit status.
    for (const std::string& note : session.notes)
        err << "kestrel-cli: warning: " << Show(note) << "\n";
    if (!result.socket.written.empty()) out << "wrote " << Show(result.socket.written) << "\n";
    for (const std::string& problem : result.socket.problems)
        err << "kestrel-cli: warning: TLM-2.0 socket not written: " << Show(problem) << "\n";
    return result.errorCount > 0 ? kExitRefused : kExitOk;
}

int RunCheck(const Options& opt, std::ostream& out, std::ostream& err) {
    std::optional<int> method;
    if (!opt.method.empty()) method = MethodIndex(opt.method);
    return RunCheckCommand(ArgPath(opt.project), method, out, err);
}

int RunSettings(const Options& opt, std::ostream& out, std::ostream& err) {
    ProjectRecord record;
    if (std::optional<int> failed =
            TakeProject(ArgPath(opt.project), ProjectAccess::Open, record, err))
        return *failed;
    if (opt.here) {
        OutputsPointed pointed = PointOutputsAtProject(record.projectFolder);
        if (!pointed.status) return PrintFileError(err, pointed.status);
        for (const std::string& change : pointed.changes) out << Show(change) << "\n";
        if (pointed.changes.empty())
            out << Show(OutputsAlreadyHereNote(record.projectFolder)) << "\n";
        if (!opt.transactorClass && !opt.interfaceClass) return kExitOk;
    }
    GenerationSettings boxes;
    if (Status s = LoadGenerationSettings(record.projectFolder, boxes); !s)
        return PrintFileError(err, s);
    if (opt.transactorClass) boxes.transactorClassName = ArgText(*opt.transactorClass);
    if (opt.interfaceClass) boxes.interfaceClassName = ArgText(*opt.interfaceClass);
    if (opt.cppPath) boxes.transactorCppPath = ArgPath(*opt.cppPath);
    if (opt.headerPath) boxes.transactorHeaderPath = ArgPath(*opt.headerPath);
    if (opt.interfaceHeaderPath) boxes.interfaceHeaderPath = ArgPath(*opt.interfaceHeaderPath);
    if (Status s = AcceptGenerateDialog(record.projectFolder, boxes); !s)
        return PrintFileError(err, s);
    out << "Generation settings saved to " << Show(InputPath(record.projectFolder, kGenerationFile))
        << "\n";
    return kExitOk;
}

int ArchiveFailure(std::ostream& err, const std::string& error) {
    err << "kestrel-cli: " << Show(error) << "\n";
    return kExitUsage;
}

int RunLibList(const Options& opt, std::ostream& out, std::ostream& err) {
    std::vector<std::string> names;
    std::string error;
    if (!ListArchive(ArgPath(opt.archive), names, &error)) return ArchiveFailure(err, error);
    for (const std::string& name : names) out << Show(name) << "\n";
    return kExitOk;
}

int RunLibAdd(const Options& opt, std::ostream& out, std::ostream& err) {
    if (!opt.entryName.empty() && opt.files.size() != 1)
        throw UsageError("--name goes with exactly one file");
    std::string archive = ArgPath(opt.archive);
    for (const std::string& file : opt.files) {
        std::string path = ArgPath(file);
        std::string name =
            opt.entryName.empty() ? AfterLastSeparator(path) : ArgText(opt.entryName);
        std::string error;
        if (!AddFileToArchive(archive, path, name, &error)) return ArchiveFailure(err, error);
        out << "Added " << Show(name) << "\n";
    }
    return kExitOk;
}

int RunLibExtract(const Options& opt, std::ostream& out, std::ostream& err) {
    std::string entry = ArgText(opt.entry);
    std::string output = ArgPath(opt.output.empty() ? opt.entry : opt.output);
    std::string error;
    if (!ExtractFromArchive(ArgPath(opt.archive), entry, output, &error))
        return ArchiveFailure(err, error);
    out << Show(output) << "\n";
    return kExitOk;
}

int RunAddLibrary(const Options& opt, std::ostream& out, std::ostream& err) {
    std::vector<std::string> libraries;
    for (const std::string& file : opt.files) libraries.push_back(ArgPath(file));
    return RunAddLibraryCommand(ArgPath(opt.project), libraries, out, err);
}

int RunDeclare(const Options& opt, std::ostream& out, std::ostream& err) {
    return RunDeclareCommand(ArgPath(opt.project), ArgPath(opt.declarations), out, err);
}

// The project file a parsed command reads (its PROJECT or --project), if it has one.
std::optional<std::string> ProjectArgument(const CLI::App& app) {
    const CLI::App* command = &app;
    for (std::vector<CLI::App*> chosen = app.get_subcommands(); !chosen.empty();
         chosen = command->get_subcommands())
        command = chosen.front();
    for (const char* name : {"PROJECT", "--project"}) {
        const CLI::Option* option = command->get_option_no_throw(name);
        if (option && option->count() > 0) return option->results().front();
    }
    return std::nullopt;
}

using CommandRun = int (*)(const Options&, std::ostream&, std::ostream&);

// The values the command line gives and the command it chooses.
struct Parsed {
    Options opt;
    CommandRun command = nullptr;
};

// A subcommand of `parent` that chooses `run` when it is on the command line.
CLI::App* AddCommand(CLI::App& parent, Parsed& parsed, const char* name,
                     const std::string& description, CommandRun run) {
    CLI::App* command = parent.add_subcommand(name, description);
    command->callback([chosen = &parsed.command, run] { *chosen = run; });
    return command;
}

void AddNewAndShow(CLI::App& app, Parsed& parsed) {
    Options& opt = parsed.opt;
    CLI::App* newCmd =
        AddCommand(app, parsed, "new", "Create a new project folder NAME in a location", RunNew);
    newCmd->add_option("NAME", opt.newName, "Project name")->required();
    newCmd->add_option("--location", opt.newLocation,
                       "Folder that receives the project folder (default: current folder)");

    CLI::App* showCmd =
        AddCommand(app, parsed, "show", "Show a project's settings and declarations", RunShow);
    AddProjectArgument(showCmd, opt.project);
    showCmd->add_flag("--json", opt.json, "Print JSON instead of text");
}

void AddOptionsCommand(CLI::App& app, Parsed& parsed) {
    Options& opt = parsed.opt;
    CLI::App* optCmd = AddCommand(
        app, parsed, "options",
        "Change the code generation settings (the rules of the Code Settings window)", RunOptions);
    AddProjectArgument(optCmd, opt.project);
    AddMethodOption(optCmd, opt.method, "Generation method");
    optCmd->add_option("--edge", opt.edge, "Clock edge of the state transitions")
        ->check(CLI::IsMember({"pos", "neg"}));
    auto* setupOpt =
        optCmd->add_option("--setup", opt.setup, "Setup time: VALUE UNIT")->expected(2);
    auto* noSetupOpt = optCmd->add_flag("--no-setup", opt.noSetup, "Use no setup time");
    setupOpt->excludes(noSetupOpt);
    optCmd->add_option("--period", opt.period, "Clock period: VALUE UNIT")->expected(2);
    auto* libOpt = optCmd->add_option("--library", opt.library,
                                      "Make a transactor library at PATH after generation");
    auto* noLibOpt = optCmd->add_flag("--no-library", opt.noLibrary, "Make no library");
    libOpt->excludes(noLibOpt);
    optCmd->add_option("--title", opt.title, "Banner title");
    optCmd->add_option("--author", opt.author, "Banner author");
    optCmd->add_option("--company", opt.company, "Banner company");
    optCmd->add_option("--comment", opt.comment, "Banner comment (newlines separate lines)");
    optCmd
        ->add_option("--comment-in-headers", opt.commentInHeaders,
                     "Print the comment in the headers too")
        ->check(CLI::IsMember({"on", "off"}));
}

void AddGenerateAndCheck(CLI::App& app, Parsed& parsed) {
    CLI::App* genCmd =
        AddCommand(app, parsed, "generate",
                   "Generate the SystemC transactor with the stored settings", RunGenerate);
    AddProjectArgument(genCmd, parsed.opt.project);
    AddMethodOption(genCmd, parsed.opt.method, "Generation method for this run only");

    CLI::App* checkCmd = AddCommand(
        app, parsed, "check",
        "Translate the behaviour without writing the output files (no TLM_AIC.h, Tran.h, "
        "Tran.cpp, library or log; clean.asml and the section files in Temp are written). "
        "Each translation error is printed on stderr as FILE:LINE: error: MESSAGE, where FILE "
        "is Temp/clean.asml (AsmL method) or the ASF diagram the line came from (FSM "
        "method); then each warning, for AsmL or declarations that translate but give code "
        "that does not compile or behave, as FILE:LINE: warning: MESSAGE. A summary line goes "
        "to stdout. Exit status 1 when there are errors; warnings alone exit 0",
        RunCheck);
    AddProjectArgument(checkCmd, parsed.opt.project);
    AddMethodOption(checkCmd, parsed.opt.method, "Generation method for this check only");
}

CLI::App* AddSettingsCommand(CLI::App& app, Parsed& parsed) {
    Options& opt = parsed.opt;
    CLI::App* setCmd = AddCommand(
        app, parsed, "settings",
        "Change the generated class names and file paths (the Generate window's OK)", RunSettings);
    AddProjectArgument(setCmd, opt.project);
    setCmd->add_option("--transactor-class", opt.transactorClass, "Transactor class name");
    setCmd->add_option("--interface-class", opt.interfaceClass, "Abstract interface class name");
    auto* cppOpt = setCmd->add_option("--cpp", opt.cppPath, "Transactor C++ file");
    auto* headerOpt = setCmd->add_option("--header", opt.headerPath, "Transactor header file");
    auto* interfaceOpt = setCmd->add_option("--interface-header", opt.interfaceHeaderPath,
                                            "TLM interface header file");
    setCmd
        ->add_flag("--here", opt.here,
                   "Point the three generated files at this project's Output folder (keeping "
                   "their file names), and the library file and folder when they lay beside "
                   "them; prints what it changed")
        ->excludes(cppOpt)
        ->excludes(headerOpt)
        ->excludes(interfaceOpt);
    return setCmd;
}

void AddLibraryCommands(CLI::App& app, Parsed& parsed) {
    Options& opt = parsed.opt;
    CLI::App* libCmd =
        app.add_subcommand("lib", "List, add to or extract from a transactor library");
    libCmd->require_subcommand(1);
    CLI::App* libList =
        AddCommand(*libCmd, parsed, "list", "List the entry names of a library", RunLibList);
    libList->add_option("LIBRARY", opt.archive, "The .tlib file")->required();
    CLI::App* libAdd = AddCommand(*libCmd, parsed, "add",
                                  "Append files to a library (created if missing)", RunLibAdd);
    libAdd->add_option("LIBRARY", opt.archive, "The .tlib file")->required();
    libAdd->add_option("FILE", opt.files, "Files to append, in order")->required();
    libAdd->add_option("--name", opt.entryName, "Entry name (default: the file's name)");
    CLI::App* libExtract =
        AddCommand(*libCmd, parsed, "extract", "Extract one entry of a library", RunLibExtract);
    libExtract->add_option("LIBRARY", opt.archive, "The .tlib file")->required();
    libExtract->add_option("ENTRY", opt.entry, "Entry name (letter case does not matter)")
        ->required();
    libExtract->add_option("-o,--output", opt.output,
                           "Output file (default: ENTRY in the current folder)");
}

void AddProjectFileCommands(CLI::App& app, Parsed& parsed) {
    CLI::App* addLibCmd = AddCommand(
        app, parsed, "add-library",
        "Add transactor libraries to a project (the Add Library window and its OK)", RunAddLibrary);
    AddProjectArgument(addLibCmd, parsed.opt.project);
    addLibCmd->add_option("LIBRARY", parsed.opt.files, "The .tlib files, added in order")
        ->required();

    CLI::App* declareCmd =
        AddCommand(app, parsed, "declare",
                   "Replace the project's functions and signals with those of a JSON file "
                   "(the format of show --json), by the rules of the declaration windows",
                   RunDeclare);
    AddProjectArgument(declareCmd, parsed.opt.project);
    declareCmd->add_option("FILE", parsed.opt.declarations, "The JSON file")->required();
}

} // namespace

int RunCli(int argc, char** argv) {
    return RunCli(argc, argv, std::cout, std::cerr);
}

int RunCli(int argc, char** argv, std::ostream& out, std::ostream& err) {
    CLI::App app{"Kestrel: SystemC transactor generator, project commands without a screen",
                 "kestrel-cli"};
    app.require_subcommand(1);
    Parsed parsed;
    AddNewAndShow(app, parsed);
    AddOptionsCommand(app, parsed);
    AddGenerateAndCheck(app, parsed);
    const CLI::App* setCmd = AddSettingsCommand(app, parsed);
    AddLibraryCommands(app, parsed);
    AddProjectFileCommands(app, parsed);

    TemplateCommands templates(app);
    AssignCommands assignments(app);
    DiagramCommands diagrams(app);
    SimCommands simulation(app);
    BuildCommands build(app);
    Tlm2Command tlm2(app);
    FromRtlCommand fromRtl(app);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        int code = app.exit(e, out, err);
        return code == 0 ? kExitOk : kExitUsage;
    }
    try {
        // Said once for every command that reads a project; after `settings`, which may
        // be the change that puts things right.
        const std::optional<std::string> project = ProjectArgument(app);
        const bool warnAfter = setCmd->parsed();
        if (project && !warnAfter) WarnOfMisplacedOutput(ArgPath(*project), err);
        int status = kExitUsage;
        if (templates.chosen())
            status = templates.Run(out, err);
        else if (assignments.chosen())
            status = assignments.Run(out, err);
        else if (diagrams.chosen())
            status = diagrams.Run(out, err);
        else if (simulation.chosen())
            status = simulation.Run(out, err);
        else if (build.chosen())
            status = build.Run(out, err);
        else if (tlm2.chosen())
            status = tlm2.Run(out, err);
        else if (fromRtl.chosen())
            status = fromRtl.Run(out, err);
        else if (parsed.command)
            status = parsed.command(parsed.opt, out, err);
        if (project && warnAfter && status == kExitOk)
            WarnOfMisplacedOutput(ArgPath(*project), err);
        return status;
    } catch (const UsageError& e) {
        err << "kestrel-cli: " << e.what() << "\n";
        return kExitUsage;
    }
}

} // namespace kestrel::cli
