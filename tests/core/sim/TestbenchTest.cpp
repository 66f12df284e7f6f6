// The testbench: its plan (ports matched to the RTL by name, widths adapted, resets found by
// name, each mismatch refused with both declarations) and its refusals as golden dumps
// (tests/golden/sim/); every file it writes for the examples as golden files
// (tests/golden/testbench/); the user's files kept; build file quoting; Verilator's netlist;
// and the simulation's steps around the build folder, with a stand-in cmake first in PATH
// (tests/fixtures/sim/cmake) that logs its calls.
#include "sim/Testbench.h"
#include "model/ProjectOptions.h"
#include "platform/CommandRun.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "sim/Simulation.h"
#include "tlm2/Tlm2Mapping.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

const fs::path kExamples = KESTREL_EXAMPLES_DIR;
const fs::path kShare = kExamples.parent_path() / "share" / "kestrel";
const std::string kCompat = (kShare / "kestrel_systemc.h").string();
const fs::path kFixtures = test::FixtureDir() / "sim";

RtlSignal Port(std::string_view name, std::string_view type, int width, std::string_view dir) {
    RtlSignal signal;
    signal.signalName = name;
    signal.dataTypeText = type;
    signal.dataTypeIndex = type == "sc_logic" ? 0 : type == "sc_lv" ? 1 : 2;
    signal.width = static_cast<std::int16_t>(width);
    signal.directionText = dir;
    signal.isClock = name == "clk";
    return signal;
}

// The MemReqAck ports as declared (the RTL's view), and as its Verilog memory has them.
std::unique_ptr<ProjectTables> MemoryTables() {
    auto tables = std::make_unique<ProjectTables>();
    for (const RtlSignal& port :
         {Port("clk", "bool", 0, "sc_in"), Port("req", "sc_logic", 0, "sc_in"),
          Port("addr", "sc_lv", 8, "sc_in"), Port("ack", "sc_logic", 0, "sc_out"),
          Port("rdata", "sc_lv", 40, "sc_out")})
        tables->signals[++tables->signals.count] = port;
    tables->options.clockPeriod = 10;
    tables->options.periodUnit = "SC_NS";
    return tables;
}
RtlModule Memory() {
    return {"memory",
            {{"clk", PortDirection::In, 1, "m.v:2"},
             {"req", PortDirection::In, 1, "m.v:3"},
             {"addr", PortDirection::In, 8, "m.v:4"},
             {"ack", PortDirection::Out, 1, "m.v:5"},
             {"rdata", PortDirection::Out, 40, "m.v:6"}}};
}

// Plans the memory project (its tables changed by `change`) against the memory module
// changed by `changeRtl`, or without Verilog when there is none, and dumps the refusals, or
// the decisions, the lines of sc_main.cpp and rtl.h on a falling edge, and reset.h.
std::string PlanDump(const std::string& what, const std::function<void(RtlModule&)>& changeRtl,
                     const std::function<void(ProjectTables&)>& change = {}) {
    auto tables = MemoryTables();
    if (change) change(*tables);
    RtlModule rtl = Memory();
    if (changeRtl) changeRtl(rtl);
    TestbenchPlan plan;
    std::string dump = "== " + what + "\n";
    for (const std::string& problem :
         PlanTestbench("Mem", *tables, changeRtl ? &rtl : nullptr, plan))
        dump += "refused: " + problem + "\n";
    if (dump.find("refused") != std::string::npos) return dump;
    dump += "clock " + plan.clockName + "\n";
    for (const TestbenchPort& port : plan.ports)
        dump += "port " + port.name + " " + port.transactorType +
                (port.pinType.empty() ? "" : " pin " + port.pinType) +
                (port.adapted() ? " adapted\n" : "\n");
    for (const RtlPort& pin : plan.extraPins)
        dump += "other pin " + pin.name + " " + std::to_string(pin.width) + "\n";
    std::istringstream texts(SimMainText(plan) + RtlStubText(plan));
    for (std::string line; std::getline(texts, line);)
        if (line.find("neg") != std::string::npos) dump += line + "\n";
    TestbenchResult written;
    written.plan = plan;
    dump += ResetsNotice(written) + "\n";
    written.kept = {"transactions.cpp", "reset.h"};
    return dump + ResetsNotice(written) + "\n" + ResetText(plan);
}

