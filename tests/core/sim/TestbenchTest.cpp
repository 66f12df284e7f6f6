// The testbench plan and folder (its texts are golden files: TestbenchGoldenTest.cpp):
// ports matched to the RTL by name with their widths and directions (each mismatch refused
// with both declarations), the user's files kept across runs, what CMake cannot build
// from, build file quoting, and Verilator's netlist read for names, directions, widths and
// places; the RTL's resets by their names; and the simulation's steps around
// the build folder, with a stand-in cmake first in PATH that logs its calls: a configure
// that fails leaves no cache behind, a cache without build files (a configure stopped
// half-way) is configured again, and a configured folder is only built.
#include "sim/Testbench.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "sim/RtlPorts.h"
#include "sim/Simulation.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

// The runtime headers as the source tree holds them.
const std::string kCompat =
    (fs::path(KESTREL_EXAMPLES_DIR).parent_path() / "share" / "kestrel" / "kestrel_systemc.h")
        .string();

RtlSignal Port(std::string_view name, std::string_view type, int width, std::string_view direction,
               bool clock = false) {
    RtlSignal signal;
    signal.signalName = name;
    signal.dataTypeText = type;
    signal.dataTypeIndex = type == "sc_logic" ? 0 : type == "sc_lv" ? 1 : type == "bool" ? 2 : -1;
    signal.width = static_cast<std::int16_t>(width);
    signal.directionText = direction;
    signal.isClock = clock;
    return signal;
}

// The MemReqAck ports as declared (the RTL's view).
std::unique_ptr<ProjectTables> MemoryTables() {
    auto tables = std::make_unique<ProjectTables>();
    const RtlSignal ports[] = {
        Port("clk", "bool", 0, "sc_in", true), Port("req", "sc_logic", 0, "sc_in"),
        Port("addr", "sc_lv", 8, "sc_in"), Port("ack", "sc_logic", 0, "sc_out"),
        Port("rdata", "sc_lv", 40, "sc_out")};
    for (const RtlSignal& port : ports) tables->signals[++tables->signals.count] = port;
    tables->options.clockPeriod = 10;
    tables->options.periodUnit = "SC_NS";
    return tables;
}

RtlModule Memory(std::vector<RtlPort> extra = {}) {
    RtlModule module;
    module.name = "memory";
    module.ports = {{"clk", PortDirection::In, 1, "m.v:2"},
                    {"req", PortDirection::In, 1, "m.v:3"},
                    {"addr", PortDirection::In, 8, "m.v:4"},
                    {"ack", PortDirection::Out, 1, "m.v:5"},
                    {"rdata", PortDirection::Out, 40, "m.v:6"}};
    module.ports.insert(module.ports.end(), extra.begin(), extra.end());
    return module;
}

