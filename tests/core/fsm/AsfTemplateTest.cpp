// The ASF template writer against golden files: the whole file of a function without
// signals, port and label records with their numbers and places, the directions as the transactor
// sees them, sc_inout signals, and the command's refusal of a library function.
#include "fsm/AsfTemplate.h"

#include "CodegenSamples.h"
#include "TestSupport.h"

#include "model/ProjectPaths.h"
#include "model/ProjectTables.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

const LocalDateTime kToday{2026, 12, 4, 9, 51, 15, 5};

ProjectOptions SampleOptions() {
    ProjectOptions options;
    options.title = "Bus Transactor";
    options.author = "Ada";
    options.company = "";
    return options;
}

std::filesystem::path Golden(const char* name) {
    return test::GoldenDir() / "fsmwriter" / name;
}

TEST(AsfTemplate, FunctionWithoutSignalsHasFrameTextAndEnd) {
    TlmFunction idle = sample::Function("idle", "void", 0);
    RtlSignalTable none;
    std::string text =
        AsfTemplateText("/home/ada/Bus/Temp/idle.asf", idle, none, SampleOptions(), kToday);
    // The signature ends in "( ) " and that blank stands inside the closing quote.
    EXPECT_TRUE(test::MatchesGolden(Golden("template_idle.asf"), text));

    // A Windows path keeps only its file name too; single-digit month and day, four-digit year.
    std::string other = AsfTemplateText("C:\\Proj\\Temp\\x.asf", idle, none, SampleOptions(),
                                        LocalDateTime{987, 1, 9, 0, 0, 0, 0});
    EXPECT_NE(other.find("FILE=\"x.asf\"\r\n"), std::string::npos);
    EXPECT_NE(other.find("\"CREATIONDATE,1/9/0987\""), std::string::npos);
}

TEST(AsfTemplate, PortsStandInColumnsOfThreeWithLabelsToTheRight) {
    // The golden file holds the first four places.
    EXPECT_EQ(GetPortX(25), 20700 + 8 * 24000);
    EXPECT_EQ(GetPortY(25), 239700);

    // Four declared outputs: each becomes an input port of kind 2.
    TlmFunction f = sample::Function("read", "int", 4, {sample::Parameter("int", 4, "addr")});
    RtlSignalTable signals;
    signals[1] = sample::Signal("a", 0, 1, 1, "0");
    signals[2] = sample::Signal("b", 0, 1, 1, "0");
    signals[3] = sample::Signal("c", 0, 1, 1, "0");
    signals[4] = sample::Signal("d", 0, 1, 1, "0");
    signals.count = 4;
    EXPECT_TRUE(
        test::MatchesGolden(Golden("template_read.asf"),
                            AsfTemplateText("read.asf", f, signals, SampleOptions(), kToday)));
}

TEST(AsfTemplate, DirectionsAreTheTransactorsAndInoutKeepsItsNumbers) {
    TlmFunction f = sample::Function("send", "void", 0);
    RtlSignalTable signals;
    signals[1] = sample::Signal("clk", 0, 1, 0, "0", true);  // clock in: input of kind 3
    signals[2] = sample::Signal("din", 1, 8, 0, "0");        // data in: an output port
    signals[3] = sample::Signal("dout", 1, 8, 1, "0");       // data out: an input port
    signals[4] = sample::Signal("bus", 1, 8, 2, "ZZ");       // inout: numbers 17, 18 unused
    signals[5] = sample::Signal("  ack  ", 0, 1, 0, "0");    // name trimmed in the label
    signals[6] = sample::Signal("clko", 0, 1, 1, "0", true); // a clock keeps sc_out
    signals.count = 6;
    const RtlSignalTable declared = signals;
    std::string text = AsfTemplateText("send.asf", f, signals, SampleOptions(), kToday);
    EXPECT_TRUE(
        test::MatchesGolden(Golden("template_send_objects.txt"), text.substr(text.find("I 11"))));
    EXPECT_NE(text.find("FREEOID=60\r\n"), std::string::npos);
    // The caller's table is not reversed.
    for (int k = 1; k <= 6; ++k) EXPECT_EQ(signals[k].directionIndex, declared[k].directionIndex);
}

