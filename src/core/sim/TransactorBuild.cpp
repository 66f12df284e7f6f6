// The build check of a generated transactor: the source map first (it also tells whether
// the project has been generated), then the tools, each missing one named, then one
// compiler run, bounded in time, whose output is mapped.
#include "sim/TransactorBuild.h"

#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "sim/Testbench.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace kestrel {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kKeptOutput = 64 * 1024; // what the process seam keeps of a stream

std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    std::size_t at = 0;
    while ((at = text.find_first_not_of(" \t\r\n", at)) != std::string_view::npos) {
        std::size_t end = text.find_first_of(" \t\r\n", at);
        words.emplace_back(text.substr(at, end == std::string_view::npos ? end : end - at));
        if (end == std::string_view::npos) break;
        at = end;
    }
    return words;
}

std::string FirstLine(std::string_view text) {
    return Trim(text.substr(0, text.find('\n')));
}

// The compiler flags of the installed SystemC.
Status SystemcFlags(ProcessRunner& runner, std::vector<std::string>& flags) {
    const std::string pkgConfig = FindProgram("pkg-config");
    if (pkgConfig.empty())
        return Status::Error("pkg-config is not installed (it finds SystemC's compiler flags)");
    ProcessOutcome outcome =
        runner.Run(pkgConfig, {"--cflags", "systemc"}, std::chrono::seconds(30));
    if (!outcome.started || outcome.timedOut)
        return Status::Error("pkg-config could not be run: " + FirstLine(outcome.errorOutput));
    if (outcome.exitCode != 0)
        return Status::Error("SystemC is not installed: pkg-config knows no package systemc (" +
                             FirstLine(outcome.errorOutput) + ")");
    flags = Words(outcome.output);
    return Status::Ok();
}

std::string Seconds(std::chrono::milliseconds wait) {
    return std::to_string((wait.count() + 999) / 1000) + " s";
}

} // namespace

int TransactorBuildResult::Count(bool errors) const {
    int count = 0;
    for (const MappedDiagnostic& d : diagnostics) {
        if (errors ? d.compiler.IsError() : d.compiler.severity == "warning") ++count;
    }
    return count;
}

std::vector<std::string> TransactorCompileArguments(const std::string& cppPath,
                                                    const std::vector<std::string>& headerPaths,
                                                    const std::string& compatHeader,
                                                    const std::vector<std::string>& systemcFlags) {
    std::vector<std::string> arguments = {"-std=c++17", "-fsyntax-only", "-include", compatHeader};
    arguments.insert(arguments.end(), systemcFlags.begin(), systemcFlags.end());
    const fs::path own = fs::path(cppPath).parent_path();
    std::vector<fs::path> searched;
    for (const std::string& header : headerPaths) {
        const fs::path folder = fs::path(header).parent_path();
        if (folder.empty() || folder == own) continue;
        if (std::find(searched.begin(), searched.end(), folder) != searched.end()) continue;
        searched.push_back(folder);
        arguments.push_back("-I" + folder.string());
    }
    arguments.push_back(cppPath);
    return arguments;
}

TransactorBuildResult BuildTransactor(const TransactorBuildRequest& request,
                                      ProcessRunner& runner) {
    TransactorBuildResult result;
    if (result.status = LoadSourceMap(request.projectFile, result.map, request.method);
        !result.status)
        return result;

    const std::string compat = request.compatHeader.empty()
                                   ? NativePath(FindCompatHeader()).string()
                                   : request.compatHeader;
    std::error_code error;
    if (compat.empty() || !fs::is_regular_file(compat, error)) {
        result.status = Status::Error(
            "the SystemC compatibility header kestrel_systemc.h is missing: " +
            (compat.empty() ? RunningProgramFolder() + "/../share/kestrel holds none" : compat));
        return result;
    }
    const std::string compiler = FindProgram(request.compiler);
    if (compiler.empty()) {
        result.status = Status::Error("the C++ compiler " + request.compiler +
                                      " is not installed (not found in PATH)");
        return result;
    }
    std::vector<std::string> systemc;
    if (result.status = SystemcFlags(runner, systemc); !result.status) return result;

    std::vector<std::string> arguments = TransactorCompileArguments(
        result.map.files.front().path, result.map.headers, compat, systemc);
    result.command = arguments;
    result.command.insert(result.command.begin(), compiler);

    ProcessOutcome outcome = runner.Run(compiler, arguments, request.timeout);
    if (!outcome.started) {
        result.status = Status::Error("the C++ compiler could not be started: " +
                                      FirstLine(outcome.errorOutput));
        return result;
    }
    if (outcome.timedOut) {
        result.status = Status::Error("the C++ compiler did not finish within " +
                                      Seconds(request.timeout) + " and was stopped");
        return result;
    }
    result.compilerOutput = outcome.errorOutput + outcome.output;
    result.outputCut = outcome.errorOutput.size() >= kKeptOutput;
    result.compiled = outcome.exitCode == 0;
    result.diagnostics = MapCompilerOutput(result.compilerOutput, result.map);
    return result;
}

} // namespace kestrel
