// kestrel-cli asml-template and asf-template: the files they write, the paths they
// remember, and the refusals of the dialogs with their messages and exit status 1.
#include "CliApp.h"

#include "TestSupport.h"

#include "model/ProjectTables.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <vector>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

struct CliRun {
    int code;
    std::string out;
    std::string err;
};

CliRun Cli(std::vector<std::string> args) {
    args.insert(args.begin(), "kestrel-cli");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    std::ostringstream out, err;
    int code = cli::RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
    return {code, out.str(), err.str()};
}

// A new project "Bus" with two functions (the second from a library) and two signals.
std::string MakeProject(const test::TempDir& dir) {
    CliRun created = Cli({"new", "Bus", "--location", dir.str()});
    EXPECT_EQ(created.code, 0) << created.err;
    const std::string folder = dir / "Bus";
    TlmFunctionTable functions;
    functions[1].functionName = "read";
    functions[1].returnTypeText = "int";
    functions[1].returnTypeIndex = 4;
    functions[2].functionName = "libGet";
    functions[2].returnTypeText = "void";
    functions[2].isLibrary = true;
    functions.count = 2;
    RtlSignalTable signals;
    signals[1].signalName = "clk";
    signals[1].directionText = "sc_in";
    signals[1].directionIndex = 0;
    signals[1].isClock = true;
    signals[2].signalName = "ack";
    signals[2].directionText = "sc_out";
    signals[2].directionIndex = 1;
    signals[2].initValue = "0";
    signals.count = 2;
    EXPECT_TRUE(SaveTlmFunctions(folder, functions).ok());
    EXPECT_TRUE(SaveRtlSignals(folder, signals).ok());
    return dir / "Bus/Bus.tp";
}

TEST(CliTemplates, AsmlTemplateWritesTheTextAndTheDocument) {
    test::TempDir dir;
    const std::string tp = MakeProject(dir);
    const std::string document = dir / "Bus/Temp/Bus_spec.docx";
    CliRun made = Cli({"asml-template", tp, document});
    ASSERT_EQ(made.code, 0) << made.err;
    EXPECT_EQ(made.out, "AsmL template written to " + (dir / "Bus/Temp/template.asml") +
                            "\nDocument written to " + document + "\n");
    const std::string text = test::ReadBytes(dir / "Bus/Temp/template.asml");
    EXPECT_NE(text.find("    <title>AsmL Specification of Bus Transactor </title>\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("      namespace nsread\r\n"), std::string::npos);
    EXPECT_EQ(text.find("nslibGet"), std::string::npos);
    EXPECT_NE(text.find("      public var ack as Logic = LOGIC_0\r\n"), std::string::npos);
    EXPECT_EQ(test::ReadBytes(document).substr(0, 4), "PK\x03\x04");
    AsmlAssignment assignment;
    ASSERT_TRUE(LoadAsmlAssignment(dir / "Bus", assignment).ok());
    EXPECT_EQ(assignment.asmlDocumentPath, document);
    EXPECT_FALSE(assignment.asmlAssigned);

    // A path with a blank is refused before anything is written.
    fs::remove(dir / "Bus/Temp/template.asml");
    CliRun blank = Cli({"asml-template", tp, dir / "Bus/My Spec.doc"});
    EXPECT_EQ(blank.code, 1);
    EXPECT_EQ(blank.err, "White Space in path: Please choose path without White Space.\n");
    EXPECT_FALSE(fs::exists(dir / "Bus/Temp/template.asml"));
    ASSERT_TRUE(LoadAsmlAssignment(dir / "Bus", assignment).ok());
    EXPECT_EQ(assignment.asmlDocumentPath, document);

    CliRun noProject = Cli({"asml-template", dir / "none.tp", document});
    EXPECT_EQ(noProject.code, 2);
    EXPECT_NE(noProject.err.find("none.tp"), std::string::npos);
}

// --plain gives the bytes of template.asml, on standard output or in a file, and leaves the
// project as it was: no template.asml, no document path remembered.
TEST(CliTemplates, AsmlTemplatePlainGivesTheTemplateTextAlone) {
    test::TempDir dir;
    const std::string tp = MakeProject(dir);
    ASSERT_EQ(Cli({"asml-template", tp, dir / "Bus/Temp/Bus.docx"}).code, 0);
    const std::string text = test::ReadBytes(dir / "Bus/Temp/template.asml");
    const std::string remembered = test::ReadBytes(dir / "Bus/Input/asml.dat");
    fs::remove(dir / "Bus/Temp/template.asml");

    CliRun printed = Cli({"asml-template", tp, "--plain"});
    EXPECT_EQ(printed.code, 0) << printed.err;
    EXPECT_TRUE(test::SameBytes(printed.out, text));
    EXPECT_EQ(printed.err, "");
    const std::string file = dir / "behaviour.asml";
    CliRun written = Cli({"asml-template", "--plain", tp, file});
    EXPECT_EQ(written.code, 0) << written.err;
    EXPECT_EQ(written.out, "AsmL template text written to " + file + "\n");
    EXPECT_TRUE(test::SameBytes(test::ReadBytes(file), text));
    EXPECT_FALSE(fs::exists(dir / "Bus/Temp/template.asml"));
    EXPECT_EQ(test::ReadBytes(dir / "Bus/Input/asml.dat"), remembered);

    CliRun unwritable =
        Cli({"asml-template", tp, "--plain", dir / "no/such/folder/behaviour.asml"});
    EXPECT_EQ(unwritable.code, 2);
    EXPECT_NE(unwritable.err.find("behaviour.asml"), std::string::npos) << unwritable.err;
    CliRun noProject = Cli({"asml-template", dir / "none.tp", "--plain"});
    EXPECT_EQ(noProject.code, 2);
    EXPECT_NE(noProject.err.find("none.tp"), std::string::npos);
    CliRun noOutput = Cli({"asml-template", tp});
    EXPECT_EQ(noOutput.code, 2);
    EXPECT_NE(noOutput.err.find("OUTPUT"), std::string::npos) << noOutput.err;
}

// The untouched template of the largest legal function generates without an error.
TEST(CliTemplates, TheTemplateOfATwentyParameterFunctionGeneratesCleanly) {
    test::TempDir dir;
    ASSERT_EQ(Cli({"new", "Wide", "--location", dir.str()}).code, 0);
    const std::string tp = dir / "Wide/Wide.tp";
    std::string parameters;
    for (int i = 0; i < 20; ++i)
        parameters += std::string(i ? "," : "") + R"({"type":"unsigned int","name":"p)" +
                      std::to_string(i) + R"("})";
    std::ofstream(dir / "decl.json")
        << R"({"functions":[{"name":"put","returnType":"void","parameters":[)" << parameters
        << R"(]}],"signals":[{"name":"clk","clock":true},)"
        << R"({"name":"d","direction":"sc_out","dataType":"sc_lv","width":8,"init":"0"}]})";
    ASSERT_EQ(Cli({"declare", tp, dir / "decl.json"}).code, 0);
    ASSERT_EQ(Cli({"options", tp, "--method", "asml"}).code, 0);
    ASSERT_EQ(Cli({"asml-template", tp, dir / "Wide/Temp/Wide.docx"}).code, 0);
    ASSERT_EQ(Cli({"assign-asml", tp, dir / "Wide/Temp/template.asml"}).code, 0);

    CliRun generated = Cli({"generate", tp});
    EXPECT_EQ(generated.code, 0) << generated.out;
    EXPECT_EQ(generated.out.find("ERROR"), std::string::npos) << generated.out;
    EXPECT_NE(generated.out.find("0 Error(s), 0 Warning(s)"), std::string::npos);
}

