// The report of a failed build step, from outputs as the tools print them
// (tests/fixtures/sim/build-failure/): a Verilator error that stops the configure ninja runs
// before a build (ninja itself says only "subcommand failed"), a link that fails (g++ says
// only "collect2: error"), a compile error in the user's file, and an output with nothing
// recognisable in it, shown whole. What each report says is a golden file.
#include "sim/BuildFailure.h"
#include "sim/SourceMap.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(BuildFailure, EachToolsErrorLinesAreKeptAndNamed) {
    const std::pair<const char*, SimulationStep> outputs[] = {
        {"verilator", SimulationStep::Build},
        {"link", SimulationStep::Build},
        {"compile", SimulationStep::Build},
        {"configure", SimulationStep::Configure}};
    std::string dump;
    for (const auto& [name, step] : outputs) {
        SimulationOutcome outcome;
        outcome.reached = step;
        outcome.buildOutput = test::ReadBytes(test::FixtureDir() / "sim" / "build-failure" /
                                              (name + std::string(".txt")));
        outcome.diagnostics = MapCompilerOutput(outcome.buildOutput, SourceMap{});
        const BuildFailureReport report = DescribeBuildFailure(outcome);
        dump += "== " + std::string(name) + ": " + report.what + "\n" + report.lines;
    }
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "sim" / "build-failure.txt", dump));
}

} // namespace
} // namespace kestrel
