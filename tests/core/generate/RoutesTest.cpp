// The generation routes on projects written to disk: finding a function's section in
// clean.asml, the update and initialisation tails, the AsmL route with a fake extractor
// (sections, library and missing functions, the clock carried over, the last line of the
// file), every way the extractor can fail, the FSM route (functions without a diagram),
// and the check, which places each error at its line of clean.asml or of the diagram.
#include "generate/Routes.h"
#include "generate/FunctionTranslation.h"
#include "generate/ProjectCheck.h"

#include "generate/Generate.h"
#include "model/ProjectPaths.h"
#include "model/ProjectRecord.h"
#include "platform/FileSystem.h"

#include "CodegenSamples.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

const FixedClock kClock(LocalDateTime{2026, 12, 4, 9, 51, 15, 5});
constexpr std::string_view kProgramFolder = "/opt/kestrel/bin";

ProcessOutcome Exited(int code, std::string errorOutput = {}) {
    ProcessOutcome outcome;
    outcome.started = true;
    outcome.exitCode = code;
    outcome.errorOutput = std::move(errorOutput);
    return outcome;
}

// The clean.asml the fake extractor writes for the AsmL route tests. ReadAll comes first
// and changes the clock; Read's header has blanks around it and its section is the last
// of the text, whose last line has no line end.
const std::string kSpecification = test::Fixture("generate/routes_clean.asml");

// Answers like the extractor would (by default: writes kSpecification), and remembers how
// it was called; `environment` hands it to the route.
class FakeRunner final : public ProcessRunner {
public:
    std::function<ProcessOutcome(const std::vector<std::string>&)> answer =
        [](const std::vector<std::string>& arguments) {
            test::WriteBytes(arguments.at(2), kSpecification);
            return Exited(0);
        };
    std::vector<std::string> programs;
    std::vector<std::vector<std::string>> calls;
    std::vector<std::chrono::milliseconds> timeouts;
    RouteEnvironment environment{this, std::string(kProgramFolder)};

    ProcessOutcome Run(const std::string& program, const std::vector<std::string>& arguments,
                       std::chrono::milliseconds timeout) override {
        programs.push_back(program);
        calls.push_back(arguments);
        timeouts.push_back(timeout);
        return answer(arguments);
    }
};

TlmFunction Function(std::string_view name, bool isLibrary = false, std::string_view asfFile = {}) {
    TlmFunction f;
    f.functionName = name;
    f.returnTypeText = "void";
    f.isLibrary = isLibrary;
    f.fsmAssigned = !asfFile.empty();
    f.asfFileName = asfFile;
    return f;
}

RtlSignal Signal(std::string_view name, int direction, bool isClock = false) {
    RtlSignal s;
    s.dataTypeText = "sc_logic";
    s.signalName = name;
    s.directionText = direction == 0 ? "sc_in" : "sc_out";
    s.directionIndex = static_cast<std::int16_t>(direction);
    s.initValue = "0";
    s.isClock = isClock;
    return s;
}

// A project folder "Proj" with the given functions, a clock and one data signal.
struct Project {
    test::TempDir dir;
    std::string folder = dir / "Proj";
    ProjectTables tables;

    Project(int method, std::initializer_list<TlmFunction> functions) {
        for (const char* sub : {"Input", "Output", "Temp"})
            fs::create_directories(fs::path(folder) / sub);
        int slot = 0;
        for (const TlmFunction& f : functions) tables.functions[++slot] = f;
        tables.functions.count = static_cast<std::int16_t>(slot);
        tables.signals[1] = Signal("clk", 0, true);
        tables.signals[2] = Signal("req", 0);
        tables.signals.count = 2;
        tables.options.generationMethod = static_cast<std::int16_t>(method);
        tables.options.useSetupTime = false;
        sample::SetPaths(tables.settings, folder + "/Output");
        tables.asml = {folder + "/Input/spec.txt", "spec.txt", method == kMethodAsml};
    }

