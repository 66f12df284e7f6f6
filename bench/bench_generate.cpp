// Generate benchmark: a template-method Generate of the largest legal project (25
// functions of 20 parameters, 25 signals), in process and through kestrel-cli, against
// writing the same output bytes with plain file writes.
#include "codegen/Generate.h"
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
#include <sys/wait.h>
#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

extern char** environ;
#include <vector>

using namespace kestrel;
namespace fs = std::filesystem;
using Clock_ = std::chrono::steady_clock;

namespace {

double Ms(Clock_::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
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

// Runs a program directly (no shell) with stdout to /dev/null and returns its wall time.
double TimeProgram(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    auto start = Clock_::now();
    pid_t pid = 0;
    int status = 0;
    bool ok = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0 &&
              waitpid(pid, &status, 0) == pid;
    double ms = Ms(Clock_::now() - start);
    posix_spawn_file_actions_destroy(&actions);
    if (!ok || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "program failed: %s\n", args[0].c_str());
        std::exit(2);
    }
    return ms;
}

} // namespace

int main(int, char** argv) {
    const int runs = 30;
    fs::path bin = fs::absolute(fs::path(argv[0])).parent_path();
    fs::path root = fs::temp_directory_path() / ("kestrel-bench-generate-" + std::to_string(::getpid()));
    fs::create_directories(root);

    FakeSystemInfo system;
    NewProjectDraft draft{"Largest", root.string()};
    ProjectRecord record;
    if (!NewProject(draft, system, record).ok()) {
        std::fprintf(stderr, "cannot create the benchmark project in %s\n", root.c_str());
        return 2;
    }
    FillLargestProject(record.projectFolder);
    const std::string tp = ProjectFilePath(record);

    // In process.
    std::vector<double> generate;
    FixedClock clock(LocalDateTime{2026, 12, 4, 9, 51, 15, 5});
    for (int i = 0; i < runs; ++i) {
        GenerationSession session;
        auto start = Clock_::now();
        GenerateProjectResult result = GenerateProject(tp, session, clock, nullptr);
        generate.push_back(Ms(Clock_::now() - start));
        if (!result.status || result.errorCount != 0) {
            std::fprintf(stderr, "Generate failed\n");
            return 2;
        }
    }

    // The same output bytes written with plain file writes.
    std::vector<std::string> outputs = {"Output/TLM_AIC.h", "Output/Tran.h", "Output/Tran.cpp",
                                        "Largest.log"};
    std::vector<std::string> contents;
    std::size_t bytes = 0;
    for (const auto& o : outputs) {
        std::string b;
        (void)ReadFileBytes(JoinPath(record.projectFolder, {o}), b);
        bytes += b.size();
        contents.push_back(b);
    }
    std::vector<double> copy;
    for (int i = 0; i < runs; ++i) {
        auto start = Clock_::now();
        for (std::size_t k = 0; k < contents.size(); ++k) {
            std::string path = (root / ("copy-" + std::to_string(k))).string();
            std::FILE* f = std::fopen(path.c_str(), "wb");
            std::fwrite(contents[k].data(), 1, contents[k].size(), f);
            std::fclose(f);
        }
        copy.push_back(Ms(Clock_::now() - start));
    }

    // Through the command-line program.
    std::string cli = (bin / "kestrel-cli").string();
    std::vector<double> viaCli, startup, baseline;
    for (int i = 0; i < runs; ++i) {
        viaCli.push_back(TimeProgram({cli, "generate", tp}));
        startup.push_back(TimeProgram({cli, "--help"}));
        baseline.push_back(TimeProgram({"/bin/true"}));
    }

    double g = Median(generate), c = Median(copy);
    std::printf("template Generate, 25 functions x 20 parameters, 25 signals (%zu output bytes)\n",
                bytes);
    std::printf("  in process:         %8.2f ms median of %d   (target < 50 ms)\n", g, runs);
    std::printf("  plain write:        %8.3f ms median of %d\n", c, runs);
    std::printf("  ratio to writing:   %8.1f x\n", g / c);
    std::printf("  kestrel-cli generate:%7.2f ms median of %d\n", Median(viaCli), runs);
    std::printf("  kestrel-cli start-up:%7.2f ms median of %d (--help; target < 10 ms)\n",
                Median(startup), runs);
    std::printf("  /bin/true, same way: %7.2f ms (the cost of starting any program here)\n",
                Median(baseline));
    fs::remove_all(root);
    return (g < 50 && Median(startup) < 10) ? 0 : 1;
}
