// The RTL's resets: which undeclared pins are resets by their names, the reset.h that holds
// them asserted and releases them before the transactions, the line sim prints about them,
// and the inputs that never changed named when a run reaches its time limit.
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

    // Asserted at once, released after the cycles, in that order.
    const std::string reset = ResetText(plan);
    const std::size_t asserted = reset.find("    pins.PRESETn.write(false);\n"
                                            "    pins.rst.write(true);\n");
    const std::size_t waited = reset.find("cycle < 4; ++cycle)\n        sc_core::wait(clockEdge);");
    const std::size_t released = reset.find("    pins.PRESETn.write(true);\n"
                                            "    pins.rst.write(false);\n}");
    EXPECT_NE(asserted, std::string::npos) << reset;
    EXPECT_LT(asserted, waited) << reset;
    EXPECT_LT(waited, released) << reset;
    EXPECT_EQ(reset.find("pins.first"), std::string::npos) << reset;
    EXPECT_NE(reset.find("//   PRESETn: active low, 0 then 1\n"), std::string::npos) << reset;

    // sc_main resets the RTL before the transactions begin on the next active edge.
    const std::string main = SimMainText(plan);
    EXPECT_NE(main.find("#include \"reset.h\"\n"), std::string::npos);
    EXPECT_NE(main.find("        ResetRtl(pins, clk.posedge_event());\n"
                        "        wait(clk.posedge_event());\n"
                        "        RunTransactions(tlm, pins);\n"),
              std::string::npos)
        << main;

    TestbenchResult written;
    written.plan = plan;
    EXPECT_EQ(ResetsNotice(written), "resets: PRESETn (active low), rst (active high), held for 4 "
                                     "clock cycles by reset.h, then released");
    written.kept = {"transactions.cpp", "reset.h"};
    EXPECT_EQ(ResetsNotice(written),
              "resets: PRESETn (active low), rst (active high), driven as your reset.h says");
}

TEST(ResetPins, WithoutResetsResetHDoesNothingAndNothingIsPrinted) {
    auto tables = Tables();
    TestbenchPlan plan;
    ASSERT_TRUE(PlanTestbench("Mem", *tables, nullptr, plan).empty());
    const std::string reset = ResetText(plan);
    EXPECT_NE(reset.find("inline void ResetRtl(RtlPins& pins, const sc_core::sc_event& "
                         "clockEdge) {\n    (void)pins;\n    (void)clockEdge;\n}"),
              std::string::npos)
        << reset;
    EXPECT_NE(reset.find("so it does nothing"), std::string::npos) << reset;
    TestbenchResult result;
    result.plan = plan;
    EXPECT_EQ(ResetsNotice(result), "");
}

TEST(RtlPins, AcceptWritesFromManyProcessesAndTheRtlsInputsAreWatched) {
    auto tables = Tables();
    RtlModule rtl = Rtl({{"tied", PortDirection::In, 12, ""}, {"irq", PortDirection::Out, 1, ""}});
    TestbenchPlan plan;
    ASSERT_TRUE(PlanTestbench("Mem", *tables, &rtl, plan).empty());
    const std::string pins = RtlPinsText(plan);
    EXPECT_NE(pins.find("sc_core::sc_signal<uint32_t, sc_core::SC_MANY_WRITERS> tied{\"tied\"};"),
              std::string::npos)
        << pins;
    EXPECT_NE(pins.find("sc_core::sc_signal<bool, sc_core::SC_MANY_WRITERS> irq{\"irq\"};"),
              std::string::npos)
        << pins;
    // The RTL's inputs on its own side of the adapters: the declared req, the undeclared
    // tied; not the clock, not the outputs.
    const std::string main = SimMainText(plan);
    EXPECT_NE(main.find("kestrel_tb::ChangeWatch<bool> req_watch;"), std::string::npos) << main;
    EXPECT_NE(main.find("req_watch.in(req_pin);"), std::string::npos) << main;
    EXPECT_NE(main.find("kestrel_tb::ChangeWatch<uint32_t> tied_watch;"), std::string::npos);
    EXPECT_NE(main.find("tied_watch.in(pins.tied);"), std::string::npos) << main;
    for (const char* output : {"clk_watch", "ack_watch", "irq_watch"})
        EXPECT_EQ(main.find(output), std::string::npos) << output;
    // Without Verilog, the ports of rtl.h as the transactor drives them.
    TestbenchPlan stub;
    ASSERT_TRUE(PlanTestbench("Mem", *tables, nullptr, stub).empty());
    EXPECT_NE(SimMainText(stub).find("req_watch.in(req);"), std::string::npos);
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
