// The protocol check on the command line (testbench and sim share the options): the usage
// errors, the refusals before anything is written (no Verilog, a bus the RTL does not have),
// protocol.json checked without being asked, and --protocol winning over it for one run.
#include "CliRunner.h"

#include "bus/ProtocolChoice.h"

namespace kestrel::test {
namespace {

namespace fs = std::filesystem;

TEST(CliProtocolCheck, UsageRefusalsAndTheProjectsOwnProtocol) {
    TempDir dir;
    WriteBytes(dir.path() / "decl.json",
               R"({ "functions": [ { "name": "idle", "returnType": "void", "parameters": [] } ],
                    "signals": [ { "name": "PCLK", "clock": true } ] })");
    const std::string tp = NewCliProject(dir, "Bus");
    const std::string folder = (dir.path() / "Bus").string();
    ASSERT_EQ(Cli({"declare", tp, (dir.path() / "decl.json").string()}).code, 0);
    ASSERT_EQ(Cli({"options", tp, "--method", "template"}).code, 0);
    ASSERT_EQ(Cli({"generate", tp}).code, 0);
    const std::string apb = (fs::path(KESTREL_FIXTURE_DIR) / "rtl" / "apb_ram.v").string();
    const std::string out = (dir.path() / "tb").string();
    auto testbench = [&](std::vector<std::string> more) {
        std::vector<std::string> args = {"testbench", tp, "--out", out};
        args.insert(args.end(), more.begin(), more.end());
        return Cli(args);
    };

    struct Refused {
        std::vector<std::string> args;
        int code;
        const char* err;
    };
    const Refused refusals[] = {
        {{"--protocol", "ahb"}, 2, "--protocol ahb: give one of axi4-lite, apb, wishbone\n"},
        {{"--prefix", "S_"},
         2,
         "--prefix and --hang-cycles belong to a protocol check: give "
         "--protocol axi4-lite, apb, wishbone (the project keeps no "
         "protocol.json)\n"},
        {{"--protocol", "apb", "--hang-cycles", "0"}, 2, "--hang-cycles 0: give at least 1"},
        {{"--protocol", "apb", "--no-rtl"}, 2, "the protocol check watches the Verilog's bus"},
        {{"--protocol", "apb"},
         1,
         "the protocol check watches the bus ports of the RTL: give "
         "its Verilog"},
        {{"--protocol", "axi4-lite", "--rtl", apb}, 1, "protocol check (AXI4-Lite): "},
        {{"--protocol", "apb", "--prefix", "S_", "--rtl", apb}, 1, "protocol check (APB): "},
    };
    for (const Refused& r : refusals) {
        CliRun run = testbench(r.args);
        EXPECT_EQ(run.code, r.code) << r.err << "\n" << run.err;
        EXPECT_TRUE(Has(run.err, r.err));
        EXPECT_FALSE(fs::exists(out + "/sc_main.cpp"));
    }

    // Asked for: the monitor watches every bus port the RTL has and its reset.
    CliRun run = testbench({"--protocol", "apb", "--rtl", apb, "--hang-cycles", "9"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(Has(run.out, "  wrote kestrel_monitor.h\n"));
    EXPECT_TRUE(Has(run.out, "protocol check: APB, prefix (none), a request unanswered after 9 "
                             "clock cycles is a hang\n"));
    const std::string main = ReadBytes(out + "/sc_main.cpp");
    for (const char* line :
         {"#include \"kestrel_monitor.h\"\n", "monitor.Watch(\"PSEL\", pins.PSEL, 1);\n",
          "monitor.Watch(\"PADDR\", pins.PADDR, 12);\n",
          "monitor.Watch(\"PPROT\", pins.PPROT, 3);\n", "monitor.WatchReset(pins.PRESETn, true);\n",
          "monitor(\"monitor\", kestrel_tb::Bus::Apb, 9, PCLK.posedge_event()),\n",
          "if (!tb.monitor.Report())\n"})
        EXPECT_TRUE(Has(main, line));

    // The project's protocol.json: checked without being asked (the kept Verilog); a
    // protocol given wins for the run and leaves the file as it is.
    ASSERT_TRUE(SaveProtocolChoice(folder, {BusProtocol::Wishbone, std::nullopt}));
    const std::string kept = ReadBytes(ProtocolChoicePath(folder));
    run = testbench({});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(Has(run.err, "protocol check (Wishbone): "));
    run = testbench({"--protocol", "apb"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(Has(run.out, "protocol check: APB, prefix (none), a request unanswered after 256"));
    EXPECT_EQ(ReadBytes(ProtocolChoicePath(folder)), kept);
    // Its prefix is used, unless one is given.
    ASSERT_TRUE(SaveProtocolChoice(folder, {BusProtocol::Apb, std::string("S_")}));
    run = testbench({});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(Has(run.err, "protocol check (APB): "));
    run = testbench({"--prefix", "", "--hang-cycles", "40"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(Has(run.out, "protocol check: APB, prefix (none), a request unanswered after 40"));

    // --no-rtl runs without the project's check, saying so.
    run = testbench({"--no-rtl"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(Has(run.err, "kestrel-cli: warning: the project's protocol check (protocol.json) "
                             "watches the Verilog's bus: this run with --no-rtl is not checked\n"));
    EXPECT_FALSE(Has(run.out, "protocol check:"));

    // A damaged protocol.json is named.
    WriteBytes(ProtocolChoicePath(folder), "{\"protocol\": \"pci\"}");
    run = testbench({});
    EXPECT_EQ(run.code, 2);
    EXPECT_TRUE(Has(run.err, "protocol.json"));
}

} // namespace
} // namespace kestrel::test
