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
// commands without faults), `args` is the command line.
struct Scenario {
    std::string name;
    std::function<void(const fs::path& work)> prepare;
    std::function<std::vector<std::string>(const fs::path& work)> args;
    std::string logFile; // relative path of the generation log, if the command writes one
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

struct Matrix {
    int runs = 0;
    int faultsHit = 0;
    int absorbed = 0; // faults that the command survived with every file as expected
};

// Runs the scenario with every fault; failures are reported through gtest.
Matrix RunMatrix(const Scenario& s) {
    Matrix matrix;
    TempDir temp;
    const fs::path work = temp.path() / "work";
    const fs::path before = temp.path() / "before";
    fs::create_directories(work);
    s.prepare(work);
    if (testing::Test::HasFatalFailure()) return matrix;
    CopyTree(work, before);
    const Snapshot old = TakeSnapshot(before);
    const std::vector<std::string> args = s.args(work);

    ProgramRun clean = RunCli(args, work);
    EXPECT_EQ(clean.code, 0) << s.name << " without faults: " << clean.output;
    const Snapshot fresh = TakeSnapshot(work);

    const char* kinds[] = {"open", "write", "sync", "rename", "mkdir"};
#ifdef KESTREL_FAULTS_UNDER_ASAN
    // Every run starts a sanitized program, several times slower: one error number
    // keeps the sanitizer build's suite within its time (the error paths are the same).
    const int errors[] = {ENOSPC};
#else
    const int errors[] = {ENOSPC, EIO, EACCES};
#endif
    for (const char* kind : kinds) {
        for (int error : errors) {
            for (long n = 1; n < 5000; ++n) {
                fs::remove_all(work);
                CopyTree(before, work);
                Fault fault{kind, n, error, work};
                ProgramRun run = RunCli(args, work, &fault);
                ++matrix.runs;
                const std::string where = s.name + " with " + kind + " #" + std::to_string(n) +
                                          " failing (" + std::strerror(error) + ")";
                const Snapshot after = TakeSnapshot(work);
                EXPECT_TRUE(TemporaryFiles(work).empty()) << where << ": temporary file left";
                if (!run.faultHit) {
                    EXPECT_EQ(run.code, 0) << where << ": " << run.output;
                    EXPECT_TRUE(after == fresh) << where << ": not reached, yet other files";
                    break;
                }
                ++matrix.faultsHit;
                if (run.code == 0) {
                    ++matrix.absorbed;
                    EXPECT_TRUE(after == fresh)
                        << where << ": exit status 0, but the files differ from a clean run";
                    continue;
                }
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
                    const std::string* o = find(old);
                    const std::string* f = find(fresh);
                    const std::string* a = find(after);
                    auto same = [](const std::string* x, const std::string* y) {
                        return (!x && !y) || (x && y && *x == *y);
                    };
                    bool derived = false;
                    for (const std::string& folder : s.derived)
                        derived = derived || path.starts_with(folder);
                    if (derived && run.faultHit->starts_with("read ")) continue;
                    if (path == s.logFile && a && !same(a, o)) {
                        EXPECT_NE(a->find(run.output.substr(0, run.output.rfind("ERROR"))),
                                  std::string::npos)
                            << where << ": the log does not hold the status text";
                        continue;
                    }
                    EXPECT_TRUE(same(a, o) || same(a, f))
                        << where << ": " << path << " is neither its old nor its new content";
                }
                if (testing::Test::HasFailure()) return matrix;
            }
        }
    }
    return matrix;
}

void Report(const Scenario& s, const Matrix& m) {
    std::printf("%-14s %5d runs, %4d faults hit, %3d absorbed without harm\n", s.name.c_str(),
                m.runs, m.faultsHit, m.absorbed);
}

