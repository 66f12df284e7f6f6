// The ASF template writer: the whole file of a function without signals, port and label
// records with their numbers and places, the directions as the transactor sees them,
// sc_inout signals, and the command's refusal of a library function.
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

// The lines every template has before its objects block.
std::string ExpectedHead(std::string_view fileName, std::string_view date) {
    std::string dq = "\"";
    std::string text;
    auto line = [&](std::string_view l) { text.append(l).append("\r\n"); };
    line("VERSION=1.19");
    line("HEADER");
    line("FILE=" + dq + std::string(fileName) + dq);
    line("FID=462c9bbc");
    line("LANGUAGE=VHDL");
    line("ENTITY=\"myEntity\"");
    line("ARCHITECTURE=\"myArch\"");
    line("FREEOID=60");
    line("\"LIBRARIES=library IEEE;\\nuse IEEE.std_logic_1164.all;\\nuse IEEE.std_logic_arith.all;"
         "\\nuse IEEE.std_logic_unsigned.all;\\n\"");
    line("MULTIPLEARCHSTATUS=FALSE");
    line("SYNTHESISATTRIBUTES=TRUE");
    line("HEADER_PARAM=\"AUTHOR,Ada\"");
    line("HEADER_PARAM=\"COMPANY,\"");
    line("HEADER_PARAM=\"CREATIONDATE," + std::string(date) + "\"");
    line("HEADER_PARAM=\"TITLE,Bus Transactor\"");
    line("END");
    line("BUNDLES");
    line("B T \"Declarations\" 0,0,255 0 0 1 255,255,255 0 2667 0 0000 0 \"Arial\" 0");
    line("B T \"Conditions\" 236,0,236 0 0 0 255,255,255 0 2667 0 0110 0 \"Arial\" 0");
    line("B F \"States\" 0,0,0 0 0 1 0,255,0 1 3527 1480 0000 0 \"Arial\" 0");
    line("B T \"Actions\" 0,0,0 0 0 1 255,255,255 0 2667 0 0000 0 \"Arial\" 0");
    line("B T \"Labels\" 0,0,0 0 0 0 0,0,0 0 2667 0 0000 0 \"Arial\" 0");
    line("B L \"Transitions\" 0,0,0 0 0 1 0,0,0 1 3527 1480 0000 0 \"Arial\" 0");
    line("B F \"Ports\" 0,0,0 0 0 1 0,255,255 1 3527 1480 0000 0 \"Arial\" 0");
    line("B L \"Errors\" 255,0,0 0 3 1 255,255,255 1 3527 1480 0000 0 \"Arial\" 0");
    line("B T \"State Labels\" 0,0,0 0 0 0 0,0,0 0 2667 0 0000 0 \"Arial\" 4");
    line("B F \"Current State\" 255,255,0 0 0 1 255,255,0 1 3527 1480 0000 0 \"Arial\" 0");
    line("B T \"Comments\" 157,157,157 0 0 1 255,255,255 0 2667 0 0000 0 \"Arial\" 0");
    line("B L \"Info\" 0,255,0 0 3 1 255,255,255 1 3527 1480 0000 0 \"Arial\" 0");
    line("B F \"Junction\" 0,0,0 0 0 1 255,0,0 1 3527 1480 0000 0 \"Arial\" 0");
    line("B F \"Initial State Indicator\" 0,0,0 0 0 1 240,140,40 1 3527 1480 0000 0 \"Arial\" 0");
    line("END");
    line("INSTHEADER 1");
    line("PAGE 0,0 215900,279400");
    line("MARGINS 12700,12700 12700,12700");
    line("END");
    line("OBJECTS");
    line("F 1 0 671088640 10 0 \"\" 0 RECT 0,0,0 0 0 1 255,255,255 0 | 15700,15700 200200,221700");
    return text;
}

std::string TextObject(std::string_view signature) {
    return "G 2 0 0 TEXT 0,0,0 0 0 0 255,255,255 0 3527 1480 0000 0 \"Arial\" 0 | 20700,261832 "
           "1 0 0 \"" +
           std::string(signature) + "\"\r\n";
}