TEST(TestbenchPlan, DecisionsAndRefusalsMatchTheGoldenDump) {
    using Ports = std::vector<RtlPort>;
    const auto add = [](Ports ports) {
        return [ports](RtlModule& m) { m.ports.insert(m.ports.end(), ports.begin(), ports.end()); };
    };
    std::string dump = "verilated pins of 32, 33, 65 bits: " + VerilatedPinType(32) + " " +
                       VerilatedPinType(33) + " " + VerilatedPinType(65) + "\n";
    dump += PlanDump("other pins and resets", add(Ports{{"PRESETn", PortDirection::In, 1, ""},
                                                        {"rst", PortDirection::In, 1, ""},
                                                        {"reset_out", PortDirection::Out, 1, ""},
                                                        {"rst_sel", PortDirection::In, 2, ""},
                                                        {"wide", PortDirection::Out, 70, ""}}));
    dump += PlanDump("falling edge, no Verilog", {},
                     [](ProjectTables& t) { t.options.clockPositiveEdge = false; });
    dump += PlanDump("missing", [](RtlModule& m) { m.ports.erase(m.ports.begin() + 1); });
    dump += PlanDump("narrow", [](RtlModule& m) { m.ports[2].width = 7; });
    dump += PlanDump("turned", [](RtlModule& m) { m.ports[3].direction = PortDirection::In; });
    dump += PlanDump("inout", add(Ports{{"bus", PortDirection::InOut, 8, "m.v:9"}}));
    dump += PlanDump("no clock", {}, [](ProjectTables& t) { t.signals[1].isClock = false; });
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "sim" / "testbench-plan.txt", dump));
}

// Points the project's outputs at its own Output folder and puts a Tran.cpp there.
void PointOutputs(const fs::path& project) {
    GenerationSettings settings;
    ASSERT_TRUE(LoadGenerationSettings(project.string(), settings).ok());
    const fs::path out = project / "Output";
    settings.transactorCppPath = (out / "Tran.cpp").string();
    settings.transactorHeaderPath = (out / "Tran.h").string();
    settings.interfaceHeaderPath = (out / "TLM_AIC.h").string();
    ASSERT_TRUE(SaveGenerationSettings(project.string(), settings).ok());
    fs::create_directories(out);
    test::WriteBytes(out / "Tran.cpp", "// generated\n");
}
fs::path MemReqAck(const fs::path& parent) {
    test::CopyTree(kExamples / "MemReqAck", parent / "MemReqAck");
    PointOutputs(parent / "MemReqAck");
    return parent / "MemReqAck";
}
// `text` with every `folder` in it named `as`.
std::string Masked(std::string text, const std::string& folder, const std::string& as = "<temp>") {
    for (std::size_t at = text.find(folder); at != std::string::npos; at = text.find(folder, at))
        text.replace(at, folder.size(), as);
    return text;
}

// Writes the testbench and compares every file written with the golden files of `name`.
void ExpectGolden(const std::string& name, TestbenchRequest request, const test::TempDir& dir) {
    request.compatHeader = kCompat;
    const TestbenchResult result = WriteTestbench(request);
    ASSERT_TRUE(result.ok()) << result.status.message()
                             << (result.problems.empty() ? "" : result.problems[0]);
    EXPECT_TRUE(result.kept.empty());
    const fs::path golden = test::GoldenDir() / "testbench";
    for (const std::string& file : result.written) {
        std::string text = Masked(test::ReadBytes(fs::path(result.folder) / file), dir.str());
        if (file == "kestrel_systemc.h") {
            EXPECT_EQ(text, test::ReadBytes(kShare / file));
        } else if (file == "kestrel_pins.h") { // the installed header behind its writer's line
            const std::size_t head = text.find('\n') + 1;
            EXPECT_EQ(text.substr(0, head), "// kestrel_pins.h - written by " + request.writer +
                                                "; rewritten on every run.\n")
                << name;
            EXPECT_EQ(text.substr(head), test::ReadBytes(kShare / file)) << name;
        } else {
            EXPECT_TRUE(test::MatchesGolden(golden / name / file, text)) << name << ": " << file;
        }
    }
    const std::set<std::string> written(result.written.begin(), result.written.end());
    for (const std::string& file : test::FilesUnder(golden / name))
        EXPECT_TRUE(written.count(file)) << name << ": " << file << " was not written";
}