TEST(FaultInjection, ProjectCommands) {
    std::vector<Scenario> scenarios = {
        {"new",
         [](const fs::path&) {},
         [](const fs::path& w) {
             return std::vector<std::string>{"new", "Fresh", "--location", w.string()};
         },
         {}},
        {"declare",
         [](const fs::path& w) {
             CopyTree(ExamplesDir() / "MemBus", w / "MemBus");
             fs::copy_file(ExamplesDir() / "MemReqAck" / "declarations.json", w / "decl.json");
         },
         [](const fs::path& w) {
             return std::vector<std::string>{"declare", (w / "MemBus" / "MemBus.tp").string(),
                                             (w / "decl.json").string()};
         },
         {}},
        {"options",
         [](const fs::path& w) { PrepareExample(w, "asml"); },
         [](const fs::path& w) {
             return std::vector<std::string>{"options",   (w / "P" / "MemReqAck.tp").string(),
                                             "--title",   "Another title",
                                             "--comment", "one\ntwo"};
         },
         {}},
        {"settings",
         [](const fs::path& w) { PrepareExample(w, "asml"); },
         [](const fs::path& w) {
             return std::vector<std::string>{"settings", (w / "P" / "MemReqAck.tp").string(),
                                             "--transactor-class", "clsMem"};
         },
         {}},
    };
    for (const Scenario& s : scenarios) Report(s, RunMatrix(s));
}

TEST(FaultInjection, GenerateWithLibrary) {
    Scenario s{"generate",
               [](const fs::path& w) {
                   PrepareExample(w, "fsm");
                   // Generate once: the run under test replaces every output.
                   MustRun({"generate", (w / "P" / "MemReqAck.tp").string()}, w);
               },
               [](const fs::path& w) {
                   return std::vector<std::string>{"generate", (w / "P" / "MemReqAck.tp").string()};
               },
               "P/MemReqAck.log",
               {"P/Temp/", "P/Output/"}};
    Report(s, RunMatrix(s));
}

TEST(FaultInjection, LibraryCommands) {
    auto prepareLibrary = [](const fs::path& w) {
        WriteBytes(w / "a.txt", "first entry\r\n");
        WriteBytes(w / "b.txt", "second entry\r\n");
        MustRun({"lib", "add", (w / "lib.tlib").string(), (w / "a.txt").string(),
                 (w / "b.txt").string()},
                w);
        WriteBytes(w / "c.txt", std::string(3'000'000, 'c')); // larger than one piece
        WriteBytes(w / "out.txt", "old content\r\n");
    };
    std::vector<Scenario> scenarios = {
        {"lib add",
         prepareLibrary,
         [](const fs::path& w) {
             return std::vector<std::string>{"lib", "add", (w / "lib.tlib").string(),
                                             (w / "c.txt").string()};
         },
         {}},
        {"lib extract",
         prepareLibrary,
         [](const fs::path& w) {
             return std::vector<std::string>{"lib",   "extract", (w / "lib.tlib").string(),
                                             "B.TXT", "-o",      (w / "out.txt").string()};
         },
         {}},
        {"add-library",
         [](const fs::path& w) {
             PrepareExample(w, "fsm");
             MustRun({"generate", (w / "P" / "MemReqAck.tp").string()}, w);
             fs::copy_file(w / "P" / "Output" / "Mem.tlib", w / "Mem.tlib");
             CopyTree(ExamplesDir() / "MemBus", w / "MemBus");
             fs::create_directories(w / "MemBus" / "Temp");
         },
         [](const fs::path& w) {
             return std::vector<std::string>{"add-library", (w / "MemBus" / "MemBus.tp").string(),
                                             (w / "Mem.tlib").string()};
         },
         {}},
    };
    for (const Scenario& s : scenarios) Report(s, RunMatrix(s));
}

TEST(FaultInjection, Templates) {
    std::vector<Scenario> scenarios = {
        {"asml-template",
         [](const fs::path& w) { PrepareExample(w, "asml"); },
         [](const fs::path& w) {
             return std::vector<std::string>{"asml-template", (w / "P" / "MemReqAck.tp").string(),
                                             (w / "P" / "Input" / "spec.docx").string()};
         },
         {}},
        {"asf-template",
         [](const fs::path& w) {
             PrepareExample(w, "fsm");
             WriteBytes(w / "P" / "Input" / "New.asf", "old diagram\r\n");
         },
         [](const fs::path& w) {
             return std::vector<std::string>{"asf-template", (w / "P" / "MemReqAck.tp").string(),
                                             "1", (w / "P" / "Input" / "New.asf").string()};
         },
         {}},
    };
    for (const Scenario& s : scenarios) Report(s, RunMatrix(s));
}

} // namespace
} // namespace kestrel::test
