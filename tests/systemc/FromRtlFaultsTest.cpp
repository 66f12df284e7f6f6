// The faulty slaves of tests/fixtures/rtl against the transactor kestrel-cli from-rtl makes
// from their good originals: `sim --rtl FAULTY.v` on the made project, with the testbench's
// own transactions (a write, then a read, after the four reset edges), is caught by the
// rule that names the fault, blaming the RTL, on the cycle the fixtures' README gives as an
// offset from the request (the write's VALID, PSEL or STB is first seen on edge 5, the
// read's on edge 8, 9 or 11 by protocol). Both behaviour methods are used, one per project.
#include "SystemcBuild.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using test::Cli;
using test::Quoted;

struct Fault {
    const char* file;  // the faulty slave
    const char* first; // its first violation, from the cycle on
};

void CaughtOnTheirCycles(const char* good, const char* protocol, const char* method,
                         std::initializer_list<Fault> faults) {
    test::TempDir dir;
    const std::string tp = Quoted((dir.path() / "Bus" / "Bus.tp").string());
    test::CommandResult made =
        Cli(std::string("from-rtl Bus --location ") + Quoted(dir.path().string()) + " --rtl " +
                Quoted((test::FixtureDir() / "rtl" / good).string()) + " --protocol " + protocol +
                " --method " + method,
            dir.path() / "from-rtl.log");
    ASSERT_EQ(made.exitCode, 0) << made.output;
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.file);
        const test::CommandResult sim = Cli(
            "sim " + tp + " --rtl " + Quoted((test::FixtureDir() / "rtl" / fault.file).string()),
            dir.path() / "sim.log");
        EXPECT_TRUE(test::ProtocolOutcome(sim, fault.first));
    }
}

TEST(FromRtlFaults, AxiLiteSlavesAnsweringEarlyOrChangingAStalledPayload) {
    CaughtOnTheirCycles(
        "axil_ram_xilinx.v", "axi4-lite", "fsm",
        {{"axil_bvalid_before_w.v", "cycle 8: B only after AW and W: RTL raised BVALID on the "
                                    "edge of the W handshake"},
         {"axil_rvalid_early.v", "cycle 12: R only after AR: RTL raised RVALID on the edge of "
                                 "the AR handshake"},
         {"axil_rdata_unstable.v", "cycle 14: R payload stable until RREADY: RTL changed RDATA"}});
}

TEST(FromRtlFaults, ApbSlavesNeverReady) {
    CaughtOnTheirCycles(
        "apb_ram.v", "apb", "asml",
        {{"apb_pready_in_setup.v", "cycle 261: request answered in time: RTL left the request "
                                   "of cycle 5 unanswered for 256 cycles"},
         {"apb_read_never_ready.v", "cycle 264: request answered in time: RTL left the request "
                                    "of cycle 8 unanswered for 256 cycles"}});
}

TEST(FromRtlFaults, WishboneSlavesAnsweringOutOfTurn) {
    CaughtOnTheirCycles(
        "wb_ram.v", "wishbone", "fsm",
        {{"wb_ack_without_stb.v", "cycle 8: answer only during STB: RTL raised ACK with CYC 0, "
                                  "STB 0"},
         {"wb_ack_err_together.v", "cycle 7: one answer at a time: RTL raised ACK and ERR "
                                   "together"}});
}

} // namespace
} // namespace kestrel
