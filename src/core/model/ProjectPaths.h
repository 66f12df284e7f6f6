#pragma once
// The fixed places inside a project folder.
#include "platform/FileSystem.h"

#include <string>
#include <string_view>

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

} // namespace kestrel
