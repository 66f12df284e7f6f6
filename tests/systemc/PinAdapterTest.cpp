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
    const fs::path source = fs::path(KESTREL_SYSTEMC_PROGRAMS_DIR) / "pin_adapters.cpp";
    const fs::path object = dir.path() / "pin_adapters.o";
    const fs::path program = dir.path() / "pin_adapters";
    ASSERT_TRUE(test::Succeeds(
        "compile", test::CompileCommand("-std=c++17", source, object, "-I" + share.string()),
        dir.path() / "compile.log"));
    ASSERT_TRUE(
        test::Succeeds("link", test::LinkCommand({object}, program), dir.path() / "link.log"));
    test::CommandResult run =
        test::RunCommand(test::RunProgramCommand(program), dir.path() / "run.log");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("ok\n"), std::string::npos) << run.output;
    EXPECT_EQ(Occurrences(run.output, "X or Z driven towards the RTL"), 3u) << run.output;
    for (const char* port : {"port l1:", "port l8:", "port l70:"})
        EXPECT_NE(run.output.find(port), std::string::npos) << port << "\n" << run.output;
}

} // namespace
} // namespace kestrel
