// The report of a failed build step, from outputs as the tools print them: a Verilator
// error that stops the configure ninja runs before a build (ninja itself says only
// "subcommand failed"), a link that fails (g++ says only "collect2: error"), a compile
// error in the user's file, and an output with nothing recognisable in it.
#include "sim/BuildFailure.h"
#include "sim/SourceMap.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

SimulationOutcome Failed(SimulationStep step, std::string output) {
    SimulationOutcome outcome;
    outcome.reached = step;
    outcome.buildOutput = std::move(output);
    outcome.diagnostics = MapCompilerOutput(outcome.buildOutput, SourceMap{});
    return outcome;
}

bool Has(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

TEST(BuildFailure, VerilatorsLinesComeOutOfTheConfigureNinjaRan) {
    const char* output =
        "[6/7] Re-running CMake...\n"
        "-- Executing Verilator...\n"
        "Verilator command: \"/usr/bin/verilator_bin --compiler gcc --prefix Vwrap --top wrap "
        "--sc -Wno-fatal /p/rtl/wrap.v\"\n"
        "Output:\n"
        "\x1b[1m%Error: /p/rtl/wrap.v:3:5: Cannot find file containing module: 'memory'\x1b[0m\n"
        "    3 |     memory inner(.clk(clk));\n"
        "      |     ^~~~~~\n"
        "        ... Looked in:\n"
        "             memory.v\n"
        "%Error: Exiting due to 1 error(s)\n"
        "\n"
        "CMake Error at /usr/share/verilator/verilator-config.cmake:239 (message):\n"
        "  Verilator command failed (return code=1)\n"
        "Call Stack (most recent call first):\n"
        "  CMakeLists.txt:30 (verilate)\n"
        "\n"
        "\n"
        "-- Configuring incomplete, errors occurred!\n"
        "FAILED: build.ninja \n"
        "/usr/bin/cmake --regenerate-during-build -S/p/tb -B/p/tb/build\n"
        "ninja: error: rebuilding 'build.ninja': subcommand failed\n";
    BuildFailureReport report = DescribeBuildFailure(Failed(SimulationStep::Build, output));
    EXPECT_EQ(report.what, "Verilator stopped on the Verilog");
    EXPECT_EQ(report.lines,
              "%Error: /p/rtl/wrap.v:3:5: Cannot find file containing module: 'memory'\n"
              "    3 |     memory inner(.clk(clk));\n"
              "      |     ^~~~~~\n"
              "        ... Looked in:\n"
              "             memory.v\n"
              "%Error: Exiting due to 1 error(s)\n"
              "CMake Error at /usr/share/verilator/verilator-config.cmake:239 (message):\n"
              "  Verilator command failed (return code=1)\n"
              "ninja: error: rebuilding 'build.ninja': subcommand failed\n");
}

TEST(BuildFailure, TheLinkersLinesAndTheCompilersLinesAreKept) {
    const char* link =
        "[5/6] Linking CXX executable sim\n"
        "FAILED: sim \n"
        ": && /usr/bin/c++ -O2 CMakeFiles/sim.dir/sc_main.cpp.o -o sim libkestrel_transactor.a "
        "-lsystemc && :\n"
        "/usr/bin/ld: CMakeFiles/sim.dir/sc_main.cpp.o: in function `Testbench::Run()':\n"
        "sc_main.cpp:(.text+0x1c): undefined reference to `RunTransactions(clsTLM_AIC&, "
        "RtlPins&)'\n"
        "collect2: error: ld returned 1 exit status\n"
        "ninja: build stopped: subcommand failed.\n";
    BuildFailureReport linked = DescribeBuildFailure(Failed(SimulationStep::Build, link));
    EXPECT_EQ(linked.what, "the link failed");
    EXPECT_TRUE(Has(linked.lines, "/usr/bin/ld: CMakeFiles/sim.dir/sc_main.cpp.o: in function"))
        << linked.lines;
    EXPECT_TRUE(Has(linked.lines, "undefined reference to `RunTransactions")) << linked.lines;
    EXPECT_TRUE(Has(linked.lines, "collect2: error: ld returned 1 exit status")) << linked.lines;
    EXPECT_FALSE(Has(linked.lines, "/usr/bin/c++")) << linked.lines;

    const char* compile =
        "[2/7] Building CXX object CMakeFiles/kestrel_transactor.dir/transactions.cpp.o\n"
        "FAILED: CMakeFiles/kestrel_transactor.dir/transactions.cpp.o \n"
        "/usr/bin/c++ -I/p/tb -o transactions.cpp.o -c /p/tb/transactions.cpp\n"
        "/p/tb/transactions.cpp: In function 'void RunTransactions(clsTLM_AIC&, RtlPins&)':\n"
        "/p/tb/transactions.cpp:19:40: error: expected ';' before 'nonsense'\n"
        "   19 |         tlm.Write(address, data, waits) nonsense;\n"
        "      |                                        ^~~~~~~~~\n"
        "ninja: build stopped: subcommand failed.\n";
    BuildFailureReport compiled = DescribeBuildFailure(Failed(SimulationStep::Build, compile));
    EXPECT_EQ(compiled.what, "the C++ compiler stopped");
    EXPECT_TRUE(Has(compiled.lines,
                    "/p/tb/transactions.cpp:19:40: error: expected ';' before 'nonsense'\n"
                    "   19 |         tlm.Write(address, data, waits) nonsense;\n"))
        << compiled.lines;
    EXPECT_FALSE(Has(compiled.lines, "/usr/bin/c++")) << compiled.lines;
}

TEST(BuildFailure, AnOutputWithNoKnownErrorLineIsShownWhole) {
    const char* output = "-- Checking for module 'systemc'\n--   No package 'systemc' found\n";
    BuildFailureReport report = DescribeBuildFailure(Failed(SimulationStep::Configure, output));
    EXPECT_EQ(report.what, "cmake could not configure the build");
    EXPECT_EQ(report.lines, output);
}

} // namespace
} // namespace kestrel
