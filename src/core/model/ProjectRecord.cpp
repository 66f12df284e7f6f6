// The project file <ProjectName>.tp: ProjectRecord at offset 0 (name, folder, the two
// declared flags, the stage). Saving overlays the record on the old file, so a shorter
// record leaves stale bytes behind, which reading ignores.
#include "model/ProjectRecord.h"

#include "model/RecordFields.h"
#include "platform/FileSystem.h"

namespace kestrel {

std::string EncodeProjectRecord(const ProjectRecord& record) {
    ByteWriter out;
    out.VariableText(record.projectName);
    out.VariableText(record.projectFolder);
    out.Boolean(record.tlmDeclared);
    out.Boolean(record.rtlDeclared);
    out.Integer(record.projectStage);
    return out.Take();
}

Status DecodeProjectRecord(std::string_view bytes, std::string_view filePath,
                           ProjectRecord& record) {
    ByteReader in(bytes);
    ProjectRecord read;
    if (!in.VariableText(read.projectName) || !in.VariableText(read.projectFolder) ||
        !in.Boolean(read.tlmDeclared) || !in.Boolean(read.rtlDeclared) ||
        !in.Integer(read.projectStage)) {
        return Status::Error(
            detail::DamagedMessage(filePath, "the file ends inside the project record"));
    }
    record = std::move(read);
    return Status::Ok();
}

std::string ProjectFilePath(const ProjectRecord& record) {
    return JoinPath(record.projectFolder, {record.projectName + ".tp"});
}

Status SaveProjectFile(const ProjectRecord& record) {
    return OverlayFileAtomic(ProjectFilePath(record), EncodeProjectRecord(record));
}

Status ReadProjectFile(std::string_view filePath, ProjectRecord& record) {
    std::string bytes;
    if (Status s = ReadFileBytes(filePath, bytes); !s) return s;
    return DecodeProjectRecord(bytes, filePath, record);
}

} // namespace kestrel