TEST(CliTemplates, AsfTemplateByNameOrNumberAndTheLibraryRefusal) {
    test::TempDir dir;
    const std::string tp = MakeProject(dir);
    const std::string path = dir / "Bus/Temp/read.asf";
    CliRun made = Cli({"asf-template", tp, "read", path});
    ASSERT_EQ(made.code, 0) << made.err;
    EXPECT_EQ(made.out, "ASF template of read() written to " + path + "\n");
    const std::string text = test::ReadBytes(path);
    EXPECT_EQ(text.rfind("VERSION=1.19\r\nHEADER\r\nFILE=\"read.asf\"\r\n", 0), 0u);
    EXPECT_NE(text.find("\"public read ( ) as Integer\"\r\n"
                        "I 11 0 3 Builtin InPort | 20700,239700 \"\" \"\"\r\n"
                        "L 12 11 0 TEXT \"Labels\" | 26700,239700 1 0 0 \"clk\"\r\n"
                        "I 13 0 2 Builtin InPort | 20700,233700 \"\" \"\"\r\n"
                        "L 14 13 0 TEXT \"Labels\" | 26700,233700 1 0 0 \"ack\"\r\nEND\r\n"),
              std::string::npos);
    AsfAssignment assignment;
    ASSERT_TRUE(LoadAsfAssignment(dir / "Bus", assignment).ok());
    EXPECT_EQ(assignment.asfTemplatePath, path);

    CliRun byNumber = Cli({"asf-template", tp, "1", dir / "Bus/Temp/one.asf"});
    ASSERT_EQ(byNumber.code, 0) << byNumber.err;
    std::string sameFunction = text;
    sameFunction.replace(sameFunction.find("read.asf"), 8, "one.asf");
    EXPECT_TRUE(test::SameBytes(sameFunction, test::ReadBytes(dir / "Bus/Temp/one.asf")));

    CliRun library = Cli({"asf-template", tp, "libGet", dir / "Bus/Temp/libGet.asf"});
    EXPECT_EQ(library.code, 1);
    EXPECT_EQ(library.err,
              "Kestrel: libGet() is a Library function.\nNo need to draw FSM for this function.\n");
    EXPECT_FALSE(fs::exists(dir / "Bus/Temp/libGet.asf"));

    CliRun unknown = Cli({"asf-template", tp, "write", dir / "Bus/Temp/write.asf"});
    EXPECT_EQ(unknown.code, 2);
    EXPECT_NE(unknown.err.find("the project has no TLM function \"write\""), std::string::npos);
    EXPECT_EQ(Cli({"asf-template", tp, "3", dir / "Bus/Temp/x.asf"}).code, 2);

    CliRun help = Cli({"asf-template", "--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("sc_inout signal gets no port object"), std::string::npos);
}

} // namespace
} // namespace kestrel
