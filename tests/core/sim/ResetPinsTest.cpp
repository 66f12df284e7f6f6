// The RTL's resets: which undeclared pins are resets by their names, the levels reset.h
// asserts and releases them at (its whole text is a golden file), the line sim prints about
// them, and the inputs that never changed named when a run reaches its time limit.
#include "sim/Simulation.h"
#include "sim/Testbench.h"

#include <gtest/gtest.h>

#include <memory>

namespace kestrel {
namespace {

TEST(ResetNames, TellResetsAndTheirLevelFromOtherPins) {
    struct Case {
        const char* name;
        ResetLevel level;
    };
    const Case cases[] = {
        // Active low: a trailing n, _n or N, or _ni; a lone n before the word.
        {"PRESETn", ResetLevel::ActiveLow},
        {"HRESETn", ResetLevel::ActiveLow},
        {"S_AXI_ARESETN", ResetLevel::ActiveLow},
        {"rst_n", ResetLevel::ActiveLow},
        {"RST_N", ResetLevel::ActiveLow},
        {"rstn", ResetLevel::ActiveLow},
        {"resetn_i", ResetLevel::ActiveLow},
        {"rst_ni", ResetLevel::ActiveLow},
        {"arst_n", ResetLevel::ActiveLow},
        {"nRST", ResetLevel::ActiveLow},
        {"n_reset", ResetLevel::ActiveLow},
        // Active high, after nothing, a prefix ending in '_' or one letter.
        {"rst", ResetLevel::ActiveHigh},
        {"reset", ResetLevel::ActiveHigh},
        {"areset", ResetLevel::ActiveHigh},
        {"Reset", ResetLevel::ActiveHigh},
        {"i_rst", ResetLevel::ActiveHigh},
        {"wb_rst_i", ResetLevel::ActiveHigh},
        {"sys_reset", ResetLevel::ActiveHigh},
        {"srst", ResetLevel::ActiveHigh},
        // Words that end in rst or hold reset, and unclear levels.
        {"first", ResetLevel::None},
        {"burst", ResetLevel::None},
        {"burstn", ResetLevel::None},
        {"resetval", ResetLevel::None},
        {"reset_done", ResetLevel::None},
        {"rst_sync", ResetLevel::None},
        {"unreset", ResetLevel::None},
        {"nrstn", ResetLevel::None},
        {"n", ResetLevel::None},
        {"_i", ResetLevel::None},
        {"", ResetLevel::None},
    };
    for (const Case& c : cases) EXPECT_EQ(ResetLevelOfName(c.name), c.level) << c.name;
}

// A memory with a clock and a request declared; everything else is the RTL's own.
std::unique_ptr<ProjectTables> Tables() {
    auto tables = std::make_unique<ProjectTables>();
    auto add = [&](std::string_view name, std::string_view type, std::string_view direction,
                   bool clock) {
        RtlSignal& signal = tables->signals[++tables->signals.count];
        signal.signalName = name;
        signal.dataTypeText = type;
        signal.dataTypeIndex = type == "sc_logic" ? 0 : 2;
        signal.directionText = direction;
        signal.isClock = clock;
    };
    add("clk", "bool", "sc_in", true);
    add("req", "sc_logic", "sc_in", false);
    add("ack", "sc_logic", "sc_out", false);
    tables->options.clockPeriod = 10;
    tables->options.periodUnit = "SC_NS";
    return tables;
}

RtlModule Rtl(std::vector<RtlPort> extra) {
    RtlModule module;
    module.name = "mem";
    module.ports = {{"clk", PortDirection::In, 1, ""},
                    {"req", PortDirection::In, 1, ""},
                    {"ack", PortDirection::Out, 1, ""}};
    module.ports.insert(module.ports.end(), extra.begin(), extra.end());
    return module;
}

TEST(ResetPins, AreTheOneBitUndeclaredInputsNamedAsResetsAndResetHHoldsThemForSomeCycles) {
    auto tables = Tables();
    RtlModule rtl = Rtl({{"PRESETn", PortDirection::In, 1, ""},
                         {"rst", PortDirection::In, 1, ""},
                         {"reset_out", PortDirection::Out, 1, ""},
                         {"rst_n_out", PortDirection::Out, 1, ""},
                         {"rst_sel", PortDirection::In, 2, ""},
                         {"first", PortDirection::In, 1, ""}});
    TestbenchPlan plan;
    plan.projectName = "Mem";
    ASSERT_TRUE(PlanTestbench("Mem", *tables, &rtl, plan).empty());
    ASSERT_EQ(plan.resets.size(), 2u);
    EXPECT_EQ(plan.resets[0].name, "PRESETn");
    EXPECT_TRUE(plan.resets[0].activeLow);
    EXPECT_EQ(plan.resets[1].name, "rst");
    EXPECT_FALSE(plan.resets[1].activeLow);

    // Asserted at once, released after the cycles.
    const std::string reset = ResetText(plan);
    EXPECT_NE(reset.find("    pins.PRESETn.write(false);\n    pins.rst.write(true);\n    for"),
              std::string::npos)
        << reset;
    EXPECT_NE(reset.find("    pins.PRESETn.write(true);\n    pins.rst.write(false);\n}"),
              std::string::npos)
        << reset;

    TestbenchResult written;
    written.plan = plan;
    EXPECT_EQ(ResetsNotice(written), "resets: PRESETn (active low), rst (active high), held for 4 "
                                     "clock cycles by reset.h, then released");
    written.kept = {"transactions.cpp", "reset.h"};
    EXPECT_EQ(ResetsNotice(written),
              "resets: PRESETn (active low), rst (active high), driven as your reset.h says");
    written.plan.resets.clear();
    EXPECT_EQ(ResetsNotice(written), "");
}

TEST(SimulationSummary, ATimeLimitNamesTheInputsThatNeverChanged) {
    SimulationOutcome outcome;
    for (const char* line :
         {"kestrel-sim: 0 transaction(s) completed in 2 us (200 clock cycles)",
          "kestrel-sim: the time limit of 2 us was reached before RunTransactions returned",
          "kestrel-sim: inputs of the RTL that never changed: PRESETn, wdata"})
        ReadSimulationSummary(line, outcome);
    outcome.exitCode = 3;
    EXPECT_EQ(outcome.unchangedInputs, "PRESETn, wdata");
    EXPECT_EQ(SimulationEndText(outcome),
              "the simulation ended with status 3 (time limit reached; inputs of the RTL that "
              "never changed: PRESETn, wdata)");
}

} // namespace
} // namespace kestrel
