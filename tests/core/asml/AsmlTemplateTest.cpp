// The AsmL template writer: each part of template.asml as the lines it must hold, the
// port declarations, library functions left out, and the command around the converter
// (the blank refusal, the old document deleted first, a converter that fails or hangs).
#include "asml/AsmlTemplate.h"

#include "CodegenSamples.h"
#include "TestSupport.h"

#include "model/ProjectTables.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

std::string Lines(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (std::string_view l : lines) text.append(l).append("\r\n");
    return text;
}

int LineCount(const std::string& text) {
    int n = 0;
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == '\r' && text[i + 1] == '\n') ++n;
    return n;
}

TEST(AsmlTemplate, HeadAndEndTags) {
    ProjectOptions options;
    options.title = "Bus Transactor";
    options.author = "Ada L";
    TextWriter out;
    WriteAsmLTemplateInitTag(out, options);
    WriteAsmLTemplateEndTag(out);
    EXPECT_TRUE(test::SameBytes(
        Lines({"<?xml version=\"1.0\"?>", "<document>", "  <head>",
               "    <title>AsmL Specification of Bus Transactor </title>",
               "    <author>Ada L</author>",
               "    <renderinghint client=\"msword\">AsmL2 Specification.dot</renderinghint>",
               "  </head>", "  <section>", "  </section>", "</document>"}),
        out.text()));
}

TEST(AsmlTemplate, HardwareDatatypeNamespaceHasItsFixedLines) {
    TextWriter out;
    WriteAsmLTemplateNS_HardwareDatatype(out);
    const std::string& text = out.text();
    EXPECT_EQ(LineCount(text), 79);
    EXPECT_EQ(
        text.rfind(
            Lines({"    <para>", "    Declaration of Hardware Data types and Constants",
                   "    </para>", "    <asml><![CDATA[", "      namespace nsHardwareDatatype"}),
            0),
        0u);
    EXPECT_NE(text.find(Lines({"      public const LOGIC_Z = 'Z'", "", "", "      // Datatypes"})),
              std::string::npos);
    EXPECT_NE(
        text.find(Lines({"        var s as String = \"\"", "        var sr as String = \"\""})),
        std::string::npos);
    EXPECT_NE(text.find("          n := n + (ToInteger (s(i)) - 48) * ToInteger(Math.Pow (2, (l - "
                        "i - 1 )))\r\n"),
              std::string::npos);
    EXPECT_TRUE(text.ends_with(
        Lines({"      public SetClockSignal ( clk as Logic, isPosEdge as Boolean ) as Boolean",
               "        return true", "", "", "    ]]></asml>"})));
}

TEST(AsmlTemplate, PortDeclarations) {
    EXPECT_EQ(MakeAsmLRTL_SigDeclarationString(sample::Signal("ack", 0, 1, 0, "0")),
              "      public var ack as Logic = LOGIC_0");
    EXPECT_EQ(MakeAsmLRTL_SigDeclarationString(sample::Signal(" data ", 1, 8, 1, "00000000")),
              "      public var data as Lv_8 = \"00000000\"");
    EXPECT_EQ(MakeAsmLRTL_SigDeclarationString(sample::Signal("ok", 2, 1, 0, "1")),
              "      public var ok as Logic = LOGIC_1");
    EXPECT_EQ(MakeAsmLRTL_SigDeclarationString(sample::Signal("h", 2, 1, 0, "H")),
              "      public var h as Logic = H");
    EXPECT_EQ(MakeAsmLRTL_SigDeclarationString(sample::Signal("z", 0, 1, 2, " Z ")),
              "      public var z as Logic = LOGIC_Z");
    // An sc_lv value is quoted as it stands, even one of the logic letters.
    EXPECT_EQ(MakeAsmLRTL_SigDeclarationString(sample::Signal("v", 1, 16, 0, "X")),
              "      public var v as Lv_16 = \"X\"");
}

TEST(AsmlTemplate, RtlNamespaceWithAndWithoutSignals) {
    RtlSignalTable none;
    TextWriter empty;
    WriteAsmLTemplateNS_RTL(empty, none);
    const std::string emptyLines =
        Lines({"    <para>", "    Declaration of RTL Ports", "    </para>", "    <asml><![CDATA[",
               "      namespace nsRTL", "      import nsHardwareDatatype", "",
               "      // All the RTL signals are declared here", "", "", "", "    ]]></asml>"});
    EXPECT_TRUE(test::SameBytes(emptyLines, empty.text()));
    EXPECT_EQ(LineCount(empty.text()), 12);

    RtlSignalTable two;
    two[1] = sample::Signal("clk", 0, 1, 0, "0", true);
    two[2] = sample::Signal("data", 1, 4, 1, "0000");
    two.count = 2;
    TextWriter out;
    WriteAsmLTemplateNS_RTL(out, two);
    EXPECT_TRUE(test::SameBytes(
        Lines({"    <para>", "    Declaration of RTL Ports", "    </para>", "    <asml><![CDATA[",
               "      namespace nsRTL", "      import nsHardwareDatatype", "",
               "      // All the RTL signals are declared here", "",
               "      public var clk as Logic = LOGIC_0",
               "      public var data as Lv_4 = \"0000\"", "", "", "    ]]></asml>"}),
        out.text()));
}

