// kestrel-cli: parses the command line with CLI11 and runs one project command.
// Refusals print the dialog's message on stderr and exit 1; file errors exit 2.
#include "CliApp.h"

#include "CliSupport.h"
#include "ShowCommand.h"
#include "model/ProjectTables.h"
#include "platform/FileSystem.h"
#include "platform/System.h"
#include "project/ProjectCommands.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>

namespace kestrel::cli {

namespace {

struct Options {
    // new
    std::string newName;
    std::string newLocation;
    // show
    std::string project;
    bool json = false;
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
    const std::string& folder = snap.record.projectFolder;
    ProjectTables& t = snap.tables;
    if (Status s = LoadOptions(folder, t.options); !s) return s;
    if (Status s = LoadGenerationSettings(folder, t.settings); !s) return s;
    if (Status s = LoadAsmlAssignment(folder, t.asml); !s) return s;
    if (Status s = LoadAsfAssignment(folder, t.asf); !s) return s;
    if (Status s = LoadTlmFunctions(folder, t.functions); !s) return s;
    return LoadRtlSignals(folder, t.signals);
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

} // namespace

int RunCli(int argc, char** argv) { return RunCli(argc, argv, std::cout, std::cerr); }

int RunCli(int argc, char** argv, std::ostream& out, std::ostream& err) {
    CLI::App app{"Kestrel: SystemC transactor generator, project commands without a screen",
                 "kestrel-cli"};
    app.require_subcommand(1);
    Options opt;
    int (*command)(const Options&, std::ostream&, std::ostream&) = nullptr;

    CLI::App* newCmd = app.add_subcommand("new", "Create a new project folder NAME in a location");
    newCmd->add_option("NAME", opt.newName, "Project name")->required();
    newCmd->add_option("--location", opt.newLocation,
                       "Folder that receives the project folder (default: current folder)");
    newCmd->callback([&] { command = RunNew; });

    CLI::App* showCmd = app.add_subcommand("show", "Show a project's settings and declarations");
    showCmd->add_option("PROJECT", opt.project, "The project's .tp file")->required();
    showCmd->add_flag("--json", opt.json, "Print JSON instead of text");
    showCmd->callback([&] { command = RunShow; });

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        int code = app.exit(e, out, err);
        return code == 0 ? kExitOk : kExitUsage;
    }
    try {
        return command ? command(opt, out, err) : kExitUsage;
    } catch (const UsageError& e) {
        err << "kestrel-cli: " << e.what() << "\n";
        return kExitUsage;
    }
}

} // namespace kestrel::cli
