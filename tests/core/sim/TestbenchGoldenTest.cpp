// Every file of the testbench folder against its golden file (tests/golden/testbench/):
// examples/MemReqAck with the SystemC model to fill (no Verilog), with its Verilog memory
// (ports read by Verilator) and defines and include folders, and examples/UartLoop made
// from its text sources by kestrel-cli and written by the window's Simulate, each copied
// into a temporary folder and written into an empty testbench folder. kestrel_systemc.h
// arrives as installed; kestrel_pins.h has one golden file for all (its writer set to
// kestrel-cli testbench). The temporary folder is named <temp> in the golden files.
#include "sim/Testbench.h"

#include "model/ProjectOptions.h"
#include "platform/CommandRun.h"
#include "platform/Process.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

const fs::path kExamples = KESTREL_EXAMPLES_DIR;
const fs::path kShare = kExamples.parent_path() / "share" / "kestrel";

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

std::string Masked(std::string text, const std::string& temp) {
    for (std::size_t at = text.find(temp); at != std::string::npos; at = text.find(temp, at))
        text.replace(at, temp.size(), "<temp>");
    return text;
}

// Writes the testbench and compares every file written with the golden files of `name`.
void ExpectGolden(const std::string& name, TestbenchRequest request, const test::TempDir& dir) {
    request.compatHeader = (kShare / "kestrel_systemc.h").string();
    const TestbenchResult result = WriteTestbench(request);
    ASSERT_TRUE(result.ok()) << result.status.message()
                             << (result.problems.empty() ? "" : result.problems[0]);
    EXPECT_TRUE(result.kept.empty());
    const fs::path golden = test::GoldenDir() / "testbench";
    for (const std::string& file : result.written) {
        std::string text = Masked(test::ReadBytes(fs::path(result.folder) / file), dir.str());
        if (file == "kestrel_systemc.h") {
            EXPECT_EQ(text, test::ReadBytes(kShare / file));
        } else if (file == "kestrel_pins.h") { // one golden file, its writer kestrel-cli testbench
            text.replace(text.find(request.writer), request.writer.size(), kWriterTestbench);
            EXPECT_TRUE(test::MatchesGolden(golden / file, text)) << name;
        } else {
            EXPECT_TRUE(test::MatchesGolden(golden / name / file, text)) << name << ": " << file;
        }
    }
    for (const std::string& file : test::FilesUnder(golden / name))
        EXPECT_NE(std::find(result.written.begin(), result.written.end(), file),
                  result.written.end())
            << name << ": " << file << " was not written";
}

fs::path MemReqAck(const fs::path& parent) {
    const fs::path project = parent / "MemReqAck";
    test::CopyTree(kExamples / "MemReqAck", project);
    PointOutputs(project);
    return project;
}

bool HasVerilator() {
    return !FindProgram("verilator").empty();
}

// In a folder whose name has blanks, a dollar and parentheses, then moved with its project:
// the build file names the project's files from its own folder, so the moved folder
// configures.
TEST(TestbenchGolden, MemReqAckWithItsSystemcModelMovedWithItsProject) {
    test::TempDir dir;
    const fs::path original = dir.path() / "my $HOME (copy)";
    TestbenchRequest request;
    request.projectFile = (MemReqAck(original) / "MemReqAck.tp").string();
    ExpectGolden("MemReqAck-systemc", request, dir);
    fs::rename(original, dir.path() / "moved");
    const std::string folder =
        (dir.path() / "moved" / "MemReqAck" / "Output" / "testbench").string();
    const RunOutcome configured =
        RunCommand({"cmake", {"-S", folder, "-B", dir / "build"}, {}, {}}, std::chrono::minutes(2));
    EXPECT_TRUE(configured.succeeded()) << configured.output;
}

TEST(TestbenchGolden, MemReqAckWithItsVerilogDefinesAndIncludeFolders) {
    if (!HasVerilator()) GTEST_SKIP() << "verilator is not installed";
    test::TempDir dir;
    const fs::path project = MemReqAck(dir.path());
    fs::create_directories(project / "include");
    fs::create_directories(dir.path() / "shared; headers");
    TestbenchRequest request;
    request.projectFile = (project / "MemReqAck.tp").string();
    request.rtlFiles = {(project / "rtl" / "memory.v").string()};
    request.defines = {"WIDTH=8", "GREETING=\"a b;c\"", "PATH=$HOME\\x"};
    request.includeFolders = {(project / "include").string(), dir / "shared; headers"};
    ExpectGolden("MemReqAck-verilog", request, dir);
}

TEST(TestbenchGolden, UartLoopMadeFromItsTextSources) {
    if (!HasVerilator()) GTEST_SKIP() << "verilator is not installed";
    test::TempDir dir;
    const RunOutcome made = RunCommand({(kExamples / "UartLoop" / "make-project").string(),
                                        {(test::BinDir() / "kestrel-cli").string(), dir.str()},
                                        {},
                                        {}},
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

} // namespace
} // namespace kestrel
