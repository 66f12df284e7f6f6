// The command runner of the long tools on this machine: its merged lines as they come,
// its folder and environment, a program that cannot be started, and much output kept by
// its end. Timeouts and stops are met through the converter and build tests.
#include "platform/CommandRun.h"

#include "TestSupport.h"

#include <filesystem>
#include <string>
#include <vector>

namespace kestrel {
namespace {

using namespace std::chrono_literals;

TEST(RunCommand, HandsOverMergedLinesInTheFolderAndEnvironmentGiven) {
    test::TempDir dir;
    std::vector<std::string> lines;
    CommandLine command{"sh",
                        {"-c", "echo one; echo two >&2; printf 'cr\\r\\n'; echo \"$KESTREL_T\"; "
                               "pwd; printf 'no end'; exit 4"},
                        dir.path().string(),
                        {"KESTREL_T=set here"}};
    RunOutcome run =
        RunCommand(command, 10s, [&](std::string_view line) { lines.emplace_back(line); });
    EXPECT_EQ(std::tuple(run.started, run.exitCode, run.succeeded()), std::tuple(true, 4, false));
    const std::string folder = std::filesystem::canonical(dir.path()).string();
    EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "cr", "set here", folder, "no end"}));
    EXPECT_EQ(run.output, "one\ntwo\ncr\r\nset here\n" + folder + "\nno end");

    RunOutcome missing = RunCommand({"kestrel-no-such-tool", {}, {}, {}}, 10s);
    EXPECT_FALSE(missing.started);
    EXPECT_NE(missing.output.find("kestrel-no-such-tool"), std::string::npos);

    // Much output is kept by its end.
    RunOutcome chatty =
        RunCommand({"sh",
                    {"-c", "i=0; while [ $i -lt 40000 ]; do echo 0123456789012345678901234567890; "
                           "i=$((i+1)); done; echo last"},
                    {},
                    {}},
                   30s);
    EXPECT_EQ(chatty.exitCode, 0);
    EXPECT_EQ(chatty.output.size(), 1024u * 1024u);
    EXPECT_EQ(chatty.output.substr(chatty.output.size() - 5), "last\n");
}

} // namespace
} // namespace kestrel
