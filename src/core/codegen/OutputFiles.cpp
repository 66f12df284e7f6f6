// Produces the generated files of a run: logs the step, builds the text with the writers,
// splices the section files the full writers need, and replaces the file atomically, so
// that a failed write never leaves a half-written file in place of a good one.
#include "codegen/OutputFiles.h"

#include "codegen/InterfaceHeaderWriter.h"
#include "codegen/SectionFileReader.h"
#include "codegen/TransactorCppWriter.h"
#include "codegen/TransactorHeaderWriter.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <functional>
#include <initializer_list>

namespace kestrel {

namespace {

// Reads the named sections of every function; an unreadable file is logged and left
// empty.
std::vector<FunctionSections> ReadSections(GenerationRun& run,
                                           std::initializer_list<std::string_view> extensions) {
    int count = run.tables.functions.UsedCount();
    std::vector<FunctionSections> sections(static_cast<std::size_t>(count));
    for (int f = 1; f <= count; ++f) {
        FunctionSections& target = sections[static_cast<std::size_t>(f - 1)];
        std::string name = run.tables.functions[f].functionName.Text();
        for (std::string_view extension : extensions) {
            std::string* text = extension == kDeclarationSection      ? &target.declarations
                                : extension == kInitialisationSection ? &target.initialisation
                                : extension == kBehaviourSection      ? &target.behaviour
                                                                      : &target.update;
            Status read = ReadSectionFile(run.projectFolder, name, extension, *text);
            if (!read) run.log().LogError(read.message());
        }
    }
    return sections;
}

// The common frame of every output file: step line, text, atomic write, result line,
// progress.
void CreateFile(GenerationRun& run, const std::string& path,
                const std::function<std::string()>& build) {
    run.log().LogStep("Creating " + path + " File");
    Status written = WriteFileAtomic(path, build());
    if (written)
        run.log().LogLine("Done!");
    else
        run.log().LogError(written.message());
    run.log().AdvanceProgress();
}

} // namespace

void CreateInterfaceHeader(GenerationRun& run) {
    CreateFile(run, run.tables.settings.interfaceHeaderPath,
               [&] { return WriteInterfaceHeader(run.tables, run.clock.Now()); });
}

void CreateTransactorHeader(GenerationRun& run) {
    CreateFile(run, run.tables.settings.transactorHeaderPath, [&] {
        std::vector<FunctionSections> sections = ReadSections(run, {kDeclarationSection});
        return WriteTransactorHeader(run.tables, run.clock.Now(), sections);
    });
}

void CreateTemplateHeader(GenerationRun& run) {
    CreateFile(run, run.tables.settings.transactorHeaderPath,
               [&] { return WriteTemplateHeader(run.tables, run.clock.Now()); });
}

void CreateTransactorCpp(GenerationRun& run) {
    CreateFile(run, run.tables.settings.transactorCppPath, [&] {
        std::vector<FunctionSections> sections =
            ReadSections(run, {kUpdateSection, kInitialisationSection, kBehaviourSection});
        return WriteTransactorCpp(run.tables, run.clock.Now(), sections);
    });
}

void CreateTemplateCpp(GenerationRun& run) {
    CreateFile(run, run.tables.settings.transactorCppPath,
               [&] { return WriteTemplateCpp(run.tables, run.clock.Now()); });
}

void RunTemplateRoute(GenerationRun& run) {
    run.log().LogLine(":: Generating Transactor Template ::");
    CreateInterfaceHeader(run);
    CreateTemplateHeader(run);
    CreateTemplateCpp(run);
}

} // namespace kestrel