TEST(AsmlTemplate, FunctionAndMainNamespaces) {
    TlmFunction read = sample::Function(" read ", "int", 4, {sample::Parameter("int", 4, "addr")});
    TextWriter out;
    WriteAsmLTemplateNS_Function(out, read);
    EXPECT_TRUE(test::SameBytes(Lines({"    <para>",
                                       "    TLM Function Name: read ()",
                                       "    </para>",
                                       "    <asml><![CDATA[",
                                       "      namespace nsread",
                                       "      import nsHardwareDatatype",
                                       "      import nsRTL",
                                       "",
                                       "      // Declare Enumeration here",
                                       "",
                                       "",
                                       "      // Function Declaration",
                                       "      public read (  addr as Integer ) as Integer",
                                       "",
                                       "        // Declare Constants here",
                                       "",
                                       "        // Declare Local AsmL Variables here",
                                       "",
                                       "        // Specify the RTL Clock Signal here",
                                       "",
                                       "        // Start writing State Machine from here",
                                       "",
                                       "",
                                       "",
                                       "",
                                       "",
                                       "",
                                       "",
                                       "    ]]></asml>"}),
                                out.text()));
    EXPECT_EQ(LineCount(out.text()), 29);

    TlmFunctionTable functions;
    functions[1] = sample::Function("read", "int", 4);
    functions[2] = sample::Function("libGet", "void", 0);
    functions[2].isLibrary = true;
    functions[3] = sample::Function("idle", "void", 0);
    functions.count = 3;
    ProjectOptions options;
    options.title = "Bus Transactor";
    TextWriter main;
    WriteAsmLTemplateNS_Main(main, functions, options);
    EXPECT_TRUE(test::SameBytes(
        Lines({"    <para>", "    Call TLM Functions for Execution and Debugging", "    </para>",
               "    <asml><![CDATA[", "      namespace nsMain", "      import nsHardwareDatatype",
               "      import nsRTL", "      import nsread", "      import nsidle", "", "",
               "      Main()", "        step", "          WriteLine ( \"Bus Transactor\" ) ", "",
               "", "    ]]></asml>"}),
        main.text()));

    // The whole text: library functions get no namespace; the function without parameters
    // has "( ) " in its signature.
    std::string text = AsmlTemplateText(functions, RtlSignalTable{}, options);
    EXPECT_EQ(text.find("libGet"), std::string::npos);
    EXPECT_NE(text.find("      public idle ( ) \r\n"), std::string::npos);
    EXPECT_EQ(LineCount(text), 8 + 79 + 12 + 2 * 29 + 17 + 2);
    EXPECT_TRUE(text.ends_with("    ]]></asml>\r\n  </section>\r\n</document>\r\n"));
}

// Writes the document (or not) the way a converter would, and records how it was called.
class FakeConverter final : public ProcessRunner {
public:
    enum class Behaviour { WriteDocument, WriteNothing, Fail, Hang, CannotStart };
    Behaviour behaviour = Behaviour::WriteDocument;
    std::string program;
    std::vector<std::string> arguments;
    bool documentExistedAtStart = false;

    ProcessOutcome Run(const std::string& p, const std::vector<std::string>& args,
                       std::chrono::milliseconds) override {
        program = p;
        arguments = args;
        documentExistedAtStart = args.size() == 2 && fs::exists(args[1]);
        ProcessOutcome outcome;
        outcome.started = behaviour != Behaviour::CannotStart;
        outcome.exitCode = 0;
        switch (behaviour) {
        case Behaviour::WriteDocument: test::WriteBytes(args[1], "PK new document"); break;
        case Behaviour::WriteNothing: break;
        case Behaviour::Fail:
            outcome.exitCode = 1;
            outcome.errorOutput = "kestrel-docgen: template.asml: not well-formed\n";
            break;
        case Behaviour::Hang: outcome.timedOut = true; break;
        case Behaviour::CannotStart:
            outcome.errorOutput = "/opt/kestrel-docgen: No such file or directory";
            break;
        }
        return outcome;
    }
};

