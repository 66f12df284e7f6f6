// The assigned mark and the copy into Input shared by the FSM and AsmL assignment rules.
// The copy is atomic (the old file in Input stays whole if it fails) and skips a source
// that is the target itself, which would only be rewritten.
#include "project/AssignmentCopy.h"

#include "model/ProjectPaths.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

#include <cstdlib>
#include <filesystem>

namespace kestrel {

bool MarkReadsAsOne(std::string_view mark) {
    const std::string text = Trim(mark);
    if (text.empty()) return false;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    return end != text.c_str() && value == 1.0;
}

std::string CopyIntoInput(std::string_view projectFolder, std::string_view source) {
    std::string name = AfterLastSeparator(source);
    const std::string target = InputPath(projectFolder, name);
    std::error_code ec;
    const bool same = std::filesystem::equivalent(NativePath(source), NativePath(target), ec);
    if (!same || ec) (void)CopyFileOverwrite(source, target);
    return name;
}

} // namespace kestrel
