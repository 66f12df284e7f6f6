// Section files written as they grow: a Temp folder that cannot be written names each
// section file, and the function still ends its log line.
#include "generate/FunctionTranslation.h"

#include "codegen/SectionFileReader.h"
#include "translator/DiagnosticCollector.h"

#include "TestSupport.h"
#include "TranslatorHarness.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

// A run of one function Fill (parameter p) in a project folder of its own.
struct FillRun {
    test::TempDir dir;
    test::SampleRun sample;
    DiagnosticCollector places{sample.session.log, nullptr};
    std::unique_ptr<TranslationState> state = std::make_unique<TranslationState>();

    FillRun() {
        sample.run.projectFolder = dir.str();
        sample.AddFunction(1, "Fill", {"p"});
        sample.run.tables.functions.count = 1;
        sample.run.tables.options.useSetupTime = false;
        fs::create_directories(dir.path() / "Temp");
    }

    void Translate(const std::string& asml) {
        std::vector<std::string_view> lines = SplitSectionLines(asml);
        AsmlSource source{lines, dir / "Temp/clean.asml", nullptr};
        TranslateFunction(sample.run, 1, source, *state, places);
    }
};

TEST(SectionFiles, AnUnwritableTempFolderNamesEachSectionFile) {
    FillRun fill;
    fs::remove_all(fill.dir.path() / "Temp");
    fill.Translate("namespace nsFill\r\n  public Fill ( p as Integer )\r\n    step\r\n"
                   "      p := 1\r\n");

    const std::string log = fill.sample.TakeLog();
    EXPECT_EQ(fill.sample.run.log().ErrorCount(), 4) << log;
    for (const char* extension : {".dec", ".ini", ".asm", ".upd"}) {
        const std::string message =
            "ERROR: Cannot write \"" + fill.dir / "Temp/Fill" + extension + "\": ";
        EXPECT_NE(log.find(message), std::string::npos) << message << "\n" << log;
    }
    EXPECT_TRUE(log.ends_with("Done!\r\n")) << "the function still ends its log line";
    EXPECT_FALSE(fs::exists(fill.dir.path() / "Temp"));
}

} // namespace
} // namespace kestrel
