#pragma once
// What a failed step of a simulation's build said, for the user. A build runs several
// tools (CMake, Verilator inside CMake, ninja or make, the compiler, the linker), and the
// tool that stopped is seldom the last one to speak: ninja ends with "subcommand failed",
// g++ with "collect2: error". The report keeps the lines of the tool that failed.
#include "sim/Simulation.h"

#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// The error lines of the build tools other than the compiler in a step's output, in order:
// CMake's errors with their indented lines ("CMake Error at CMakeLists.txt:38 (verilate):"),
// Verilator's ("%Error: rtl/top.v:3:5: Cannot find file containing module: 'mem'" with its
// quote and "Looked in" lines), the linker's ("/usr/bin/ld: ...: undefined reference to
// ...") and ninja's or make's own errors ("ninja: error: ...", "make: *** No rule ...").
// Build steps and compiler command lines are left out. Colour escapes are removed.
std::vector<std::string> ToolErrorLines(std::string_view output);

struct BuildFailureReport {
    std::string what;  // "Verilator stopped on the Verilog", "the C++ compiler stopped", ...
    std::string lines; // the failed step's own error lines, each ended by LF
};

// The report of a configure or build step that failed (outcome.reached Configure or Build,
// with its output): the tools' error lines, then the compiler's diagnostics at the places
// the user wrote; the whole output when neither is found in it.
BuildFailureReport DescribeBuildFailure(const SimulationOutcome& outcome);

} // namespace kestrel
