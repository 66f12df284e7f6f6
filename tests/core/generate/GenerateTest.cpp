// The Generate command on projects written to disk: the template route, the route seam,
// the stand-in routes, file errors, table load errors, the clock values that live across
// runs, the Generate dialog's OK and the one-call entry of the command line.
#include "generate/Generate.h"
#include "codegen/OutputFiles.h"

#include "model/ProjectRecord.h"
#include "platform/FileSystem.h"

#include "CodegenSamples.h"
#include "TestSupport.h"

#include <unistd.h>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

const FixedClock kClock(LocalDateTime{2026, 12, 4, 9, 51, 15, 5});

fs::path Golden(std::string_view name) {
    return test::GoldenDir() / "codegen" / name;
}

// A project folder "Proj" inside `dir`, with the sample declarations; returns its path.
std::string MakeProject(const test::TempDir& dir, int method, bool withTables = true) {
    std::string folder = dir / "Proj";
    for (const char* sub : {"Input", "Output", "Temp"})
        fs::create_directories(fs::path(folder) / sub);
    ProjectTables tables;
    if (withTables) {
        sample::AddThreeFunctions(tables.functions);
        sample::AddFiveSignals(tables.signals);
    }
    tables.options.generationMethod = static_cast<std::int16_t>(method);
    sample::SetBanner(tables.options);
    sample::SetPaths(tables.settings, folder + "/Output");
    tables.asml.asmlDocumentLabel = "<not assigned>";
    EXPECT_TRUE(sample::SaveSampleProject(folder, tables, 2));
    return folder;
}

GenerateRequest RequestFor(const std::string& folder) {
    GenerateRequest request;
    request.projectFolder = folder;
    request.projectName = "Proj";
    EXPECT_TRUE(LoadGenerationSettings(folder, request.settings).ok());
    return request;
}

std::string Read(const std::string& folder, std::string_view relative) {
    return test::ReadBytes(fs::path(folder) / relative);
}

TEST(Generate, TemplateMethodWritesTheThreeFilesAndTheLog) {
    test::TempDir dir;
    std::string folder = MakeProject(dir, 3);
    GenerationSession session;
    test::TextCollector recorder;
    session.log.SetObserver(&recorder);

    EXPECT_EQ(Generate(RequestFor(folder), session, kClock), 0);
    EXPECT_EQ(std::pair(recorder.lastValue, recorder.lastMaximum), std::pair(3, 3));
    EXPECT_EQ(recorder.text, session.log.StatusText());
    const std::string status = session.log.StatusText();
    EXPECT_TRUE(test::MatchesGolden(Golden("template_run.status"), test::Masked(status, folder)));
    EXPECT_TRUE(test::MatchesGolden(Golden("template_run.log"),
                                    test::Masked(Read(folder, "Proj.log"), folder)));

    // The stored declarations, reversed and rewritten in memory, give the reviewed files.
    for (auto [golden, file] : {std::pair{"sample_TLM_AIC.h", "TLM_AIC.h"},
                                {"template_Tran.h", "Tran.h"},
                                {"template_Tran.cpp", "Tran.cpp"}})
        EXPECT_TRUE(
            test::MatchesGolden(Golden(golden), Read(folder, std::string("Output/") + file)));

    // A second run starts from the stored tables again: nothing accumulates.
    std::string header = Read(folder, "Output/Tran.h");
    EXPECT_EQ(Generate(RequestFor(folder), session, kClock), 0);
    EXPECT_TRUE(test::SameBytes(header, Read(folder, "Output/Tran.h")));
    EXPECT_TRUE(test::SameBytes(status, session.log.StatusText()));
    EXPECT_EQ(test::ReadBytes(fs::path(folder) / "Input/rtl_sig.dat").size(), 5u * 380u)
        << "the stored directions are never rewritten";
}