    std::string Save() {
        EXPECT_TRUE(sample::SaveSampleProject(folder, tables, 3));
        return folder + "/Proj.tp";
    }

    std::string Read(std::string_view relative) const {
        return test::ReadBytes(fs::path(folder) / relative);
    }
    GenerateRequest Request() const { return {folder, "Proj", tables.settings, std::nullopt}; }
    bool Exists(std::string_view relative) const { return fs::exists(fs::path(folder) / relative); }
};

TEST(FunctionSection, WholeTrimmedHeaderStartsAndNamespaceEnds) {
    std::vector<std::string_view> lines = {
        "namespace nsReadAll",    "  a", "  namespace nsRead // x",
        "   namespace nsRead   ", "  b", "namespaceX",
    };
    EXPECT_EQ(FindFunctionSection(lines, "ReadAll"), 1u);
    EXPECT_EQ(FindFunctionSection(lines, "Read"), 4u) << "a comment behind the header";
    EXPECT_EQ(FindFunctionSection(lines, " Read "), 4u);
    EXPECT_EQ(FindFunctionSection(lines, "Rea"), std::nullopt);
    EXPECT_EQ(FindFunctionSection(lines, "ReadAllX"), std::nullopt);

    EXPECT_TRUE(EndsSection("namespaceX"));
    EXPECT_TRUE(EndsSection("  namespace nsRead // x"));
    EXPECT_FALSE(EndsSection("  namespac"));
    EXPECT_FALSE(EndsSection("  // namespace"));
    EXPECT_FALSE(EndsSection(""));
    EXPECT_FALSE(EndsSection("\tnamespace x")) << "only blanks are trimmed";
}

TEST(FunctionSection, UpdateAndInitialisationTails) {
    ProjectOptions options;
    options.useSetupTime = true;
    options.setupWait = 999;
    options.setupWaitUnit = "SC_PS";
    TextWriter upd;
    WriteUpdateSection(options, {"clk", true}, upd);
    EXPECT_EQ(upd.text(), "  wait ( 999, SC_PS ) ;\r\n  wait ( clk->posedge_event () ) ;\r\n");

    options.useSetupTime = false;
    TextWriter negative;
    WriteUpdateSection(options, {"clk2", false}, negative);
    EXPECT_EQ(negative.text(), "  wait ( clk2->negedge_event () ) ;\r\n");

    TextWriter ini;
    ini.line("  x.write ( 0 ) ;");
    WriteInitTail(ini);
    EXPECT_EQ(ini.text(), "  x.write ( 0 ) ;\r\n\r\n  wait ( SC_ZERO_TIME ) ;\r\n");
}

