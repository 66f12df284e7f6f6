// The build command: BuildTransactor with the real process runner; the mapped diagnostics
// on stderr, one summary line on stdout.
#include "BuildCommand.h"

#include "CliApp.h"
#include "CliSupport.h"
#include "model/ProjectOptions.h"
#include "sim/TransactorBuild.h"

#include <ostream>

namespace kestrel::cli {

BuildCommands::BuildCommands(CLI::App& app) {
    CLI::App* build = app.add_subcommand(
        "build",
        "Compile the generated Tran.cpp with the system's SystemC (pkg-config systemc, "
        "-std=c++17, the compatibility header kestrel_systemc.h; syntax only, nothing is "
        "written) and print the compiler's diagnostics on stderr at the line the user wrote: "
        "FILE:LINE: error: MESSAGE, where FILE is Temp/clean.asml (AsmL method) or the ASF "
        "diagram (FSM method), with the generated line quoted beneath. Diagnostics in lines "
        "no user line made keep their generated place. Exit status 0 when it compiles, 1 on "
        "compile errors, 2 when the project is not generated or a tool is missing");
    AddProjectArgument(build, project_);
    AddMethodOption(build, method_,
                    "The method Tran.cpp was generated with (default: the route that wrote "
                    "Temp/clean.asml last, or the stored template method)");
    build->add_option("--compiler", compiler_, "The C++ compiler (default: g++)");
    build->add_option("--timeout", timeoutSeconds_, "Seconds the compiler may take (default: 300)")
        ->check(CLI::PositiveNumber);
    build->callback([this] { chosen_ = true; });
}

int BuildCommands::Run(std::ostream& out, std::ostream& err) const {
    TransactorBuildRequest request;
    request.projectFile = ArgPath(project_);
    if (method_ == "fsm") request.method = kMethodFsm;
    if (method_ == "asml") request.method = kMethodAsml;
    if (method_ == "template") request.method = kMethodTemplate;
    request.compiler = compiler_;
    request.timeout = std::chrono::seconds(timeoutSeconds_);

    LinuxProcessRunner runner;
    TransactorBuildResult result = BuildTransactor(request, runner);
    if (!result.status) return PrintFileError(err, result.status);

    if (result.map.staleLines > 0)
        err << "kestrel-cli: note: " << result.map.staleLines
            << " translated line(s) of the generated files differ from what the project's "
               "behaviour gives now; their diagnostics keep the generated place (run generate "
               "again)\n";
    err << FormatMappedDiagnostics(result.diagnostics);
    const int errors = result.Count(true);
    const int warnings = result.Count(false);
    if (!result.compiled && errors == 0) err << result.compilerOutput;
    if (result.outputCut) err << "kestrel-cli: note: the compiler's output was cut at 64 KiB\n";

    const std::string& cpp = result.map.files.front().path;
    if (result.compiled) {
        out << cpp << ": compiles";
        if (warnings > 0) out << ", " << warnings << " warning(s)";
        out << "\n";
        return kExitOk;
    }
    out << cpp << ": " << errors << " error(s), " << warnings << " warning(s)\n";
    return kExitRefused;
}

} // namespace kestrel::cli
