#pragma once
// Runs kestrel-cli as a separate program, optionally with the fault library preloaded or
// as an unprivileged user, and takes snapshots of the files under a folder.
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kestrel::test {

// One injected failure: the n-th call of `kind` under `root` fails with `error`.
struct Fault {
    std::string kind; // open, write, sync, rename, mkdir
    long n = 1;
    int error = 0;
    std::filesystem::path root;
};

struct ProgramRun {
    int code = -1;                       // exit status; 128 + signal when killed
    std::string output;                  // stdout and stderr, in that order
    std::optional<std::string> faultHit; // "<kind> <path>" when the fault was hit
};

// Runs bin/kestrel-cli with `args` in the folder `cwd`. With a fault, the fault library
// is preloaded; with asUser set (root only), the program runs as that user and group.
// With `programs`, kestrel-cli is taken from that folder instead of the build's.
ProgramRun RunCli(const std::vector<std::string>& args, const std::filesystem::path& cwd,
                  const Fault* fault = nullptr, const std::string& asUser = {},
                  const std::filesystem::path& programs = {});

// Copies kestrel-cli and the programs it starts into `folder` (mode 0755), so that a
// user who cannot read the build folder can run them.
void CopyPrograms(const std::filesystem::path& folder);

// Runs a command that must succeed (a step of preparing a test); fails the test if not.
void MustRun(const std::vector<std::string>& args, const std::filesystem::path& cwd);

// The examples folder of the source tree.
std::filesystem::path ExamplesDir();

// The MemReqAck example in work/P (with Temp and Output), its generated files and its
// library (Output/Mem.tlib) placed inside work, its generation method set to `method`.
void PrepareExample(const std::filesystem::path& work, const std::string& method);

// The MemReqAck example prepared as above with the FSM method and generated once.
void PrepareGenerated(const std::filesystem::path& work);

// The arguments with each "{w}" replaced by the work folder.
std::vector<std::string> InWork(const std::filesystem::path& work, std::vector<std::string> args);

// Relative path -> bytes of every regular file under `root`. Date stamps in text files
// ("Friday, Dec 4, 2026 @ 09:51:15 AM", "12/4/2026") are masked, as two runs of the same
// command a second apart differ in them.
using Snapshot = std::map<std::string, std::string>;
Snapshot TakeSnapshot(const std::filesystem::path& root);

// Paths (relative to root) of files whose name holds the temporary-file marker.
std::vector<std::string> TemporaryFiles(const std::filesystem::path& root);

} // namespace kestrel::test
