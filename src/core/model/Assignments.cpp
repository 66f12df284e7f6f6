// AsmlAssignment (Input/asml.dat) and AsfAssignment (Input/asf.dat): one record at offset
// 0 of each file. Saving overlays the record on the old file; reading ignores whatever
// follows the record.
#include "model/Assignments.h"

#include "model/ProjectPaths.h"
#include "model/RecordFields.h"

namespace kestrel {

std::string EncodeAsmlAssignment(const AsmlAssignment& a) {
    ByteWriter out;
    out.VariableText(a.asmlDocumentPath);
    out.VariableText(a.asmlDocumentLabel);
    out.Boolean(a.asmlAssigned);
    return out.Take();
}

std::string EncodeAsfAssignment(const AsfAssignment& a) {
    ByteWriter out;
    out.VariableText(a.asfTemplatePath);
    return out.Take();
}

Status LoadAsmlAssignment(std::string_view projectFolder, AsmlAssignment& a) {
    a.asmlDocumentPath.clear();
    a.asmlDocumentLabel.clear();

    const std::string path = InputPath(projectFolder, kAsmlAssignmentFile);
    std::string bytes;
    if (Status s = detail::ReadRecordFile(path, bytes); !s) return s;
    detail::RecordFieldReader in(bytes, path);
    in.Text(a.asmlDocumentPath);
    in.Text(a.asmlDocumentLabel);
    in.Boolean(a.asmlAssigned);
    return in.status();
}

Status SaveAsmlAssignment(std::string_view projectFolder, const AsmlAssignment& assignment) {
    return OverlayFileAtomic(InputPath(projectFolder, kAsmlAssignmentFile),
                             EncodeAsmlAssignment(assignment));
}

Status LoadAsfAssignment(std::string_view projectFolder, AsfAssignment& a) {
    a.asfTemplatePath.clear();

    const std::string path = InputPath(projectFolder, kAsfAssignmentFile);
    std::string bytes;
    if (Status s = detail::ReadRecordFile(path, bytes); !s) return s;
    detail::RecordFieldReader in(bytes, path);
    in.Text(a.asfTemplatePath);
    return in.status();
}

Status SaveAsfAssignment(std::string_view projectFolder, const AsfAssignment& assignment) {
    return OverlayFileAtomic(InputPath(projectFolder, kAsfAssignmentFile),
                             EncodeAsfAssignment(assignment));
}

} // namespace kestrel
