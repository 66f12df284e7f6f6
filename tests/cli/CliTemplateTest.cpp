// kestrel-cli asml-template: the document or the plain text it writes (the text is the
// core's, checked there), the path it remembers, and the template of a function with
// twenty parameters generating cleanly.
#include "CliRunner.h"

#include "model/ProjectTables.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

using test::Cli;
using test::CliRun;
using test::Has;

// A new project "Bus" with two functions (the second from a library) and a clock.
std::string MakeProject(const test::TempDir& dir) {
    const std::string tp = test::NewCliProject(dir, "Bus");
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
    signals[1].isClock = true;
    signals.count = 1;
    EXPECT_TRUE(SaveTlmFunctions(dir / "Bus", functions).ok());
    EXPECT_TRUE(SaveRtlSignals(dir / "Bus", signals).ok());
    return tp;
}

TEST(CliTemplates, AsmlTemplateWritesTheTextAndTheDocumentOrThePlainText) {
    test::TempDir dir;
    const std::string tp = MakeProject(dir);
    const std::string document = dir / "Bus/Temp/Bus_spec.docx";
    const std::string templateFile = dir / "Bus/Temp/template.asml";
    CliRun made = Cli({"asml-template", tp, document});
    ASSERT_EQ(made.code, 0) << made.err;
    EXPECT_EQ(made.out, "AsmL template written to " + templateFile + "\nDocument written to " +
                            document + "\n");
    const std::string text = test::ReadBytes(templateFile);
    EXPECT_EQ(test::ReadBytes(document).substr(0, 4), "PK\x03\x04");
    AsmlAssignment assignment;
    ASSERT_TRUE(LoadAsmlAssignment(dir / "Bus", assignment).ok());
    EXPECT_EQ(assignment.asmlDocumentPath, document);
    EXPECT_FALSE(assignment.asmlAssigned);
    const std::string remembered = test::ReadBytes(dir / "Bus/Input/asml.dat");
    fs::remove(templateFile);

    // --plain gives the bytes of template.asml, on standard output or in a file, and leaves
    // the project as it was: no template.asml, no document path remembered.
    CliRun printed = Cli({"asml-template", tp, "--plain"});
    EXPECT_EQ(printed.code, 0) << printed.err;
    EXPECT_TRUE(test::SameBytes(printed.out, text));
    EXPECT_EQ(printed.err, "");
    const std::string file = dir / "behaviour.asml";
    CliRun written = Cli({"asml-template", "--plain", tp, file});
    EXPECT_EQ(written.code, 0) << written.err;
    EXPECT_EQ(written.out, "AsmL template text written to " + file + "\n");
    EXPECT_TRUE(test::SameBytes(test::ReadBytes(file), text));
    EXPECT_FALSE(fs::exists(templateFile));
    EXPECT_EQ(test::ReadBytes(dir / "Bus/Input/asml.dat"), remembered);

    struct Case {
        std::vector<std::string> args;
        std::string named;
    };
    for (const Case& c :
         std::vector<Case>{{{"asml-template", tp, "--plain", dir / "no/such/folder/behaviour.asml"},
                            "behaviour.asml"},
                           {{"asml-template", dir / "none.tp", "--plain"}, "none.tp"},
                           {{"asml-template", dir / "none.tp", document}, "none.tp"},
                           {{"asml-template", tp}, "OUTPUT"},
                           {{"asf-template", tp, "write", dir / "Bus/Temp/write.asf"},
                            "the project has no TLM function \"write\""},
                           {{"asf-template", tp, "3", dir / "Bus/Temp/x.asf"}, "\"3\""}}) {
        CliRun run = Cli(c.args);
        EXPECT_EQ(run.code, 2) << c.named;
        EXPECT_TRUE(Has(run.err, c.named));
    }
}

// The untouched template of the largest legal function generates without an error.
TEST(CliTemplates, TheTemplateOfATwentyParameterFunctionGeneratesCleanly) {
    test::TempDir dir;
    const std::string tp = test::NewCliProject(dir, "Wide");
    ASSERT_EQ(
        Cli({"declare", tp, (test::FixtureDir() / "cli/twenty_parameters.json").string()}).code, 0);
    ASSERT_EQ(Cli({"options", tp, "--method", "asml"}).code, 0);
    ASSERT_EQ(Cli({"asml-template", tp, dir / "Wide/Temp/Wide.docx"}).code, 0);
    ASSERT_EQ(Cli({"assign-asml", tp, dir / "Wide/Temp/template.asml"}).code, 0);
    CliRun generated = Cli({"generate", tp});
    EXPECT_EQ(generated.code, 0) << generated.out;
    EXPECT_FALSE(Has(generated.out, "ERROR"));
    EXPECT_TRUE(Has(generated.out, "0 Error(s), 0 Warning(s)"));
}

} // namespace
} // namespace kestrel
