// Translation benchmark: a generated AsmL specification of 25 functions and at least
// 1,000,000 lines (KESTREL_BENCH_TRANSLATE_LINES) is translated into the section files, as
// the routes do after clean.asml is read, and the throughput is compared with copying the
// same text to a file line by line (each line and CR LF, what the extractor does with a
// plain-text document). Also shows a whole-block write of the same bytes and a complete
// AsmL Generate (extractor run, translation, the three output files) for reference.
// The runs of the translation and of the copy alternate. The target (translation within
// 5 times the copy) is judged on processor time, best run of each: the measure a busy
// machine disturbs least. Medians and wall-clock times are shown beside it. Exits 1 when
// the target is missed or the translation reports errors.
#include "codegen/DeclarationHelpers.h"
#include "codegen/SectionFileReader.h"
#include "generate/FsmConversion.h"
#include "generate/FunctionTranslation.h"
#include "generate/Generate.h"
#include "generate/Routes.h"
#include "generate/RunTables.h"
#include "model/Assignments.h"
#include "model/ProjectOptions.h"
#include "model/ProjectPaths.h"
#include "model/RtlSignal.h"
#include "model/TlmFunction.h"
#include "platform/FileSystem.h"
#include "project/ProjectCommands.h"
#include "translator/DiagnosticCollector.h"

#include "BenchSupport.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

using namespace kestrel;
namespace fs = std::filesystem;
using Clock_ = std::chrono::steady_clock;
namespace bench = kestrel::bench;

namespace {

using namespace kestrel::bench;

constexpr int kFunctions = 25;

void Fail(const std::string& what) {
    bench::Fail("bench_translate", what);
}

// The route's translation part on text already in memory: every function in table order
// into its four section files in Temp. Returns the error count.
int TranslateAll(const std::string& tpPath, const std::vector<std::string_view>& lines) {
    ProjectRecord record;
    if (!PeekProject(tpPath, record)) Fail("cannot read " + tpPath);
    GenerationSession session;
    FixedClock clock(LocalDateTime{2026, 12, 4, 9, 51, 15, 5});
    GenerationRun run{record.projectFolder, record.projectName, {}, session, clock};
    ProjectTables& tables = run.tables;
    if (!LoadRunTables(run.projectFolder, tables).empty())
        Fail("cannot load the benchmark project");
    run.tables = PrepareTables(tables, session.clock);
    session.log.ResetLog();

    AsmlSource source{lines, CleanAsmlPath(run.projectFolder), nullptr};
    DiagnosticCollector places(session.log, nullptr);
    auto state = std::make_unique<TranslationState>();
    for (int function = 1; function <= tables.functions.count; ++function)
        TranslateFunction(run, function, source, *state, places);
    return session.log.ErrorCount();
}

// The text written to a file line by line, each line followed by CR LF.
void CopyLines(const std::vector<std::string_view>& lines, const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) Fail("cannot write " + path);
    for (std::string_view line : lines) {
        std::fwrite(line.data(), 1, line.size(), file);
        std::fwrite("\r\n", 1, 2, file);
    }
    if (std::fclose(file) != 0) Fail("cannot write " + path);
}

void WriteWhole(const std::string& text, const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) Fail("cannot write " + path);
    std::fwrite(text.data(), 1, text.size(), file);
    if (std::fclose(file) != 0) Fail("cannot write " + path);
}

std::uintmax_t SectionBytes(const std::string& folder) {
    std::uintmax_t bytes = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(folder) / "Temp"))
        if (entry.path().extension() != ".asml") bytes += entry.file_size();
    return bytes;
}

} // namespace

