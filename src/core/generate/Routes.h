#pragma once
// The two behaviour routes of Generate: from graphical FSM diagrams (method 1) and from
// an AsmL specification document (method 2). Both first produce clean.asml, then
// translate every function into its section files, then write the three output files and
// the library.
#include "codegen/GenerationRun.h"
#include "generate/BehaviourRoutes.h"
#include "platform/Process.h"
#include "translator/Diagnostic.h"

#include <chrono>
#include <optional>
#include <string>

namespace kestrel {

// What a route needs from outside the project: the program that extracts the AsmL text
// of a document, and what the caller wants back.
struct RouteEnvironment {
    // Starts the extractor; null: the real one (LinuxProcessRunner).
    ProcessRunner* processes = nullptr;
    // The native folder in which kestrel-docextract lies; empty: the running program's.
    std::string programFolder;
    // How long the extractor may take before it is stopped and the route gives up.
    std::chrono::milliseconds extractorTimeout{60000};
    // False for a check: translate, but write neither the output files nor the library.
    bool writeOutputs = true;
    // When set, receives every error of the route with its file and line: the line of
    // clean.asml, or of the ASF diagram it was made from.
    Diagnostics* diagnostics = nullptr;
    // When set, receives the warnings of the translated functions' AsmL (LintSection),
    // placed like the errors. Generate sets none: its output and log stay as they are.
    Diagnostics* warnings = nullptr;
};

inline constexpr std::string_view kExtractorProgram = "kestrel-docextract";

// ":: Generating Transactor from Graphical FSM ::", the ASF conversion into clean.asml,
// every function translated, then the output files and the library.
void RunFsmRoute(GenerationRun& run, const RouteEnvironment& environment = {});

// ":: Generating Transactor from AsmL Specification ::"; without an assigned document the
// error "AsmL Specification file not Assigned" ends the route at once. Otherwise the
// document's AsmL is extracted into clean.asml (when that fails the route ends there: no
// function is translated and no output file replaced), then as the FSM route.
void RunAsmlRoute(GenerationRun& run, const RouteEnvironment& environment = {});

// Logs "Converting <document> to clean.asml...", removes an old Temp/clean.asml, runs
// "kestrel-docextract -cc <ProjectFolder>/Input/<document> <ProjectFolder>/Temp/clean.asml"
// and waits until it ends (at most environment.extractorTimeout). Returns the text of the
// clean.asml it wrote, with "Done!" and one progress step; or, when the extractor cannot
// be started, fails, takes too long or writes nothing, logs the error and returns nothing.
std::optional<std::string> ExtractAsmlText(GenerationRun& run,
                                           const RouteEnvironment& environment = {});

// The two routes bound to an environment, for Generate.
BehaviourRoutes TranslatorRoutes(RouteEnvironment environment);

} // namespace kestrel