// A run of cmake (the real one).
RunOutcome RunCMake(std::vector<std::string> words) {
    return RunCommand({"cmake", std::move(words), {}, {}}, std::chrono::minutes(2));
}

// With the SystemC model to fill, in a folder whose name has blanks, a dollar and
// parentheses, then moved with its project: the build file names the project's files from
// its own folder, so the moved one configures. Then with its Verilog, defines and includes.
TEST(TestbenchGolden, MemReqAckWithItsSystemcModelOrItsVerilog) {
    test::TempDir dir;
    TestbenchRequest request;
    request.projectFile = (MemReqAck(dir / "my $HOME (copy)") / "MemReqAck.tp").string();
    ExpectGolden("MemReqAck-systemc", request, dir);
    fs::rename(dir / "my $HOME (copy)", dir / "moved");
    const RunOutcome configured =
        RunCMake({"-S", dir / "moved/MemReqAck/Output/testbench", "-B", dir / "build"});
    EXPECT_TRUE(configured.succeeded()) << configured.output;
    if (FindProgram("verilator").empty()) GTEST_SKIP() << "verilator is not installed";
    const fs::path project = MemReqAck(dir.path());
    fs::create_directories(project / "include");
    fs::create_directories(dir.path() / "shared; headers");
    request.projectFile = (project / "MemReqAck.tp").string();
    request.rtlFiles = {(project / "rtl" / "memory.v").string()};
    request.defines = {"WIDTH=8", "GREETING=\"a b;c\"", "PATH=$HOME\\x"};
    request.includeFolders = {(project / "include").string(), dir / "shared; headers"};
    ExpectGolden("MemReqAck-verilog", request, dir);
}

TEST(TestbenchGolden, UartLoopMadeFromItsTextSources) {
    if (FindProgram("verilator").empty()) GTEST_SKIP() << "verilator is not installed";
    test::TempDir dir;
    const std::vector<std::string> words{(test::BinDir() / "kestrel-cli").string(), dir.str()};
    const RunOutcome made =
        RunCommand({(kExamples / "UartLoop" / "make-project").string(), words, {}, {}},
                   std::chrono::minutes(2));
    ASSERT_TRUE(made.succeeded()) << made.output;
    const fs::path project = dir.path() / "UartLoop";
    PointOutputs(project);
    // The example's own transactions are put there by make-project: the written ones here.
    fs::remove(project / "Output" / "testbench" / "transactions.cpp");
    fs::create_directories(project / "rtl");
    fs::copy_file(kExamples / "UartLoop" / "rtl" / "uart.v", project / "rtl" / "uart.v");
    TestbenchRequest request;
    request.projectFile = (project / "UartLoop.tp").string();
    request.rtlFiles = {(project / "rtl" / "uart.v").string()};
    request.writer = kWriterWindow;
    ExpectGolden("UartLoop", request, dir);
}

// Through the socket: refused without a mapping (nothing written); with one, every file of
// the folder for MemReqAck and its Verilog, the module beside Tran.h; from then on the
// user's transactions_tlm2.cpp is kept and the module, the same, is not written again.
TEST(TestbenchGolden, MemReqAckThroughItsTlm2Socket) {
    if (FindProgram("verilator").empty()) GTEST_SKIP() << "verilator is not installed";
    test::TempDir dir;
    const fs::path project = MemReqAck(dir.path());
    TestbenchRequest request;
    request.projectFile = (project / "MemReqAck.tp").string();
    request.rtlFiles = {(project / "rtl" / "memory.v").string()};
    request.compatHeader = kCompat;
    request.tlm2 = true;
    const TestbenchResult refused = WriteTestbench(request);
    EXPECT_EQ(refused.problems, std::vector<std::string>{"project MemReqAck has no TLM-2.0 socket "
                                                         "mapping: run kestrel-cli tlm2 first"});
    EXPECT_FALSE(fs::exists(project / "Output" / "testbench"));

    const Tlm2Roles roles{"address", "data", "", ""};
    ASSERT_TRUE(SaveTlm2Mapping(project.string(), {"Write", "Read", roles, roles, {}, 0, 0}));
    ExpectGolden("MemReqAck-tlm2", request, dir);
    const fs::path user = project / "Output" / "testbench" / "transactions_tlm2.cpp";
    test::WriteBytes(user, "// mine\n");
    const TestbenchResult again = WriteTestbench(request);
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(again.kept, (std::vector<std::string>{"transactions_tlm2.cpp", "reset.h"}));
    EXPECT_EQ(test::ReadBytes(user), "// mine\n");
    EXPECT_EQ(fs::path(again.tlm2Module), project / "Output" / "Tran_tlm2.h");
    EXPECT_TRUE(fs::exists(again.tlm2Module));
    EXPECT_FALSE(again.tlm2ModuleWritten); // the same text: it keeps its time
}