struct SampleProject {
    test::TempDir dir;
    std::string folder = dir.str();
    SampleProject() {
        fs::create_directories(dir.path() / "Input");
        fs::create_directories(dir.path() / "Temp");
        TlmFunctionTable functions;
        functions[1] = sample::Function("get", "bool", 1);
        functions[2] = sample::Function("libFunc", "void", 0);
        functions[2].isLibrary = true;
        functions.count = 2;
        RtlSignalTable signals;
        signals[1] = sample::Signal("clk", 0, 1, 0, "0", true);
        signals[2] = sample::Signal("req", 0, 1, 0, "0");
        signals.count = 2;
        EXPECT_TRUE(SaveTlmFunctions(folder, functions).ok());
        EXPECT_TRUE(SaveRtlSignals(folder, signals).ok());
        EXPECT_TRUE(SaveOptions(folder, SampleOptions()).ok());
    }
};

TEST(GenerateAsfTemplate, WritesTheFileAndRemembersItsPath) {
    SampleProject project;
    const FixedClock clock(kToday);
    std::string path = DefaultAsfTemplatePath(project.folder, " get ");
    EXPECT_EQ(path, project.folder + "/Temp/get.asf");
    EXPECT_EQ(AsfTemplateDialogTitle("get "), "Save ASF Template for Function get(...) As...");

    test::WriteBytes(path, "an older template");
    AsfAssignment assignment;
    AsfTemplateOutcome outcome = GenerateAsfTemplate(project.folder, 1, path, clock, assignment);
    ASSERT_TRUE(outcome.ok()) << outcome.status.message();
    EXPECT_EQ(assignment.asfTemplatePath, path);
    std::string text = test::ReadBytes(path);
    EXPECT_EQ(text.rfind("VERSION=1.19\r\nHEADER\r\nFILE=\"get.asf\"\r\n", 0), 0u);
    EXPECT_NE(text.find("I 13 0 0 Builtin OutPort | 20700,233700 \"\" \"\"\r\n"
                        "L 14 13 0 TEXT \"Labels\" | 26700,233700 1 0 0 \"req\"\r\nEND\r\n"),
              std::string::npos);
    // The stored signal table keeps the declared directions.
    RtlSignalTable stored;
    ASSERT_TRUE(LoadRtlSignals(project.folder, stored).ok());
    EXPECT_EQ(stored[2].directionIndex, 0);
}

TEST(GenerateAsfTemplate, RefusesLibraryFunctionsAndUnknownNumbers) {
    SampleProject project;
    const FixedClock clock(kToday);
    std::string path = project.folder + "/Temp/libFunc.asf";
    AsfAssignment assignment;
    assignment.asfTemplatePath = "kept";
    AsfTemplateOutcome outcome = GenerateAsfTemplate(project.folder, 2, path, clock, assignment);
    ASSERT_TRUE(outcome.refusal.has_value());
    EXPECT_EQ(outcome.refusal->text,
              "libFunc() is a Library function.\r\nNo need to draw FSM for this function.");
    EXPECT_EQ(outcome.refusal->ShownTitle(), "Kestrel");
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(assignment.asfTemplatePath, "kept");

    AsfTemplateOutcome missing = GenerateAsfTemplate(project.folder, 3, path, clock, assignment);
    EXPECT_FALSE(missing.status.ok());
    EXPECT_NE(missing.status.message().find("no TLM function number 3"), std::string::npos);
    EXPECT_FALSE(fs::exists(path));

    // An unwritable place: the tables were read, the write failed, naming the file.
    AsfTemplateOutcome unwritable = GenerateAsfTemplate(
        project.folder, 1, project.folder + "/Nowhere/get.asf", clock, assignment);
    EXPECT_TRUE(unwritable.status.ok());
    EXPECT_FALSE(unwritable.ok());
    EXPECT_NE(unwritable.written.message().find("Nowhere/get.asf"), std::string::npos);
    EXPECT_EQ(assignment.asfTemplatePath, project.folder + "/Nowhere/get.asf");
}

} // namespace
} // namespace kestrel
