// ProjectOptions (Input/option.dat) and GenerationSettings (Input/gen.dat): one record at
// offset 0 of each file, fields without padding. Saving overlays the record on the old
// file; reading ignores whatever follows the record.
#include "model/ProjectOptions.h"

#include "model/ProjectPaths.h"
#include "model/RecordFields.h"

namespace kestrel {

std::string EncodeProjectOptions(const ProjectOptions& o) {
    ByteWriter out;
    out.Integer(o.generationMethod);
    out.Boolean(o.clockPositiveEdge);
    out.Boolean(o.useSetupTime);
    out.Integer(o.setupTime);
    out.VariableText(o.setupUnit);
    out.Integer(o.setupUnitIndex);
    out.Integer(o.clockPeriod);
    out.VariableText(o.periodUnit);
    out.Integer(o.periodUnitIndex);
    out.Long(o.setupWait);
    out.VariableText(o.setupWaitUnit);
    out.Boolean(o.makeLibrary);
    out.VariableText(o.libraryFile);
    out.VariableText(o.libraryFolder);
    out.VariableText(o.title);
    out.VariableText(o.author);
    out.VariableText(o.company);
    out.VariableText(o.comment);
    out.Boolean(o.useCommentInHeaders);
    return out.Take();
}

std::string EncodeGenerationSettings(const GenerationSettings& s) {
    ByteWriter out;
    out.VariableText(s.interfaceClassName);
    out.VariableText(s.transactorClassName);
    out.VariableText(s.transactorCppPath);
    out.VariableText(s.transactorHeaderPath);
    out.VariableText(s.interfaceHeaderPath);
    return out.Take();
}

Status LoadOptions(std::string_view projectFolder, ProjectOptions& o) {
    o.setupUnit.clear();
    o.periodUnit.clear();
    o.setupWaitUnit.clear();
    o.libraryFile.clear();
    o.libraryFolder.clear();
    o.title.clear();
    o.author.clear();
    o.company.clear();
    o.comment.clear();

    const std::string path = InputPath(projectFolder, kOptionFile);
    std::string bytes;
    if (Status s = detail::ReadRecordFile(path, bytes); !s) return s;
    detail::RecordFieldReader in(bytes, path);
    in.Integer(o.generationMethod);
    in.Boolean(o.clockPositiveEdge);
    in.Boolean(o.useSetupTime);
    in.Integer(o.setupTime);
    in.Text(o.setupUnit);
    in.Integer(o.setupUnitIndex);
    in.Integer(o.clockPeriod);
    in.Text(o.periodUnit);
    in.Integer(o.periodUnitIndex);
    in.Long(o.setupWait);
    in.Text(o.setupWaitUnit);
    in.Boolean(o.makeLibrary);
    in.Text(o.libraryFile);
    in.Text(o.libraryFolder);
    in.Text(o.title);
    in.Text(o.author);
    in.Text(o.company);
    in.Text(o.comment);
    in.Boolean(o.useCommentInHeaders);
    return in.status();
}

Status SaveOptions(std::string_view projectFolder, const ProjectOptions& options) {
    return OverlayFileAtomic(InputPath(projectFolder, kOptionFile), EncodeProjectOptions(options));
}

Status LoadGenerationSettings(std::string_view projectFolder, GenerationSettings& s) {
    s.interfaceClassName.clear();
    s.transactorClassName.clear();
    s.transactorCppPath.clear();
    s.transactorHeaderPath.clear();
    s.interfaceHeaderPath.clear();

    const std::string path = InputPath(projectFolder, kGenerationFile);
    std::string bytes;
    if (Status st = detail::ReadRecordFile(path, bytes); !st) return st;
    detail::RecordFieldReader in(bytes, path);
    in.Text(s.interfaceClassName);
    in.Text(s.transactorClassName);
    in.Text(s.transactorCppPath);
    in.Text(s.transactorHeaderPath);
    in.Text(s.interfaceHeaderPath);
    return in.status();
}

Status SaveGenerationSettings(std::string_view projectFolder, const GenerationSettings& settings) {
    return OverlayFileAtomic(InputPath(projectFolder, kGenerationFile),
                             EncodeGenerationSettings(settings));
}

} // namespace kestrel