// The RTL's other ports go to RtlPins; its 1-bit inputs named as resets are reset.h's,
// asserted at once and released after the cycles.
TEST(TestbenchPlan, MatchesPortsByNameAdaptsEachWidthClassAndFindsTheResets) {
    auto tables = MemoryTables();
    RtlModule rtl = Memory({{"PRESETn", PortDirection::In, 1, ""},
                            {"rst", PortDirection::In, 1, ""},
                            {"reset_out", PortDirection::Out, 1, ""},
                            {"rst_sel", PortDirection::In, 2, ""},
                            {"wide", PortDirection::Out, 70, ""}});
    TestbenchPlan plan;
    EXPECT_TRUE(PlanTestbench("Mem", *tables, &rtl, plan).empty());
    ASSERT_EQ(plan.ports.size(), 5u);
    EXPECT_EQ(plan.clockName, "clk");
    // The clock is bool on both sides: bound straight, no adapter.
    EXPECT_FALSE(plan.ports[0].adapted());
    EXPECT_EQ(plan.ports[1].pinType, "bool");
    EXPECT_EQ(plan.ports[2].pinType, "uint32_t");
    EXPECT_EQ(plan.ports[4].pinType, "uint64_t");
    EXPECT_TRUE(plan.ports[4].adapted());
    EXPECT_EQ(plan.extraPins.size(), 5u);
    EXPECT_EQ(VerilatedPinType(32), "uint32_t");
    EXPECT_EQ(VerilatedPinType(33), "uint64_t");
    EXPECT_EQ(VerilatedPinType(65), "sc_bv<65>");

    ASSERT_EQ(plan.resets.size(), 2u);
    EXPECT_EQ(plan.resets[0].name, "PRESETn");
    EXPECT_TRUE(plan.resets[0].activeLow);
    EXPECT_EQ(plan.resets[1].name, "rst");
    EXPECT_FALSE(plan.resets[1].activeLow);
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

TEST(TestbenchPlan, RefusesEveryMismatchNamingThePortAndBothDeclarations) {
    struct Case {
        const char* what;
        RtlModule rtl;
        std::string expected;
    };
    RtlModule missing = Memory();
    missing.ports.erase(missing.ports.begin() + 1);
    RtlModule narrow = Memory();
    narrow.ports[2].width = 7;
    RtlModule turned = Memory();
    turned.ports[3].direction = PortDirection::In;
    RtlModule both = Memory({{"bus", PortDirection::InOut, 8, "m.v:9"}});
    const Case cases[] = {
        {"missing", missing,
         "port req: the project declares sc_in <sc_logic> req, module memory has no port of that "
         "name"},
        {"width", narrow,
         "port addr: the project declares sc_in <sc_lv<8>> addr (8 bits), module memory declares "
         "input [6:0] addr (m.v:4) (7 bits)"},
        {"direction", turned,
         "port ack: the project declares sc_out <sc_logic> ack (the RTL's output), module memory "
         "declares input ack (m.v:5)"},
        {"inout", both, "port bus: inout [7:0] bus (m.v:9) is bidirectional"},
    };
    for (const Case& c : cases) {
        auto tables = MemoryTables();
        TestbenchPlan plan;
        std::vector<std::string> problems = PlanTestbench("Mem", *tables, &c.rtl, plan);
        ASSERT_EQ(problems.size(), 1u) << c.what;
        EXPECT_EQ(problems[0].rfind(c.expected, 0), 0u) << c.what << "\n" << problems[0];
    }
    auto noClock = MemoryTables();
    noClock->signals[1].isClock = false;
    TestbenchPlan plan;
    std::vector<std::string> problems = PlanTestbench("Mem", *noClock, nullptr, plan);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("no clock port"), std::string::npos);
}

TEST(TestbenchPlan, FallingEdgeProjectsStartOnTheFallingEdge) {
    auto tables = MemoryTables();
    tables->options.clockPositiveEdge = false;
    TestbenchPlan plan;
    ASSERT_TRUE(PlanTestbench("Mem", *tables, nullptr, plan).empty());
    EXPECT_NE(SimMainText(plan).find("wait(clk.negedge_event());"), std::string::npos);
    EXPECT_NE(RtlStubText(plan).find("sensitive << clk.neg();"), std::string::npos);
}

// A copy of the MemReqAck example pointed at its own Output folder, with Tran.cpp there.
fs::path GeneratedCopy(const fs::path& parent) {
    fs::path project = parent / "MemReqAck";
    test::CopyTree(test::GoldenDir().parent_path().parent_path() / "examples" / "MemReqAck",
                   project);
    ProjectTables tables;
    EXPECT_TRUE(LoadGenerationSettings(project.string(), tables.settings).ok());
    const std::string out = (project / "Output").string();
    tables.settings.transactorCppPath = out + "/Tran.cpp";
    tables.settings.transactorHeaderPath = out + "/Tran.h";
    tables.settings.interfaceHeaderPath = out + "/TLM_AIC.h";
    EXPECT_TRUE(SaveGenerationSettings(project.string(), tables.settings).ok());
    fs::create_directories(project / "Output");
    test::WriteBytes(project / "Output" / "Tran.cpp", "// generated\n");
    return project;
}

