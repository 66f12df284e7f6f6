// kestrel-cli from-rtl on the good bus slaves of tests/fixtures/rtl (prefixes in either letter
// case or none, with and without the optional signals): the project it makes, as show lists
// it, the AsmL of its two functions and the protocol it keeps, against golden files; then its
// refusals, each naming what is wrong and making nothing, and its usage errors.
#include "CliRunner.h"

#include <fstream>

namespace kestrel::test {
namespace {

namespace fs = std::filesystem;

const fs::path kRtl = fs::path(KESTREL_FIXTURE_DIR) / "rtl";

// The write and read namespaces of an AsmL document, without CR.
std::string FunctionNamespaces(const fs::path& document) {
    std::string text = ReadBytes(document);
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    const std::size_t begin = text.find("      namespace nswrite");
    const std::size_t end = text.find("    <para>\n    Call TLM Functions");
    return begin == std::string::npos || end == std::string::npos ? "(no function namespaces)\n"
                                                                  : text.substr(begin, end - begin);
}

TEST(CliFromRtl, MakesTheProjectOfEachGoodSlave) {
    const std::pair<const char*, const char*> slaves[] = {{"axil_ram_xilinx", "axi4-lite"},
                                                          {"axil_ram_min", "axi4-lite"},
                                                          {"apb_ram", "apb"},
                                                          {"apb3_ram_min", "apb"},
                                                          {"wb_ram", "wishbone"},
                                                          {"wb_ram_ifmt", "wishbone"}};
    for (const auto& [slave, protocol] : slaves) {
        SCOPED_TRACE(slave);
        TempDir dir;
        const std::string rtl = (kRtl / (std::string(slave) + ".v")).string();
        CliRun run = Cli({"from-rtl", "Bus", "--location", dir.str(), "--rtl", rtl, "--protocol",
                          protocol, "--method", "asml", "--period", "20", "ns"});
        ASSERT_EQ(run.code, 0) << run.err << run.out;
        EXPECT_EQ(run.err, "");
        const fs::path project = dir.path() / "Bus";
        const std::string tp = (project / "Bus.tp").string();
        EXPECT_TRUE(Has(run.out, "  kestrel-cli sim " + tp + " --tlm2\n"));
        EXPECT_EQ(Cli({"check", tp}).out, tp + ": 0 error(s), 0 warning(s)\n");
        const std::string made =
            Masked(Masked(run.out, dir.str(), "<dir>"), kRtl.string(), "<rtl>") + "\n" +
            Masked(MaskedShow(tp, dir), kRtl.string(), "<rtl>") + "\n" +
            ReadBytes(project / "protocol.json") + "\n" +
            FunctionNamespaces(project / "Input" / "Bus.asml");
        EXPECT_TRUE(MatchesGolden(GoldenDir() / "fromrtl" / (std::string(slave) + ".txt"), made));
    }
}

// A file of the test's own.
std::string Verilog(const TempDir& dir, const std::string& name, const std::string& text) {
    const fs::path file = dir.path() / name;
    std::ofstream(file) << text;
    return file.string();
}

// An APB slave whose ports follow each prefix, PADDR `addressWidth` bits wide.
std::string ApbSlave(const std::vector<std::string>& prefixes, int addressWidth = 8) {
    std::string ports = "input pclk, input presetn";
    for (const std::string& p : prefixes)
        ports += ", input " + p + "psel, input " + p + "penable, input " + p + "pwrite, input [" +
                 std::to_string(addressWidth - 1) + ":0] " + p + "paddr, input [31:0] " + p +
                 "pwdata, output [31:0] " + p + "prdata";
    std::string body;
    for (const std::string& p : prefixes) body += "  assign " + p + "prdata = 32'd0;\n";
    return "/* verilator lint_off UNUSED */\nmodule slave(" + ports + ");\n" + body + "endmodule\n";
}

TEST(CliFromRtl, RefusesNamingThePortsAndMakesNothing) {
    TempDir dir;
    const std::string noBvalid =
        Verilog(dir, "no_bvalid.v",
                "/* verilator lint_off UNUSED */\n"
                "module slave(input aclk, input aresetn, input [7:0] s_awaddr, input s_awvalid,\n"
                "  output s_awready, input [31:0] s_wdata, input s_wvalid, output s_wready,\n"
                "  input s_bready, input [7:0] s_araddr, input s_arvalid, output s_arready,\n"
                "  output [31:0] s_rdata, output s_rvalid, input s_rready);\n"
                "  assign {s_awready, s_wready, s_arready, s_rvalid} = 4'b0; assign s_rdata = 0;\n"
                "endmodule\n");
    const std::string twoSets = Verilog(dir, "two.v", ApbSlave({"a_", "b_"}));
    const std::string wide = Verilog(dir, "wide.v", ApbSlave({""}, 40));
    const std::string location = (dir.path() / "projects").string();
    fs::create_directories(location);
    auto fromRtl = [&](const std::string& rtl, const std::string& protocol,
                       std::vector<std::string> more = {}) {
        std::vector<std::string> args = {"from-rtl", "P",   "--location", location,
                                         "--rtl",    rtl,   "--protocol", protocol,
                                         "--method", "asml"};
        args.insert(args.end(), more.begin(), more.end());
        return Cli(args);
    };

    CliRun run = fromRtl(noBvalid, "axi4-lite");
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(Has(run.err, "kestrel-cli: no port for AXI4-Lite BVALID: looked for s_bvalid "
                             "(letter case ignored)\n"));
    run = fromRtl(twoSets, "apb");
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(Has(run.err, "several sets of APB slave ports, with the prefixes \"a_\", "
                             "\"b_\": choose one with --prefix"));
    run = fromRtl(wide, "apb");
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(Has(run.err, "port paddr is 40 bits wide: APB PADDR may have at most 32 bits"));
    run = Cli(
        {"from-rtl", "P", "--location", location + "/none", "--rtl", twoSets, "--protocol", "apb"});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(Has(run.err, "the location " + location + "/none/ is not a folder\n"));
    run = fromRtl(twoSets, "wishbone");
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(Has(run.err, "no Wishbone slave ports found"));
    EXPECT_TRUE(fs::is_empty(location)) << "a refused from-rtl made something";

    // The prefix chooses; then the folder exists and is refused as New Project refuses it.
    run = fromRtl(twoSets, "apb", {"--prefix", "b_"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(Has(run.out, "  PSEL     -> b_psel (input, 1 bit)\n"));
    EXPECT_TRUE(Has(ReadBytes(fs::path(location) / "P" / "protocol.json"), "\"b_\""));
    const std::string before = ReadBytes(fs::path(location) / "P" / "P.tp");
    run = fromRtl(twoSets, "apb", {"--prefix", "a_"});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(Has(run.err, "Project " + location +
                                 "/P already exists! Please change Project "
                                 "Name or Location\n"));
    EXPECT_EQ(ReadBytes(fs::path(location) / "P" / "P.tp"), before);

    // Usage errors.
    for (const std::vector<std::string>& more : {std::vector<std::string>{"--period", "0", "ns"},
                                                 {"--period", "ten", "ns"},
                                                 {"--period", "10", "hours"},
                                                 {"--method", "template"}})
        EXPECT_EQ(fromRtl(twoSets, "apb", more).code, 2) << more[0] << " " << more[1];
    run = fromRtl(twoSets, "pci");
    EXPECT_EQ(run.code, 2);
    EXPECT_TRUE(Has(run.err, "\"pci\" is none of axi4-lite, apb, wishbone"));
    run = fromRtl((dir.path() / "gone.v").string(), "apb");
    EXPECT_EQ(run.code, 2);
    EXPECT_TRUE(Has(run.err, "--rtl: " + dir.str() + "/gone.v is not a file"));
}

} // namespace
} // namespace kestrel::test