// CMake cannot build in a folder whose path holds a semicolon, a quote or a hash, nor from
// an unpaired square bracket; Tran.cpp and both runtime headers must be there. Nothing is
// written for a refusal. Once written, the user's files are kept and only what differs is
// written again: the others keep their times, so a build redoes nothing for them.
TEST(TestbenchFolder, RefusesWhatCannotBuildAndKeepsTheUsersFiles) {
    test::TempDir dir;
    const fs::path project = MemReqAck(dir.path());
    fs::create_directories(dir.path() / "inc[1");
    test::WriteBytes(dir.path() / "kestrel_systemc.h", "// compat\n"); // no kestrel_pins.h
    std::string dump;
    TestbenchRequest request;
    request.projectFile = (project / "MemReqAck.tp").string();
    const std::function<void(TestbenchRequest&)> changes[] = {
        [&](TestbenchRequest& r) { r.folder = dir / "tb;1"; },
        [&](TestbenchRequest& r) { r.includeFolders = {dir / "inc[1"}; },
        [&](TestbenchRequest& r) { r.compatHeader = dir / "none.h"; },
        [&](TestbenchRequest& r) { r.compatHeader = dir / "kestrel_systemc.h"; },
        [&](TestbenchRequest&) { fs::rename(project / "Output/Tran.cpp", dir / "Tran.cpp"); }};
    for (const auto& change : changes) {
        TestbenchRequest changed = request;
        changed.compatHeader = kCompat;
        change(changed);
        const TestbenchResult result = WriteTestbench(changed);
        for (const std::string& problem : result.problems) dump += "refused: " + problem + "\n";
        dump += result.status.ok() ? "" : "error: " + result.status.message() + "\n";
    }
    const fs::path folder = project / "Output" / "testbench";
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_TRUE(
        test::MatchesGolden(test::GoldenDir() / "sim" / "testbench-refusals.txt",
                            Masked(Masked(dump, dir.str()), test::BinDir().string(), "<bin>")));
    fs::rename(dir / "Tran.cpp", project / "Output/Tran.cpp");
    request.compatHeader = kCompat;
    ASSERT_EQ(WriteTestbench(request).written.size(), 8u);
    test::WriteBytes(folder / "transactions.cpp", "// mine\n");
    test::WriteBytes(folder / "rtl.h", "// my RTL\n");
    test::WriteBytes(folder / "sc_main.cpp", "// stale\n");
    // A folder written before there was a reset.h gets one, since sc_main.cpp includes it.
    fs::remove(folder / "reset.h");
    const TestbenchResult second = WriteTestbench(request);
    EXPECT_EQ(test::ReadBytes(folder / "transactions.cpp") + test::ReadBytes(folder / "rtl.h"),
              "// mine\n// my RTL\n");
    EXPECT_EQ(second.kept, (std::vector<std::string>{"rtl.h", "transactions.cpp"}));
    EXPECT_EQ(second.written, (std::vector<std::string>{"sc_main.cpp", "reset.h"}));
}

