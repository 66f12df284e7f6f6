// The generation log: the status text of steps, errors and the summary, as the window's
// observer sees it, and a reset.
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

} // namespace
} // namespace kestrel
