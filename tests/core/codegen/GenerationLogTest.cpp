// The generation log: status text of each operation, counters, progress, the observer
// and the log file.
#include "codegen/GenerationLog.h"

#include "TestSupport.h"

#include <vector>

namespace kestrel {
namespace {

class Recorder : public LogObserver {
public:
    std::string text;
    std::vector<std::pair<int, int>> progress;
    int resets = 0;
    void OnText(std::string_view appended) override { text.append(appended); }
    void OnProgress(int value, int maximum) override { progress.emplace_back(value, maximum); }
    void OnReset() override {
        ++resets;
        text.clear();
    }
};

TEST(GenerationLog, StepLineErrorAndSummaryText) {
    GenerationLog log;
    Recorder recorder;
    log.SetObserver(&recorder);
    log.LogLine(":: Heading ::");
    log.LogStep("Generating SystemC Code for f(...) ");
    log.LogError("x - wrong port direction");
    log.LogLine("Done!");
    log.LogStep("Creating a File");
    log.LogLine("Done!");
    log.LogSummary();
    const std::string expected = test::ReadBytes(test::GoldenDir() / "codegen/log_lines.status");
    EXPECT_TRUE(test::SameBytes(expected, log.StatusText()));
    EXPECT_TRUE(test::SameBytes(expected, recorder.text));
    EXPECT_EQ(log.ErrorCount(), 1);
    EXPECT_EQ(log.WarningCount(), 0);

    log.ResetLog();
    EXPECT_EQ(log.StatusText(), "");
    EXPECT_EQ(log.ErrorCount(), 0);
    EXPECT_EQ(recorder.resets, 1);
    for (int i = 0; i < 12; ++i) log.LogError("e");
    log.LogSummary();
    EXPECT_NE(log.StatusText().find("\r\n12 Error(s), 0 Warning(s)\r\n"), std::string::npos);
}

TEST(GenerationLog, ProgressMaximumByMethod) {
    GenerationLog log;
    Recorder recorder;
    log.SetObserver(&recorder);
    using Case = std::tuple<int, int, bool, int>; // method, functions, library, maximum
    for (auto [method, functions, library, maximum] :
         {Case{1, 5, true, 10}, Case{2, 5, false, 9}, Case{2, 0, true, 5}, Case{0, 5, true, 0},
          Case{4, 5, true, 0}}) {
        log.SetupProgress(method, functions, library);
        EXPECT_EQ(log.ProgressMaximum(), maximum) << method << " " << functions;
    }

    log.SetupProgress(3, 25, true);
    EXPECT_EQ(log.ProgressMaximum(), 3);
    EXPECT_EQ(log.ProgressValue(), 0);
    for (int i = 0; i < 4; ++i) log.AdvanceProgress();
    EXPECT_EQ(log.ProgressValue(), 3) << "the value stops at the maximum";
    EXPECT_EQ(recorder.progress.back(), std::make_pair(3, 3));

    // A new run starts the value at 0 again.
    log.SetupProgress(3, 0, false);
    EXPECT_EQ(log.ProgressValue(), 0);
}

TEST(GenerationLog, LogFileHeadingDateAndStatusText) {
    // The status text of a template run, under the heading and the date.
    const std::string expected = test::ReadBytes(test::GoldenDir() / "codegen/template_only.log");
    std::string status = expected.substr(expected.find(":: "));
    status.erase(status.size() - 2); // the file ends with one more line end
    EXPECT_TRUE(
        test::SameBytes(expected, LogFileText("Proj", {2026, 12, 4, 9, 51, 15, 5}, status)));

    test::TempDir dir;
    GenerationLog log;
    log.LogLine(":: Generating Transactor Template ::");
    log.LogSummary();
    FixedClock clock({2026, 12, 4, 9, 51, 15, 5});
    ASSERT_TRUE(log.WriteLogFile(dir.str(), "Proj", clock).ok());
    EXPECT_TRUE(test::SameBytes(expected, test::ReadBytes(dir / "Proj.log")));

    Status missing = log.WriteLogFile(dir / "no-such-folder", "Proj", clock);
    ASSERT_FALSE(missing.ok());
    EXPECT_NE(missing.message().find("no-such-folder/Proj.log"), std::string::npos);
}

} // namespace
} // namespace kestrel
