// The protocol monitor (share/kestrel/kestrel_monitor.h) on scripted buses
// (tests/fixtures/monitor/monitor_script.cpp, hang limit 16): legal sequences the rules must
// let pass, and each fault of a master, and of a slave, caught by its rule on its cycle,
// naming the side at fault. Reset covers edges 0 and 1; a script's first edge is edge 2.
#include "SystemcBuild.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

struct ScriptCase {
    const char* bus;
    const char* script;
    const char* first; // the first violation's line after "protocol: T ns "; empty: none
};

// A write (AW and W together, READY before VALID, B on the edge after) and a read.
constexpr const char* kAxiLegal =
    "AWREADY=1,WREADY=1|AWADDR=4,AWVALID=1,WDATA=12345678,WSTRB=F,WVALID=1"
    "|AWVALID=0,WVALID=0,BVALID=1|BREADY=1|BVALID=0,BREADY=0,ARADDR=4,ARVALID=1"
    "|ARREADY=1|ARVALID=0,ARREADY=0,RVALID=1,RDATA=12345678|RDATA=12345678|RREADY=1"
    "|RVALID=0,RREADY=0";

const ScriptCase kCases[] = {
    {"axi4-lite", kAxiLegal, ""},
    // PREADY high in the setup cycles, as a slave tying it high does; back-to-back transfers.
    {"apb",
     "PREADY=1,PSEL=1,PADDR=4,PWRITE=1,PWDATA=5|PENABLE=1|PENABLE=0,PWRITE=0,PADDR=8"
     "|PENABLE=1|PSEL=0,PENABLE=0",
     ""},
    // STALL, then ACK; ERR on a request of its own.
    {"wishbone",
     "CYC=1,STB=1,ADR=4,WE=1,DAT_I=5,STALL=1|STALL=0|ACK=1|CYC=0,STB=0,ACK=0"
     "|CYC=1,STB=1,ADR=8,WE=0|ERR=1|CYC=0,STB=0,ERR=0",
     ""},
    // Master faults.
    {"axi4-lite", "AWVALID=1,AWADDR=4|AWVALID=0",
     "cycle 3: AW VALID held until AWREADY: transactor dropped AWVALID before AWREADY "
     "(AWREADY 0)"},
    {"axi4-lite", "WVALID=1,WDATA=1|WDATA=2",
     "cycle 3: W payload stable until WREADY: transactor changed WDATA from 0x00000001 to "
     "0x00000002 while WVALID waited (WREADY 0)"},
    {"axi4-lite", "|ARVALID=X",
     "cycle 3: no X or Z from the transactor: transactor drove ARVALID X"},
    {"axi4-lite", "ARVALID=1,ARADDR=Z",
     "cycle 2: no X or Z from the transactor: transactor drove ARADDR 0xXXXXXXXX"},
    {"apb", "PSEL=1,PENABLE=1", "cycle 2: PENABLE only after setup: transactor raised PENABLE"},
    {"apb", "PSEL=1,PADDR=4|PENABLE=1,PADDR=8",
     "cycle 3: APB transfer stable until PREADY: transactor changed PADDR from 0x00000004 to "
     "0x00000008"},
    {"apb", "PREADY=1,PSEL=1|PENABLE=1|", "cycle 4: PENABLE low after transfer: transactor"},
    {"apb", "PSEL=X", "cycle 2: no X or Z from the transactor: transactor drove PSEL X"},
    {"wishbone", "STB=1", "cycle 2: STB only with CYC: transactor raised STB with CYC 0"},
    {"wishbone", "CYC=1,STB=1,WE=1,DAT_I=1|DAT_I=2",
     "cycle 3: master stable while STB waits: transactor changed DAT_I from 0x00000001 to "
     "0x00000002"},
    // Slave faults.
    {"axi4-lite", "AWVALID=1,WVALID=1,AWREADY=1,WREADY=1,BVALID=1",
     "cycle 2: B only after AW and W: RTL raised BVALID on the edge of the AW and W handshake"},
    {"axi4-lite", "RVALID=1",
     "cycle 2: R only after AR: RTL raised RVALID with no read waiting for its data"},
    {"axi4-lite", "ARVALID=1,ARREADY=1|ARVALID=0,ARREADY=0,RVALID=1|RVALID=0",
     "cycle 4: R VALID held until RREADY: RTL dropped RVALID before RREADY (RREADY 0)"},
    {"axi4-lite", "ARVALID=1,ARREADY=1|ARVALID=0,ARREADY=0,RVALID=1,RDATA=1|RDATA=2",
     "cycle 4: R payload stable until RREADY: RTL changed RDATA from 0x00000001 to 0x00000002 "
     "while RVALID waited (RREADY 0)"},
    {"axi4-lite", "ARVALID=1,ARREADY=1|ARVALID=0,ARREADY=0",
     "cycle 18: request answered in time: RTL left the request of cycle 2 unanswered for 16 "
     "cycles (no RVALID)"},
    {"axi4-lite", "AWVALID=1,WVALID=1,AWREADY=1,WREADY=1|AWVALID=0,WVALID=0,BVALID=1",
     "cycle 18: request answered in time: transactor left the request of cycle 2 unanswered "
     "for 16 cycles (BVALID waiting for BREADY)"},
    {"apb", "PSEL=1|PENABLE=1",
     "cycle 18: request answered in time: RTL left the request of "
     "cycle 2 unanswered for 16 cycles (PREADY low)"},
    {"wishbone", "ACK=1", "cycle 2: answer only during STB: RTL raised ACK with CYC 0, STB 0"},
    {"wishbone", "CYC=1,STB=1,ACK=1,ERR=1",
     "cycle 2: one answer at a time: RTL raised ACK and ERR together"},
    {"wishbone", "CYC=1,STB=1,STALL=1",
     "cycle 18: request answered in time: RTL left the request of cycle 2 unanswered for 16 "
     "cycles (STALL high and no ACK, ERR or RTY)"},
};

TEST(ProtocolMonitor, PassesLegalBusesAndNamesEachFaultsRuleCycleAndSide) {
    test::TempDir dir;
    const fs::path share = fs::path(KESTREL_SYSTEMC_COMPAT_HEADER).parent_path();
    test::CommandResult built =
        test::BuildAndRun({{fs::path(KESTREL_FIXTURE_DIR) / "monitor" / "monitor_script.cpp",
                            "-I" + test::Quoted(share.string())}},
                          dir.path());
    ASSERT_EQ(built.exitCode, 0) << built.output;
    int index = 0;
    for (const ScriptCase& c : kCases) {
        SCOPED_TRACE(std::string(c.bus) + " " + c.script);
        test::CommandResult run = test::RunCommand(
            "SC_COPYRIGHT_MESSAGE=DISABLE " + test::Quoted((dir.path() / "program").string()) +
                " " + c.bus + " " + test::Quoted(c.script),
            dir.path() / ("case" + std::to_string(index++) + ".log"));
        EXPECT_TRUE(test::ProtocolOutcome(run, c.first));
    }
}

} // namespace
} // namespace kestrel
