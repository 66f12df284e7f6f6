// The AsmL template writer: template.asml against a golden file (the port declarations,
// library functions left out), and the command around the converter (the blank refusal,
// the old document deleted first, a converter that fails or hangs).
#include "asml/AsmlTemplate.h"

#include "CodegenSamples.h"
#include "TestSupport.h"

#include "model/ProjectTables.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

// The whole template.asml of three functions (one from a library, which gets no
// namespace; one without parameters) and ports of every type and initial value: the head,
// the fixed hardware datatype namespace, the RTL namespace with each port's declaration
// (an sc_lv value quoted as it stands, even a logic letter; a bool value other than 0 and
// 1 copied), each function's namespace, the main namespace and the end tags.
TEST(AsmlTemplate, TheWholeTextAsTheGoldenFileHoldsIt) {
    TlmFunctionTable functions;
    functions[1] = sample::Function(" read ", "int", 4, {sample::Parameter("int", 4, "addr")});
    functions[2] = sample::Function("libGet", "void", 0);
    functions[2].isLibrary = true;
    functions[3] = sample::Function("idle", "void", 0);
    functions.count = 3;
    RtlSignalTable signals;
    signals[1] = sample::Signal("clk", 0, 1, 0, "0", true);
    signals[2] = sample::Signal(" data ", 1, 8, 1, "00000000");
    signals[3] = sample::Signal("ok", 2, 1, 0, "1");
    signals[4] = sample::Signal("h", 2, 1, 0, "H");
    signals[5] = sample::Signal("z", 0, 1, 2, " Z ");
    signals[6] = sample::Signal("v", 1, 16, 0, "X");
    signals.count = 6;
    ProjectOptions options;
    options.title = "Bus Transactor";
    options.author = "Ada L";
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "asml/template.asml",
                                    AsmlTemplateText(functions, signals, options)));
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
    TlmFunctionTable functions;
    RtlSignalTable signals;
    ProjectOptions options;
    SampleProject() {
        fs::create_directories(dir.path() / "Input");
        fs::create_directories(dir.path() / "Temp");
        sample::AddThreeFunctions(functions);
        sample::AddFiveSignals(signals);
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
    EXPECT_EQ(fake.arguments,
              (std::vector<std::string>{project.folder + "/Temp/template.asml", document}));
    EXPECT_FALSE(fake.documentExistedAtStart);
    EXPECT_EQ(test::ReadBytes(document), "PK new document");
    EXPECT_TRUE(
        test::SameBytes(AsmlTemplateText(project.functions, project.signals, project.options),
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
    EXPECT_EQ(blank.refusal->text + "|" + blank.refusal->ShownTitle(),
              "Please choose path without White Space.|White Space in path");
    EXPECT_EQ(assignment.asmlDocumentPath, "kept");
    EXPECT_FALSE(fs::exists(project.dir.path() / "Temp/template.asml"));
    EXPECT_TRUE(fake.program.empty());

    // The converter writing nothing, failing, hanging or not starting: the messages, in
    // this order, in the golden file.
    const std::string document = project.folder + "/Temp/Bus.docx";
    std::string messages;
    using enum FakeConverter::Behaviour;
    for (FakeConverter::Behaviour behaviour : {WriteNothing, Fail, Hang, CannotStart}) {
        fake.behaviour = behaviour;
        test::WriteBytes(document, "old");
        CommandOutcome outcome =
            GenerateAsmlTemplate(project.folder, document, assignment, converter);
        EXPECT_FALSE(outcome.refusal.has_value());
        messages += outcome.status.message() + "\n";
        // The old document was deleted before the converter ran, so it is not taken for
        // the new one.
        EXPECT_FALSE(fs::exists(document));
    }
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "asml/converter_failures.txt",
                                    test::Masked(messages, project.folder)));
}

} // namespace
} // namespace kestrel
