// Generate benchmark: Generate of the largest legal project (25 functions of 20 parameters,
// 25 signals), once with the template method and once with an AsmL specification of 2,000
// lines per function, each against writing the same bytes with plain file writes; and the
// start-up of kestrel-cli.
#include "generate/Generate.h"
#include "model/ProjectOptions.h"
#include "model/RtlSignal.h"
#include "model/TlmFunction.h"
#include "platform/FileSystem.h"
#include "project/ProjectCommands.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "BenchSupport.h"

using namespace kestrel;
using namespace kestrel::bench;
namespace fs = std::filesystem;
using Clock_ = std::chrono::steady_clock;

namespace {

double Ms(Clock_::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void FillLargestProject(const std::string& folder) {
    auto functions = std::make_unique<TlmFunctionTable>();
    functions->count = kMaxFunctions;
    for (int i = 1; i <= kMaxFunctions; ++i) {
        TlmFunction& f = (*functions)[i];
        f.functionName = "transfer_" + std::to_string(i);
        f.returnTypeText = "void";
        f.returnTypeIndex = 0;
        f.parameterCount = kMaxParameters;
        for (int j = 1; j <= kMaxParameters; ++j) {
            TlmParameter& p = f.parameters[static_cast<std::size_t>(j)];
            int type = 1 + j % 7;
            p.typeText = std::string(kCTypeNames[static_cast<std::size_t>(type)]);
            p.typeIndex = static_cast<std::int16_t>(type);
            p.passMarker = j % 2 ? "&" : " ";
            p.passIndex = static_cast<std::int16_t>(j % 2);
            p.parameterName = "arg_" + std::to_string(j);
            p.isConst = j % 3 == 0;
            p.isArray = j % 5 == 0;
        }
    }
    auto signals = std::make_unique<RtlSignalTable>();
    signals->count = kMaxSignals;
    for (int i = 1; i <= kMaxSignals; ++i) {
        RtlSignal& s = (*signals)[i];
        int type = i % 3;
        s.dataTypeText = std::string(kDataTypeNames[static_cast<std::size_t>(type)]);
        s.dataTypeIndex = static_cast<std::int16_t>(type);
        s.width = static_cast<std::int16_t>(type == 1 ? 32 : 1);
        s.signalName = i == 1 ? std::string("clk") : "port_" + std::to_string(i);
        s.directionText = std::string(kDirectionNames[static_cast<std::size_t>(i % 2)]);
        s.directionIndex = static_cast<std::int16_t>(i % 2);
        s.initValue = type == 1 ? std::string(32, '0') : std::string("0");
        s.isClock = i == 1;
    }
    if (!SaveTlmFunctions(folder, *functions) || !SaveRtlSignals(folder, *signals)) {
        std::fprintf(stderr, "cannot write the benchmark project\n");
        std::exit(2);
    }
    ProjectOptions options;
    (void)LoadOptions(folder, options);
    options.generationMethod = kMethodTemplate;
    (void)SaveOptions(folder, options);
}

// The program's wall time in ms; stops the benchmark when it fails.
double TimeProgramMs(std::vector<std::string> args) {
    double seconds = TimeProgram(args);
    if (seconds < 0) Fail("bench_generate", "program failed: " + args[0]);
    return seconds * 1000;
}

// Every file Generate wrote: the outputs, the log and the working files in Temp.
std::vector<std::string> WrittenFiles(const std::string& folder, const std::string& name) {
    std::vector<std::string> files = {
        JoinPath(folder, {"Output", "TLM_AIC.h"}), JoinPath(folder, {"Output", "Tran.h"}),
        JoinPath(folder, {"Output", "Tran.cpp"}), JoinPath(folder, {name + ".log"})};
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(fs::path(folder) / "Temp", ec))
        if (entry.is_regular_file()) files.push_back(entry.path().string());
    return files;
}

// Writes the same bytes to as many files with plain writes: the best of `runs`, in ms.
double PlainWriteMs(const std::vector<std::string>& contents, const fs::path& scratch, int runs) {
    std::vector<double> times;
    fs::create_directories(scratch);
    for (int i = 0; i < runs; ++i) {
        auto start = Clock_::now();
        for (std::size_t k = 0; k < contents.size(); ++k) {
            std::string path = (scratch / ("copy-" + std::to_string(k))).string();
            std::FILE* f = std::fopen(path.c_str(), "wb");
            if (!f) Fail("bench_generate", "cannot write " + path);
            std::fwrite(contents[k].data(), 1, contents[k].size(), f);
            std::fclose(f);
        }
        times.push_back(Ms(Clock_::now() - start));
    }
    return Median(times);
}

// Generates the project `runs` times in process; the median in ms.
double GenerateMs(const std::string& tp, int runs) {
    std::vector<double> times;
    FixedClock clock(LocalDateTime{2026, 12, 4, 9, 51, 15, 5});
    for (int i = 0; i < runs; ++i) {
        GenerationSession session;
        auto start = Clock_::now();
        GenerateProjectResult result = GenerateProject(tp, session, clock, nullptr);
        times.push_back(Ms(Clock_::now() - start));
        if (!result.status || result.errorCount != 0) {
            std::fprintf(stderr, "%s", session.log.StatusText().substr(0, 2000).c_str());
            Fail("bench_generate", "Generate of " + tp + " failed");
        }
    }
    return Median(times);
}

std::vector<std::string> Contents(const std::vector<std::string>& files, std::size_t& bytes) {
    std::vector<std::string> contents;
    bytes = 0;
    for (const auto& file : files) {
        std::string b;
        if (!ReadFileBytes(file, b)) Fail("bench_generate", "cannot read " + file);
        bytes += b.size();
        contents.push_back(std::move(b));
    }
    return contents;
}

} // namespace

