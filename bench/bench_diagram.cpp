// A diagram at the reader's capacity: 50 states in a chain (their 50 name labels fill the
// label table), actions, transitions with conditions and a reset, drawn through the
// editing operations. Measured: loading the file and describing it in process, and
// `kestrel-cli diagram show --json` as a user runs it.
// Goal: diagram show under 10 ms.
#include "BenchSupport.h"

#include "fsm/AsfDocument.h"
#include "fsm/AsfEdit.h"
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

// The 50-state ring, saved at `path`.
void DrawRing(const std::string& path) {
    AsfDocument doc;
    Must(AsfDocument::Load(
        "VERSION=1.19\r\nHEADER\r\nFILE=\"Ring.asf\"\r\nFREEOID=60\r\nEND\r\nOBJECTS\r\n"
        "F 1 0 671088640 10 0 \"\" 0 RECT 0,0,0 0 0 1 255,255,255 0 | 15700,15700 400200,421700\r\n"
        "END\r\n",
        path, doc));
    std::vector<ObjectNumber> states(kMaxDiagramStates);
    ObjectNumber n = 0;
    for (std::size_t i = 0; i < states.size(); ++i) {
        Must(AddState(doc, "S" + std::to_string(i),
                      {static_cast<ObjectNumber>(20000 + 7000 * (i % 10)),
                       static_cast<ObjectNumber>(20000 + 70000 * (i / 10))},
                      states[i]));
        if (i % 2 == 0) Must(AddAction(doc, states[i], "count := count + 1", n));
    }
    Must(SetStateKind(doc, states.back(), AsfStateKind::Trap));
    Must(AddReset(doc, {10000, 10000}, n));
    Must(AddTransition(doc, n, states.front(), 0, std::nullopt, n));
    for (std::size_t i = 0; i + 1 < states.size() && i < 48; ++i)
        Must(AddTransition(doc, states[i], states[i + 1], 1,
                           std::string("count < " + std::to_string(i)), n));
    Must(WriteFileAtomic(path, doc.Bytes()));
}

} // namespace

int main(int, char** argv) {
    const int runs = 30;
    const fs::path bin = fs::absolute(fs::path(argv[0])).parent_path();
    const fs::path root =
        fs::temp_directory_path() / ("kestrel-bench-diagram-" + std::to_string(::getpid()));
    fs::create_directories(root);
    const std::string path = (root / "Ring.asf").string();
    DrawRing(path);

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
