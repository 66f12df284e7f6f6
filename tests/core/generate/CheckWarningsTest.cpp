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

// Each check's errors and warnings, the example's folder written as <project>.
std::string Dump(Example& example, int method) {
    CheckResult result = example.Check(method);
    return test::Masked("method " + std::to_string(method) + " errors:\n" +
                            Listed(result.diagnostics) + "warnings:\n" + Listed(result.warnings),
                        example.folder.string());
}

TEST(CheckWarnings, AreAtTheLineTheAsmlOrTheDiagramActionWasWrittenOn) {
    Example example;
    // AsmL: a tab before the statement of Write's loop; the
    // translator reports the word with the tab at the same line.
    example.Replace("Input/MemReqAck.asml", "          n := n + 1", "        \t  n := n + 1");
    std::string dump = Dump(example, kMethodAsml);
    // FSM: a comment behind a statement of an action, at the action's record.
    example.Replace("Input/Write.asf", "n := n + 1", "n := n + 1 // count");
    dump += Dump(example, kMethodFsm);
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "codegen/check_action_warnings.txt", dump));
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
    // The template leaves the bodies to be written: only the port is left.
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "codegen/check_declaration_warnings.txt",
                                    Dump(example, kMethodAsml) + Dump(example, kMethodTemplate)));
}

} // namespace
} // namespace kestrel