TEST(TestbenchFolder, KeepsTheUsersFilesAndRewritesOnlyWhatChanged) {
    test::TempDir dir;
    fs::path project = GeneratedCopy(dir.path());
    TestbenchRequest request;
    request.projectFile = (project / "MemReqAck.tp").string();
    request.compatHeader = kCompat;

    TestbenchResult first = WriteTestbench(request);
    ASSERT_TRUE(first.ok()) << first.status.message();
    fs::path folder = project / "Output" / "testbench";
    EXPECT_EQ(first.folder, folder.string());
    EXPECT_EQ(first.written.size(), 8u);
    test::WriteBytes(folder / "transactions.cpp", "// mine\n");
    test::WriteBytes(folder / "rtl.h", "// my RTL\n");
    test::WriteBytes(folder / "sc_main.cpp", "// stale\n");
    // A folder written before there was a reset.h gets one, since sc_main.cpp includes it.
    fs::remove(folder / "reset.h");
    TestbenchResult second = WriteTestbench(request);
    ASSERT_TRUE(second.ok());
    EXPECT_EQ(test::ReadBytes(folder / "transactions.cpp"), "// mine\n");
    EXPECT_EQ(test::ReadBytes(folder / "rtl.h"), "// my RTL\n");
    EXPECT_EQ(second.kept, (std::vector<std::string>{"rtl.h", "transactions.cpp"}));
    // Only the file that differed was written again; the others keep their times, so a
    // build redoes nothing for them.
    EXPECT_EQ(second.written, (std::vector<std::string>{"sc_main.cpp", "reset.h"}));
    EXPECT_NE(test::ReadBytes(folder / "sc_main.cpp"), "// stale\n");
}

// PATH set for the life of the object.
class ScopedPath {
public:
    explicit ScopedPath(const std::string& value) {
        if (const char* old = std::getenv("PATH")) old_ = old;
        ::setenv("PATH", value.c_str(), 1);
    }
    ~ScopedPath() {
        if (old_)
            ::setenv("PATH", old_->c_str(), 1);
        else
            ::unsetenv("PATH");
    }
    ScopedPath(const ScopedPath&) = delete;
    ScopedPath& operator=(const ScopedPath&) = delete;

private:
    std::optional<std::string> old_;
};

// A cmake that writes the cache at once and the Makefile only when it succeeds; the file
// FAIL beside it makes its configure fail. Its build step fails, so no run follows.
void WriteFakeCmake(const fs::path& bin, const fs::path& log) {
    fs::create_directories(bin);
    const fs::path script = bin / "cmake";
    test::WriteBytes(script, "#!/bin/sh\n"
                             "PATH=/usr/bin:/bin\n"
                             "echo \"$1\" >> '" +
                                 log.string() +
                                 "'\n"
                                 "if [ \"$1\" = -S ]; then\n"
                                 "  mkdir -p \"$4\"; echo cache > \"$4/CMakeCache.txt\"\n"
                                 "  if [ -f '" +
                                 (bin / "FAIL").string() +
                                 "' ]; then\n"
                                 "    echo 'CMake Error: planted'; exit 1\n"
                                 "  fi\n"
                                 "  : > \"$4/Makefile\"; exit 0\n"
                                 "fi\n"
                                 "echo 'build stops here'; exit 1\n");
    fs::permissions(script, fs::perms::owner_all);
}

// A project's simulation with the stand-in cmake first in PATH, Verilator's folder behind it.
class SimulationSteps : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFakeCmake(bin, cmakeLog);
        request.testbench.compatHeader = kCompat;
    }
    // Simulates `project` and gives the steps cmake was called for ("-S\n--build\n").
    std::string Run(const fs::path& project) {
        fs::remove(cmakeLog);
        request.testbench.projectFile = (project / "MemReqAck.tp").string();
        outcome = RunSimulation(request, {}, nullptr);
        return test::ReadBytes(cmakeLog);
    }

    test::TempDir dir;
    const fs::path bin = dir.path() / "bin";
    const fs::path cmakeLog = dir.path() / "cmake.log";
    const std::string verilator = FindProgram("verilator");
    ScopedPath pathWithFakeCmake{bin.string() +
                                 (verilator.empty() ? "" : ":" + BeforeLastSeparator(verilator))};
    SimulationRequest request;
    SimulationOutcome outcome;
};

