// The generated SystemC is real C++: a project declared with kestrel-cli is generated with
// the template method through the core, and the three files are compiled with a small
// sc_main, linked against the installed SystemC and run. The compatibility header
// kestrel_systemc.h is what makes the Windows-flavoured output build here; its own checks
// are compiled and run as well.
#include "SystemcBuild.h"
#include "TestSupport.h"

#include "generate/Generate.h"
#include "platform/Clock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using test::Quoted;
using test::TempDir;

const fs::path kInputs = KESTREL_SYSTEMC_FIXTURES_DIR;

// A new project with the declarations of all_types.json: functions over all eight C types,
// by value, const, by reference and as arrays (a reference to an array element type,
// "T & name []", declares an array of references, which C++ refuses, so no parameter is
// both), and signals of every type and direction with initial values. Its .tp path.
std::string MakeExampleProject(const TempDir& dir) {
    const std::string tp = Quoted((dir.path() / "Demo/Demo.tp").string());
    for (const std::string& arguments :
         {"new Demo --location " + Quoted(dir.str()),
          "declare " + tp + " " + Quoted((kInputs / "all_types.json").string()),
          "options " + tp +
              " --method template --title 'SystemC compile check' --company Kestrel "
              "--comment 'first line\nsecond line' --comment-in-headers on"}) {
        test::CommandResult run = test::Cli(arguments, dir.path() / "cli.log");
        EXPECT_EQ(run.exitCode, 0) << arguments << "\n" << run.output;
    }
    return (dir.path() / "Demo/Demo.tp").string();
}

TEST(SystemcCompile, GeneratedTemplateTransactorBuildsAndRuns) {
    TempDir dir;
    const std::string projectFile = MakeExampleProject(dir);
    ASSERT_FALSE(HasFailure());

    GenerationSession session;
    FixedClock clock(LocalDateTime{2026, 12, 4, 9, 51, 15, 5});
    GenerateProjectResult generated = GenerateProject(projectFile, session, clock, nullptr);
    ASSERT_TRUE(generated.status.ok()) << generated.status.message();
    ASSERT_EQ(generated.errorCount, 0) << session.log.StatusText();

    const fs::path output = dir.path() / "Demo" / "Output";
    const fs::path work = dir.path() / "build";
    fs::create_directories(work);
    fs::copy_file(kInputs / "template_sc_main.cpp", work / "sc_main.cpp");
    test::CommandResult run =
        test::BuildAndRun({{output / "Tran.cpp", "-Wno-return-type"},
                           {work / "sc_main.cpp", "-I" + Quoted(output.string())}},
                          work);
    EXPECT_EQ(run.exitCode, 0) << run.output;
}

// The header's claims, in both language modes the README gives: every SC_LOGIC_ expression
// it promises compiles without a warning and behaves, and _itoa writes the right digits.
TEST(SystemcCompile, CompatibilityHeaderChecksPass) {
    TempDir dir;
    const fs::path source = kInputs / "logic_literals.cpp";
    const fs::path headerFolder = fs::path(KESTREL_SYSTEMC_COMPAT_HEADER).parent_path();
    const std::string flags = "-Wall -Wextra -Werror -I" + Quoted(headerFolder.string());
    struct Mode {
        const char* name;
        const char* standard;
    };
    for (Mode mode :
         {Mode{"c++17", "-std=c++17"}, Mode{"c++20", "-std=c++20 -DSC_CPLUSPLUS=201703L"}}) {
        SCOPED_TRACE(mode.name);
        test::CommandResult run =
            test::BuildAndRun({{source, flags}}, dir.path() / mode.name, mode.standard);
        EXPECT_EQ(run.exitCode, 0) << run.output;
    }
}

} // namespace
} // namespace kestrel
