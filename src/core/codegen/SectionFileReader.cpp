// Locates a function's section files in the project's Temp folder, reads them and splits
// their text into lines for splicing.
#include "codegen/SectionFileReader.h"

#include "model/ProjectPaths.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace kestrel {

std::string SectionFilePath(std::string_view projectFolder, std::string_view functionName,
                            std::string_view extension) {
    return TempPath(projectFolder, Trim(functionName) + std::string(extension));
}

std::vector<std::string_view> SplitSectionLines(std::string_view text) {
    return SplitLines(text);
}

Status ReadSectionFile(std::string_view projectFolder, std::string_view functionName,
                       std::string_view extension, std::string& text) {
    return ReadFileBytes(SectionFilePath(projectFolder, functionName, extension), text);
}

} // namespace kestrel
