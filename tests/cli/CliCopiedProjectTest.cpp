// A generated project copied to another folder: every command that reads the copy says
// once that its generated files would go into the original's folder, naming them and the
// copy's folder, without changing its exit status; settings --here points them at the
// copy's Output folder, after which the copy generates there and the original's files are
// left as they were.
#include "CliRunner.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

using test::Cli;
using test::CliRun;

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

TEST(CliCopiedProject, CommandsWarnUntilSettingsHerePointsTheCopyAtItsOwnOutput) {
    test::TempDir dir;
    const fs::path example = test::FixtureDir().parent_path().parent_path() / "examples/MemReqAck";
    const fs::path original = dir.path() / "orig" / "MemReqAck";
    test::CopyTree(example, original);
    const std::string originalTp = (original / "MemReqAck.tp").string();

    // The example names its files relative to the project: they lie in the project's own
    // Output wherever the command runs, so nothing is said and Generate writes there.
    CliRun shown = Cli({"show", originalTp});
    EXPECT_EQ(shown.code, 0);
    EXPECT_EQ(shown.err.find("warning"), std::string::npos) << shown.err;
    CliRun relative = Cli({"generate", originalTp});
    EXPECT_EQ(relative.code, 0) << relative.err;
    EXPECT_NE(
        relative.out.find("Creating " + (original / "Output/Tran.cpp").string() + " File...Done!"),
        std::string::npos)
        << relative.out;
    EXPECT_TRUE(fs::exists(original / "Output/Tran.cpp"));
    EXPECT_FALSE(fs::exists("Output/Tran.cpp"));
    // --here writes them as full paths.
    CliRun here = Cli({"settings", originalTp, "--here"});
    ASSERT_EQ(here.code, 0) << here.err;
    const std::string out = (original / "Output").string();
    EXPECT_EQ(here.out, "Interface header: Output/TLM_AIC.h -> " + out +
                            "/TLM_AIC.h\n"
                            "Transactor header: Output/Tran.h -> " +
                            out +
                            "/Tran.h\n"
                            "Transactor C++ file: Output/Tran.cpp -> " +
                            out +
                            "/Tran.cpp\n"
                            "Library file: Output/MemReqAck.tlib -> " +
                            out +
                            "/MemReqAck.tlib\n"
                            "Library folder: Output -> " +
                            out + "\n");
    EXPECT_EQ(here.err.find("warning"), std::string::npos) << here.err;
    ASSERT_EQ(Cli({"generate", originalTp}).code, 0);
    const std::vector<std::string> generated = {"Output/TLM_AIC.h", "Output/Tran.h",
                                                "Output/Tran.cpp", "MemReqAck.log"};
    std::map<std::string, std::pair<std::string, fs::file_time_type>> before;
    for (const std::string& name : generated)
        before[name] = {test::ReadBytes(original / name), fs::last_write_time(original / name)};

    const fs::path copy = dir.path() / "copy" / "MemReqAck";
    test::CopyTree(original, copy);
    const std::string tp = (copy / "MemReqAck.tp").string();
    const std::string diagram = (copy / "Input/Write.asf").string();
    fs::copy_file(example / "declarations.json", dir.path() / "decl.json");
    const std::vector<std::vector<std::string>> commands = {
        {"show", tp},
        {"show", tp, "--json"},
        {"check", tp},
        {"options", tp},
        {"settings", tp, "--transactor-class", "clsTran"},
        {"declare", tp, (dir.path() / "decl.json").string()},
        {"diagram", "check", diagram, "--project", tp, "--function", "Write"},
        {"unassign-fsm", tp, "Read"},
    };
    const std::string said = "kestrel-cli: warning: the generated files of the project in " +
                             copy.string() + " are set to go outside it: " + out + "/TLM_AIC.h, " +
                             out + "/Tran.h and " + out + "/Tran.cpp lie inside " +
                             original.string() + ", the folder of another project";
    for (const std::vector<std::string>& command : commands) {
        CliRun run = Cli(command);
        EXPECT_EQ(run.code, 0) << command[0] << ": " << run.err;
        EXPECT_EQ(Count(run.err, "kestrel-cli: warning: the generated files"), 1u)
            << command[0] << ": " << run.err;
        EXPECT_NE(run.err.find(said), std::string::npos) << command[0] << ": " << run.err;
        EXPECT_NE(run.err.find("kestrel-cli settings " + tp + " --here"), std::string::npos);
    }
    // A command that refuses keeps its own status.
    EXPECT_EQ(Cli({"assign-fsm", tp, "NoSuch", diagram}).code, 2);

    here = Cli({"settings", tp, "--here"});
    ASSERT_EQ(here.code, 0) << here.err;
    EXPECT_NE(here.out.find("Transactor C++ file: " + out + "/Tran.cpp -> " + copy.string() +
                            "/Output/Tran.cpp\n"),
              std::string::npos)
        << here.out;
    EXPECT_EQ(here.err, "");
    CliRun again = Cli({"settings", tp, "--here"});
    EXPECT_EQ(again.out, "nothing to change: the generated files already go to " + copy.string() +
                             "/Output\n");

    fs::remove(copy / "Output/Tran.cpp");
    CliRun made = Cli({"generate", tp});
    EXPECT_EQ(made.code, 0) << made.out << made.err;
    EXPECT_EQ(made.err, "");
    EXPECT_NE(made.out.find("Creating " + copy.string() + "/Output/Tran.cpp File...Done!"),
              std::string::npos)
        << made.out;
    EXPECT_TRUE(fs::exists(copy / "Output/Tran.cpp"));
    for (const std::string& name : generated) {
        EXPECT_EQ(test::ReadBytes(original / name), before[name].first) << name;
        EXPECT_EQ(fs::last_write_time(original / name), before[name].second) << name;
    }
}

// Output files the user set to a folder of their own are left alone.
TEST(CliCopiedProject, AFolderOfTheUsersOwnIsNotWarnedOf) {
    test::TempDir dir;
    ASSERT_EQ(Cli({"new", "Bus", "--location", dir.str()}).code, 0);
    const std::string tp = dir / "Bus/Bus.tp";
    fs::create_directories(dir.path() / "generated");
    CliRun set = Cli({"settings", tp, "--cpp", dir / "generated/Bus.cpp"});
    EXPECT_EQ(set.code, 0);
    EXPECT_EQ(set.err, "");
    EXPECT_EQ(Cli({"show", tp}).err, "");

    // --here leaves a library of the user's own where it is.
    ASSERT_EQ(Cli({"options", tp, "--library", dir / "libs/Bus.tlib"}).code, 0);
    CliRun here = Cli({"settings", tp, "--here"});
    EXPECT_EQ(here.out, "Transactor C++ file: " + (dir / "generated/Bus.cpp") + " -> " +
                            (dir / "Bus/Output/Bus.cpp") + "\n");
    // Setting a name outside through settings warns after the change.
    CliRun away = Cli({"settings", tp, "--header", dir / "gone/Tran.h"});
    EXPECT_EQ(away.code, 0);
    EXPECT_EQ(Count(away.err, "kestrel-cli: warning: "), 1u) << away.err;
    EXPECT_NE(away.err.find((dir / "gone/Tran.h") + " lies in " + (dir / "gone") +
                            ", a folder that does not exist"),
              std::string::npos)
        << away.err;
    EXPECT_EQ(Cli({"settings", tp, "--here", "--cpp", "x.cpp"}).code, 2);
}

} // namespace
} // namespace kestrel
