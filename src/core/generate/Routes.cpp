// The FSM and AsmL routes: heading, clean.asml (converted from the ASF diagrams or
// extracted from the AsmL document by kestrel-docextract), one translation per
// function in table order, then the interface header, transactor header, transactor
// implementation and library. The extractor is waited for as a process with a bounded
// wait, and clean.asml is read only after it has ended. A check also lints every
// translated function in the same pass and warns of the actions of each diagram's trap
// state; Generate records the origins of the lines in that pass for the map of the run.
#include "generate/Routes.h"

#include "codegen/OutputFiles.h"
#include "codegen/SectionFileReader.h"
#include "fsm/AsfChecks.h"
#include "generate/FsmConversion.h"
#include "generate/FunctionTranslation.h"
#include "generate/LineMapBuilder.h"
#include "generate/SectionOrigins.h"
#include "library/LibraryCreation.h"
#include "model/ProjectPaths.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "translator/AsmlLint.h"
#include "translator/DiagnosticCollector.h"
#include "translator/StatementTranslator.h"

#include <memory>

namespace kestrel {

namespace {

std::string ProjectFilePath(const GenerationRun& run) {
    return JoinPath(run.projectFolder, {run.projectName + ".tp"});
}

// A warning at the place an error of line `index` would have.
Diagnostic WarningAt(const AsmlSource& source, std::size_t index, std::string message) {
    AsmlSource::Origin origin = source.OriginOf(index);
    return {std::string(origin.file), origin.line, std::move(message), Severity::Warning};
}

// The warnings of a function's diagram that its AsmL cannot show: the actions of the trap
// state, which the converter writes but which never run. A diagram that cannot be read was
// reported as an error already.
void WarnAboutDiagram(const GenerationRun& run, const TlmFunction& record, Diagnostics& warnings) {
    const std::string path = InputPath(run.projectFolder, record.asfFileName.Text());
    std::string bytes;
    if (!ReadFileBytes(path, bytes).ok()) return;
    DiagramReading reading = ReadAsfDiagram(bytes, path, record.functionName.Text());
    for (DiagramProblem& found : TrapActionWarnings(reading.machine))
        warnings.push_back({path, found.line, std::move(found.message), Severity::Warning});
}

// The warnings of a function the route translated, or would have: library functions keep
// the sections of their library.
void WarnAboutFunction(const GenerationRun& run, int function, const AsmlSource& source,
                       bool translated, AsmlLint& lint, Diagnostics& warnings) {
    const TlmFunction& record = run.tables.functions[function];
    if (record.isLibrary) return;
    const std::string name = Trim(record.functionName.Text());
    if (!translated) {
        // Its four sections are empty: the generated call returns at once.
        if (source.diagrams)
            warnings.push_back({JoinPath(run.projectFolder, {"Input", "asf.dat"}), 0,
                                "the function " + name +
                                    " has no state diagram assigned, so its generated body "
                                    "is empty and a call returns at once; assign one",
                                Severity::Warning});
        else
            warnings.push_back({source.path, 0,
                                "the function " + name +
                                    " has no section (no line "
                                    "\"namespace ns" +
                                    name +
                                    "\"), so its generated body is empty and a call returns "
                                    "at once; write its section in the AsmL document",
                                Severity::Warning});
        return;
    }
    for (AsmlWarning& found : lint.TakeWarnings())
        warnings.push_back(WarningAt(source, found.line, std::move(found.message)));
    if (source.diagrams && record.fsmAssigned) WarnAboutDiagram(run, record, warnings);
}

// Translates every function in one pass each, with the observers the run and the caller
// want: the origins of the lines for the run's map, the lint for the warnings.
void TranslateAllFunctions(GenerationRun& run, const AsmlSource& source,
                           DiagnosticCollector& places, const RouteEnvironment& environment) {
    // A few kilobytes with its stacks and lists: one for the whole run, reset per function.
    auto state = std::make_unique<TranslationState>();
    for (int function = 1; function <= run.tables.functions.count; ++function) {
        SectionOrigins origins;
        SectionOriginTracker tracker(origins);
        std::optional<AsmlLint> lint;
        SectionObservers observers;
        if (run.lineRecord) observers.Add(&tracker);
        if (environment.warnings) observers.Add(&lint.emplace(run));
        const bool translated = TranslateFunction(run, function, source, *state, places,
                                                  observers.Empty() ? nullptr : &observers);
        if (translated && run.lineRecord) run.lineRecord->Origins(function, std::move(origins));
        if (lint)
            WarnAboutFunction(run, function, source, translated, *lint, *environment.warnings);
    }
}

// The output files and the library; with a record, what its map needs of the run.
void WriteOutputs(GenerationRun& run, const AsmlSource& source, int method,
                  const RouteEnvironment& environment) {
    if (!environment.writeOutputs) return;
    CreateInterfaceHeader(run);
    CreateTransactorHeader(run);
    CreateTransactorCpp(run);
    CreateLibrary(run);
    if (run.lineRecord) NoteRunSources(run, source, method, *run.lineRecord);
}

std::string DurationText(std::chrono::milliseconds wait) {
    if (wait.count() % 1000 == 0) return std::to_string(wait.count() / 1000) + " seconds";
    return std::to_string(wait.count()) + " ms";
}

// The first line of what the extractor wrote on its error stream, without its own
// program name in front.
std::string ExtractorMessage(const std::string& errorOutput) {
    std::string_view text = errorOutput;
    text = text.substr(0, text.find_first_of("\r\n"));
    std::string prefix = std::string(kExtractorProgram) + ": ";
    if (text.starts_with(prefix)) text.remove_prefix(prefix.size());
    return Utf8ToCp1252Lossy(Trim(text));
}

} // namespace

std::optional<std::string> ExtractAsmlText(GenerationRun& run,
                                           const RouteEnvironment& environment) {
    GenerationLog& log = run.log();
    const std::string& label = run.tables.asml.asmlDocumentLabel;
    log.LogStep("Converting " + label + " to clean.asml");

    const std::string document = InputPath(run.projectFolder, label);
    const std::string clean = CleanAsmlPath(run.projectFolder);
    if (Status removed = RemoveFileIfExists(clean); !removed) {
        log.LogError(removed.message());
        return std::nullopt;
    }

    std::string folder =
        environment.programFolder.empty() ? RunningProgramFolder() : environment.programFolder;
    std::string program = (std::filesystem::path(folder) / kExtractorProgram).string();
    LinuxProcessRunner system;
    ProcessRunner& runner = environment.processes ? *environment.processes : system;
    ProcessOutcome outcome =
        runner.Run(program, {"-cc", NativePath(document).string(), NativePath(clean).string()},
                   environment.extractorTimeout);

    if (!outcome.started) {
        log.LogError("Cannot start the AsmL extractor " + StoredPath(program) + ": " +
                     ExtractorMessage(outcome.errorOutput));
        return std::nullopt;
    }
    if (outcome.timedOut) {
        log.LogError("The AsmL extractor did not finish within " +
                     DurationText(environment.extractorTimeout) + " and was stopped; " + document +
                     " was not converted");
        return std::nullopt;
    }
    if (outcome.exitCode != 0) {
        std::string reason = ExtractorMessage(outcome.errorOutput);
        if (reason.empty()) reason = "exit status " + std::to_string(outcome.exitCode);
        log.LogError("The AsmL extractor could not convert " + document + ": " + reason);
        return std::nullopt;
    }
    if (!FileExists(clean)) {
        log.LogError("The AsmL extractor ended without writing " + clean);
        return std::nullopt;
    }
    std::string text;
    if (Status read = ReadFileBytes(clean, text); !read) {
        log.LogError(read.message());
        return std::nullopt;
    }
    log.LogLine("Done!");
    log.AdvanceProgress();
    return text;
}

void RunFsmRoute(GenerationRun& run, const RouteEnvironment& environment) {
    run.log().LogLine(":: Generating Transactor from Graphical FSM ::");
    DiagnosticCollector places(run.log(), environment.diagnostics);

    FsmAsmlText asml = ConvertAsfDiagrams(run, places);
    AsmlSource source{SplitSectionLines(asml.text), CleanAsmlPath(run.projectFolder), &asml};
    TranslateAllFunctions(run, source, places, environment);
    WriteOutputs(run, source, kMethodFsm, environment);
    places.Place(ProjectFilePath(run), 0);
}

void RunAsmlRoute(GenerationRun& run, const RouteEnvironment& environment) {
    run.log().LogLine(":: Generating Transactor from AsmL Specification ::");
    DiagnosticCollector places(run.log(), environment.diagnostics);

    if (!run.tables.asml.asmlAssigned) {
        run.log().LogError("AsmL Specification file not Assigned");
        places.Place(ProjectFilePath(run), 0);
        return;
    }
    std::optional<std::string> text = ExtractAsmlText(run, environment);
    if (!text) {
        places.Place(InputPath(run.projectFolder, run.tables.asml.asmlDocumentLabel), 0);
        return;
    }
    AsmlSource source{SplitSectionLines(*text), CleanAsmlPath(run.projectFolder), nullptr};
    TranslateAllFunctions(run, source, places, environment);
    WriteOutputs(run, source, kMethodAsml, environment);
    places.Place(ProjectFilePath(run), 0);
}

BehaviourRoutes TranslatorRoutes(RouteEnvironment environment) {
    BehaviourRoutes routes;
    routes.fsm = [environment](GenerationRun& run) { RunFsmRoute(run, environment); };
    routes.asml = [environment](GenerationRun& run) { RunAsmlRoute(run, environment); };
    return routes;
}

} // namespace kestrel