// A project's simulation with the stand-in cmake first in PATH, Verilator's folder behind it.
class SimulationSteps : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(bin);
        fs::copy_file(kFixtures / "cmake", bin / "cmake");
        fs::permissions(bin / "cmake", fs::perms::owner_all);
        request.testbench.compatHeader = kCompat;
        const std::string path =
            bin.string() + (verilator.empty() ? "" : ":" + BeforeLastSeparator(verilator));
        ::setenv("PATH", path.c_str(), 1);
    }
    void TearDown() override { ::setenv("PATH", oldPath.c_str(), 1); }
    // Simulates `project` and gives the steps cmake was called for ("-S\n--build\n").
    std::string Run(const fs::path& project) {
        fs::remove(dir.path() / "cmake.log");
        request.testbench.projectFile = (project / "MemReqAck.tp").string();
        outcome = RunSimulation(request, {}, nullptr);
        return test::ReadBytes(dir.path() / "cmake.log");
    }

    test::TempDir dir;
    const fs::path bin = dir.path() / "bin";
    const std::string verilator = FindProgram("verilator");
    const std::string oldPath = std::getenv("PATH");
    SimulationRequest request;
    SimulationOutcome outcome;
};

// A configure that fails keeps its output and drops its cache; a cache without build files
// (a configure stopped half-way) is configured again. Then another Verilog file list or top,
// other defines, or the folder moved with its project: the build folder is configured again
// before it is built, never built as it was; as it was, it is only built.
TEST_F(SimulationSteps, AnUnfinishedChangedOrMovedBuildFolderIsConfiguredAgain) {
    const fs::path first = MemReqAck(dir.path() / "first");
    const fs::path build = first / "Output" / "testbench" / "build";
    test::WriteBytes(bin / "FAIL", "");
    EXPECT_EQ(Run(first), "-S\n");
    EXPECT_EQ(outcome.reached, SimulationStep::Configure);
    EXPECT_NE(outcome.buildOutput.find("CMake Error: planted"), std::string::npos);
    EXPECT_FALSE(fs::exists(build / "CMakeCache.txt"));
    fs::remove(bin / "FAIL");
    test::WriteBytes(build / "CMakeCache.txt", "half\n");
    const auto runTwice = [&](const fs::path& project) {
        EXPECT_EQ(Run(project), "-S\n--build\n");
        EXPECT_TRUE(outcome.testbench.ok()) << outcome.testbench.status.message();
        EXPECT_EQ(Run(project), "--build\n");
        EXPECT_EQ(outcome.reached, SimulationStep::Build);
        EXPECT_NE(outcome.buildOutput.find("build stops here"), std::string::npos);
    };
    runTwice(first);
    EXPECT_EQ(test::ReadBytes(build / "CMakeCache.txt"), "cache\n");
    request.testbench.defines = {"TRACE"};
    runTwice(first);
    const auto verilog = [&](const fs::path& project, std::vector<std::string> files) {
        request.testbench.rtlFiles.clear();
        for (const std::string& file : files)
            request.testbench.rtlFiles.push_back((project / "rtl" / file).string());
    };
    fs::copy_file(kFixtures / "wrapper.v", first / "rtl" / "wrapper.v");
    if (!verilator.empty()) {
        verilog(first, {"memory.v"});
        runTwice(first);
        verilog(first, {"wrapper.v", "memory.v"});
        request.testbench.top = "wrapper";
        runTwice(first);
    }
    // Moved, with its build folder: the same build file in another folder. The cache of
    // the old folder is not used.
    fs::rename(dir.path() / "first", dir.path() / "moved");
    const fs::path moved = dir.path() / "moved" / "MemReqAck";
    PointOutputs(moved);
    if (!verilator.empty()) verilog(moved, {"wrapper.v", "memory.v"});
    test::WriteBytes(moved / "Output" / "testbench" / "build" / "CMakeCache.txt", "old folder\n");
    EXPECT_EQ(Run(moved), "-S\n--build\n");
    EXPECT_EQ(test::ReadBytes(moved / "Output" / "testbench" / "build" / "CMakeCache.txt"),
              "cache\n");
}

