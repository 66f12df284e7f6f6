// Check's warnings on copies of the MemReqAck example: none for its behaviour as it is
// (both methods), a warning in the AsmL placed at its line of clean.asml and one in a
// diagram action at the diagram's line, like the errors of the same lines; warnings of the
// declarations on their table file; and the errors counted as before.
#include "TestSupport.h"

#include "generate/ProjectCheck.h"
#include "model/RtlSignal.h"
#include "model/TlmFunction.h"
#include "translator/DiagnosticCollector.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

const FixedClock kClock(LocalDateTime{2026, 12, 4, 9, 51, 15, 5});

// The extractor of plain-text documents: clean.asml is the document as it is.
class CopyingExtractor final : public ProcessRunner {
public:
    ProcessOutcome Run(const std::string&, const std::vector<std::string>& arguments,
                       std::chrono::milliseconds) override {
        fs::copy_file(arguments.at(1), arguments.at(2), fs::copy_options::overwrite_existing);
        ProcessOutcome outcome;
        outcome.started = true;
        outcome.exitCode = 0;
        return outcome;
    }
};

struct Example {
    test::TempDir dir;
    fs::path folder = dir.path() / "MemReqAck";
    CopyingExtractor extractor;

    Example() {
        test::CopyTree(test::GoldenDir().parent_path().parent_path() / "examples/MemReqAck",
                       folder);
    }
    std::string Tp() const { return (folder / "MemReqAck.tp").string(); }
    std::string Path(std::string_view name) const { return (folder / name).string(); }

    // Replaces the first `from` in the file by `to`; gives the line (from 1) it is on.
    int Replace(std::string_view name, std::string_view from, std::string_view to) {
        std::string text = test::ReadBytes(folder / name);
        std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at == std::string::npos) return 0;
        text.replace(at, from.size(), to);
        test::WriteBytes(folder / name, text);
        return 1 + static_cast<int>(std::count(text.begin(), text.begin() + at, '\n'));
    }

    CheckResult Check(int method) {
        GenerationSession session;
        RouteEnvironment environment;
        environment.processes = &extractor;
        environment.programFolder = "/opt/kestrel/bin";
        CheckResult result = CheckProject(Tp(), session, kClock, environment, method);
        EXPECT_TRUE(result.status.ok()) << result.status.message();
        // The warnings leave the errors as Generate counts them.
        EXPECT_EQ(result.diagnostics.size(), ErrorMessagesIn(session.log.StatusText()).size());
        for (const Diagnostic& d : result.diagnostics) EXPECT_EQ(d.severity, Severity::Error);
        for (const Diagnostic& w : result.warnings) EXPECT_EQ(w.severity, Severity::Warning);
        return result;
    }
};

std::string Listed(const Diagnostics& list) {
    std::string text;
    for (const Diagnostic& d : list)
        text += d.file + ":" + std::to_string(d.line) + ": " + d.message + "\n";
    return text;
}

TEST(CheckWarnings, TheExampleHasNoneByEitherMethod) {
    Example example;
    for (int method : {kMethodAsml, kMethodFsm, kMethodTemplate}) {
        SCOPED_TRACE(method);
        CheckResult result = example.Check(method);
        EXPECT_EQ(Listed(result.diagnostics), "");
        EXPECT_EQ(Listed(result.warnings), "");
    }
}

TEST(CheckWarnings, AreAtTheLineTheAsmlOrTheDiagramActionWasWrittenOn) {
    Example example;
    // AsmL: a tab before the statement of Write's loop; the translator reports the word
    // with the tab at the same line.
    int asmlLine =
        example.Replace("Input/MemReqAck.asml", "          n := n + 1", "        \t  n := n + 1");
    CheckResult asml = example.Check(kMethodAsml);
    ASSERT_EQ(asml.warnings.size(), 1u) << Listed(asml.warnings);
    EXPECT_EQ(asml.warnings[0].file, example.Path("Temp/clean.asml"));
    EXPECT_EQ(asml.warnings[0].line, asmlLine);
    EXPECT_NE(asml.warnings[0].message.find("(\"\\t  n := n + 1\")"), std::string::npos)
        << asml.warnings[0].message;
    ASSERT_EQ(asml.diagnostics.size(), 1u) << Listed(asml.diagnostics);
    EXPECT_EQ(asml.diagnostics[0].line, asmlLine);

    // FSM: a comment behind a statement of an action, at the action's record.
    int actionLine = example.Replace("Input/Write.asf", "n := n + 1", "n := n + 1 // count");
    CheckResult fsm = example.Check(kMethodFsm);
    ASSERT_EQ(fsm.warnings.size(), 1u) << Listed(fsm.warnings);
    EXPECT_EQ(fsm.warnings[0].file, example.Path("Input/Write.asf"));
    EXPECT_EQ(fsm.warnings[0].line, actionLine);
    EXPECT_NE(fsm.warnings[0].message.find("the comment \"// count\""), std::string::npos);
    ASSERT_EQ(fsm.diagnostics.size(), 1u) << Listed(fsm.diagnostics);
    EXPECT_EQ(fsm.diagnostics[0].file, fsm.warnings[0].file);
    EXPECT_EQ(fsm.diagnostics[0].line, actionLine);
    EXPECT_EQ(fsm.diagnostics[0].message, "Unrecognized AsmL Word: count");
}

TEST(CheckWarnings, DeclarationsWarnOnTheirTableFile) {
    Example example;
    TlmFunctionTable functions;
    ASSERT_TRUE(LoadTlmFunctions(example.folder.string(), functions).ok());
    functions[2].returnTypeText = "int";
    ASSERT_TRUE(SaveTlmFunctions(example.folder.string(), functions).ok());
    RtlSignalTable signals;
    ASSERT_TRUE(LoadRtlSignals(example.folder.string(), signals).ok());
    RtlSignal& en = signals[++signals.count];
    en.signalName = "en";
    en.dataTypeText = "bool";
    en.dataTypeIndex = 2;
    en.directionText = "sc_in";
    en.directionIndex = 0; // the RTL design's input: the transactor drives it
    en.initValue = "XX";
    ASSERT_TRUE(SaveRtlSignals(example.folder.string(), signals).ok());

    CheckResult asml = example.Check(kMethodAsml);
    ASSERT_EQ(asml.warnings.size(), 2u) << Listed(asml.warnings);
    EXPECT_EQ(asml.warnings[0].file, example.Path("Input/tlm_func.dat"));
    EXPECT_EQ(asml.warnings[0].line, 0);
    EXPECT_EQ(asml.warnings[0].message.rfind("Read returns int, ", 0), 0u);
    EXPECT_EQ(asml.warnings[1].file, example.Path("Input/rtl_sig.dat"));
    EXPECT_EQ(asml.warnings[1].message.rfind("bool port en has the initial value \"XX\", ", 0), 0u);
    EXPECT_TRUE(asml.diagnostics.empty()) << Listed(asml.diagnostics);

    // The template leaves the bodies to be written: only the port is left.
    CheckResult templ = example.Check(kMethodTemplate);
    ASSERT_EQ(templ.warnings.size(), 1u) << Listed(templ.warnings);
    EXPECT_EQ(templ.warnings[0].message, asml.warnings[1].message);
}

} // namespace
} // namespace kestrel
