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
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    }
    return lines;
}

Status ReadSectionFile(std::string_view projectFolder, std::string_view functionName,
                       std::string_view extension, std::string& text) {
    return ReadFileBytes(SectionFilePath(projectFolder, functionName, extension), text);
}

} // namespace kestrel