// Every text reaches a CMake function as one argument as it was (as Verilator's verilate()
// receives its sources and defines); defines and list elements CMake would split are refused.
TEST(CMakeQuoted, EveryTextReachesACMakeFunctionAsOneArgumentAsItWas) {
    test::TempDir dir;
    const std::vector<std::string> texts = {"a;b;c",           "two words",
                                            "say \"hi\"",      "back\\slash",
                                            "$HOME ${HOME}",   "$ENV{HOME} @HOME@",
                                            "tab\there\nnext", "#(not a comment)",
                                            "[[x]] ]=[",       "a\\;b"};
    std::string script = "include(" + CMakeQuoted((kFixtures / "each.cmake").string()) + ")\neach(";
    for (const std::string& text : texts) script += " " + CMakeQuoted(text);
    test::WriteBytes(dir.path() / "quoted.cmake", script + ")\n");
    const RunOutcome ran = RunCMake({"-DOUT=" + dir.str(), "-P", dir / "quoted.cmake"});
    ASSERT_TRUE(ran.succeeded()) << ran.output << script;
    ASSERT_EQ(test::ReadBytes(dir.path() / "count"), std::to_string(texts.size())) << script;
    for (std::size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(test::ReadBytes(dir.path() / std::to_string(i)), texts[i]) << script;
    EXPECT_EQ(CMakeQuoted("a b", "${CMAKE_CURRENT_SOURCE_DIR}/"),
              "\"${CMAKE_CURRENT_SOURCE_DIR}/a b\"");
    for (const char* good : {"WIDTH=8", "_TRACE", "GREETING=\"a b; $c\""})
        EXPECT_EQ(DefineProblem(good), "") << good;
    for (const char* bad : {"", "=1", "8BIT", "A-B=1", "X=a\nb", "X=a\\", "X=a[b", "X=]"})
        EXPECT_NE(DefineProblem(bad), "") << bad;
    // An unpaired square bracket joins a list element with the ones after it.
    for (const char* joined : {"a[b", "]", "[[x]", "x\\"})
        EXPECT_FALSE(OneCMakeListElement(joined)) << joined;
}

// Names, directions, widths and places of the top's ports (a wire inside is no port).
TEST(VerilatorNetlist, GivesNamesDirectionsWidthsAndPlaces) {
    const std::string xml = test::ReadBytes(kFixtures / "netlist.xml");
    const auto ports = [&](const char* top) {
        RtlModule module;
        const Status read = ParseVerilatorNetlist(xml, top, module);
        std::string text = read.ok() ? module.name + ":" : read.message();
        for (const RtlPort& port : module.ports)
            text += " " + std::string(DirectionWord(port.direction)) + " " + port.name + " " +
                    std::to_string(port.width) + " " + port.place;
        return text;
    };
    EXPECT_EQ(ports(""), "top: input a 40 mem.v:6 output q 70 mem.v:7 inout io 1 mem.v:8");
    EXPECT_EQ(ports("mem"), "mem: input clk 1 mem.v:2");
    EXPECT_EQ(ports("cpu"), "no module \"cpu\" in the Verilog files");
    RtlModule module;
    EXPECT_FALSE(ParseVerilatorNetlist("<verilator_xml", "", module).ok());
}

TEST(ResetNames, TellResetsAndTheirLevelFromOtherPins) {
    std::istringstream lines(test::ReadBytes(kFixtures / "reset-names.txt"));
    const std::map<std::string, ResetLevel> levels{{"low", ResetLevel::ActiveLow},
                                                   {"high", ResetLevel::ActiveHigh},
                                                   {"none", ResetLevel::None}};
    int names = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == '#') continue;
        ++names;
        const std::size_t blank = std::min(line.find(' '), line.size());
        const std::string name = line.substr(std::min(blank + 1, line.size()));
        EXPECT_EQ(ResetLevelOfName(name), levels.at(line.substr(0, blank))) << name;
    }
    EXPECT_EQ(names, 30);
}

TEST(SimulationSummary, ATimeLimitNamesTheInputsThatNeverChanged) {
    SimulationOutcome outcome;
    for (const char* line :
         {"kestrel-sim: 0 transaction(s) completed in 2 us (200 clock cycles)",
          "kestrel-sim: the time limit of 2 us was reached before RunTransactions returned",
          "kestrel-sim: inputs of the RTL that never changed: PRESETn, wdata"})
        ReadSimulationSummary(line, outcome);
    outcome.exitCode = 3;
    EXPECT_EQ(SimulationEndText(outcome),
              "the simulation ended with status 3 (time limit reached; inputs of the RTL that "
              "never changed: PRESETn, wdata)");
}

} // namespace
} // namespace kestrel
