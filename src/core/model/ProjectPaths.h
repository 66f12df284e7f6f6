#pragma once
// The fixed places inside a project folder.
#include "platform/FileSystem.h"

#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

inline std::string InputPath(std::string_view folder, std::string_view file) {
    return JoinPath(folder, {"Input", file});
}
inline std::string TempPath(std::string_view folder, std::string_view file) {
    return JoinPath(folder, {"Temp", file});
}
inline std::string OutputPath(std::string_view folder, std::string_view file) {
    return JoinPath(folder, {"Output", file});
}

inline constexpr std::string_view kTlmFunctionFile = "tlm_func.dat";
inline constexpr std::string_view kRtlSignalFile = "rtl_sig.dat";
inline constexpr std::string_view kOptionFile = "option.dat";
inline constexpr std::string_view kGenerationFile = "gen.dat";
inline constexpr std::string_view kAsmlAssignmentFile = "asml.dat";
inline constexpr std::string_view kAsfAssignmentFile = "asf.dat";
inline constexpr std::string_view kLibraryFunctionFile = "lib_tlm_func.dat";
inline constexpr std::string_view kLibrarySignalFile = "lib_rtl_sig.dat";

// Makes the project's Input, Temp and Output folders where they are missing (a project
// copied from version control has no empty folders) and returns the names of those it
// made. A folder that cannot be made is left to the write that needs it, which names it.
std::vector<std::string> MakeMissingProjectFolders(std::string_view folder);

// "Created the missing project folder Temp", "... folders Temp and Output", ...
std::string MissingFoldersNote(const std::vector<std::string>& created);

} // namespace kestrel
