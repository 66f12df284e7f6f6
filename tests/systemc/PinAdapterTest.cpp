// The testbench's pin adapters (share/kestrel/kestrel_pins.h, included first, so it builds
// on its own), compiled and run against SystemC: every width class both ways, X and Z towards the
// RTL read as 0, counted per port and reported once per port.
#include "SystemcBuild.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

std::size_t Occurrences(const std::string& text, const std::string& pattern) {
    std::size_t count = 0;
    for (std::size_t at = text.find(pattern); at != std::string::npos;
         at = text.find(pattern, at + 1))
        ++count;
    return count;
}

TEST(PinAdapters, CarryEveryWidthBothWaysAndReportUnknownBitsOncePerPort) {
    test::TempDir dir;
    const fs::path share = fs::path(KESTREL_SYSTEMC_COMPAT_HEADER).parent_path();
    test::CommandResult run = test::BuildAndRun(
        {{fs::path(KESTREL_SYSTEMC_FIXTURES_DIR) / "pin_adapters.cpp", "-I" + share.string()}},
        dir.path());
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(test::Has(run.output, "ok\n"));
    EXPECT_EQ(Occurrences(run.output, "X or Z driven towards the RTL"), 3u) << run.output;
    for (const char* port : {"port l1:", "port l8:", "port l70:"})
        EXPECT_TRUE(test::Has(run.output, port)) << port << "\n" << run.output;
}

} // namespace
} // namespace kestrel