int main() {
    std::size_t wanted = 1'000'000;
    if (const char* env = std::getenv("KESTREL_BENCH_TRANSLATE_LINES"))
        wanted = std::max<std::size_t>(std::strtoul(env, nullptr, 10), kFunctions);
    const int runs = 9;

    fs::path root =
        fs::temp_directory_path() / ("kestrel-bench-translate-" + std::to_string(::getpid()));
    fs::create_directories(root);
    FakeSystemInfo system;
    NewProjectDraft draft{"Large", root.string()};
    ProjectRecord record;
    if (!NewProject(draft, system, record).ok())
        Fail("cannot create a project in " + root.string());
    const std::string folder = record.projectFolder;
    const std::string tp = ProjectFilePath(record);
    if (!DeclareAsmlProject(folder, kFunctions, 3, 0))
        Fail("cannot write the benchmark project in " + folder);

    std::string text;
    text.reserve(wanted * 40);
    std::size_t lineCount = 0;
    for (int f = 1; f <= kFunctions; ++f)
        AppendFunction(text, f, 3, (wanted + kFunctions - 1) / kFunctions, lineCount);
    WriteWhole(text, InputPath(folder, "spec.asml"));
    const std::vector<std::string_view> lines = SplitSectionLines(text);

    std::vector<double> translate, copyLines, writeWhole, translateCpu, copyCpu;
    int errors = 0;
    const double peakBefore = PeakMiB();
    for (int i = 0; i < runs; ++i) {
        auto start = Clock_::now();
        double cpu = CpuSeconds();
        errors = TranslateAll(tp, lines);
        translateCpu.push_back(CpuSeconds() - cpu);
        translate.push_back(Seconds(Clock_::now() - start));

        start = Clock_::now();
        cpu = CpuSeconds();
        CopyLines(lines, (root / "copy-lines.asml").string());
        copyCpu.push_back(CpuSeconds() - cpu);
        copyLines.push_back(Seconds(Clock_::now() - start));

        start = Clock_::now();
        WriteWhole(text, (root / "copy-whole.asml").string());
        writeWhole.push_back(Seconds(Clock_::now() - start));
    }
    const std::uintmax_t sections = SectionBytes(folder);
    const double peakAfter = PeakMiB();

    // A whole Generate of the same project, extractor and output files included.
    std::vector<double> generate;
    for (int i = 0; i < 3; ++i) {
        GenerationSession session;
        FixedClock clock(LocalDateTime{2026, 12, 4, 9, 51, 15, 5});
        auto start = Clock_::now();
        GenerateProjectResult result = GenerateProject(tp, session, clock, nullptr);
        generate.push_back(Seconds(Clock_::now() - start));
        if (!result.status || result.errorCount != 0) {
            std::fprintf(stderr, "%s", session.log.StatusText().substr(0, 2000).c_str());
            Fail("Generate of the benchmark project failed");
        }
    }

    const double t = Median(translate), c = Median(copyLines), w = Median(writeWhole),
                 g = Median(generate);
    const double lps = static_cast<double>(lineCount);
    const double mb = static_cast<double>(text.size()) / 1e6;
    const double cpuRatio = Best(translateCpu) / Best(copyCpu);
    const double linesPerSecond = lps / Best(translateCpu);
    const bool ok = errors == 0 && cpuRatio <= 5 && linesPerSecond >= 1e6;
    std::printf("AsmL translation, %d functions, %zu lines (%.1f MB in, %.1f MB of section "
                "files out)\n",
                kFunctions, lineCount, mb, static_cast<double>(sections) / 1e6);
    std::printf("  translation        %7.3f s  %9.0f lines/s  %5.1f MB/s  (median of %d; best "
                "%.3f s)\n",
                t, lps / t, mb / t, runs, Best(translate));
    std::printf("  line-by-line copy  %7.3f s  %9.0f lines/s  %5.1f MB/s  (median of %d; best "
                "%.3f s)\n",
                c, lps / c, mb / c, runs, Best(copyLines));
    std::printf("  processor time     %7.3f s translation (%.0f lines/s), %.3f s copy (best "
                "runs; medians %.3f s and %.3f s)\n",
                Best(translateCpu), lps / Best(translateCpu), Best(copyCpu), Median(translateCpu),
                Median(copyCpu));
    std::printf("  throughput         %9.0f lines/s in processor time  (goal >= 1000000 lines/s)  "
                "%s\n",
                linesPerSecond, linesPerSecond >= 1e6 ? "ok" : "MISSED");
    std::printf("  ratio              %7.1f x of the copy in processor time  (goal <= 5 x)  %s\n",
                cpuRatio, cpuRatio <= 5 ? "ok" : "MISSED");
    std::printf("                     %7.1f x in processor time (medians); wall clock %.1f x "
                "(best runs), %.1f x (medians)\n",
                Median(translateCpu) / Median(copyCpu), Best(translate) / Best(copyLines), t / c);
    std::printf("  whole-block write  %7.3f s  (translation %.1f x of it)\n", w, t / w);
    std::printf("  complete Generate  %7.3f s  %9.0f lines/s  (median of 3: extractor, "
                "translation, Tran.h, Tran.cpp)\n",
                g, lps / g);
    std::printf("  memory: peak resident %.0f MiB with the text in memory, %.0f MiB after the "
                "translations\n",
                peakBefore, peakAfter);
    if (errors != 0) std::printf("  translation errors: %d (expected none)\n", errors);
    NoteLoad();
    fs::remove_all(root);
    return ok ? 0 : 1;
}
