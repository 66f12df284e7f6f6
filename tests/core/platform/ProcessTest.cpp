// The process seam on this machine: exit status, standard output and error of a program, a
// program that cannot be started, and one that runs past its time; and the command runner
// of the long tools: its merged lines as they come, its folder and environment, a stop.
#include "platform/Process.h"
#include "platform/CommandRun.h"

#include "TestSupport.h"

#include <atomic>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace kestrel {
namespace {

using namespace std::chrono_literals;

TEST(LinuxProcessRunner, ReportsExitStatusErrorsAndTimeouts) {
    LinuxProcessRunner runner;
    ProcessOutcome failed =
        runner.Run("/bin/sh", {"-c", "echo to-out; echo 'bad input' >&2; exit 3"}, 10s);
    EXPECT_EQ(std::tuple(failed.started, failed.timedOut, failed.exitCode, failed.errorOutput,
                         failed.output, failed.succeeded()),
              std::tuple(true, false, 3, "bad input\n", "to-out\n", false));

    // Arguments pass as they are: no shell splits them.
    ProcessOutcome ok = runner.Run("/bin/sh", {"-c", "test \"$0\" = 'a b'", "a b"}, 10s);
    EXPECT_TRUE(ok.succeeded()) << ok.errorOutput;

    ProcessOutcome missing = runner.Run("/nonexistent/kestrel-docgen", {}, 10s);
    EXPECT_FALSE(missing.started);
    EXPECT_NE(missing.errorOutput.find("/nonexistent/kestrel-docgen"), std::string::npos);

    auto start = std::chrono::steady_clock::now();
    ProcessOutcome slow = runner.Run("/bin/sleep", {"30"}, 300ms);
    EXPECT_TRUE(slow.started && slow.timedOut);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);

    // A time-out also ends what the program started: the grandchild here would otherwise
    // live on and keep the error pipe open.
    test::TempDir dir;
    const std::string marker = (dir.path() / "grandchild.pid").string();
    ProcessOutcome parent =
        runner.Run("/bin/sh", {"-c", "sleep 30 & echo $! > \"$0\"; wait", marker}, 500ms);
    EXPECT_TRUE(parent.timedOut);
    const std::string grandchild = test::ReadBytes(marker);
    ASSERT_FALSE(grandchild.empty());
    const pid_t grandchildPid = std::stoi(grandchild);
    // Ended means no such process, or a zombie waiting for its new parent to reap it.
    auto ended = [grandchildPid] {
        if (::kill(grandchildPid, 0) != 0) return true;
        const std::string stat =
            test::ReadBytes("/proc/" + std::to_string(grandchildPid) + "/stat");
        const std::size_t close = stat.rfind(')');
        return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] == 'Z';
    };
    bool gone = false;
    for (int i = 0; i < 100 && !gone; ++i) {
        gone = ended();
        if (!gone) std::this_thread::sleep_for(20ms);
    }
    EXPECT_TRUE(gone) << "process " << grandchildPid << " outlived the time-out";

    // A program that writes much on its standard error does not block.
    ProcessOutcome chatty =
        runner.Run("/bin/sh",
                   {"-c", "i=0; while [ $i -lt 3000 ]; do echo "
                          "0123456789012345678901234567890123456789 >&2; i=$((i+1)); done"},
                   30s);
    EXPECT_EQ(chatty.exitCode, 0);
    EXPECT_EQ(chatty.errorOutput.size(), 64u * 1024u);

    // Nor does one that fills both streams at once; each keeps its own first 64 KiB.
    ProcessOutcome both =
        runner.Run("/bin/sh",
                   {"-c", "i=0; while [ $i -lt 3000 ]; do echo "
                          "0123456789012345678901234567890123456789; echo e >&2; i=$((i+1)); done"},
                   30s);
    EXPECT_EQ(both.exitCode, 0);
    EXPECT_EQ(both.output.size(), 64u * 1024u);
    EXPECT_EQ(both.output.substr(0, 41), "0123456789012345678901234567890123456789\n");
    EXPECT_EQ(both.errorOutput.size(), 6000u);
}

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

TEST(RunCommand, AStopEndsTheProgramAndWhatItStarted) {
    std::atomic<bool> stop{false};
    std::thread stopper([&stop] {
        std::this_thread::sleep_for(300ms);
        stop = true;
    });
    auto start = std::chrono::steady_clock::now();
    std::vector<std::string> lines;
    RunOutcome run = RunCommand(
        {"sh", {"-c", "echo started; sleep 30 & wait"}, {}, {}}, 60s,
        [&](std::string_view line) { lines.emplace_back(line); }, &stop);
    stopper.join();
    EXPECT_EQ(std::tuple(run.stopped, run.timedOut, run.succeeded()),
              std::tuple(true, false, false));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
    EXPECT_EQ(lines, (std::vector<std::string>{"started"}));

    RunOutcome late = RunCommand({"sleep", {"30"}, {}, {}}, 200ms);
    EXPECT_EQ(std::pair(late.timedOut, late.stopped), std::pair(true, false));
}

TEST(RunningProgramFolder, IsTheFolderOfThisTest) {
    EXPECT_EQ(std::filesystem::path(RunningProgramFolder()), test::BinDir());
}

} // namespace
} // namespace kestrel
