// Translates every function section of the shared conformance cases' clean.asml with
// the project's own tables, prepared as Generate prepares them, and compares the section
// texts and the errors logged for each function with what the cases recorded.
#include "TestSupport.h"
#include "TranslatorHarness.h"

#include "codegen/DeclarationHelpers.h"
#include "generate/FunctionTranslation.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

// What the case's status text shows between a function's heading and its "Done!".
std::string LoggedForFunction(const std::string& status, const std::string& name,
                              std::size_t& from) {
    std::string heading = "Generating SystemC Code for " + name + "(...) ...";
    std::size_t at = status.find(heading, from);
    if (at == std::string::npos) return "<no heading>";
    at += heading.size();
    std::size_t done = status.find("Done!\r\n", at);
    if (done == std::string::npos) return "<no Done!>";
    from = done;
    return status.substr(at, done - at);
}

TEST(TranslatorConformance, EveryFunctionSectionMatchesTheRecordedSectionFiles) {
    const std::vector<fs::path> cases = test::ConformanceCases("case-");
    if (cases.empty()) GTEST_SKIP() << "no conformance cases found";

    int translated = 0;
    const FixedClock clock(LocalDateTime{2026, 12, 4, 9, 51, 15, 5});
    for (const fs::path& dir : cases) {
        fs::path afterRoot = dir / "after";
        if (!fs::is_directory(afterRoot)) continue;
        std::string name;
        for (const auto& entry : fs::directory_iterator(afterRoot))
            if (entry.is_directory()) name = entry.path().filename().string();
        fs::path after = afterRoot / name;
        fs::path clean = after / "Temp" / "clean.asml";
        if (!fs::exists(clean)) continue;
        SCOPED_TRACE(dir.filename().string());

        GenerationSession session;
        GenerationRun run{"", name, {}, session, clock};
        std::string before = (dir / "before" / name).string();
        ASSERT_TRUE(LoadTlmFunctions(before, run.tables.functions).ok());
        ASSERT_TRUE(LoadRtlSignals(before, run.tables.signals).ok());
        ASSERT_TRUE(LoadOptions(before, run.tables.options).ok());
        ReverseDirections(run.tables.signals);
        NormalizeInitValues(run.tables.signals);
        FindClockSignal(run.tables.signals, run.tables.options, session.clock);

        std::string cleanText = test::ReadBytes(clean);
        std::vector<std::string_view> lines = test::SplitCrLfLines(cleanText);
        std::string status = test::ReadBytes(dir / "stdout.txt");
        std::size_t statusFrom = 0;

        for (int slot = 1; slot <= run.tables.functions.count; ++slot) {
            const TlmFunction& function = run.tables.functions[slot];
            if (function.isLibrary) continue;
            std::string fname = function.functionName.Text();
            SCOPED_TRACE(fname);
            fs::path temp = after / "Temp";
            std::string expectedDec = test::ReadBytes(temp / (fname + ".dec"));
            std::string expectedIni = test::ReadBytes(temp / (fname + ".ini"));
            std::string expectedAsm = test::ReadBytes(temp / (fname + ".asm"));
            std::string expectedUpd = test::ReadBytes(temp / (fname + ".upd"));
            std::string expectedLog = LoggedForFunction(status, fname, statusFrom);

            // The section as the route finds it (FunctionSection tests the finding).
            std::optional<std::size_t> start = FindFunctionSection(lines, fname);
            std::vector<std::string_view> section;
            for (std::size_t i = start.value_or(lines.size());
                 i < lines.size() && !EndsSection(lines[i]); ++i)
                section.push_back(lines[i]);
            if (!start) {
                // Not in clean.asml: the route leaves the four files empty.
                EXPECT_EQ(expectedDec + expectedIni + expectedAsm + expectedUpd + expectedLog, "");
            } else {
                ++translated;
                test::TranslatedSection got = test::TranslateSection(run, slot, section);
                std::string clockWait =
                    "  wait ( " + session.clock.clockSignalName + "->" +
                    (session.clock.clockOnPositiveEdge ? "posedge_event ()" : "negedge_event ()") +
                    " ) ;\r\n";
                EXPECT_TRUE(test::SameBytes(expectedDec, got.dec)) << ".dec";
                EXPECT_TRUE(test::SameBytes(expectedAsm, got.behaviour)) << ".asm";
                EXPECT_TRUE(
                    test::SameBytes(expectedIni, got.ini + "\r\n  wait ( SC_ZERO_TIME ) ;\r\n"))
                    << ".ini";
                EXPECT_TRUE(expectedUpd.ends_with(clockWait) && got.upd.empty())
                    << "expected .upd:\n"
                    << expectedUpd << "clock wait:\n"
                    << clockWait;
                EXPECT_TRUE(test::SameBytes(expectedLog, got.log)) << "log";
            }
        }
    }
    EXPECT_GT(translated, 0);
}

} // namespace
} // namespace kestrel