struct SampleProject {
    test::TempDir dir;
    std::string folder = dir.str();
    SampleProject() {
        fs::create_directories(dir.path() / "Input");
        fs::create_directories(dir.path() / "Temp");
        TlmFunctionTable functions;
        sample::AddThreeFunctions(functions);
        RtlSignalTable signals;
        sample::AddFiveSignals(signals);
        ProjectOptions options;
        options.title = "Bus Transactor";
        options.author = "Ada";
        EXPECT_TRUE(SaveTlmFunctions(folder, functions).ok());
        EXPECT_TRUE(SaveRtlSignals(folder, signals).ok());
        EXPECT_TRUE(SaveOptions(folder, options).ok());
    }
};

TEST(GenerateAsmlTemplate, WritesTheTemplateAndWaitsForTheNewDocument) {
    SampleProject project;
    FakeConverter fake;
    DocumentConverter converter{"/opt/kestrel/kestrel-docgen", &fake};
    const std::string document = project.folder + "/Temp/Bus.doc";
    test::WriteBytes(document, "an older document");
    AsmlAssignment assignment;
    CommandOutcome outcome = GenerateAsmlTemplate(project.folder, document, assignment, converter);
    ASSERT_TRUE(outcome.ok()) << outcome.status.message();
    EXPECT_EQ(assignment.asmlDocumentPath, document);
    EXPECT_EQ(fake.program, "/opt/kestrel/kestrel-docgen");
    ASSERT_EQ(fake.arguments.size(), 2u);
    EXPECT_EQ(fake.arguments[0], project.folder + "/Temp/template.asml");
    EXPECT_EQ(fake.arguments[1], document);
    EXPECT_FALSE(fake.documentExistedAtStart);
    EXPECT_EQ(test::ReadBytes(document), "PK new document");

    TlmFunctionTable functions;
    sample::AddThreeFunctions(functions);
    RtlSignalTable signals;
    sample::AddFiveSignals(signals);
    ProjectOptions options;
    options.title = "Bus Transactor";
    options.author = "Ada";
    EXPECT_TRUE(test::SameBytes(AsmlTemplateText(functions, signals, options),
                                test::ReadBytes(project.dir.path() / "Temp/template.asml")));
}

TEST(GenerateAsmlTemplate, RefusesBlanksAndReportsConverterFailures) {
    SampleProject project;
    FakeConverter fake;
    DocumentConverter converter{"/opt/kestrel-docgen", &fake, std::chrono::milliseconds(2000)};
    AsmlAssignment assignment;
    assignment.asmlDocumentPath = "kept";

    CommandOutcome blank = GenerateAsmlTemplate(project.folder, project.folder + "/My Docs/a.doc",
                                                assignment, converter);
    ASSERT_TRUE(blank.refusal.has_value());
    EXPECT_EQ(blank.refusal->text, "Please choose path without White Space.");
    EXPECT_EQ(blank.refusal->ShownTitle(), "White Space in path");
    EXPECT_EQ(assignment.asmlDocumentPath, "kept");
    EXPECT_FALSE(fs::exists(project.dir.path() / "Temp/template.asml"));
    EXPECT_TRUE(fake.program.empty());

    const std::string document = project.folder + "/Temp/Bus.docx";
    struct Case {
        FakeConverter::Behaviour behaviour;
        std::string message;
    };
    for (const Case& c : {
             Case{FakeConverter::Behaviour::WriteNothing,
                  "The document converter did not write " + document},
             Case{FakeConverter::Behaviour::Fail, "The document converter did not write " +
                                                      document +
                                                      ": kestrel-docgen: template.asml: not "
                                                      "well-formed"},
             Case{FakeConverter::Behaviour::Hang, "The document converter did not write " +
                                                      document +
                                                      " within 2 seconds; it was stopped"},
             Case{FakeConverter::Behaviour::CannotStart,
                  "The document converter /opt/kestrel-docgen could not be started: "
                  "/opt/kestrel-docgen: No such file or directory"},
         }) {
        fake.behaviour = c.behaviour;
        test::WriteBytes(document, "old");
        CommandOutcome outcome =
            GenerateAsmlTemplate(project.folder, document, assignment, converter);
        EXPECT_FALSE(outcome.refusal.has_value());
        EXPECT_EQ(outcome.status.message(), c.message);
        // The old document was deleted before the converter ran, so it is not taken for
        // the new one.
        EXPECT_FALSE(fs::exists(document));
    }
}

} // namespace
} // namespace kestrel
