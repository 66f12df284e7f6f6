#pragma once
// The project file <ProjectName>.tp: one record at offset 0, written without truncation.
#include "model/Encoding.h"
#include "platform/Status.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

// How far a project has progressed; it enables the commands of the main window.
enum ProjectStageValue : std::int16_t {
    kStageNoProject = 0,
    kStageCreated = 1,
    kStageDeclared = 2,
    kStageAssigned = 3,
};

struct ProjectRecord {
    std::string projectName;
    std::string
        projectFolder; // full path of the folder holding the .tp file, no trailing separator
    Flag tlmDeclared;
    Flag rtlDeclared;
    std::int16_t projectStage = kStageNoProject;

    friend bool operator==(const ProjectRecord&, const ProjectRecord&) = default;
};

std::string EncodeProjectRecord(const ProjectRecord& record);
// Decodes the record at the start of `bytes`; stale bytes after it are ignored.
// Fails with a message naming `filePath` when the file ends inside the record.
Status DecodeProjectRecord(std::string_view bytes, std::string_view filePath,
                           ProjectRecord& record);

// <folder>/<name>.tp of the record.
std::string ProjectFilePath(const ProjectRecord& record);

// Writes the record at offset 0 of <ProjectFolder>/<ProjectName>.tp without truncating.
Status SaveProjectFile(const ProjectRecord& record);
// Reads the record of a .tp file.
Status ReadProjectFile(std::string_view filePath, ProjectRecord& record);

} // namespace kestrel
