// ExtractAsmlText with real programs: the built kestrel-docextract on a plain-text and a
// template document and on a missing one, and a stand-in program that never ends (the
// wait is bounded).
#include "generate/Routes.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

const FixedClock kClock(LocalDateTime{2026, 12, 4, 9, 51, 15, 5});

struct ExtractorRun {
    test::TempDir dir;
    std::string folder = dir / "Proj";
    GenerationSession session;
    GenerationRun run{folder, "Proj", {}, session, kClock};
    RouteEnvironment environment;

    explicit ExtractorRun(std::string_view document) {
        for (const char* sub : {"Input", "Output", "Temp"})
            fs::create_directories(fs::path(folder) / sub);
        run.tables.asml.asmlDocumentLabel = document;
        run.tables.asml.asmlAssigned = true;
        environment.programFolder = test::BinDir().string();
    }

    // A stand-in for the extractor: a shell script in a folder of its own.
    void UseScript(std::string_view body) {
        fs::path bin = dir.path() / "bin";
        fs::create_directories(bin);
        fs::path script = bin / std::string(kExtractorProgram);
        test::WriteBytes(script, "#!/bin/sh\n" + std::string(body) + "\n");
        fs::permissions(script, fs::perms::owner_all);
        environment.programFolder = bin.string();
    }

    std::string Error() const {
        const std::string& text = session.log.StatusText();
        std::size_t at = text.find("ERROR: ");
        if (at == std::string::npos) return "<no error>";
        return text.substr(at + 7, text.find("\r\n", at) - at - 7);
    }
};

TEST(Extractor, RealProgramReadsPlainAndTemplateDocuments) {
    if (!fs::exists(test::BinDir() / std::string(kExtractorProgram)))
        FAIL() << "build kestrel-docextract first: it is not in " << test::BinDir();

    ExtractorRun plain("spec.txt");
    test::WriteBytes(fs::path(plain.folder) / "Input/spec.txt",
                     "namespace nsRead\n  step\r\n    x := 1");
    std::optional<std::string> text = ExtractAsmlText(plain.run, plain.environment);
    ASSERT_TRUE(text) << plain.session.log.StatusText();
    EXPECT_EQ(*text, "namespace nsRead\r\n  step\r\n    x := 1\r\n");
    EXPECT_EQ(test::ReadBytes(fs::path(plain.folder) / "Temp/clean.asml"), *text);
    EXPECT_EQ(plain.session.log.StatusText(), "Converting spec.txt to clean.asml...Done!\r\n");
    EXPECT_EQ(plain.session.log.ErrorCount(), 0);

    ExtractorRun xml("template.asml");
    test::WriteBytes(fs::path(xml.folder) / "Input/template.asml",
                     test::Fixture("translator/template_document.asml"));
    text = ExtractAsmlText(xml.run, xml.environment);
    ASSERT_TRUE(text) << xml.session.log.StatusText();
    EXPECT_EQ(*text, "      namespace nsRead\r\n      import nsRTL\r\n");

    ExtractorRun missing("gone.doc");
    EXPECT_FALSE(ExtractAsmlText(missing.run, missing.environment));
    EXPECT_EQ(missing.session.log.ErrorCount(), 1);
    EXPECT_EQ(missing.Error().rfind("The AsmL extractor could not convert " + missing.folder +
                                        "/Input/gone.doc: ",
                                    0),
              0u)
        << missing.Error();
    EXPECT_FALSE(fs::exists(fs::path(missing.folder) / "Temp/clean.asml"));
}

// The failures of a program that cannot start, fails or writes nothing are the Generate
// route's (RoutesTest); here a real program that never ends is stopped.
TEST(Extractor, AHangingProgramIsStopped) {
    // The program writes its output and then never ends: the route must not take it.
    ExtractorRun hanging("spec.txt");
    hanging.UseScript("echo 'namespace nsRead' > \"$3\"\nexec sleep 30");
    hanging.environment.extractorTimeout = std::chrono::milliseconds(300);
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(ExtractAsmlText(hanging.run, hanging.environment));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(hanging.Error(), "The AsmL extractor did not finish within 300 ms and was "
                               "stopped; " +
                                   hanging.folder + "/Input/spec.txt was not converted");
    EXPECT_EQ(hanging.session.log.StatusText().rfind("Converting spec.txt to clean.asml...\r\n", 0),
              0u);
    EXPECT_EQ(hanging.session.log.ProgressValue(), 0);
}

} // namespace
} // namespace kestrel