TEST(Generate, FileErrorsAreLoggedAndTheRunGoesOn) {
    test::TempDir dir;
    std::string folder = MakeProject(dir, 3);
    GenerationSession session;

    // Output paths into a folder that is not there (only the project's own folders are
    // made): every file fails and the run goes on.
    GenerateRequest gone = RequestFor(folder);
    sample::SetPaths(gone.settings, folder + "/Gone");
    EXPECT_EQ(Generate(gone, session, kClock), 3);
    EXPECT_TRUE(test::MatchesGolden(Golden("missing_output.status"),
                                    test::Masked(session.log.StatusText(), folder)));
    EXPECT_TRUE(test::MatchesGolden(Golden("missing_output.log"),
                                    test::Masked(Read(folder, "Proj.log"), folder)));
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        EXPECT_EQ(entry.path().string().find("kestrel-tmp"), std::string::npos) << entry.path();
    EXPECT_FALSE(fs::exists(fs::path(folder) / "Gone"));

    // The project's own Output folder, when missing, is made before anything is written.
    fs::remove_all(fs::path(folder) / "Output");
    EXPECT_EQ(Generate(RequestFor(folder), session, kClock), 0);
    EXPECT_TRUE(fs::is_regular_file(fs::path(folder) / "Output/Tran.cpp"));

    // A folder in the way of one file: that file fails, the others are written.
    fs::remove(fs::path(folder) / "Output/Tran.h");
    fs::create_directories(fs::path(folder) / "Output/Tran.h");
    EXPECT_EQ(Generate(RequestFor(folder), session, kClock), 1);
    std::string status = session.log.StatusText();
    for (const std::string& part : std::vector<std::string>{
             "/Output/TLM_AIC.h File...Done!\r\n",
             "/Output/Tran.h File...\r\nERROR: Cannot write \"" + folder + "/Output/Tran.h\": ",
             "/Output/Tran.cpp File...Done!\r\n"})
        EXPECT_NE(status.find(part), std::string::npos) << part;
}

TEST(Generate, WriteProtectedOutputKeepsTheOldFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "write protection does not bind the superuser";
    test::TempDir dir;
    std::string folder = MakeProject(dir, 3);
    fs::path cpp = fs::path(folder) / "Output/Tran.cpp";
    test::WriteBytes(cpp, "good old file\r\n");
    fs::permissions(cpp, fs::perms::owner_read);
    GenerationSession session;
    EXPECT_EQ(Generate(RequestFor(folder), session, kClock), 1);
    EXPECT_EQ(test::ReadBytes(cpp), "good old file\r\n");
    EXPECT_NE(session.log.StatusText().find("ERROR: Cannot write \"" + cpp.string() + "\""),
              std::string::npos);
    fs::permissions(cpp, fs::perms::owner_all);
}

// Stands in for the translator: no translation, then the three full writers.
void WritersOnlyRoute(GenerationRun& run) {
    run.log().LogLine(":: Writers only ::");
    CreateInterfaceHeader(run);
    CreateTransactorHeader(run);
    CreateTransactorCpp(run);
}

TEST(Generate, FullWritersSpliceSectionFilesAndReportMissingOnes) {
    test::TempDir dir;
    std::string folder = MakeProject(dir, 1);
    auto temp = [&](std::string_view file, std::string_view text) {
        test::WriteBytes(fs::path(folder) / "Temp" / file, text);
    };
    temp("read.dec", "sc_signal <int> read_n ;\r\n");
    temp("read.ini", "  read_n = 0 ;\r\n\r\n  wait ( SC_ZERO_TIME ) ;\r\n");
    temp("read.asm", "  read_Update () ;\r\n");
    temp("read.upd", "  wait ( clk->posedge_event () ) ;\r\n");
    // ready.asm is missing.
    for (const char* file : {"write.dec", "write.ini", "write.asm", "write.upd", "ready.dec",
                             "ready.ini", "ready.upd"})
        temp(file, "");

    GenerationSession session;
    BehaviourRoutes routes;
    routes.fsm = WritersOnlyRoute;
    EXPECT_EQ(Generate(RequestFor(folder), session, kClock, routes), 1);
    EXPECT_TRUE(test::MatchesGolden(Golden("missing_section.status"),
                                    test::Masked(session.log.StatusText(), folder)));
    // read's sections spliced in; the missing section contributes no lines.
    EXPECT_TRUE(test::MatchesGolden(Golden("missing_section_Tran.cpp"),
                                    test::Masked(Read(folder, "Output/Tran.cpp"), folder)));
    EXPECT_NE(Read(folder, "Output/Tran.h").find("        sc_signal <int> read_n ;\r\n\r\n"),
              std::string::npos);
}

