// The assignment commands of kestrel-cli. Each opens the project as the main window does,
// loads the assignment window's state, makes the one change the user would make there
// (Browse or Unassign on the function's row, Assign... or Unassign) and confirms with the
// window's OK. The file to assign is checked first, so that a missing file is an error
// here rather than a silent failed copy as in the window.
#include "AssignCommands.h"

#include "CliApp.h"
#include "CliSupport.h"
#include "model/ProjectPaths.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "project/AsmlAssignmentRules.h"
#include "project/FsmAssignment.h"
#include "project/ProjectCommands.h"

#include <algorithm>
#include <memory>
#include <ostream>

namespace kestrel::cli {

namespace {

// The row of a function given by its name, or by its number from 1 when no function has
// that name.
std::size_t FindRow(const FsmAssignmentState& state, std::string_view wanted) {
    for (std::size_t i = 0; i < state.rows.size(); ++i)
        if (state.rows[i].functionName == wanted) return i;
    if (!wanted.empty() && wanted.size() <= 2 &&
        std::all_of(wanted.begin(), wanted.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        const std::size_t number = static_cast<std::size_t>(std::stoi(std::string(wanted)));
        if (number >= 1 && number <= state.rows.size()) return number - 1;
    }
    throw UsageError("the project has no TLM function \"" + Show(wanted) + "\"");
}

// A file to assign must exist; the window's open dialog only offers existing files.
void CheckExists(const std::string& path) {
    if (!FileExists(path)) throw UsageError("\"" + Show(path) + "\" is not a file");
}

} // namespace

AssignCommands::AssignCommands(CLI::App& app) {
    CLI::App* assignFsm = app.add_subcommand(
        "assign-fsm", "Assign an ASF state diagram to a TLM function: the file is copied into "
                      "Input and the FSM assignment window's OK is applied (stage 3)");
    AddProjectArgument(assignFsm, project_);
    AddFunctionOption(assignFsm, "FUNCTION", function_)->required();
    assignFsm->add_option("FILE", file_, "The .asf file")->required();
    assignFsm->callback([this] { chosen_ = Command::AssignFsm; });

    CLI::App* unassignFsm = app.add_subcommand(
        "unassign-fsm", "Remove the ASF state diagram of a TLM function (its copy in Input "
                        "stays) and apply the FSM assignment window's OK (stage 3)");
    AddProjectArgument(unassignFsm, project_);
    AddFunctionOption(unassignFsm, "FUNCTION", function_)->required();
    unassignFsm->callback([this] { chosen_ = Command::UnassignFsm; });

    CLI::App* assignAsml = app.add_subcommand(
        "assign-asml", "Assign the project's AsmL specification document: the file is copied "
                       "into Input and the AsmL assignment window's OK is applied (stage 3)");
    AddProjectArgument(assignAsml, project_);
    assignAsml->add_option("DOCUMENT", file_, "The AsmL document to assign")->required();
    assignAsml->callback([this] { chosen_ = Command::AssignAsml; });

    CLI::App* unassignAsml = app.add_subcommand(
        "unassign-asml", "Remove the project's AsmL specification document and apply the "
                         "AsmL assignment window's OK (stage 3)");
    AddProjectArgument(unassignAsml, project_);
    unassignAsml->callback([this] { chosen_ = Command::UnassignAsml; });
}

int AssignCommands::Run(std::ostream& out, std::ostream& err) const {
    switch (chosen_) {
    case Command::AssignFsm: return RunFsm(true, out, err);
    case Command::UnassignFsm: return RunFsm(false, out, err);
    case Command::AssignAsml: return RunAsml(true, out, err);
    case Command::UnassignAsml: return RunAsml(false, out, err);
    case Command::None: break;
    }
    return kExitUsage;
}

int AssignCommands::RunFsm(bool assign, std::ostream& out, std::ostream& err) const {
    ProjectRecord record;
    if (std::optional<int> failed =
            TakeProject(ArgPath(project_), ProjectAccess::Open, record, err))
        return *failed;
    auto window = std::make_unique<FsmAssignmentState>();
    if (Status s = LoadFsmAssignment(record.projectFolder, *window); !s)
        return PrintFileError(err, s);
    FsmAssignmentRow& row = window->rows[FindRow(*window, Trim(ArgText(function_)))];

    std::string path;
    if (assign) {
        if (auto refusal = CheckAsfBrowse(row)) return PrintRefusal(err, *refusal);
        path = ArgPath(file_);
        CheckExists(path);
        if (auto refusal = CheckAsfFileName(path)) return PrintRefusal(err, *refusal);
        AssignAsfFile(row, path);
    } else if (auto refusal = UnassignAsfFile(row)) {
        return PrintRefusal(err, *refusal);
    }
    if (Status s = AcceptFsmAssignment(record, *window); !s) return PrintFileError(err, s);
    if (assign)
        out << Show(row.functionName) << "() is assigned "
            << Show(InputPath(record.projectFolder, AfterLastSeparator(path))) << "\n";
    else
        out << Show(row.functionName) << "() has no ASF file assigned\n";
    return kExitOk;
}

int AssignCommands::RunAsml(bool assign, std::ostream& out, std::ostream& err) const {
    ProjectRecord record;
    if (std::optional<int> failed =
            TakeProject(ArgPath(project_), ProjectAccess::Open, record, err))
        return *failed;
    AsmlAssignmentState window;
    if (Status s = LoadAsmlAssignmentState(record.projectFolder, window); !s)
        return PrintFileError(err, s);
    if (assign) {
        const std::string path = ArgPath(file_);
        CheckExists(path);
        AssignAsmlDocument(window, path);
    } else {
        UnassignAsmlDocument(window);
    }
    if (Status s = AcceptAsmlAssignment(record, window); !s) return PrintFileError(err, s);
    if (assign)
        out << "AsmL specification "
            << Show(InputPath(record.projectFolder, window.record.asmlDocumentLabel))
            << " assigned\n";
    else
        out << "No AsmL specification assigned\n";
    return kExitOk;
}

} // namespace kestrel::cli
