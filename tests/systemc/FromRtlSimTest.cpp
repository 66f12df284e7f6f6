// A bus slave of each protocol, made into a project by kestrel-cli from-rtl alone, once with
// state diagrams and once with AsmL, then co-simulated through the TLM-2.0 socket with random
// transactions checked against a model of the slave's RAM (tests/fixtures/fromrtl/
// transactions_tlm2.cpp, told the slave's sizes by --define). Both methods agree with the
// model, and drive the very same bus waveform: the two VCD files match after their headers.
#include "SystemcBuild.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using test::Cli;
using test::Quoted;

struct Slave {
    const char* file;     // in tests/fixtures/rtl
    const char* protocol; // --protocol
    const char* defines;  // the RAM, the target, the error region, the beat, the strobe
};

// The waveform's value changes: the VCD after its definitions (its header holds the date).
std::string ValueChanges(const fs::path& vcd) {
    const std::string text = test::ReadBytes(vcd);
    const std::size_t end = text.find("$enddefinitions");
    return end == std::string::npos ? std::string() : text.substr(end);
}

// Makes the project by `method` in `dir` and simulates it; the waveform's value changes.
std::string Simulate(const test::TempDir& dir, const Slave& slave, const std::string& method) {
    const fs::path rtl = test::FixtureDir() / "rtl" / slave.file;
    const fs::path location = dir.path() / method;
    fs::create_directories(location);
    const std::string tp = Quoted((location / "Bus" / "Bus.tp").string());
    test::CommandResult made =
        Cli("from-rtl Bus --location " + Quoted(location.string()) + " --rtl " +
                Quoted(rtl.string()) + " --protocol " + slave.protocol + " --method " + method,
            dir.path() / (method + "-from-rtl.log"));
    EXPECT_EQ(made.exitCode, 0) << made.output;
    EXPECT_TRUE(test::Has(made.output, "kestrel-cli sim " + (location / "Bus" / "Bus.tp").string() +
                                           " --tlm2\n"));
    const fs::path testbench = location / "Bus" / "Output" / "testbench";
    fs::create_directories(testbench);
    fs::copy_file(test::FixtureDir() / "fromrtl" / "transactions_tlm2.cpp",
                  testbench / "transactions_tlm2.cpp");
    test::CommandResult sim =
        Cli("sim " + tp + " --tlm2 " + slave.defines, dir.path() / (method + "-sim.log"));
    EXPECT_EQ(sim.exitCode, 0) << sim.output;
    EXPECT_TRUE(test::Has(sim.output, " errors as expected), 0 mismatches\n")) << sim.output;
    return ValueChanges(testbench / "waves.vcd");
}

void BothMethodsAgree(const Slave& slave) {
    test::TempDir dir;
    const std::string diagrams = Simulate(dir, slave, "fsm");
    const std::string asml = Simulate(dir, slave, "asml");
    EXPECT_GT(diagrams.size(), 1000u);
    EXPECT_TRUE(test::SameBytes(diagrams, asml)) << "the two methods drive different waveforms";
}

TEST(FromRtlSim, AxiLiteRamByBothMethods) {
    BothMethodsAgree({"axil_ram_xilinx.v", "axi4-lite",
                      "--define BUS_RAM=64 --define BUS_TARGET=64 --define BUS_ERROR=64 "
                      "--define BUS_BEAT=4 --define BUS_STROBE=1"});
}

TEST(FromRtlSim, ApbRamWithWaitStatesAndSlaveErrorsByBothMethods) {
    BothMethodsAgree({"apb_ram.v", "apb",
                      "--define BUS_RAM=256 --define BUS_TARGET=4096 --define BUS_ERROR=256 "
                      "--define BUS_BEAT=4 --define BUS_STROBE=1"});
}

TEST(FromRtlSim, WishboneRamWithErrByBothMethods) {
    BothMethodsAgree({"wb_ram.v", "wishbone",
                      "--define BUS_RAM=256 --define BUS_TARGET=1024 --define BUS_ERROR=256 "
                      "--define BUS_BEAT=4 --define BUS_STROBE=1"});
}

} // namespace
} // namespace kestrel
