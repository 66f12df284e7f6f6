#pragma once
// Compiling, linking and running generated SystemC with the installed SystemC and the
// compatibility header; shared by the test_systemc tests. The compiler and flags come
// from tests/systemc/CMakeLists.txt.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>

#include <sys/wait.h>

namespace kestrel::test {

// A text quoted for the shell.
inline std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

struct CommandResult {
    int exitCode = -1;
    std::string output; // stdout and stderr together
};

// Runs a shell command with its output captured in `logFile`.
inline CommandResult RunCommand(const std::string& command, const std::filesystem::path& logFile) {
    CommandResult result;
    int status = std::system((command + " > " + Quoted(logFile.string()) + " 2>&1").c_str());
    if (status != -1 && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    std::error_code ec;
    if (std::filesystem::exists(logFile, ec)) result.output = ReadBytes(logFile);
    return result;
}

// One compiler run: fails the test with the command and the compiler's output.
inline ::testing::AssertionResult Succeeds(const std::string& what, const std::string& command,
                                           const std::filesystem::path& logFile) {
    auto start = std::chrono::steady_clock::now();
    CommandResult result = RunCommand(command, logFile);
    auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
    if (result.exitCode == 0) {
        std::printf("[ step     ] %s: %.1f s\n", what.c_str(), seconds.count());
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << what << " failed (exit code " << result.exitCode
                                         << ")\ncommand: " << command << "\noutput:\n"
                                         << result.output;
}

// The compiler and the flags for a translation unit of generated or test code.
inline std::string CompileCommand(std::string_view standard, const std::filesystem::path& source,
                                  const std::filesystem::path& object,
                                  std::string_view extraFlags) {
    return std::string(KESTREL_SYSTEMC_CXX) + " " + std::string(standard) + " -O0 -include " +
           Quoted(KESTREL_SYSTEMC_COMPAT_HEADER) + " " + std::string(extraFlags) + " " +
           KESTREL_SYSTEMC_COMPILE_FLAGS + " -c " + Quoted(source.string()) + " -o " +
           Quoted(object.string());
}

inline std::string LinkCommand(std::initializer_list<std::filesystem::path> objects,
                               const std::filesystem::path& program) {
    std::string command = KESTREL_SYSTEMC_CXX;
    for (const std::filesystem::path& object : objects) command += " " + Quoted(object.string());
    return command + " -o " + Quoted(program.string()) + " " + KESTREL_SYSTEMC_LINK_FLAGS;
}

// Runs a built program without SystemC's copyright banner.
inline std::string RunProgramCommand(const std::filesystem::path& program) {
    return "SC_COPYRIGHT_MESSAGE=DISABLE " + Quoted(program.string());
}

} // namespace kestrel::test
