// A generated project copied to another folder: every command that reads the copy says
// once that its generated files would go into the original's folder, naming them and the
// copy's folder, without changing its exit status; settings --here points them at the
// copy's Output folder, after which the copy generates there and the original's files are
// left as they were.
#include "CliRunner.h"

#include <map>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

using test::Cli;
using test::CliRun;
using test::Has;

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

TEST(CliCopiedProject, CommandsWarnUntilSettingsHerePointsTheCopyAtItsOwnOutput) {
    test::TempDir dir;
    const fs::path original = dir.path() / "orig" / "MemReqAck";
    const std::string originalTp = test::CopiedExample(original, false);
    // The example names its files relative to the project: they lie in the project's own
    // Output wherever the command runs, so nothing is said and Generate writes there.
    CliRun shown = Cli({"show", originalTp});
    EXPECT_EQ(shown.code, 0);
    EXPECT_FALSE(Has(shown.err, "warning"));
    CliRun relative = Cli({"generate", originalTp});
    EXPECT_EQ(relative.code, 0) << relative.err;
    EXPECT_TRUE(
        Has(relative.out, "Creating " + (original / "Output/Tran.cpp").string() + " File...Done!"));
    EXPECT_FALSE(fs::exists("Output/Tran.cpp"));
    // --here writes them as full paths.
    CliRun here = Cli({"settings", originalTp, "--here"});
    ASSERT_EQ(here.code, 0) << here.err;
    const std::string out = (original / "Output").string();
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "cli/settings_here.txt",
                                    test::Masked(here.out, out, "<output>")));
    EXPECT_FALSE(Has(here.err, "warning"));
    ASSERT_EQ(Cli({"generate", originalTp}).code, 0);
    std::map<std::string, std::pair<std::string, fs::file_time_type>> before;
    for (const char* name :
         {"Output/TLM_AIC.h", "Output/Tran.h", "Output/Tran.cpp", "MemReqAck.log"})
        before[name] = {test::ReadBytes(original / name), fs::last_write_time(original / name)};

    const fs::path copy = dir.path() / "copy" / "MemReqAck";
    test::CopyTree(original, copy);
    const std::string tp = (copy / "MemReqAck.tp").string();
    const std::string diagram = (copy / "Input/Write.asf").string();
    const std::string warning =
        "kestrel-cli: warning: the generated files of the project in " + copy.string() +
        " are set to go outside it: " + out + "/TLM_AIC.h, " + out + "/Tran.h and " + out +
        "/Tran.cpp lie inside " + original.string() + ", the folder of another project";
    for (const std::vector<std::string>& command : std::vector<std::vector<std::string>>{
             {"show", tp},
             {"check", tp},
             {"options", tp},
             {"settings", tp, "--transactor-class", "clsTran"},
             {"declare", tp,
              (fs::path(KESTREL_EXAMPLES_DIR) / "MemReqAck/declarations.json").string()},
             {"diagram", "check", diagram, "--project", tp, "--function", "Write"},
             {"unassign-fsm", tp, "Read"}}) {
        CliRun run = Cli(command);
        EXPECT_EQ(run.code, 0) << command[0] << ": " << run.err;
        EXPECT_EQ(Count(run.err, "kestrel-cli: warning: the generated files"), 1u)
            << command[0] << ": " << run.err;
        EXPECT_TRUE(Has(run.err, warning)) << command[0] << ": " << run.err;
        EXPECT_TRUE(Has(run.err, "kestrel-cli settings " + tp + " --here"));
    }
    // A command that refuses keeps its own status.
    EXPECT_EQ(Cli({"assign-fsm", tp, "NoSuch", diagram}).code, 2);

    here = Cli({"settings", tp, "--here"});
    ASSERT_EQ(here.code, 0) << here.err;
    EXPECT_TRUE(Has(here.out, "Transactor C++ file: " + out + "/Tran.cpp -> " + copy.string() +
                                  "/Output/Tran.cpp\n"));
    EXPECT_EQ(here.err, "");
    EXPECT_EQ(Cli({"settings", tp, "--here"}).out,
              "nothing to change: the generated files already go to " + copy.string() +
                  "/Output\n");

    fs::remove(copy / "Output/Tran.cpp");
    CliRun made = Cli({"generate", tp});
    EXPECT_EQ(made.code, 0) << made.out << made.err;
    EXPECT_EQ(made.err, "");
    EXPECT_TRUE(fs::exists(copy / "Output/Tran.cpp"));
    for (const auto& [name, old] : before) {
        EXPECT_EQ(test::ReadBytes(original / name), old.first) << name;
        EXPECT_EQ(fs::last_write_time(original / name), old.second) << name;
    }
}

} // namespace
} // namespace kestrel
