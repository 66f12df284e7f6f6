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
#include "codegen/Generate.h"
#include "codegen/SectionFileReader.h"
#include "fsm/FsmConversion.h"
#include "model/Assignments.h"
#include "model/ProjectOptions.h"
#include "model/ProjectPaths.h"
#include "model/RtlSignal.h"
#include "model/TlmFunction.h"
#include "platform/FileSystem.h"
#include "project/ProjectCommands.h"
#include "translator/DiagnosticCollector.h"
#include "translator/FunctionTranslation.h"
#include "translator/Routes.h"

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

namespace {

constexpr int kFunctions = 25;

double Seconds(Clock_::duration d) {
    return std::chrono::duration<double>(d).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The processor time of this (single-threaded) process, user and system, in seconds: a
// busy machine delays a run but hardly changes the time the run itself spends.
double CpuSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double Best(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}

// The peak resident memory of the process so far, in MiB.
double PeakMiB() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// The one-minute load average, or 0 when unknown.
double LoadAverage() {
    double load = 0;
    if (std::FILE* file = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(file, "%lf", &load) != 1) load = 0;
        std::fclose(file);
    }
    return load;
}

std::string FunctionName(int i) {
    return "Xfer_" + std::to_string(i);
}

void Fail(const std::string& what) {
    std::fprintf(stderr, "bench_translate: %s\n", what.c_str());
    std::exit(2);
}

// Appends a line with CR LF.
void Line(std::string& text, std::string_view line, std::size_t& count) {
    text.append(line);
    text.append("\r\n");
    ++count;
}

// One function's namespace: declarations, then repeated handshake blocks with loops,
// conditions, expressions over parameters, signals, variables, constants and enumeration
// values, and comments, until the function has `lines` lines.
void AppendFunction(std::string& text, int function, std::size_t lines, std::size_t& total) {
    std::size_t count = 0;
    const std::string name = FunctionName(function);
    for (std::string_view head :
         {"      namespace ns" + name, std::string("      import nsHardwareDatatype"),
          std::string("      import nsRTL"), std::string(""),
          std::string("      // Function Declaration"),
          "      public " + name + " (  addr as Integer, data as Integer, count as Integer ) ",
          std::string(""), std::string("        const LIMIT as Integer = 16"),
          std::string("        var n as Integer = 0"),
          std::string("        var total as Integer = 0"),
          std::string("        var phase as Integer = 0"), std::string("        enum Phase"),
          std::string("          IDLE"), std::string("          BUSY"),
          std::string("          DONE"), std::string("        var state as Phase = IDLE"),
          std::string("        SetClockSignal ( clk , true )"), std::string("")})
        Line(text, head, count);
    for (int block = 0; count < lines; ++block) {
        const std::string k = std::to_string(block % 251);
        Line(text, "        // block " + std::to_string(block), count);
        Line(text, "        step", count);
        Line(text, "          req := LOGIC_1", count);
        Line(text, "          a := toLv ( addr + " + k + " )", count);
        Line(text, "        step while ack = LOGIC_0 and n < LIMIT", count);
        Line(text, "          n := n + 1", count);
        Line(text, "        step", count);
        Line(text, "          if ack = LOGIC_1 then", count);
        Line(text, "            data := toInt ( d ) + " + k, count);
        Line(text, "            total := total + ( data mod 7 ) * 3", count);
        Line(text, "          elseif n >= LIMIT then", count);
        Line(text, "            state := DONE", count);
        Line(text, "          else", count);
        Line(text, "            count := count + 1", count);
        Line(text, "          req := LOGIC_0", count);
        Line(text, "", count);
        Line(text, "        match state", count);
        Line(text, "          IDLE :", count);
        Line(text, "            phase := 1", count);
        Line(text, "          otherwise", count);
        Line(text, "            phase := 2", count);
    }
    Line(text, "", count);
    total += count;
}

TlmParameter Parameter(std::string_view name, bool byReference) {
    TlmParameter p;
    p.typeText = "unsigned int";
    p.typeIndex = 7;
    p.passMarker = byReference ? "&" : " ";
    p.passIndex = byReference ? 1 : 0;
    p.parameterName = name;
    return p;
}

RtlSignal Signal(std::string_view name, int type, int width, int direction, bool clock) {
    RtlSignal s;
    s.dataTypeText = kDataTypeNames[static_cast<std::size_t>(type)];
    s.dataTypeIndex = static_cast<std::int16_t>(type);
    s.width = static_cast<std::int16_t>(width);
    s.signalName = name;
    s.directionText = kDirectionNames[static_cast<std::size_t>(direction)];
    s.directionIndex = static_cast<std::int16_t>(direction);
    s.initValue = type == 1 ? std::string(static_cast<std::size_t>(width), '0') : "0";
    s.isClock = clock;
    return s;
}

void DeclareProject(const std::string& folder) {
    auto functions = std::make_unique<TlmFunctionTable>();
    functions->count = kFunctions;
    for (int i = 1; i <= kFunctions; ++i) {
        TlmFunction& f = (*functions)[i];
        f.functionName = FunctionName(i);
        f.returnTypeText = "void";
        f.parameters[1] = Parameter("addr", false);
        f.parameters[2] = Parameter("data", true);
        f.parameters[3] = Parameter("count", true);
        f.parameterCount = 3;
    }
    // As the RTL design sees them; Generate reverses the directions.
    auto signals = std::make_unique<RtlSignalTable>();
    int n = 0;
    (*signals)[++n] = Signal("clk", 2, 1, 0, true);
    (*signals)[++n] = Signal("req", 0, 1, 0, false);
    (*signals)[++n] = Signal("a", 1, 32, 0, false);
    (*signals)[++n] = Signal("ack", 0, 1, 1, false);
    (*signals)[++n] = Signal("d", 1, 32, 1, false);
    signals->count = static_cast<std::int16_t>(n);
    ProjectOptions options;
    if (!SaveTlmFunctions(folder, *functions) || !SaveRtlSignals(folder, *signals) ||
        !LoadOptions(folder, options))
        Fail("cannot write the benchmark project in " + folder);
    options.generationMethod = kMethodAsml;
    options.useSetupTime = false;
    AsmlAssignment asml{InputPath(folder, "spec.asml"), "spec.asml", true};
    if (!SaveOptions(folder, options) || !SaveAsmlAssignment(folder, asml))
        Fail("cannot write the benchmark settings in " + folder);
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
    if (!LoadTlmFunctions(run.projectFolder, tables.functions) ||
        !LoadRtlSignals(run.projectFolder, tables.signals) ||
        !LoadOptions(run.projectFolder, tables.options))
        Fail("cannot load the benchmark project");
    ReverseDirections(tables.signals);
    NormalizeInitValues(tables.signals);
    FindClockSignal(tables.signals, tables.options, session.clock);
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
    DeclareProject(folder);

    std::string text;
    text.reserve(wanted * 40);
    std::size_t lineCount = 0;
    for (int f = 1; f <= kFunctions; ++f)
        AppendFunction(text, f, (wanted + kFunctions - 1) / kFunctions, lineCount);
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
    const bool ok = errors == 0 && cpuRatio <= 5;
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
    std::printf("  ratio              %7.1f x of the copy in processor time  (target <= 5 x)  %s\n",
                cpuRatio, ok ? "ok" : "MISSED");
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
    const double load = LoadAverage();
    const long cores = ::sysconf(_SC_NPROCESSORS_ONLN);
    if (load > static_cast<double>(cores))
        std::printf("  note: load average %.1f on %ld cores; the times are not reliable\n", load,
                    cores);
    fs::remove_all(root);
    return ok ? 0 : 1;
}