int main(int, char** argv) {
    const int runs = 30;
    fs::path bin = fs::absolute(fs::path(argv[0])).parent_path();
    fs::path root =
        fs::temp_directory_path() / ("kestrel-bench-generate-" + std::to_string(::getpid()));
    fs::create_directories(root);
    FakeSystemInfo system;

    // The template method.
    NewProjectDraft draft{"Largest", root.string()};
    ProjectRecord record;
    if (!NewProject(draft, system, record).ok())
        Fail("bench_generate", "cannot create the benchmark project in " + root.string());
    FillLargestProject(record.projectFolder);
    const std::string tp = ProjectFilePath(record);
    const double g = GenerateMs(tp, runs);
    std::size_t bytes = 0;
    const double c =
        PlainWriteMs(Contents(WrittenFiles(record.projectFolder, record.projectName), bytes),
                     root / "plain", runs);

    // The AsmL method: 2,000 lines of behaviour per function, through the extractor.
    NewProjectDraft asmlDraft{"LargestAsml", root.string()};
    ProjectRecord asmlRecord;
    if (!NewProject(asmlDraft, system, asmlRecord).ok() ||
        !DeclareAsmlProject(asmlRecord.projectFolder, kMaxFunctions, kMaxParameters,
                            kMaxSignals - 5))
        Fail("bench_generate", "cannot create the AsmL benchmark project in " + root.string());
    std::string text;
    std::size_t lineCount = 0;
    for (int f = 1; f <= kMaxFunctions; ++f)
        AppendFunction(text, f, kMaxParameters, 2000, lineCount);
    if (!WriteFileAtomic(InputPath(asmlRecord.projectFolder, "spec.asml"), text))
        Fail("bench_generate", "cannot write the AsmL specification");
    const std::string asmlTp = ProjectFilePath(asmlRecord);
    const int asmlRuns = 9;
    const double ga = GenerateMs(asmlTp, asmlRuns);
    std::size_t asmlBytes = 0;
    const double ca = PlainWriteMs(
        Contents(WrittenFiles(asmlRecord.projectFolder, asmlRecord.projectName), asmlBytes),
        root / "plain-asml", asmlRuns);

    // Through the command-line program.
    std::string cli = (bin / "kestrel-cli").string();
    std::vector<double> viaCli, startup, baseline;
    for (int i = 0; i < runs; ++i) {
        viaCli.push_back(TimeProgramMs({cli, "generate", tp}));
        startup.push_back(TimeProgramMs({cli, "--help"}));
        baseline.push_back(TimeProgramMs({"/bin/true"}));
    }

    const bool templateOk = g < 50;
    const bool asmlOk = ga / ca <= 10 && ga < 500;
    const bool startupOk = Median(startup) < 10;
    std::printf("template Generate, 25 functions x 20 parameters, 25 signals (%zu bytes written)\n",
                bytes);
    std::printf("  in process:         %8.2f ms median of %d   (goal < 50 ms)  %s\n", g, runs,
                templateOk ? "ok" : "MISSED");
    std::printf("  plain write:        %8.3f ms median of %d\n", c, runs);
    std::printf("  ratio to writing:   %8.1f x\n", g / c);
    std::printf("AsmL Generate, 25 functions x 20 parameters, 25 signals, %zu lines of AsmL "
                "(%zu bytes written)\n",
                lineCount, asmlBytes);
    std::printf("  in process:         %8.2f ms median of %d   (goal < 500 ms)  %s\n", ga, asmlRuns,
                ga < 500 ? "ok" : "MISSED");
    std::printf("  plain write:        %8.3f ms median of %d\n", ca, asmlRuns);
    std::printf("  ratio to writing:   %8.1f x   (goal <= 10 x)  %s\n", ga / ca,
                ga / ca <= 10 ? "ok" : "MISSED");
    std::printf("kestrel-cli\n");
    std::printf("  generate (template): %7.2f ms median of %d\n", Median(viaCli), runs);
    std::printf("  start-up:            %7.2f ms median of %d (--help; goal < 10 ms)  %s\n",
                Median(startup), runs, startupOk ? "ok" : "MISSED");
    std::printf("  /bin/true, same way: %7.2f ms (the cost of starting any program here)\n",
                Median(baseline));
    NoteLoad();
    fs::remove_all(root);
    return templateOk && asmlOk && startupOk ? 0 : 1;
}