TEST(AsmlRoute, TranslatesEveryFunctionFromTheExtractedText) {
    Project project(kMethodAsml, {Function("ReadAll"), Function("Read"), Function("Lib", true),
                                  Function("Missing")});
    project.Save();
    test::WriteBytes(fs::path(project.folder) / "Input/spec.txt", "the document");
    test::WriteBytes(fs::path(project.folder) / "Temp/clean.asml", "namespace nsMissing\r\n");
    for (const char* ext : {".dec", ".ini", ".asm", ".upd"})
        test::WriteBytes(fs::path(project.folder) / "Temp" / (std::string("Lib") + ext),
                         "keep\r\n");

    FakeRunner runner;
    runner.answer = [answer = runner.answer](const std::vector<std::string>& arguments) {
        EXPECT_FALSE(fs::exists(arguments.at(2))) << "an old clean.asml is removed first";
        return answer(arguments);
    };
    runner.environment.extractorTimeout = std::chrono::milliseconds(1234);
    GenerationSession session;
    EXPECT_GT(Generate(project.Request(), session, kClock, TranslatorRoutes(runner.environment)),
              0);

    ASSERT_EQ(runner.calls.size(), 1u);
    EXPECT_EQ(runner.programs[0], "/opt/kestrel/bin/kestrel-docextract");
    EXPECT_EQ(runner.calls[0], (std::vector<std::string>{"-cc", project.folder + "/Input/spec.txt",
                                                         project.folder + "/Temp/clean.asml"}));
    EXPECT_EQ(runner.timeouts[0], std::chrono::milliseconds(1234));

    // Each function's own section, the last line of the text included; nothing from the
    // lines that belong to no section; every step done.
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "codegen/asml_route.status",
                                    test::Masked(session.log.StatusText(), project.folder)));
    EXPECT_EQ(session.log.ProgressValue(), session.log.ProgressMaximum());
    EXPECT_EQ(session.log.ProgressMaximum(), 4 + 4);

    // The clock set in ReadAll holds for Read, translated after it.
    EXPECT_EQ(project.Read("Temp/ReadAll.upd"), "  wait ( clk2->negedge_event () ) ;\r\n");
    EXPECT_EQ(project.Read("Temp/Read.upd"), "  wait ( clk2->negedge_event () ) ;\r\n");
    EXPECT_TRUE(project.Read("Temp/Read.ini").ends_with("\r\n  wait ( SC_ZERO_TIME ) ;\r\n"));
    EXPECT_EQ(project.Read("Temp/clean.asml"), kSpecification);

    // A library function's sections stay as its library left them; a function without a
    // namespace gets four empty ones.
    for (const char* ext : {".dec", ".ini", ".asm", ".upd"}) {
        EXPECT_EQ(project.Read(std::string("Temp/Lib") + ext), "keep\r\n");
        EXPECT_TRUE(project.Exists(std::string("Temp/Missing") + ext));
        EXPECT_EQ(project.Read(std::string("Temp/Missing") + ext), "");
    }
    EXPECT_TRUE(project.Exists("Output/Tran.cpp"));
}

// Each failure ends the route with one error (the status texts of the runs, in order of
// the rows, in the golden file): the extractor not started, refusing the document (its
// first line of error output shown), failing silently, too slow, or writing nothing.
TEST(AsmlRoute, ExtractorFailuresEndTheRouteWithAClearError) {
    ProcessOutcome notStarted;
    notStarted.errorOutput = "/opt/kestrel/bin/kestrel-docextract: No such file or directory";
    ProcessOutcome timedOut = Exited(-1);
    timedOut.timedOut = true;
    Project project(kMethodAsml, {Function("Read")});
    project.Save();
    std::string statuses;
    for (const ProcessOutcome& outcome :
         {notStarted,
          Exited(1, "kestrel-docextract: \"spec\": this is not a text document\nmore\n"), Exited(3),
          timedOut, Exited(0)}) {
        // A clean.asml of an earlier run must not pass for the extractor's output.
        test::WriteBytes(fs::path(project.folder) / "Temp/clean.asml", "namespace nsRead\r\n");
        FakeRunner runner;
        runner.answer = [&](const std::vector<std::string>&) { return outcome; };
        GenerationSession session;
        EXPECT_EQ(
            Generate(project.Request(), session, kClock, TranslatorRoutes(runner.environment)), 1);
        statuses += session.log.StatusText() + "===\r\n";
        EXPECT_TRUE(fs::is_empty(fs::path(project.folder) / "Output")) << "no output replaced";
        EXPECT_FALSE(project.Exists("Temp/Read.asm")) << "nothing translated";
    }
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "codegen/extractor_failures.status",
                                    test::Masked(statuses, project.folder)));
}

// A diagram for function Draw: Idle (initial) goes to Done (trap) when "go = 1"; Idle's
// action (line 8) assigns to a name that is neither signal nor variable.
const std::string kDrawDiagram = test::ReadBytes(test::GoldenDir() / "codegen/Draw.asf");

