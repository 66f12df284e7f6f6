#pragma once
// Compiling, linking and running generated SystemC with the installed SystemC and the
// compatibility header, and running kestrel-cli as a user does; shared by the test_systemc
// tests. The compiler and flags come from tests/systemc/CMakeLists.txt.
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
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Whether `text` holds `part`; a failure shows the text.
inline ::testing::AssertionResult Has(const std::string& text, const std::string& part) {
    if (text.find(part) != std::string::npos)
        return ::testing::AssertionSuccess() << "\"" << part << "\" is in:\n" << text;
    return ::testing::AssertionFailure() << "\"" << part << "\" is not in:\n" << text;
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

// kestrel-cli of the build with `arguments` (quoted as needed).
inline CommandResult Cli(const std::string& arguments, const std::filesystem::path& logFile) {
    return RunCommand(Quoted((BinDir() / "kestrel-cli").string()) + " " + arguments, logFile);
}

// One step of a build: fails the test with the command and its output.
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

struct Source {
    std::filesystem::path file;
    std::string flags;
};

// Compiles the sources in `work`, links them with SystemC and runs the program without
// SystemC's copyright banner; a failed step fails the test and gives exit code -1.
inline CommandResult BuildAndRun(std::initializer_list<Source> sources,
                                 const std::filesystem::path& work,
                                 std::string_view standard = "-std=c++17") {
    std::filesystem::create_directories(work);
    std::string link = KESTREL_SYSTEMC_CXX;
    for (const Source& s : sources) {
        const std::string stem = s.file.stem().string();
        const std::filesystem::path object = work / (stem + ".o");
        auto built =
            Succeeds("compile " + s.file.filename().string(),
                     CompileCommand(standard, s.file, object, s.flags), work / (stem + ".log"));
        if (!built) {
            ADD_FAILURE() << built.message();
            return {};
        }
        link += " " + Quoted(object.string());
    }
    const std::filesystem::path program = work / "program";
    auto linked = Succeeds(
        "link", link + " -o " + Quoted(program.string()) + " " + KESTREL_SYSTEMC_LINK_FLAGS,
        work / "link.log");
    if (!linked) {
        ADD_FAILURE() << linked.message();
        return {};
    }
    return RunCommand("SC_COPYRIGHT_MESSAGE=DISABLE " + Quoted(program.string()), work / "run.log");
}

// Whether a run's output holds no protocol violation (`first` empty, exit 0), or its first
// violation line reads `first` from its cycle on ("cycle 8: RULE: RTL ...", exit 1).
inline ::testing::AssertionResult ProtocolOutcome(const CommandResult& run,
                                                  std::string_view first) {
    const std::string& out = run.output;
    const std::size_t line = out.find("protocol: ");
    if (first.empty()) {
        if (run.exitCode == 0 && out.find("protocol check: 0 violation(s)") != std::string::npos)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "expected no violation:\n" << out;
    }
    const std::size_t cycle = line == std::string::npos ? line : out.find(" cycle ", line);
    if (run.exitCode == 1 && cycle != std::string::npos &&
        out.compare(cycle + 1, first.size(), first) == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected: " << first << "\n" << out;
}

// The transactions of examples/MemReqAck's transcript (its README), as its testbench and
// its transactions.cpp print them.
constexpr const char* kMemReqAckTransactions[] = {
    "   30 ns      3  Write (0x10, 0xa5)   waits 1",
    "   60 ns      6  Write (0x11, 0x3c)   waits 1",
    "   90 ns      9  Write (0xff, 0x01)   waits 1",
    "  130 ns     13  Read (0x10)          data 0xa5, waits 2",
    "  170 ns     17  Read (0x11)          data 0x3c, waits 2",
    "  200 ns     20  Write (0x10, 0x5a)   waits 1",
    "  240 ns     24  Read (0x10)          data 0x5a, waits 2",
    "  280 ns     28  Read (0xff)          data 0x01, waits 2",
    "  320 ns     32  Read (0x42)          data 0x00, waits 2",
};

// A copy of examples/MemReqAck in `project` with its generated files pointed at the copy;
// its .tp path, quoted for the shell.
inline std::string PointedMemReqAck(const std::filesystem::path& project,
                                    const std::filesystem::path& logs) {
    CopyTree(std::filesystem::path(KESTREL_EXAMPLES_DIR) / "MemReqAck", project);
    const std::filesystem::path out = project / "Output";
    const std::string tp = Quoted((project / "MemReqAck.tp").string());
    CommandResult pointed = Cli("settings " + tp + " --cpp " + Quoted((out / "Tran.cpp").string()) +
                                    " --header " + Quoted((out / "Tran.h").string()) +
                                    " --interface-header " + Quoted((out / "TLM_AIC.h").string()),
                                logs / "settings.log");
    EXPECT_EQ(pointed.exitCode, 0) << pointed.output;
    return tp;
}

} // namespace kestrel::test
