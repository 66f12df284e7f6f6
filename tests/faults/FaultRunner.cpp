// Starts kestrel-cli with posix_spawn (working folder, environment with the fault
// library's variables, output into a file) and waits for it; reads folder snapshots.
#include "FaultRunner.h"

#include "TestSupport.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kestrel::test {

namespace fs = std::filesystem;

void CopyPrograms(const fs::path& folder) {
    fs::create_directories(folder);
    fs::permissions(folder, fs::perms(0755));
    for (const char* name : {"kestrel-cli", "kestrel-docgen", "kestrel-docextract"})
        fs::copy_file(BinDir() / name, folder / name, fs::copy_options::overwrite_existing);
}

ProgramRun RunCli(const std::vector<std::string>& args, const fs::path& cwd, const Fault* fault,
                  const std::string& asUser, const fs::path& programs) {
    TempDir scratch;
    const std::string outputFile = scratch / "output";
    const std::string reportFile = scratch / "report";

    std::vector<std::string> argv;
    if (!asUser.empty()) {
        const std::string group = asUser == "nobody" ? "nogroup" : asUser;
        argv = {"/usr/bin/setpriv", "--reuid=" + asUser, "--regid=" + group, "--clear-groups"};
    }
    argv.push_back(((programs.empty() ? BinDir() : programs) / "kestrel-cli").string());
    argv.insert(argv.end(), args.begin(), args.end());

    std::vector<std::string> env;
    // Our own LD_PRELOAD, and with it our own ASAN_OPTIONS: of two entries of one name a
    // program sees only the first.
    for (char** e = environ; *e; ++e) {
        if (std::strncmp(*e, "LD_PRELOAD=", 11) == 0) continue;
        if (fault && std::strncmp(*e, "ASAN_OPTIONS=", 13) == 0) continue;
        env.emplace_back(*e);
    }
    if (fault) {
        env.push_back("LD_PRELOAD=" KESTREL_FAULT_SHIM);
        env.push_back("KESTREL_FAULT_ROOT=" + fault->root.string());
        env.push_back("KESTREL_FAULT_KIND=" + fault->kind);
        env.push_back("KESTREL_FAULT_N=" + std::to_string(fault->n));
        env.push_back("KESTREL_FAULT_ERRNO=" + std::to_string(fault->error));
        env.push_back("KESTREL_FAULT_REPORT=" + reportFile);
        // The library comes before the sanitizer runtime of a sanitizer build.
        env.push_back("ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0");
    }
    std::vector<char*> argp, envp;
    for (std::string& a : argv) argp.push_back(a.data());
    argp.push_back(nullptr);
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0666);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
    pid_t pid = 0;
    int spawned = posix_spawn(&pid, argp[0], &actions, nullptr, argp.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ProgramRun run;
    if (spawned != 0) {
        run.output = "cannot start " + argv[0] + ": " + std::strerror(spawned);
        return run;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.output = ReadBytes(outputFile);
    if (fs::exists(reportFile)) run.faultHit = ReadBytes(reportFile);
    return run;
}

void MustRun(const std::vector<std::string>& args, const fs::path& cwd) {
    ProgramRun run = RunCli(args, cwd);
    ASSERT_EQ(run.code, 0) << run.output;
}

fs::path ExamplesDir() {
    return KESTREL_EXAMPLES_DIR;
}

void PrepareExample(const fs::path& work, const std::string& method) {
    CopyTree(ExamplesDir() / "MemReqAck", work / "P");
    fs::create_directories(work / "P" / "Temp"); // the example keeps no empty folders
    fs::create_directories(work / "P" / "Output");
    const std::string tp = (work / "P" / "MemReqAck.tp").string();
    const std::string out = (work / "P" / "Output").string();
    MustRun({"settings", tp, "--cpp", out + "/Tran.cpp", "--header", out + "/Tran.h",
             "--interface-header", out + "/TLM_AIC.h"},
            work);
    MustRun({"options", tp, "--method", method, "--library", out + "/Mem.tlib"}, work);
}

void PrepareGenerated(const fs::path& work) {
    PrepareExample(work, "fsm");
    MustRun({"generate", (work / "P" / "MemReqAck.tp").string()}, work);
}

std::vector<std::string> InWork(const fs::path& work, std::vector<std::string> args) {
    for (std::string& arg : args)
        if (std::size_t at = arg.find("{w}"); at != std::string::npos)
            arg.replace(at, 3, work.string());
    return args;
}

Snapshot TakeSnapshot(const fs::path& root) {
    Snapshot files;
    for (const auto& item : fs::recursive_directory_iterator(root)) {
        if (!item.is_regular_file()) continue;
        files[fs::relative(item.path(), root).string()] = MaskDates(ReadBytes(item.path()));
    }
    return files;
}

std::vector<std::string> TemporaryFiles(const fs::path& root) {
    std::vector<std::string> found;
    for (const auto& item : fs::recursive_directory_iterator(root))
        if (item.path().filename().string().find(".kestrel-tmp-") != std::string::npos)
            found.push_back(fs::relative(item.path(), root).string());
    return found;
}

} // namespace kestrel::test
