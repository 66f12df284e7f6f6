// The preview of a diagram: the FSM route's conversion and translation of one function,
// in memory, with every problem placed at its diagram line and object.
#include "generate/DiagramPreview.h"

#include "codegen/DeclarationHelpers.h"
#include "codegen/GenerationRun.h"
#include "codegen/SectionFileReader.h"
#include "fsm/AsfReader.h"
#include "fsm/FsmAsmlWriter.h"
#include "generate/FsmConversion.h"
#include "generate/FunctionTranslation.h"
#include "generate/RunTables.h"
#include "platform/Clock.h"
#include "translator/AsmlLint.h"
#include "translator/DiagnosticCollector.h"
#include "translator/TranslationState.h"

#include <memory>

namespace kestrel {

namespace {

// The conversion the FSM route makes of one diagram, with every problem of it.
std::vector<DiagramCheck> ConvertDiagram(const AsfDocument& doc, std::string_view functionName,
                                         std::string_view signature, FsmAsmlText& out) {
    DiagramReading reading = ReadMachine(doc, functionName);
    std::vector<DiagramProblem> problems = reading.problems;
    for (DiagramProblem& problem :
         AppendDiagramNamespace(reading, doc.Path(), functionName, signature, out))
        problems.push_back(std::move(problem));
    std::vector<DiagramCheck> checks;
    for (const DiagramProblem& problem : problems)
        checks.push_back({DiagramSeverity::Error, problem.line,
                          ObjectOfDiagramLine(doc, problem.line), problem.message});
    return checks;
}

} // namespace

std::string DiagramAsml(const AsfDocument& doc, std::string_view functionName,
                        std::string_view signature) {
    FsmAsmlText out;
    ConvertDiagram(doc, functionName, signature, out);
    return out.text;
}

std::vector<DiagramCheck> DiagramChecks(const AsfDocument& doc, std::string_view functionName,
                                        const DiagramPreview* preview) {
    std::vector<DiagramCheck> own = CheckDiagram(doc, functionName);
    if (!preview) return own;
    std::vector<DiagramCheck> checks = preview->checks;
    for (DiagramCheck& check : own)
        if (check.severity == DiagramSeverity::Warning) checks.push_back(std::move(check));
    return checks;
}

DiagramPreview PreviewDiagram(const AsfDocument& doc, const ProjectTables& tables, int function) {
    DiagramPreview preview;
    if (function < 1 || function > tables.functions.count) return preview;
    GenerationSession session;
    SystemClock clock;
    GenerationRun run{"", "", PrepareTables(tables, session.clock), session, clock};
    session.log.ResetLog();

    TlmFunction& record = run.tables.functions[function];
    FsmAsmlText asml;
    preview.checks = ConvertDiagram(doc, record.functionName.Text(), AsmlSignature(record), asml);
    preview.asml = asml.text;

    Diagnostics errors;
    DiagnosticCollector places(session.log, &errors);
    const std::vector<std::string_view> lines = SplitSectionLines(asml.text);
    AsmlSource source{lines, "clean.asml", &asml};
    auto state = std::make_unique<TranslationState>();
    SectionTexts texts;
    TranslateSection(run, function, source, *state, places, texts);
    preview.declarations = texts.dec.text();
    preview.initialisation = texts.ini.text();
    preview.behaviour = texts.behaviour.text();
    preview.update = texts.upd.text();
    for (const Diagnostic& error : errors) {
        const int line = error.file == doc.Path() ? error.line : 0;
        preview.checks.push_back(
            {DiagramSeverity::Error, line, ObjectOfDiagramLine(doc, line), error.message});
    }
    // Then the warnings check gives for the function: AsmL that translates but does not
    // compile or behave.
    if (std::optional<std::size_t> first = FindFunctionSection(lines, record.functionName.Text()))
        for (AsmlWarning& warning : LintSection(lines, *first, run.tables, function)) {
            const AsmlSource::Origin origin = source.OriginOf(warning.line);
            const int line = origin.inDiagram && origin.file == doc.Path() ? origin.line : 0;
            preview.checks.push_back({DiagramSeverity::Warning, line,
                                      ObjectOfDiagramLine(doc, line), std::move(warning.message)});
        }
    return preview;
}

} // namespace kestrel
