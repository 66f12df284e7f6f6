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
// progress; a file written is recorded for the run's map when the run asks for it, with
// the splices `build` gives.
void CreateFile(GenerationRun& run, const std::string& path,
                const std::function<std::string(std::vector<SectionSplice>*)>& build) {
    run.log().LogStep("Creating " + path + " File");
    std::vector<SectionSplice> splices;
    const std::string text = build(run.lineRecord ? &splices : nullptr);
    Status written = WriteFileAtomic(path, text);
    if (written) {
        run.log().LogLine("Done!");
        if (run.lineRecord) RecordWrittenFile(*run.lineRecord, path, text, splices);
    } else {
        run.log().LogError(written.message());
    }
    run.log().AdvanceProgress();
}

} // namespace

std::string TransactorHeaderText(const PreparedTables& tables, const LocalDateTime& now,
                                 const std::vector<FunctionSections>& sections,
                                 std::vector<SectionSplice>* splices) {
    if (!splices) return WriteTransactorHeader(tables, now, sections);
    std::vector<std::size_t> places;
    std::string text = WriteTransactorHeader(tables, now, sections, &places);
    for (std::size_t k = 0; k < places.size(); ++k)
        splices->push_back({places[k], static_cast<int>(k) + 1, kSectionDec});
    return text;
}

std::string TransactorCppText(const PreparedTables& tables, const LocalDateTime& now,
                              const std::vector<FunctionSections>& sections,
                              std::vector<SectionSplice>* splices) {
    if (!splices) return WriteTransactorCpp(tables, now, sections);
    std::vector<CppSectionPlaces> places;
    std::string text = WriteTransactorCpp(tables, now, sections, &places);
    for (std::size_t k = 0; k < places.size(); ++k) {
        const int f = static_cast<int>(k) + 1;
        splices->push_back({places[k].update, f, kSectionUpd});
        splices->push_back({places[k].initialisation, f, kSectionIni});
        splices->push_back({places[k].behaviour, f, kSectionBehaviour});
    }
    return text;
}

void CreateInterfaceHeader(GenerationRun& run) {
    CreateFile(run, run.tables.settings.interfaceHeaderPath,
               [&](auto*) { return WriteInterfaceHeader(run.tables, run.clock.Now()); });
}

void CreateTransactorHeader(GenerationRun& run) {
    CreateFile(run, run.tables.settings.transactorHeaderPath, [&](auto* splices) {
        std::vector<FunctionSections> sections = ReadSections(run, {kDeclarationSection});
        return TransactorHeaderText(run.tables, run.clock.Now(), sections, splices);
    });
}

void CreateTemplateHeader(GenerationRun& run) {
    CreateFile(run, run.tables.settings.transactorHeaderPath,
               [&](auto*) { return WriteTemplateHeader(run.tables, run.clock.Now()); });
}

void CreateTransactorCpp(GenerationRun& run) {
    CreateFile(run, run.tables.settings.transactorCppPath, [&](auto* splices) {
        std::vector<FunctionSections> sections =
            ReadSections(run, {kUpdateSection, kInitialisationSection, kBehaviourSection});
        return TransactorCppText(run.tables, run.clock.Now(), sections, splices);
    });
}

void CreateTemplateCpp(GenerationRun& run) {
    CreateFile(run, run.tables.settings.transactorCppPath,
               [&](auto*) { return WriteTemplateCpp(run.tables, run.clock.Now()); });
}

void RunTemplateRoute(GenerationRun& run) {
    run.log().LogLine(":: Generating Transactor Template ::");
    CreateInterfaceHeader(run);
    CreateTemplateHeader(run);
    CreateTemplateCpp(run);
}

} // namespace kestrel
