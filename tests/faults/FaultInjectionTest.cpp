// Every command that writes user files, with one file operation failing at a time: for
// each kind of operation (open, write, flush to disk, rename, folder creation) and each
// of ENOSPC, EIO and EACCES, the n-th call under the test folder fails, for n = 1, 2, ...
// until the command runs through without reaching the fault. After every failed run:
// - the exit status is not 0, unless every file came out as in a run without faults;
// - the output names the file whose operation failed (its name without the temporary
//   file's suffix) and shows no temporary file name;
// - every file holds its old bytes or its new bytes (what a run without faults writes),
//   and no temporary file is left.
// The generation log is the one file a failure changes by design (it reports the
// failure); it must then hold the status text the run printed. And when Generate cannot
// read one of its inputs, it reports that and goes on with the rest, so the files it
// makes from its inputs (Temp, Output) may then differ from both runs.
#include "FaultRunner.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <set>
#include <unistd.h>

namespace kestrel::test {
namespace {

namespace fs = std::filesystem;

// A command under test: `prepare` builds the state before it in `work` (by running
// commands without faults), `args` is the command line ("{w}" stands for `work`).
struct Scenario {
    std::string name;
    std::function<void(const fs::path& work)> prepare;
    std::vector<std::string> args;
    std::string logFile = {}; // relative path of the generation log, if the command writes one
    // Folders (relative, with a trailing separator) of files made from the project's
    // inputs. When an input cannot be read, Generate reports it and goes on with what it
    // could read, so these files may then hold what that makes.
    std::vector<std::string> derived = {};
};

// The name a message should give for a file: the path's file name, without the suffix of
// a temporary file made beside it.
std::string ShownName(const std::string& hit) {
    std::string path = hit.substr(hit.find(' ') + 1);
    while (!path.empty() && (path.back() == '\n' || path.back() == '\r')) path.pop_back();
    std::string name = fs::path(path).filename().string();
    if (std::size_t tmp = name.find(".kestrel-tmp-"); tmp != std::string::npos) name.resize(tmp);
    return name;
}

// A run that failed with the fault hit: the message names the file and no temporary file,
// and every file holds its old or its new bytes (the log: the status text printed).
void CheckFailedRun(const Scenario& s, const std::string& where, const ProgramRun& run,
                    const Snapshot& old, const Snapshot& fresh, const Snapshot& after) {
    EXPECT_NE(run.output.find(ShownName(*run.faultHit)), std::string::npos)
        << where << ": the message does not name " << ShownName(*run.faultHit) << "\n"
        << run.output;
    EXPECT_EQ(run.output.find(".kestrel-tmp-"), std::string::npos)
        << where << ": the message shows a temporary file\n"
        << run.output;
    std::set<std::string> paths;
    for (const Snapshot* snap : {&old, &fresh, &after})
        for (const auto& [path, bytes] : *snap) paths.insert(path);
    for (const std::string& path : paths) {
        auto find = [&](const Snapshot& snap) -> const std::string* {
            auto it = snap.find(path);
            return it == snap.end() ? nullptr : &it->second;
        };
        const std::string *o = find(old), *f = find(fresh), *a = find(after);
        auto same = [](const std::string* x, const std::string* y) {
            return (!x && !y) || (x && y && *x == *y);
        };
        bool derived = false;
        for (const std::string& folder : s.derived) derived = derived || path.starts_with(folder);
        if (derived && run.faultHit->starts_with("read ")) continue;
        if (path == s.logFile && a && !same(a, o)) {
            EXPECT_NE(a->find(run.output.substr(0, run.output.rfind("ERROR"))), std::string::npos)
                << where << ": the log does not hold the status text";
            continue;
        }
        EXPECT_TRUE(same(a, o) || same(a, f))
            << where << ": " << path << " is neither its old nor its new content";
    }
}

// Runs the scenario with every fault; failures are reported through gtest.
void RunMatrix(const Scenario& s) {
    int runs = 0, faultsHit = 0, absorbed = 0; // absorbed: survived with every file as expected
    TempDir temp;
    const fs::path work = temp.path() / "work";
    const fs::path before = temp.path() / "before";
    fs::create_directories(work);
    s.prepare(work);
    if (testing::Test::HasFatalFailure()) return;
    CopyTree(work, before);
    const Snapshot old = TakeSnapshot(before);
    const std::vector<std::string> args = InWork(work, s.args);
    ProgramRun clean = RunCli(args, work);
    EXPECT_EQ(clean.code, 0) << s.name << " without faults: " << clean.output;
    const Snapshot fresh = TakeSnapshot(work);
#ifdef KESTREL_FAULTS_UNDER_ASAN
    // Every run starts a sanitized program, several times slower: one error number
    // keeps the sanitizer build's suite within its time (the error paths are the same).
    const int errors[] = {ENOSPC};
#else
    const int errors[] = {ENOSPC, EIO, EACCES};
#endif
    for (const char* kind : {"open", "write", "sync", "rename", "mkdir"})
        for (int error : errors)
            for (long n = 1; n < 5000; ++n) {
                fs::remove_all(work);
                CopyTree(before, work);
                Fault fault{kind, n, error, work};
                ProgramRun run = RunCli(args, work, &fault);
                ++runs;
                const std::string where = s.name + " with " + kind + " #" + std::to_string(n) +
                                          " failing (" + std::strerror(error) + ")";
                const Snapshot after = TakeSnapshot(work);
                EXPECT_TRUE(TemporaryFiles(work).empty()) << where << ": temporary file left";
                if (!run.faultHit) {
                    EXPECT_EQ(run.code, 0) << where << ": " << run.output;
                    EXPECT_TRUE(after == fresh) << where << ": not reached, yet other files";
                    break;
                }
                ++faultsHit;
                if (run.code == 0) {
                    ++absorbed;
                    EXPECT_TRUE(after == fresh)
                        << where << ": exit status 0, but the files differ from a clean run";
                    continue;
                }
                CheckFailedRun(s, where, run, old, fresh, after);
                if (testing::Test::HasFailure()) return;
            }
    std::printf("%-14s %5d runs, %4d faults hit, %3d absorbed without harm\n", s.name.c_str(), runs,
                faultsHit, absorbed);
}

void PrepareAsml(const fs::path& w) {
    PrepareExample(w, "asml");
}

TEST(FaultInjection, ProjectCommands) {
    const Scenario scenarios[] = {
        {"new", [](const fs::path&) {}, {"new", "Fresh", "--location", "{w}"}},
        {"declare",
         [](const fs::path& w) {
             CopyTree(ExamplesDir() / "MemBus", w / "MemBus");
             fs::copy_file(ExamplesDir() / "MemReqAck" / "declarations.json", w / "decl.json");
         },
         {"declare", "{w}/MemBus/MemBus.tp", "{w}/decl.json"}},
        {"options",
         PrepareAsml,
         {"options", "{w}/P/MemReqAck.tp", "--title", "Another title", "--comment", "one\ntwo"}},
        {"settings",
         PrepareAsml,
         {"settings", "{w}/P/MemReqAck.tp", "--transactor-class", "clsMem"}},
    };
    for (const Scenario& s : scenarios) RunMatrix(s);
}

TEST(FaultInjection, GenerateWithLibrary) {
    // Generated once before: the run under test replaces every output.
    RunMatrix({"generate",
               PrepareGenerated,
               {"generate", "{w}/P/MemReqAck.tp"},
               "P/MemReqAck.log",
               {"P/Temp/", "P/Output/"}});
}

TEST(FaultInjection, LibraryCommands) {
    auto prepareLibrary = [](const fs::path& w) {
        WriteBytes(w / "a.txt", "first entry\r\n");
        WriteBytes(w / "b.txt", "second entry\r\n");
        MustRun(InWork(w, {"lib", "add", "{w}/lib.tlib", "{w}/a.txt", "{w}/b.txt"}), w);
        WriteBytes(w / "c.txt", std::string(3'000'000, 'c')); // larger than one piece
        WriteBytes(w / "out.txt", "old content\r\n");
    };
    const Scenario scenarios[] = {
        {"lib add", prepareLibrary, {"lib", "add", "{w}/lib.tlib", "{w}/c.txt"}},
        {"lib extract",
         prepareLibrary,
         {"lib", "extract", "{w}/lib.tlib", "B.TXT", "-o", "{w}/out.txt"}},
        {"add-library",
         [](const fs::path& w) {
             PrepareGenerated(w);
             fs::copy_file(w / "P" / "Output" / "Mem.tlib", w / "Mem.tlib");
             CopyTree(ExamplesDir() / "MemBus", w / "MemBus");
             fs::create_directories(w / "MemBus" / "Temp");
         },
         {"add-library", "{w}/MemBus/MemBus.tp", "{w}/Mem.tlib"}},
    };
    for (const Scenario& s : scenarios) RunMatrix(s);
}

TEST(FaultInjection, Templates) {
    const Scenario scenarios[] = {
        {"asml-template",
         PrepareAsml,
         {"asml-template", "{w}/P/MemReqAck.tp", "{w}/P/Input/spec.docx"}},
        {"asf-template",
         [](const fs::path& w) {
             PrepareExample(w, "fsm");
             WriteBytes(w / "P" / "Input" / "New.asf", "old diagram\r\n");
         },
         {"asf-template", "{w}/P/MemReqAck.tp", "1", "{w}/P/Input/New.asf"}},
    };
    for (const Scenario& s : scenarios) RunMatrix(s);
}

} // namespace
} // namespace kestrel::test
