// Section texts that are written as they grow: the line writer handing its text to a sink
// in order once it reaches the threshold, and a function whose behaviour is larger than
// the piece size written whole into its section file, replacing the old one and leaving
// no temporary file; a Temp folder that cannot be written names each section file.
#include "generate/FunctionTranslation.h"

#include "codegen/SectionFileReader.h"
#include "translator/DiagnosticCollector.h"

#include "TestSupport.h"
#include "TranslatorHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

TEST(TextWriterSpill, HandsTheTextOverInOrderOnceItReachesTheThreshold) {
    TextWriter plain;
    plain.line("kept");
    plain.Flush(); // without a sink the text stays
    EXPECT_EQ(plain.text(), "kept\r\n");

    std::vector<std::string> pieces;
    TextWriter writer;
    writer.line("before"); // held text is handed over as soon as a sink is set, if full
    writer.SpillTo([&](std::string_view piece) { pieces.emplace_back(piece); }, 10);
    EXPECT_TRUE(pieces.empty()) << "8 bytes stay below the threshold";
    writer.line({"ab", "cd"});
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0], "before\r\nabcd\r\n");
    EXPECT_EQ(writer.text(), "");
    writer.blank();
    writer.line("0123456789");
    writer.splice("x\r\ny\r\n", "  ");
    writer.line("tail");
    EXPECT_EQ(writer.text(), "tail\r\n");
    writer.Flush();
    writer.Flush(); // nothing left: no empty piece
    EXPECT_EQ(pieces, (std::vector<std::string>{"before\r\nabcd\r\n", "\r\n0123456789\r\n",
                                                "  x\r\n  y\r\n", "tail\r\n"}));
    EXPECT_EQ(writer.text(), "");
}

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

TEST(SectionFiles, ABehaviourLargerThanOnePieceIsWrittenWhole) {
    FillRun fill;
    test::WriteBytes(fill.dir.path() / "Temp/Fill.asm", "old behaviour\r\n");

    // 100,000 parameter assignments in one step: about 1.7 MB of .asm, written in pieces.
    std::string asml = "namespace nsFill\r\n  public Fill ( p as Integer )\r\n    step\r\n";
    std::string expected = "      {\r\n";
    for (int i = 0; i < 100000; ++i) {
        const std::string value = std::to_string(i % 1000);
        asml += "      p := " + value + "\r\n";
        expected += "      p  = " + value + "  ;\r\n";
    }
    expected += "      Fill_Update () ;\r\n      }\r\n";
    ASSERT_GT(expected.size(), std::size_t{1} << 20);
    fill.Translate(asml);

    EXPECT_EQ(fill.sample.run.log().ErrorCount(), 0) << fill.sample.TakeLog();
    const std::string behaviour = test::ReadBytes(fill.dir.path() / "Temp/Fill.asm");
    EXPECT_EQ(behaviour.size(), expected.size());
    EXPECT_TRUE(test::SameBytes(expected, behaviour));
    EXPECT_EQ(test::ReadBytes(fill.dir.path() / "Temp/Fill.dec"), "");
    EXPECT_EQ(test::ReadBytes(fill.dir.path() / "Temp/Fill.ini"),
              "\r\n  wait ( SC_ZERO_TIME ) ;\r\n");
    EXPECT_EQ(test::ReadBytes(fill.dir.path() / "Temp/Fill.upd"),
              "  wait ( clk->posedge_event () ) ;\r\n");

    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(fill.dir.path() / "Temp"))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Fill.asm", "Fill.dec", "Fill.ini", "Fill.upd"}))
        << "no temporary file stays behind";
}

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