TEST_F(SimulationSteps, AConfigureThatDidNotFinishIsDoneAgainOnTheNextRun) {
    const fs::path project = GeneratedCopy(dir.path());
    const fs::path build = project / "Output" / "testbench" / "build";
    // A failed configure: its output is kept and its cache is dropped.
    test::WriteBytes(bin / "FAIL", "");
    EXPECT_EQ(Run(project), "-S\n");
    EXPECT_EQ(outcome.reached, SimulationStep::Configure);
    EXPECT_NE(outcome.buildOutput.find("CMake Error: planted"), std::string::npos);
    EXPECT_FALSE(fs::exists(build / "CMakeCache.txt"));

    // A cache without build files, as a configure stopped half-way leaves it.
    fs::remove(bin / "FAIL");
    fs::create_directories(build);
    test::WriteBytes(build / "CMakeCache.txt", "half\n");
    EXPECT_EQ(Run(project), "-S\n--build\n");
    EXPECT_EQ(outcome.reached, SimulationStep::Build);
    EXPECT_EQ(test::ReadBytes(build / "CMakeCache.txt"), "cache\n");

    // Configured: only built.
    EXPECT_EQ(Run(project), "--build\n");
    EXPECT_EQ(outcome.reached, SimulationStep::Build);
    EXPECT_NE(outcome.buildOutput.find("build stops here"), std::string::npos);
}

// Another Verilog file list or top, other defines, or the folder moved with its project:
// the build folder is configured again before it is built, never built as it was.
TEST_F(SimulationSteps, AChangedBuildFileOrAMovedFolderIsConfiguredAgain) {
    fs::path project = GeneratedCopy(dir.path() / "first");
    const fs::path memory = project / "rtl" / "memory.v";
    const fs::path wrapper = project / "rtl" / "wrapper.v";
    test::WriteBytes(wrapper, "module wrapper (input wire clk, input wire req, input wire we,\n"
                              "    input wire [7:0] addr, input wire [7:0] wdata,\n"
                              "    output wire ack, output wire [7:0] rdata);\n"
                              "    memory inner(.clk(clk), .req(req), .we(we), .addr(addr),\n"
                              "                 .wdata(wdata), .ack(ack), .rdata(rdata));\n"
                              "endmodule\n");
    EXPECT_EQ(Run(project), "-S\n--build\n");
    EXPECT_TRUE(outcome.testbench.ok()) << outcome.testbench.status.message();
    EXPECT_EQ(Run(project), "--build\n");
    request.testbench.defines = {"TRACE"};
    EXPECT_EQ(Run(project), "-S\n--build\n");
    EXPECT_EQ(Run(project), "--build\n");
    if (!verilator.empty()) {
        request.testbench.rtlFiles = {memory.string()};
        EXPECT_EQ(Run(project), "-S\n--build\n");
        EXPECT_EQ(Run(project), "--build\n");
        request.testbench.rtlFiles = {wrapper.string(), memory.string()};
        request.testbench.top = "wrapper";
        EXPECT_EQ(Run(project), "-S\n--build\n");
        EXPECT_EQ(Run(project), "--build\n");
        EXPECT_TRUE(outcome.testbench.ok()) << outcome.testbench.status.message();
    }
    // Moved, with its build folder: the same build file, in another folder. The cache of
    // the old folder is not used.
    const fs::path moved = dir.path() / "moved";
    fs::rename(dir.path() / "first", moved);
    project = GeneratedCopy(moved); // its settings pointed at the moved copy
    if (!verilator.empty())
        request.testbench.rtlFiles = {(project / "rtl" / "wrapper.v").string(),
                                      (project / "rtl" / "memory.v").string()};
    const fs::path build = project / "Output" / "testbench" / "build";
    test::WriteBytes(build / "CMakeCache.txt", "old folder\n");
    EXPECT_EQ(Run(project), "-S\n--build\n");
    EXPECT_EQ(test::ReadBytes(build / "CMakeCache.txt"), "cache\n");
}

// A run of cmake (the real one), for the build file's texts.
RunOutcome RunCMake(std::vector<std::string> words) {
    return RunCommand({"cmake", std::move(words), {}, {}}, std::chrono::minutes(2));
}