TEST(AsfTemplate, FunctionWithoutSignalsHasFrameTextAndEnd) {
    TlmFunction idle = sample::Function("idle", "void", 0);
    RtlSignalTable none;
    std::string text =
        AsfTemplateText("/home/ada/Bus/Temp/idle.asf", idle, none, SampleOptions(), kToday);
    // The signature ends in "( ) " and that blank stands inside the closing quote.
    EXPECT_TRUE(test::SameBytes(
        ExpectedHead("idle.asf", "12/4/2026") + TextObject("public idle ( ) ") + "END\r\n", text));

    // A Windows path keeps only its file name too; single-digit month and day, four-digit year.
    std::string other = AsfTemplateText("C:\\Proj\\Temp\\x.asf", idle, none, SampleOptions(),
                                        LocalDateTime{987, 1, 9, 0, 0, 0, 0});
    EXPECT_NE(other.find("FILE=\"x.asf\"\r\n"), std::string::npos);
    EXPECT_NE(other.find("\"CREATIONDATE,1/9/0987\""), std::string::npos);
}

TEST(AsfTemplate, PortsStandInColumnsOfThreeWithLabelsToTheRight) {
    EXPECT_EQ(GetPortX(1), 20700);
    EXPECT_EQ(GetPortY(1), 239700);
    EXPECT_EQ(GetPortY(3), 227700);
    EXPECT_EQ(GetPortX(4), 44700);
    EXPECT_EQ(GetPortY(4), 239700);
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
    std::string text = AsfTemplateText("read.asf", f, signals, SampleOptions(), kToday);
    std::string expected = ExpectedHead("read.asf", "12/4/2026") +
                           TextObject("public read (  addr as Integer ) as Integer") +
                           "I 11 0 2 Builtin InPort | 20700,239700 \"\" \"\"\r\n"
                           "L 12 11 0 TEXT \"Labels\" | 26700,239700 1 0 0 \"a\"\r\n"
                           "I 13 0 2 Builtin InPort | 20700,233700 \"\" \"\"\r\n"
                           "L 14 13 0 TEXT \"Labels\" | 26700,233700 1 0 0 \"b\"\r\n"
                           "I 15 0 2 Builtin InPort | 20700,227700 \"\" \"\"\r\n"
                           "L 16 15 0 TEXT \"Labels\" | 26700,227700 1 0 0 \"c\"\r\n"
                           "I 17 0 2 Builtin InPort | 44700,239700 \"\" \"\"\r\n"
                           "L 18 17 0 TEXT \"Labels\" | 50700,239700 1 0 0 \"d\"\r\n"
                           "END\r\n";
    EXPECT_TRUE(test::SameBytes(expected, text));
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
    std::string objects = text.substr(text.find("I 11"));
    EXPECT_TRUE(test::SameBytes("I 11 0 3 Builtin InPort | 20700,239700 \"\" \"\"\r\n"
                                "L 12 11 0 TEXT \"Labels\" | 26700,239700 1 0 0 \"clk\"\r\n"
                                "I 13 0 0 Builtin OutPort | 20700,233700 \"\" \"\"\r\n"
                                "L 14 13 0 TEXT \"Labels\" | 26700,233700 1 0 0 \"din\"\r\n"
                                "I 15 0 2 Builtin InPort | 20700,227700 \"\" \"\"\r\n"
                                "L 16 15 0 TEXT \"Labels\" | 26700,227700 1 0 0 \"dout\"\r\n"
                                "I 19 0 0 Builtin OutPort | 44700,233700 \"\" \"\"\r\n"
                                "L 20 19 0 TEXT \"Labels\" | 50700,233700 1 0 0 \"ack\"\r\n"
                                "I 21 0 0 Builtin OutPort | 44700,227700 \"\" \"\"\r\n"
                                "L 22 21 0 TEXT \"Labels\" | 50700,227700 1 0 0 \"clko\"\r\n"
                                "END\r\n",
                                objects));
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
    EXPECT_EQ(text.rfind(ExpectedHead("get.asf", "12/4/2026"), 0), 0u);
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
