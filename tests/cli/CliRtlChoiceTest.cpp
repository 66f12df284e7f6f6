// The project's Verilog on the command line: --rtl and --top kept with the project, used by
// the next run without them (said in one line), --no-rtl for rtl.h keeping them, a kept file
// that is gone named with the way to replace it, and show listing them.
#include "CliRunner.h"

namespace kestrel::test {
namespace {

namespace fs = std::filesystem;

TEST(CliRtlChoice, KeptReplacedAndMissingFiles) {
    TempDir dir;
    const fs::path project = dir.path() / "MemReqAck";
    const std::string tp = CopiedExample(project);
    const fs::path kept = project / "rtl.json", verilog = project / "rtl/memory.v";
    const std::string out = (dir.path() / "tb").string();
    ASSERT_EQ(Cli({"generate", tp}).code, 0);

    // Given: used and kept, relative to the project folder.
    CliRun run = Cli({"testbench", tp, "--out", out, "--rtl", verilog.string(), "--top", "memory"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_FALSE(Has(run.out, "rtl: using"));
    EXPECT_TRUE(
        Has(ReadBytes(kept), "\"files\": [\n    \"rtl/memory.v\"\n  ],\n  \"top\": \"memory\""));

    // Not given: the kept ones, said in a line; no rtl.h is written.
    fs::remove_all(out);
    run = Cli({"testbench", tp, "--out", out});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(Has(run.out, "rtl: using the project's Verilog: memory.v (top memory)\n"));
    EXPECT_FALSE(fs::exists(out + "/rtl.h"));
    EXPECT_TRUE(Has(Cli({"show", tp}).out,
                    "\nRTL for Simulate\n  Files:  rtl/memory.v\n  Top:    memory\n"));

    // --no-rtl: rtl.h, and the project keeps its Verilog; with --rtl it is a usage error.
    const std::string before = ReadBytes(kept);
    run = Cli({"testbench", tp, "--out", out, "--no-rtl"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(fs::exists(out + "/rtl.h"));
    EXPECT_EQ(ReadBytes(kept), before);
    EXPECT_EQ(Cli({"testbench", tp, "--no-rtl", "--rtl", verilog.string()}).code, 2);

    // A kept file that is gone: named, with the way to replace it; nothing written.
    fs::remove_all(out);
    fs::rename(verilog, project / "rtl/ram.v");
    run = Cli({"testbench", tp, "--out", out});
    EXPECT_EQ(run.code, 2);
    EXPECT_TRUE(Has(run.err, "the project's Verilog file \"" + verilog.string() +
                                 "\" no longer exists: give the Verilog files again with --rtl, "
                                 "or simulate rtl.h with --no-rtl"));
    EXPECT_FALSE(fs::exists(out));

    // Replaced: the new file with its own top; a file outside the project is kept in full.
    const fs::path outside = dir.path() / "ram.v";
    fs::rename(project / "rtl/ram.v", outside);
    run = Cli({"testbench", tp, "--out", out, "--rtl", outside.string()});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(Has(ReadBytes(kept), "\"" + outside.string() + "\"\n  ],\n  \"top\": \"\""));
    run = Cli({"testbench", tp, "--out", out});
    EXPECT_TRUE(Has(run.out, "rtl: using the project's Verilog: ram.v\n"));
}

} // namespace
} // namespace kestrel::test
