// The preview of a diagram is what Generate makes of it: the namespaces of clean.asml and
// the four section files of every function of the MemReqAck example, byte for byte; a
// translation error comes back at the diagram line and object it came from.
#include "generate/DiagramPreview.h"
#include "generate/Generate.h"
#include "generate/RunTables.h"

#include "fsm/AsfEdit.h"
#include "model/ProjectPaths.h"

#include "CodegenSamples.h"
#include "DiagramSamples.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <map>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

const FixedClock kClock(LocalDateTime{2026, 12, 4, 9, 51, 15, 5});

AsfDocument LoadDiagram(const std::string& path) {
    AsfDocument doc;
    Status s = AsfDocument::Load(test::ReadBytes(path), path, doc);
    EXPECT_TRUE(s) << s.message();
    return doc;
}

// A copy of the MemReqAck example in `dir`; gives its folder.
std::string CopyExample(const test::TempDir& dir) {
    const std::string folder = dir / "MemReqAck";
    test::CopyTree(test::FixtureDir().parent_path().parent_path() / "examples/MemReqAck", folder);
    return folder;
}

TEST(DiagramPreview, IsWhatGenerateWritesForEveryFunction) {
    test::TempDir dir;
    const std::string folder = CopyExample(dir);
    GenerationSession session;
    GenerateProjectResult run =
        GenerateProject(folder + "/MemReqAck.tp", session, kClock, nullptr, {}, kMethodFsm);
    ASSERT_TRUE(run.status) << run.status.message();

    ProjectTables tables;
    ASSERT_TRUE(LoadRunTables(folder, tables).empty());
    ASSERT_EQ(tables.functions.count, 2);
    std::string clean;
    for (int f = 1; f <= tables.functions.count; ++f) {
        const std::string name = tables.functions[f].functionName.Text();
        SCOPED_TRACE(name);
        AsfDocument doc = LoadDiagram(InputPath(folder, tables.functions[f].asfFileName.Text()));
        DiagramPreview preview = PreviewDiagram(doc, tables, f);
        EXPECT_TRUE(preview.checks.empty()) << preview.checks.front().message;
        clean += preview.asml;
        const std::string temp = folder + "/Temp/" + name;
        EXPECT_TRUE(test::SameBytes(test::ReadBytes(temp + ".dec"), preview.declarations));
        EXPECT_TRUE(test::SameBytes(test::ReadBytes(temp + ".ini"), preview.initialisation));
        EXPECT_TRUE(test::SameBytes(test::ReadBytes(temp + ".asm"), preview.behaviour));
        EXPECT_TRUE(test::SameBytes(test::ReadBytes(temp + ".upd"), preview.update));
    }
    EXPECT_TRUE(test::SameBytes(test::ReadBytes(folder + "/Temp/clean.asml"), clean));

    // Nothing was written by the previews: the files are those of the run.
    EXPECT_FALSE(fs::exists(fs::path(folder) / "clean.asml"));

    // Out of range: an empty preview, no crash.
    AsfDocument any = LoadDiagram(InputPath(folder, "Write.asf"));
    EXPECT_EQ(PreviewDiagram(any, tables, 0).asml, "");
    EXPECT_EQ(PreviewDiagram(any, tables, 3).asml, "");
}

TEST(DiagramPreview, TranslationErrorsPointAtTheActionTheyCameFrom) {
    test::TempDir dir;
    const std::string folder = CopyExample(dir);
    ProjectTables tables;
    ASSERT_TRUE(LoadRunTables(folder, tables).empty());
    AsfDocument doc = LoadDiagram(InputPath(folder, "Write.asf"));
    const ObjectNumber request = doc.Lines()[doc.Records(AsfKind::State).front()].number;
    ObjectNumber action = 0;
    ASSERT_TRUE(AddAction(doc, request, "nosuchsignal := 1", action));

    DiagramPreview preview = PreviewDiagram(doc, tables, 1);
    ASSERT_FALSE(preview.checks.empty());
    const DiagramCheck& error = preview.checks.front();
    EXPECT_EQ(error.severity, DiagramSeverity::Error);
    EXPECT_EQ(error.object, action);
    ASSERT_GT(error.line, 0);
    EXPECT_EQ(doc.Lines()[static_cast<std::size_t>(error.line - 1)].number, action);
    EXPECT_NE(error.message.find("nosuchsignal"), std::string::npos) << error.message;
}

// The example's diagrams drawn again from scratch through the editing operations generate
// the transactor the originals generate, file for file.
TEST(DiagramPreview, RedrawnExampleDiagramsGenerateTheSameTransactor) {
    std::map<std::string, std::string> outputs[2];
    for (int redraw = 0; redraw < 2; ++redraw) {
        test::TempDir dir;
        const std::string folder = CopyExample(dir);
        GenerationSettings settings;
        ASSERT_TRUE(LoadGenerationSettings(folder, settings));
        sample::SetPaths(settings, folder + "/Output");
        ASSERT_TRUE(SaveGenerationSettings(folder, settings));
        if (redraw == 1) {
            for (const char* name : {"Read.asf", "Write.asf"}) {
                AsfDocument doc = LoadDiagram(InputPath(folder, name));
                const std::string before = doc.Bytes();
                sample::RedrawFromScratch(doc);
                EXPECT_NE(doc.Bytes(), before); // every object is a new one
                test::WriteBytes(InputPath(folder, name), doc.Bytes());
            }
        }
        GenerationSession session;
        GenerateProjectResult run =
            GenerateProject(folder + "/MemReqAck.tp", session, kClock, nullptr, {}, kMethodFsm);
        ASSERT_TRUE(run.status) << run.status.message();
        EXPECT_EQ(run.errorCount, 0) << session.log.StatusText();
        for (const char* file : {"Tran.cpp", "Tran.h", "TLM_AIC.h"})
            outputs[redraw][file] = test::ReadBytes(folder + "/Output/" + file);
    }
    ASSERT_EQ(outputs[0].size(), 3u);
    for (const auto& [file, text] : outputs[0]) {
        SCOPED_TRACE(file);
        EXPECT_GT(text.size(), 500u);
        EXPECT_TRUE(test::SameBytes(text, outputs[1][file]));
    }
}

} // namespace
} // namespace kestrel