TEST(Generate, RoutesSeeThePreparedTablesAndTheBoxesAsTyped) {
    test::TempDir dir;
    std::string folder = MakeProject(dir, 1);
    GenerateRequest request = RequestFor(folder);
    request.settings.transactorClassName = "clsTran  ";
    GenerationSession session;
    bool ran = false;
    BehaviourRoutes routes;
    routes.fsm = [&](GenerationRun& run) {
        ran = true;
        EXPECT_EQ(run.projectFolder, folder);
        EXPECT_EQ(run.tables.settings.transactorClassName, "clsTran  ");
        EXPECT_EQ(run.tables.functions.count, 3);
        EXPECT_EQ(run.tables.signals[1].directionText.Text(), "sc_in"); // the clock
        EXPECT_EQ(run.tables.signals[2].directionText.Text(), "sc_out");
        EXPECT_EQ(run.tables.signals[2].initValue.Text(), "\"00000000\"");
        EXPECT_EQ(run.session.clock.clockSignalName, "clk");
        EXPECT_TRUE(run.session.clock.clockOnPositiveEdge);
        EXPECT_EQ(run.log().ProgressMaximum(), 3 + 4);
    };
    EXPECT_EQ(Generate(request, session, kClock, routes), 0);
    EXPECT_TRUE(ran);

    GenerationSettings stored;
    ASSERT_TRUE(LoadGenerationSettings(folder, stored).ok());
    EXPECT_EQ(stored.transactorClassName, "clsTran") << "the run saves nothing";
}

TEST(Generate, StandInRoutesAndMethodChoice) {
    test::TempDir dir;
    std::string folder = MakeProject(dir, 2);
    GenerationSession session;
    const BehaviourRoutes standIns{UnavailableFsmRoute, UnavailableAsmlRoute};

    // AsmL method without an assigned document: heading, one error, no output file.
    EXPECT_EQ(Generate(RequestFor(folder), session, kClock, standIns), 1);
    EXPECT_TRUE(test::MatchesGolden(Golden("unassigned.status"), session.log.StatusText()));
    EXPECT_TRUE(fs::is_empty(fs::path(folder) / "Output"));
    EXPECT_TRUE(fs::exists(fs::path(folder) / "Proj.log"));

    // An assigned document without a translator: still one clear error.
    AsmlAssignment assigned{"x.doc", "spec.doc", true};
    ASSERT_TRUE(SaveAsmlAssignment(folder, assigned).ok());
    EXPECT_EQ(Generate(RequestFor(folder), session, kClock, standIns), 1);
    EXPECT_EQ(session.log.StatusText().find("AsmL Specification file not Assigned"),
              std::string::npos);

    GenerateRequest fsm = RequestFor(folder);
    fsm.method = 1;
    EXPECT_EQ(Generate(fsm, session, kClock, standIns), 1);
    EXPECT_EQ(
        session.log.StatusText().rfind(":: Generating Transactor from Graphical FSM ::\r\n", 0),
        0u);

    GenerateRequest templ = RequestFor(folder);
    templ.method = 3;
    EXPECT_EQ(Generate(templ, session, kClock), 0);
    EXPECT_TRUE(fs::exists(fs::path(folder) / "Output/Tran.cpp"));

    // Any other method runs nothing but still ends with the summary and the log.
    GenerateRequest none = RequestFor(folder);
    none.method = 7;
    EXPECT_EQ(Generate(none, session, kClock), 0);
    EXPECT_TRUE(
        test::SameBytes("\r\nTransactor Generation Completed!\r\n0 Error(s), 0 Warning(s)\r\n",
                        session.log.StatusText()));
    EXPECT_EQ(session.log.ProgressMaximum(), 0);
}

