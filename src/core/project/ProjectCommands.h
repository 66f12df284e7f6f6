#pragma once
// The project commands of the main window without their windows: New Project,
// Open Project, Close Project, and the stage rules that enable the commands.
#include "model/Assignments.h"
#include "model/ProjectOptions.h"
#include "model/ProjectRecord.h"
#include "platform/Status.h"
#include "platform/System.h"
#include "project/InputRefusal.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kestrel {

// What the New Project dialog holds when OK is pressed.
struct NewProjectDraft {
    std::string name;
    std::string location;
};

// The outcome of a command that can be refused (a message box) or fail on the file
// system (a message naming the file).
struct CommandOutcome {
    std::optional<InputRefusal> refusal;
    Status status;
    // Opening a project: its folders (Input, Temp, Output) that were missing and were made.
    std::vector<std::string> createdFolders = {};

    bool ok() const { return !refusal && status.ok(); }
};

// New Project's checks of the draft, without making anything: trims both fields and appends
// the separator to the location (writing them back into the draft), then refuses an empty
// name or location, a project folder that already exists and a name holding a separator.
std::optional<InputRefusal> CheckNewProject(NewProjectDraft& draft);

// New Project: checks the draft (trims both fields and appends the separator to the
// location, writing them back into the draft), then creates the folder, the .tp file,
// Input with the four default records, Temp and Output. On success `record` is the new
// project's record.
CommandOutcome NewProject(NewProjectDraft& draft, const SystemInfo& system, ProjectRecord& record);

// Open Project: reads the record of a .tp file; the project folder becomes the file's
// folder and the .tp file is rewritten there. Missing Input, Temp and Output folders are
// made and named in the outcome.
CommandOutcome OpenProject(std::string_view tpPath, ProjectRecord& record);

// Reads a .tp file the way Open Project does, but writes nothing: the folder in the
// returned record is the file's folder. With `createdFolders`, for a command that goes on
// to write, the missing project folders are made and their names put there.
Status PeekProject(std::string_view tpPath, ProjectRecord& record,
                   std::vector<std::string>* createdFolders = nullptr);

// Close Project: the state without a project. Nothing is written.
void CloseProject(ProjectRecord& record);

// The stage rules. After the function list's OK: tlmDeclared = (functionCount != 0);
// after the signal list's OK: rtlDeclared = (signalCount != 0); Add Library sets both.
// Then, only while the stage is below 2, it becomes 2 when both flags are set, else 1.
void RecomputeStage(ProjectRecord& record, std::optional<int> functionCount,
                    std::optional<int> signalCount);
// OK of an assignment dialog: stage 3.
void MarkBehaviourAssigned(ProjectRecord& record);

// "<name> - Kestrel v1.1"
std::string WindowCaption(const ProjectRecord& record);
// "<folder>/<name>.tp Opened", or "No Transactor Project Opened".
std::string ProjectStatusText(const ProjectRecord& record);

// The defaults New Project writes, for a project `name` in `folder`.
ProjectOptions DefaultProjectOptions(std::string_view name, std::string_view folder,
                                     std::string_view userName);
GenerationSettings DefaultGenerationSettings(std::string_view folder);
AsmlAssignment DefaultAsmlAssignment(std::string_view name, std::string_view folder);
AsfAssignment DefaultAsfAssignment(std::string_view folder);

} // namespace kestrel