TEST(CMakeQuoted, EveryTextReachesACMakeFunctionAsOneArgumentAsItWas) {
    test::TempDir dir;
    // What paths and define values hold; a function receives its arguments as one list,
    // as Verilator's verilate() receives its sources.
    const std::vector<std::string> texts = {"a;b;c",           "two words",
                                            "say \"hi\"",      "back\\slash",
                                            "$HOME ${HOME}",   "$ENV{HOME} @HOME@",
                                            "tab\there\nnext", "#(not a comment)",
                                            "[[x]] ]=[",       "a\\;b"};
    std::string script = "function(each)\n"
                         "  set(i 0)\n"
                         "  foreach(x IN LISTS ARGN)\n"
                         "    file(WRITE \"${OUT}/${i}\" \"${x}\")\n"
                         "    math(EXPR i \"${i} + 1\")\n"
                         "  endforeach()\n"
                         "  file(WRITE \"${OUT}/count\" \"${i}\")\n"
                         "endfunction()\n"
                         "each(";
    for (const std::string& text : texts) script += " " + CMakeQuoted(text);
    script += ")\n";
    test::WriteBytes(dir.path() / "quoted.cmake", script);
    RunOutcome ran =
        RunCMake({"-DOUT=" + dir.path().string(), "-P", (dir.path() / "quoted.cmake").string()});
    ASSERT_TRUE(ran.succeeded()) << ran.output << script;
    ASSERT_EQ(test::ReadBytes(dir.path() / "count"), std::to_string(texts.size())) << script;
    for (std::size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(test::ReadBytes(dir.path() / std::to_string(i)), texts[i]) << script;
    EXPECT_EQ(CMakeQuoted("a b", "${CMAKE_CURRENT_SOURCE_DIR}/"),
              "\"${CMAKE_CURRENT_SOURCE_DIR}/a b\"");

    EXPECT_EQ(DefineProblem("WIDTH=8"), "");
    EXPECT_EQ(DefineProblem("_TRACE"), "");
    EXPECT_EQ(DefineProblem("GREETING=\"a b; $c\""), "");
    for (const char* bad : {"", "=1", "8BIT", "A-B=1", "X=a\nb", "X=a\\", "X=a[b", "X=]"})
        EXPECT_NE(DefineProblem(bad), "") << bad;
    // An unpaired square bracket joins a list element with the ones after it.
    for (const char* joined : {"a[b", "]", "[[x]", "x\\"})
        EXPECT_FALSE(OneCMakeListElement(joined)) << joined;
}

TEST(TestbenchFolder, NeedsAFolderCMakeBuildsInTheTransactorAndBothRuntimeHeaders) {
    test::TempDir dir;
    fs::path project = GeneratedCopy(dir.path());
    TestbenchRequest request;
    request.projectFile = (project / "MemReqAck.tp").string();
    request.compatHeader = kCompat;
    // CMake cannot build in a folder whose path holds a semicolon, a quote or a hash.
    request.folder = dir / "tb;1";
    TestbenchResult refused = WriteTestbench(request);
    ASSERT_EQ(refused.problems.size(), 1u);
    EXPECT_NE(refused.problems[0].find("holds ';', which CMake cannot build in"),
              std::string::npos);
    request.folder.clear();
    fs::create_directories(dir.path() / "inc[1");
    request.includeFolders = {dir / "inc[1"};
    refused = WriteTestbench(request);
    ASSERT_EQ(refused.problems.size(), 1u);
    EXPECT_NE(refused.problems[0].find("inc[1 holds a square bracket without its pair"),
              std::string::npos)
        << refused.problems[0];
    request.includeFolders.clear();
    fs::remove(project / "Output" / "Tran.cpp");
    TestbenchResult result = WriteTestbench(request);
    ASSERT_EQ(result.problems.size(), 1u);
    EXPECT_NE(result.problems[0].find("Tran.cpp does not exist: run Generate first"),
              std::string::npos);
    test::WriteBytes(project / "Output" / "Tran.cpp", "// generated\n");
    // kestrel_pins.h lies beside kestrel_systemc.h, where both are installed.
    test::WriteBytes(dir.path() / "kestrel_systemc.h", "// compat\n");
    for (const std::string& compat : {dir / "none.h", dir / "kestrel_systemc.h"}) {
        request.compatHeader = compat;
        EXPECT_NE(WriteTestbench(request).status.message().find(" is not installed beside the "),
                  std::string::npos);
    }
    EXPECT_FALSE(fs::exists(project / "Output" / "testbench"));
}

TEST(VerilatorNetlist, GivesNamesDirectionsWidthsAndPlaces) {
    const char* xml = R"(<?xml version="1.0" ?>
<verilator_xml>
  <files><file id="c" filename="mem.v" language="1800-2017"/></files>
  <cells><cell loc="c,1,8,1,11" name="top" submodname="top" hier="top"/></cells>
  <netlist>
    <module loc="c,1,8,1,11" name="mem" origName="mem">
      <var loc="c,2,18,2,21" name="clk" dtype_id="1" dir="input" vartype="logic" origName="clk"/>
    </module>
    <module loc="c,5,8,5,11" name="top" origName="top">
      <var loc="c,6,18,6,21" name="a" dtype_id="2" dir="input" vartype="logic" origName="a"/>
      <var loc="c,7,18,7,21" name="q" dtype_id="3" dir="output" vartype="logic" origName="q"/>
      <var loc="c,8,18,8,21" name="io" dtype_id="1" dir="inout" vartype="logic" origName="io"/>
      <var loc="c,9,18,9,21" name="inner" dtype_id="1" vartype="logic" origName="inner"/>
    </module>
    <typetable loc="a,0,0,0,0">
      <basicdtype loc="c,1,18,1,21" id="1" name="logic"/>
      <basicdtype loc="c,1,50,1,51" id="2" name="logic" left="0" right="39"/>
      <basicdtype loc="c,2,58,2,59" id="3" name="logic" left="69" right="0"/>
    </typetable>
  </netlist>
</verilator_xml>)";
    RtlModule module;
    ASSERT_TRUE(ParseVerilatorNetlist(xml, "", module).ok());
    EXPECT_EQ(module.name, "top");
    ASSERT_EQ(module.ports.size(), 3u); // a wire inside is no port
    EXPECT_EQ(module.ports[0].width, 40);
    EXPECT_EQ(module.ports[0].place, "mem.v:6");
    EXPECT_EQ(module.ports[1].direction, PortDirection::Out);
    EXPECT_EQ(module.ports[1].width, 70);
    EXPECT_EQ(module.ports[2].direction, PortDirection::InOut);

    ASSERT_TRUE(ParseVerilatorNetlist(xml, "mem", module).ok());
    EXPECT_EQ(module.ports.size(), 1u);
    Status missing = ParseVerilatorNetlist(xml, "cpu", module);
    EXPECT_EQ(missing.message(), "no module \"cpu\" in the Verilog files");
    EXPECT_FALSE(ParseVerilatorNetlist("<verilator_xml", "", module).ok());
}

TEST(ResetNames, TellResetsAndTheirLevelFromOtherPins) {
    const std::pair<std::vector<const char*>, ResetLevel> groups[] = {
        // Active low: a trailing n, _n or N, or _ni; a lone n before the word.
        {{"PRESETn", "HRESETn", "S_AXI_ARESETN", "rst_n", "RST_N", "rstn", "resetn_i", "rst_ni",
          "arst_n", "nRST", "n_reset"},
         ResetLevel::ActiveLow},
        // Active high, after nothing, a prefix ending in '_' or one letter.
        {{"rst", "reset", "areset", "Reset", "i_rst", "wb_rst_i", "sys_reset", "srst"},
         ResetLevel::ActiveHigh},
        // Words that end in rst or hold reset, and unclear levels.
        {{"first", "burst", "burstn", "resetval", "reset_done", "rst_sync", "unreset", "nrstn", "n",
          "_i", ""},
         ResetLevel::None},
    };
    for (const auto& [names, level] : groups)
        for (const char* name : names) EXPECT_EQ(ResetLevelOfName(name), level) << name;
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
