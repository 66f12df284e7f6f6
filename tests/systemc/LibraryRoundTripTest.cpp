// A transactor library from one project used in another, through kestrel-cli as a user
// runs it: project A (AsmL behaviour) generates A.tlib; project B, with a function of its
// own, adds the library, generates (translating only its own function and splicing A's
// sections from Temp), and B's transactor is compiled with SystemC and simulated: calling
// A's function through B's transactor drives A's port at the clock edges A's AsmL says.
#include "SystemcBuild.h"
#include "TestSupport.h"

#include "model/Assignments.h"

#include <gtest/gtest.h>

#include <vector>

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using test::Cli;
using test::Quoted;
using test::ReadBytes;

// The inputs in tests/fixtures/systemc/library: A.json and A.asml, A's function Pulse, three
// clock steps each driving req high (req is an input of the RTL design, so an output of the
// transactor); B.json and B.asml, B's own function Ping, two clock steps, knowing nothing
// of Pulse; sc_main.cpp, which calls both. Each step waits the 9 ns before the setup time
// and then the rising edge, so Ping ends at 20 ns and Pulse at 50 ns with req high.
const fs::path kInputs = fs::path(KESTREL_SYSTEMC_FIXTURES_DIR) / "library";

// A new project `name` with `library` added (if any), declared from <name>.json (a library
// keeps its items after the project's own), its AsmL document <name>.asml assigned, and a
// 10 ns clock with 1 ns setup time. Each command's output is in logs/<name>-<command>.log.
void MakeProject(const fs::path& location, const std::string& name, const fs::path& logs,
                 const std::string& library = {}) {
    const fs::path folder = location / name;
    const std::string tp = Quoted((folder / (name + ".tp")).string());
    std::vector<std::string> commands = {"new " + name + " --location " +
                                         Quoted(location.string())};
    if (!library.empty()) commands.push_back("add-library " + tp + " " + Quoted(library));
    commands.push_back("declare " + tp + " " + Quoted((kInputs / (name + ".json")).string()));
    commands.push_back("options " + tp + " --method asml --period 10 SC_NS --setup 1 SC_NS");
    for (const std::string& arguments : commands) {
        const fs::path log =
            logs / (name + "-" + arguments.substr(0, arguments.find(' ')) + ".log");
        test::CommandResult run = Cli(arguments, log);
        ASSERT_EQ(run.exitCode, 0) << arguments << "\n" << run.output;
    }
    fs::copy_file(kInputs / (name + ".asml"), folder / "Input/spec.doc");
    AsmlAssignment asml{(folder / "Input/spec.doc").string(), "spec.doc", true};
    ASSERT_TRUE(SaveAsmlAssignment(folder.string(), asml).ok());
}

TEST(LibraryRoundTrip, ALibraryOfOneProjectRunsInAnother) {
    test::TempDir dir;
    const fs::path logs = dir.path() / "logs";
    fs::create_directories(logs);
    const fs::path a = dir.path() / "A";
    const fs::path b = dir.path() / "B";

    // Project A: Pulse, the clock and req; Generate also writes its library.
    MakeProject(dir.path(), "A", logs);
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
    MakeProject(dir.path(), "B", logs, library);
    ASSERT_FALSE(HasFailure());
    EXPECT_EQ(ReadBytes(logs / "B-add-library.log"), "A.tlib Added Successfully!\n");
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
