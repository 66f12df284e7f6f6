#pragma once
// Compiling a project's generated Tran.cpp against the system's SystemC, as a check that
// writes nothing: the compiler runs with -fsyntax-only, the SystemC flags of pkg-config
// and the compatibility header forced in, and its diagnostics come back at the places the
// user wrote (see SourceMap.h).
#include "platform/Process.h"
#include "platform/Status.h"
#include "sim/SourceMap.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace kestrel {

struct TransactorBuildRequest {
    std::string projectFile;      // the .tp (stored text)
    std::optional<int> method;    // the translation to map; see MakeSourceMap
    std::string compiler = "g++"; // a name looked up in PATH, or a path
    std::string compatHeader;     // empty: FindCompatHeader()
    std::chrono::milliseconds timeout{std::chrono::minutes(5)}; // for the compiler
};

struct TransactorBuildResult {
    // Fails when nothing could be compiled: the project cannot be read or is not generated
    // yet, the compiler, pkg-config, SystemC or the compatibility header is missing, or the
    // compiler could not be started or did not finish in time. The text names what.
    Status status;
    std::vector<std::string> command; // the compiler's command line, program first
    SourceMap map;
    bool compiled = false; // the compiler accepted Tran.cpp
    std::vector<MappedDiagnostic> diagnostics;
    std::string compilerOutput; // what it printed, standard error then output
    bool outputCut = false;     // it printed more than was kept

    int Count(bool errors) const;
};

// Maps the project, finds the tools and runs the compiler through `runner`.
TransactorBuildResult BuildTransactor(const TransactorBuildRequest& request, ProcessRunner& runner);

// The compiler's arguments (after the program) for Tran.cpp at `cppPath`, with the
// generated headers at `headerPaths` (native paths): each header folder other than
// Tran.cpp's is searched too.
std::vector<std::string> TransactorCompileArguments(const std::string& cppPath,
                                                    const std::vector<std::string>& headerPaths,
                                                    const std::string& compatHeader,
                                                    const std::vector<std::string>& systemcFlags);

} // namespace kestrel
