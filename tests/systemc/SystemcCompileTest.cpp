// The generated SystemC is real C++: a project made through the core is generated with the
// template method, and the three files are compiled with a small sc_main, linked against
// the installed SystemC and run. The compatibility header kestrel_systemc.h is what makes
// the Windows-flavoured output build here; its own checks are compiled and run as well.
#include "CodegenSamples.h"
#include "SystemcBuild.h"
#include "TestSupport.h"

#include "generate/Generate.h"
#include "model/ProjectOptions.h"
#include "model/RtlSignal.h"
#include "model/TlmFunction.h"
#include "platform/Clock.h"
#include "platform/System.h"
#include "project/ProjectCommands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using test::Quoted;
using test::TempDir;

TlmParameter Parameter(int typeIndex, std::string_view name, bool byReference = false,
                       bool isConst = false, bool isArray = false) {
    return sample::Parameter(kCTypeNames[static_cast<std::size_t>(typeIndex)], typeIndex, name,
                             byReference, isConst, isArray);
}

TlmFunction Function(std::string_view name, int returnIndex,
                     std::initializer_list<TlmParameter> parameters) {
    return sample::Function(name, kCTypeNames[static_cast<std::size_t>(returnIndex)], returnIndex,
                            parameters);
}

using sample::Signal;

enum { kVoid, kBool, kChar, kShort, kInt, kUChar, kUShort, kUInt };
enum { kLogic, kLv, kBoolPort };
enum { kIn, kOut, kInOut };

// Functions over all eight C types, by value, const, by reference and as arrays. A
// reference to an array element type ("T & name []") declares an array of references,
// which C++ refuses, so no parameter is both.
void DeclareFunctions(TlmFunctionTable& table) {
    table[1] = Function("reset", kVoid, {});
    table[2] = Function("write", kVoid,
                        {Parameter(kUInt, "addr"), Parameter(kUChar, "data", false, true, true),
                         Parameter(kShort, "status", true)});
    table[3] =
        Function("read", kInt, {Parameter(kInt, "addr", true, true), Parameter(kChar, "tag")});
    table[4] =
        Function("ready", kBool, {Parameter(kBool, "blocking"), Parameter(kUShort, "count", true)});
    table[5] = Function("checksum", kUChar,
                        {Parameter(kChar, "text", false, true, true), Parameter(kInt, "length")});
    table[6] = Function("burst", kVoid,
                        {Parameter(kUInt, "words", false, false, true),
                         Parameter(kUShort, "size", true, true), Parameter(kBool, "last", true)});
    table.count = 6;
}

// As the user declares them, from the RTL design's side; the transactor's own ports are
// the reversed directions (sc_in <-> sc_out, sc_inout stays, the clock stays an input).
void DeclareSignals(RtlSignalTable& table) {
    int n = 0;
    table[++n] = Signal("clk", kBoolPort, 1, kIn, "1", true);
    table[++n] = Signal("rst_n", kBoolPort, 1, kIn, "0");    // sc_out <bool>, SC_LOGIC_0
    table[++n] = Signal("enable", kBoolPort, 1, kIn, "1");   // sc_out <bool>, SC_LOGIC_1
    table[++n] = Signal("done", kBoolPort, 1, kOut, "0");    // sc_in <bool>
    table[++n] = Signal("flag", kBoolPort, 1, kInOut, "1");  // sc_inout <bool>
    table[++n] = Signal("start", kLogic, 1, kIn, "1");       // sc_out <sc_logic>, SC_LOGIC_1
    table[++n] = Signal("hold", kLogic, 1, kIn, "Z");        // sc_out <sc_logic>, SC_LOGIC_Z
    table[++n] = Signal("ack", kLogic, 1, kOut, "X");        // sc_in <sc_logic>
    table[++n] = Signal("line", kLogic, 1, kInOut, "0");     // sc_inout <sc_logic>
    table[++n] = Signal("bit0", kLv, 1, kIn, "1");           // sc_out <sc_lv <1> >
    table[++n] = Signal("data", kLv, 8, kIn, "01XZ0110");    // sc_out <sc_lv <8> >
    table[++n] = Signal("status", kLv, 8, kOut, "00000000"); // sc_in <sc_lv <8> >
    table[++n] = Signal("address", kLv, 32, kIn, "00000000000000000000000010100101");
    table[++n] = Signal("result", kLv, 32, kOut, std::string(32, '0'));
    table[++n] = Signal("bus", kLv, 32, kInOut, std::string(32, 'Z'));
    table.count = static_cast<std::int16_t>(n);
}

// The testbench is tests/fixtures/systemc/template_sc_main.cpp: the non-void functions have
// bodies without a return statement and are never called.

// Creates the project through the core, like New Project and the declaration lists do.
std::string MakeExampleProject(const TempDir& dir) {
    NewProjectDraft draft{"Demo", dir.str()};
    FakeSystemInfo system;
    ProjectRecord record;
    CommandOutcome created = NewProject(draft, system, record);
    EXPECT_TRUE(created.ok()) << created.status.message();

    TlmFunctionTable functions;
    DeclareFunctions(functions);
    RtlSignalTable signals;
    DeclareSignals(signals);
    EXPECT_TRUE(SaveTlmFunctions(record.projectFolder, functions).ok());
    EXPECT_TRUE(SaveRtlSignals(record.projectFolder, signals).ok());

    ProjectOptions options;
    EXPECT_TRUE(LoadOptions(record.projectFolder, options).ok());
    options.generationMethod = kMethodTemplate;
    options.title = "SystemC compile check";
    options.company = "Kestrel";
    options.comment = "first line\r\nsecond line\r\n";
    options.useCommentInHeaders = true;
    EXPECT_TRUE(SaveOptions(record.projectFolder, options).ok());
    return ProjectFilePath(record);
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
    fs::copy_file(fs::path(KESTREL_SYSTEMC_FIXTURES_DIR) / "template_sc_main.cpp",
                  work / "sc_main.cpp");
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
    const fs::path source = fs::path(KESTREL_SYSTEMC_FIXTURES_DIR) / "logic_literals.cpp";
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
