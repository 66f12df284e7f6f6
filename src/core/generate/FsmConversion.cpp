// The conversion driver of the FSM route: reads each assigned diagram, writes its AsmL
// namespace, reports the problems of both steps in order, and replaces clean.asml with
// the whole text once every function is done.
#include "generate/FsmConversion.h"

#include "codegen/DeclarationHelpers.h"
#include "fsm/AsfReader.h"
#include "model/ProjectPaths.h"
#include "platform/FileSystem.h"

namespace kestrel {

std::string CleanAsmlPath(std::string_view projectFolder) {
    return TempPath(projectFolder, "clean.asml");
}

std::vector<DiagramProblem> AppendDiagramNamespace(const DiagramReading& reading,
                                                   std::string_view path,
                                                   std::string_view functionName,
                                                   std::string_view signature, FsmAsmlText& out) {
    out.diagramPaths.emplace_back(path);
    const int diagram = static_cast<int>(out.diagramPaths.size()) - 1;
    return WriteFsmNamespace(reading.machine, functionName, signature, diagram, out);
}

FsmAsmlText AsfDiagramsAsAsml(GenerationRun& run, DiagnosticCollector& places) {
    GenerationLog& log = run.log();
    FsmAsmlText out;
    auto report = [&](const std::string& path, const std::vector<DiagramProblem>& problems) {
        for (const DiagramProblem& problem : problems) {
            log.LogError(problem.message);
            places.Place(path, problem.line);
        }
    };
    for (int i = 1; i <= run.tables.functions.count; ++i) {
        TlmFunction& function = run.tables.functions[i];
        if (function.isLibrary || !function.fsmAssigned) continue;
        std::string name = function.functionName.Text();
        std::string path = InputPath(run.projectFolder, function.asfFileName.Text());
        DiagramReading reading;
        std::string bytes;
        if (Status read = ReadFileBytes(path, bytes); !read)
            reading.problems.push_back({0, read.message()});
        else
            reading = ReadAsfDiagram(bytes, path, name);
        report(path, reading.problems);

        report(path, AppendDiagramNamespace(reading, path, name, AsmlSignature(function), out));
    }
    return out;
}

FsmAsmlText ConvertAsfDiagrams(GenerationRun& run, DiagnosticCollector& places) {
    GenerationLog& log = run.log();
    log.LogStep("Creating clean.asml from ASF files");
    FsmAsmlText out = AsfDiagramsAsAsml(run, places);

    // The translation reads the text from memory; a clean.asml that cannot be written
    // is reported and the run goes on.
    std::string cleanPath = CleanAsmlPath(run.projectFolder);
    if (Status written = WriteFileAtomic(cleanPath, out.text); !written) {
        log.LogError(written.message());
        places.Place(cleanPath, 0);
    } else {
        log.LogLine("Done!");
    }
    log.AdvanceProgress();
    return out;
}

} // namespace kestrel
