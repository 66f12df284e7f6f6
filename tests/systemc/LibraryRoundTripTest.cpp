// A transactor library from one project used in another, through kestrel-cli as a user
// runs it: project A (AsmL behaviour) generates A.tlib; project B, with a function of its
// own, adds the library, generates (translating only its own function and splicing A's
// sections from Temp), and B's transactor is compiled with SystemC and simulated: calling
// A's function through B's transactor drives A's port at the clock edges A's AsmL says.
#include "CodegenSamples.h"
#include "SystemcBuild.h"
#include "TestSupport.h"

#include "model/Assignments.h"
#include "model/RtlSignal.h"
#include "model/TlmFunction.h"

#include <gtest/gtest.h>

#include <memory>

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using test::Cli;
using test::Quoted;
using test::ReadBytes;
using test::WriteBytes;

TlmFunction VoidFunction(std::string_view name) {
    return sample::Function(name, "void", 0);
}

RtlSignal LogicSignal(std::string_view name, int direction) {
    return sample::Signal(name, 0, 1, direction, "0");
}

// The inputs in tests/fixtures/systemc/library: a.asml, A's function Pulse, three clock steps
// each driving req high (req is an input of the RTL design, so an output of the
// transactor); b.asml, B's own function Ping, two clock steps, knowing nothing of Pulse;
// sc_main.cpp, which calls both. Each step waits the 9 ns before the setup time and then the
// rising edge, so Ping ends at 20 ns and Pulse at 50 ns with req high.
const fs::path kInputs = fs::path(KESTREL_SYSTEMC_FIXTURES_DIR) / "library";

std::string CrLf(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out.push_back('\r');
        out.push_back(c);
    }
    return out;
}

// A new project with its tables, its AsmL document assigned and a 10 ns clock with 1 ns
// setup time.
void MakeProject(const fs::path& location, const std::string& name, const TlmFunction& function,
                 std::initializer_list<RtlSignal> signals, const char* specification,
                 const fs::path& logs) {
    ASSERT_EQ(Cli("new " + name + " --location " + Quoted(location.string()),
                  logs / ("new-" + name + ".log"))
                  .exitCode,
              0);
    const std::string folder = (location / name).string();
    auto functions = std::make_unique<TlmFunctionTable>();
    (*functions)[++functions->count] = function;
    auto table = std::make_unique<RtlSignalTable>();
    for (const RtlSignal& s : signals) (*table)[++table->count] = s;
    ASSERT_TRUE(SaveTlmFunctions(folder, *functions).ok());
    ASSERT_TRUE(SaveRtlSignals(folder, *table).ok());
    WriteBytes(location / name / "Input/spec.doc", CrLf(ReadBytes(kInputs / specification)));
    AsmlAssignment asml{folder + "/Input/spec.doc", "spec.doc", true};
    ASSERT_TRUE(SaveAsmlAssignment(folder, asml).ok());
    const std::string tp = Quoted((location / name / (name + ".tp")).string());
    ASSERT_EQ(Cli("options " + tp + " --method asml --period 10 SC_NS --setup 1 SC_NS",
                  logs / ("options-" + name + ".log"))
                  .exitCode,
              0);
}

TEST(LibraryRoundTrip, ALibraryOfOneProjectRunsInAnother) {
    test::TempDir dir;
    const fs::path logs = dir.path() / "logs";
    fs::create_directories(logs);
    const fs::path a = dir.path() / "A";
    const fs::path b = dir.path() / "B";

    // Project A: Pulse, the clock and req; Generate also writes its library.
    MakeProject(dir.path(), "A", VoidFunction("Pulse"),
                {sample::Signal("clk", 2, 1, 0, "0", true), LogicSignal("req", 0)}, "a.asml", logs);
    ASSERT_FALSE(HasFailure());
    const std::string library = (a / "Output/A.tlib").string();
    ASSERT_EQ(Cli("options " + Quoted((a / "A.tp").string()) + " --library " + Quoted(library),
                  logs / "library.log")
                  .exitCode,
              0);
    test::CommandResult generatedA =
        Cli("generate " + Quoted((a / "A.tp").string()), logs / "generate-A.log");
    ASSERT_EQ(generatedA.exitCode, 0) << generatedA.output;
    EXPECT_TRUE(test::Has(generatedA.output, "Creating Library " + library + "...Done!\r\n"));
    ASSERT_TRUE(fs::exists(library));
    const std::string pulseAsm = ReadBytes(a / "Temp/Pulse.asm");

    // Project B: Ping and a data port of its own; the clock comes with the library.
    MakeProject(dir.path(), "B", VoidFunction("Ping"), {LogicSignal("ack", 1)}, "b.asml", logs);
    ASSERT_FALSE(HasFailure());
    test::CommandResult added =
        Cli("add-library " + Quoted((b / "B.tp").string()) + " " + Quoted(library),
            logs / "add-library.log");
    ASSERT_EQ(added.exitCode, 0) << added.output;
    EXPECT_EQ(added.output, "A.tlib Added Successfully!\n");
    EXPECT_EQ(ReadBytes(b / "Temp/Pulse.asm"), pulseAsm);

    test::CommandResult generatedB =
        Cli("generate " + Quoted((b / "B.tp").string()), logs / "generate-B.log");
    ASSERT_EQ(generatedB.exitCode, 0) << generatedB.output;
    EXPECT_FALSE(test::Has(generatedB.output, "Creating Library"));
    // Pulse was not translated again (B's AsmL has no section for it, which would have
    // emptied its files): its sections are A's, and Tran.cpp holds them.
    EXPECT_EQ(ReadBytes(b / "Temp/Pulse.asm"), pulseAsm);
    EXPECT_TRUE(test::Has(ReadBytes(b / "Output/Tran.cpp"), pulseAsm));

    const fs::path work = dir.path() / "build";
    fs::create_directories(work);
    fs::copy_file(kInputs / "sc_main.cpp", work / "sc_main.cpp");
    test::CommandResult run =
        test::BuildAndRun({{b / "Output/Tran.cpp", ""},
                           {work / "sc_main.cpp", "-I" + Quoted((b / "Output").string())}},
                          work);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(test::Has(run.output, "Ping ended at 20 ns, Pulse at 50 ns, req 1"));
}

} // namespace
} // namespace kestrel
