// New, Open and Close Project and the stage rules. New Project checks its two fields,
// then creates the project in a fixed order: folder, .tp file, Input with the four
// default records, Temp, Output. Opening follows the .tp file: the folder stored in it
// is replaced by the folder the file lies in, and the file is rewritten.
#include "project/ProjectCommands.h"

#include "model/ProjectPaths.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace kestrel {

namespace {

InputRefusal Refused(std::string text, std::string title, RefusedField field) {
    return InputRefusal{std::move(text), std::move(title), field};
}

CommandOutcome Failed(Status status) {
    CommandOutcome outcome;
    outcome.status = std::move(status);
    return outcome;
}

// A project name read from a file becomes part of a path; one that would lead out of
// the project's folder is not accepted.
bool IsUsableProjectName(std::string_view name) {
    if (Trim(name).empty() || name == "." || name == "..") return false;
    for (char c : name) {
        if (IsPathSeparator(c) || c == '\0') return false;
    }
    return true;
}

} // namespace

ProjectOptions DefaultProjectOptions(std::string_view name, std::string_view folder,
                                     std::string_view userName) {
    ProjectOptions options; // the numeric defaults live in the struct
    options.setupWait = 0;
    options.setupWaitUnit.clear();
    options.libraryFile = OutputPath(folder, std::string(name) + ".tlib");
    options.libraryFolder = JoinPath(folder, {"Output"});
    options.title = Trim(name) + " Transactor";
    options.author = Trim(userName);
    options.company.clear();
    options.comment.clear();
    return options;
}

GenerationSettings DefaultGenerationSettings(std::string_view folder) {
    GenerationSettings settings;
    settings.transactorCppPath = OutputPath(folder, "Tran.cpp");
    settings.transactorHeaderPath = OutputPath(folder, "Tran.h");
    settings.interfaceHeaderPath = OutputPath(folder, "TLM_AIC.h");
    return settings;
}

AsmlAssignment DefaultAsmlAssignment(std::string_view name, std::string_view folder) {
    AsmlAssignment assignment;
    assignment.asmlDocumentPath = TempPath(folder, std::string(name) + ".doc");
    assignment.asmlDocumentLabel = std::string(kNotAssigned);
    assignment.asmlAssigned = false;
    return assignment;
}

AsfAssignment DefaultAsfAssignment(std::string_view folder) {
    return AsfAssignment{TempPath(folder, "untitled.asf")};
}

std::optional<InputRefusal> CheckNewProject(NewProjectDraft& draft) {
    if (draft.name.empty())
        return Refused("Please Enter Project Name", "Project Name", RefusedField::ProjectName);
    if (draft.location.empty())
        return Refused("Please Select Working Directory", "Working Directory",
                       RefusedField::ProjectLocation);

    draft.name = Trim(draft.name);
    draft.location = Trim(draft.location);
    if (draft.location.empty() || !IsPathSeparator(draft.location.back()))
        draft.location.push_back(kPathSeparator);

    const std::string folder = draft.location + draft.name;
    if (DirectoryExists(folder))
        return Refused("Project " + folder + " already exists!\r\n" +
                           "Please change Project Name or Location",
                       "", RefusedField::ProjectName);
    // A name of blanks only: the folder would be the location itself.
    if (draft.name.empty())
        return Refused("Please Enter Project Name", "Project Name", RefusedField::ProjectName);
    if (!IsUsableProjectName(draft.name))
        return Refused("A project name cannot contain \"/\" or \"\\\"", "Project Name",
                       RefusedField::ProjectName);
    return std::nullopt;
}

CommandOutcome NewProject(NewProjectDraft& draft, const SystemInfo& system, ProjectRecord& record) {
    if (std::optional<InputRefusal> refusal = CheckNewProject(draft)) {
        CommandOutcome outcome;
        outcome.refusal = std::move(*refusal);
        return outcome;
    }
    const std::string folder = draft.location + draft.name;
    if (Status s = MakeDirectory(folder); !s) return Failed(s);

    ProjectRecord created;
    created.projectName = draft.name;
    created.projectFolder = folder;
    created.projectStage = kStageCreated;
    created.tlmDeclared = false;
    created.rtlDeclared = false;
    if (Status s = SaveProjectFile(created); !s) return Failed(s);

    if (Status s = MakeDirectory(JoinPath(folder, {"Input"})); !s) return Failed(s);
    const std::string& name = created.projectName;
    if (Status s =
            SaveOptions(folder, DefaultProjectOptions(name, folder, system.LoggedOnUserName()));
        !s)
        return Failed(s);
    if (Status s = SaveGenerationSettings(folder, DefaultGenerationSettings(folder)); !s)
        return Failed(s);
    if (Status s = SaveAsmlAssignment(folder, DefaultAsmlAssignment(name, folder)); !s)
        return Failed(s);
    if (Status s = SaveAsfAssignment(folder, DefaultAsfAssignment(folder)); !s) return Failed(s);
    if (Status s = MakeDirectory(JoinPath(folder, {"Temp"})); !s) return Failed(s);
    if (Status s = MakeDirectory(JoinPath(folder, {"Output"})); !s) return Failed(s);

    record = created;
    return {};
}

Status PeekProject(std::string_view tpPath, ProjectRecord& record,
                   std::vector<std::string>* createdFolders) {
    std::string folder = BeforeLastSeparator(tpPath);
    if (folder.empty() && (tpPath.empty() || !IsPathSeparator(tpPath.front())))
        return Status::Error("\"" + std::string(tpPath) +
                             "\" is not a usable project path: give the folder of the .tp file");
    ProjectRecord read;
    if (Status s = ReadProjectFile(tpPath, read); !s) return s;
    if (!IsUsableProjectName(read.projectName))
        return Status::Error("\"" + std::string(tpPath) +
                             "\" is not a project file: its project name is not usable");
    read.projectFolder = folder;
    if (createdFolders) *createdFolders = MakeMissingProjectFolders(folder);
    record = read;
    return Status::Ok();
}

CommandOutcome OpenProject(std::string_view tpPath, ProjectRecord& record) {
    ProjectRecord opened;
    std::vector<std::string> created;
    if (Status s = PeekProject(tpPath, opened, &created); !s) return Failed(s);
    if (Status s = SaveProjectFile(opened); !s) return Failed(s);
    record = opened;
    CommandOutcome outcome;
    outcome.createdFolders = std::move(created);
    return outcome;
}

void CloseProject(ProjectRecord& record) {
    record.projectName = "[none]";
    record.projectFolder.clear();
    record.projectStage = kStageNoProject;
}

void RecomputeStage(ProjectRecord& record, std::optional<int> functionCount,
                    std::optional<int> signalCount) {
    if (functionCount) record.tlmDeclared = *functionCount != 0;
    if (signalCount) record.rtlDeclared = *signalCount != 0;
    if (record.projectStage < kStageDeclared)
        record.projectStage =
            (record.tlmDeclared && record.rtlDeclared) ? kStageDeclared : kStageCreated;
}

void MarkBehaviourAssigned(ProjectRecord& record) {
    record.projectStage = kStageAssigned;
}

std::string WindowCaption(const ProjectRecord& record) {
    return record.projectName + " - " + kApplicationTitle + " " + kApplicationVersion;
}

std::string ProjectStatusText(const ProjectRecord& record) {
    if (record.projectStage == kStageNoProject) return "No Transactor Project Opened";
    return JoinPath(record.projectFolder, {record.projectName + ".tp Opened"});
}

} // namespace kestrel