TEST(Generate, UnreadableTableStopsBeforeAnyOutput) {
    test::TempDir dir;
    std::string folder = MakeProject(dir, 3);
    // option.dat cut inside its first text field.
    test::WriteBytes(fs::path(folder) / "Input/option.dat",
                     std::string("\x03\x00\xff\xff\xff\xff\x01\x00\x05\x00SC", 12));
    GenerationSession session;
    EXPECT_EQ(Generate(RequestFor(folder), session, kClock), 1);
    std::string status = session.log.StatusText();
    EXPECT_EQ(status.rfind("\r\nERROR: ", 0), 0u) << status;
    EXPECT_NE(status.find("option.dat"), std::string::npos) << status;
    EXPECT_TRUE(fs::is_empty(fs::path(folder) / "Output"));
    EXPECT_TRUE(fs::exists(fs::path(folder) / "Proj.log"));
}

TEST(Generate, ClockNameLivesAcrossRuns) {
    test::TempDir withClock, withoutClock;
    std::string first = MakeProject(withClock, 3);
    std::string second = MakeProject(withoutClock, 3, false);
    ProjectOptions negative;
    ASSERT_TRUE(LoadOptions(second, negative).ok());
    negative.clockPositiveEdge = false;
    ASSERT_TRUE(SaveOptions(second, negative).ok());

    GenerationSession session;
    EXPECT_EQ(session.clock.clockSignalName, "");
    Generate(RequestFor(first), session, kClock);
    EXPECT_EQ(session.clock.clockSignalName, "clk");
    EXPECT_TRUE(session.clock.clockOnPositiveEdge);
    Generate(RequestFor(second), session, kClock);
    EXPECT_EQ(session.clock.clockSignalName, "clk");
    EXPECT_FALSE(session.clock.clockOnPositiveEdge);
}

TEST(FormGenTran, OkSavesTheTrimmedBoxes) {
    test::TempDir dir;
    std::string folder = MakeProject(dir, 3);
    GenerationSettings boxes{" clsIface ", "clsTran  ", "  /a/T.cpp", "/a/T.h ", " /a/I.h "};
    ASSERT_TRUE(AcceptGenerateDialog(folder, boxes).ok());
    GenerationSettings stored;
    ASSERT_TRUE(LoadGenerationSettings(folder, stored).ok());
    EXPECT_EQ(stored, (GenerationSettings{"clsIface", "clsTran", "/a/T.cpp", "/a/T.h", "/a/I.h"}));
}

TEST(GenerateProject, RunsFromTheProjectFileWithStoredSettings) {
    test::TempDir dir;
    std::string folder = MakeProject(dir, 3);
    GenerationSession session;
    test::TextCollector recorder;
    GenerateProjectResult result = GenerateProject(folder + "/Proj.tp", session, kClock, &recorder);
    ASSERT_TRUE(result.status.ok()) << result.status.message();
    EXPECT_EQ(result.errorCount, 0);
    EXPECT_EQ(recorder.text, session.log.StatusText());
    EXPECT_TRUE(fs::exists(fs::path(folder) / "Output/Tran.h"));

    // A moved project: the folder holding the .tp file is the project folder.
    fs::rename(folder, dir / "Moved");
    result = GenerateProject(dir / "Moved/Proj.tp", session, kClock, nullptr);
    ASSERT_TRUE(result.status.ok());
    EXPECT_TRUE(fs::exists(dir / "Moved/Proj.log"));

    result = GenerateProject(dir / "Moved/Nothing.tp", session, kClock, nullptr);
    ASSERT_FALSE(result.status.ok());
    EXPECT_NE(result.status.message().find("Nothing.tp"), std::string::npos);
}

} // namespace
} // namespace kestrel