TEST(FsmRoute, ConvertsAssignedDiagramsAndLeavesOthersEmpty) {
    Project project(kMethodFsm, {Function("Draw", false, "Draw.asf"), Function("Plain"),
                                 Function("Lib", true, "Lib.asf")});
    project.Save();
    test::WriteBytes(fs::path(project.folder) / "Input/Draw.asf", kDrawDiagram);

    GenerationSession session;
    int errors = Generate(project.Request(), session, kClock);
    const std::string& status = session.log.StatusText();
    EXPECT_EQ(errors, static_cast<int>(ErrorMessagesIn(status).size()));
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "codegen/fsm_route.status",
                                    test::Masked(status, project.folder)));
    // Only Draw is converted: no namespace of Plain or of the library function.
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "codegen/fsm_route_clean.asml",
                                    project.Read("Temp/clean.asml")));
    for (const char* ext : {".dec", ".ini", ".asm", ".upd"})
        EXPECT_EQ(project.Read(std::string("Temp/Plain") + ext), "");
    EXPECT_TRUE(project.Read("Temp/Draw.ini").ends_with("\r\n  wait ( SC_ZERO_TIME ) ;\r\n"));
    EXPECT_EQ(project.Read("Temp/Draw.upd"), "  wait ( clk->posedge_event () ) ;\r\n");
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "codegen/fsm_route_Draw.asm",
                                    project.Read("Temp/Draw.asm")));
    EXPECT_FALSE(project.Exists("Temp/Lib.asm"));
    EXPECT_TRUE(project.Exists("Output/Tran.h"));
}

// Each diagnostic as "file:line: message", the project folder written as <project>.
std::string Listed(const std::string& title, const Diagnostics& list, const std::string& folder) {
    std::string text = title + ":\n";
    for (const Diagnostic& d : list)
        text += d.file + ":" + std::to_string(d.line) + ": " + d.message + "\n";
    return test::Masked(text, folder);
}

// FSM: the bad action (line 8 of Draw.asf) is reported at its record in the diagram, a
// missing diagram at the diagram as a whole (line 0); nothing is written to Output, no log
// file. AsmL: errors at their lines of clean.asml, the last line included. An unassigned
// document is an error of the project file.
TEST(Check, PlacesErrorsAtDiagramAndCleanAsmlLines) {
    Project fsm(kMethodFsm,
                {Function("Draw", false, "Draw.asf"), Function("Gone", false, "Gone.asf")});
    std::string fsmProject = fsm.Save();
    test::WriteBytes(fs::path(fsm.folder) / "Input/Draw.asf", kDrawDiagram);
    GenerationSession session;
    CheckResult checked = CheckProject(fsmProject, session, kClock);
    ASSERT_TRUE(checked.status.ok()) << checked.status.message();
    std::string listed = Listed("FSM", checked.diagnostics, fsm.folder);
    EXPECT_EQ(checked.diagnostics.size(), ErrorMessagesIn(session.log.StatusText()).size());
    EXPECT_TRUE(fs::is_empty(fs::path(fsm.folder) / "Output"));
    EXPECT_FALSE(fsm.Exists("Proj.log"));
    EXPECT_TRUE(fsm.Exists("Temp/Draw.asm"));

    Project asml(kMethodAsml, {Function("ReadAll"), Function("Read")});
    std::string asmlProject = asml.Save();
    FakeRunner runner;
    CheckResult translated = CheckProject(asmlProject, session, kClock, runner.environment);
    ASSERT_TRUE(translated.status.ok());
    listed += Listed("AsmL", translated.diagnostics, asml.folder);
    EXPECT_TRUE(fs::is_empty(fs::path(asml.folder) / "Output"));

    asml.tables.asml.asmlAssigned = false;
    asml.Save();
    listed += Listed("unassigned",
                     CheckProject(asmlProject, session, kClock, runner.environment).diagnostics,
                     asml.folder);
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "codegen/check_places.txt", listed));
    EXPECT_FALSE(CheckProject(asml.folder + "/None.tp", session, kClock).status.ok());
}

} // namespace
} // namespace kestrel
