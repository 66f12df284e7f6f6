// A diagram at the reader's capacity: 50 states in a chain (their 50 name labels fill the
// label table), actions, transitions with conditions and a reset, drawn through the
// editing operations. Measured: loading the file and describing it in process, and
// `kestrel-cli diagram show --json` as a user runs it.
// Goal: diagram show under 10 ms.
#include "BenchSupport.h"

#include "fsm/AsfDocument.h"
#include "fsm/AsfModel.h"
#include "platform/FileSystem.h"

#include <filesystem>

namespace fs = std::filesystem;
using namespace kestrel;
using namespace kestrel::bench;

namespace {

constexpr const char* kProgram = "bench_diagram";

void Must(const Status& s) {
    if (!s) Fail(kProgram, s.message());
}

} // namespace

int main(int, char** argv) {
    const int runs = 30;
    const fs::path bin = fs::absolute(fs::path(argv[0])).parent_path();
    const fs::path root =
        fs::temp_directory_path() / ("kestrel-bench-diagram-" + std::to_string(::getpid()));
    fs::create_directories(root);
    const std::string path = (root / "Ring.asf").string();
    Must(DrawCapacityDiagram(path));

    std::vector<double> inProcess;
    std::string bytes;
    for (int i = 0; i < runs; ++i) {
        const auto start = SteadyClock::now();
        Must(ReadFileBytes(path, bytes));
        AsfDocument doc;
        Must(AsfDocument::Load(bytes, path, doc));
        DiagramModel model = DescribeDiagram(doc);
        if (model.states.size() != kMaxDiagramStates) Fail(kProgram, "the ring lost states");
        inProcess.push_back(Seconds(SteadyClock::now() - start) * 1000);
    }
    const std::string cli = (bin / "kestrel-cli").string();
    std::vector<double> show, startup;
    for (int i = 0; i < runs; ++i) {
        show.push_back(TimeProgram({cli, "diagram", "show", "--json", path}) * 1000);
        startup.push_back(TimeProgram({cli, "--help"}) * 1000);
    }
    if (Best(show) < 0) Fail(kProgram, "kestrel-cli diagram show failed on " + path);

    const bool showOk = Median(show) < 10;
    std::printf("diagram of %zu states, %zu bytes\n", kMaxDiagramStates, bytes.size());
    std::printf("  load and describe:     %7.3f ms median of %d\n", Median(inProcess), runs);
    std::printf("  kestrel-cli diagram show --json: %7.2f ms median of %d (goal < 10 ms)  %s\n",
                Median(show), runs, showOk ? "ok" : "MISSED");
    std::printf("  kestrel-cli --help:    %7.2f ms (starting the program)\n", Median(startup));
    NoteLoad();
    fs::remove_all(root);
    return showOk ? 0 : 1;
}
