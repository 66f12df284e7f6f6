// Real permission failures: each command whose target folder (or file) is write-protected
// fails with exit status not 0 and a message naming the file, changes no file and leaves
// no temporary file. The superuser may write anywhere, so when the tests run as root the
// commands run as the user nobody on a copy that user owns; without root they run as the
// current user.
#include "FaultRunner.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel::test {
namespace {

namespace fs = std::filesystem;

struct ProtectedCase {
    std::string name;
    std::function<void(const fs::path& work)> prepare;
    std::string protectedPath; // relative: made read-only (a folder 0555, a file 0444)
    std::function<std::vector<std::string>(const fs::path& work)> args;
    std::string named; // what the message must name
};

// Hands the tree to the user (recursively) so that only the mode protects it.
void GiveTo(const fs::path& root, uid_t uid, gid_t gid) {
    ASSERT_EQ(lchown(root.c_str(), uid, gid), 0);
    for (const auto& item : fs::recursive_directory_iterator(root))
        ASSERT_EQ(lchown(item.path().c_str(), uid, gid), 0) << item.path();
}

TEST(ReadOnlyFolders, CommandsFailCleanly) {
    std::string user;
    uid_t uid = getuid();
    gid_t gid = getgid();
    // Everything the other user needs lies in a world-readable folder of the test's own,
    // the programs included: the checkout and the build folder may be private (0700).
    TempDir shared;
    ASSERT_EQ(chmod(shared.path().c_str(), 0755), 0);
    const fs::path programs = shared.path() / "bin";
    fs::path programsToRun;
    if (geteuid() == 0) {
        struct passwd* nobody = getpwnam("nobody");
        if (!nobody) GTEST_SKIP() << "running as root and there is no user nobody to run as";
        if (access("/usr/bin/setpriv", X_OK) != 0) GTEST_SKIP() << "setpriv is missing";
        user = "nobody";
        uid = nobody->pw_uid;
        gid = nobody->pw_gid;
        CopyPrograms(programs);
        programsToRun = programs;
        ProgramRun help = RunCli({"--help"}, "/", nullptr, user, programsToRun);
        ASSERT_EQ(help.code, 0) << "nobody cannot run kestrel-cli: " << help.output;
    }

    const std::vector<ProtectedCase> cases = {
        {"new", [](const fs::path&) {}, ".",
         [](const fs::path& w) {
             return std::vector<std::string>{"new", "Fresh", "--location", w.string()};
         },
         "Fresh"},
        {"options", [](const fs::path& w) { PrepareExample(w, "asml"); }, "P/Input",
         [](const fs::path& w) {
             return std::vector<std::string>{"options", (w / "P/MemReqAck.tp").string(), "--title",
                                             "Another"};
         },
         "option.dat"},
        {"settings", [](const fs::path& w) { PrepareExample(w, "asml"); }, "P/Input",
         [](const fs::path& w) {
             return std::vector<std::string>{"settings", (w / "P/MemReqAck.tp").string(),
                                             "--transactor-class", "clsMem"};
         },
         "gen.dat"},
        {"declare",
         [](const fs::path& w) {
             PrepareExample(w, "asml");
             fs::copy_file(ExamplesDir() / "MemBus/Input/tlm_func.dat", w / "P/Input/tlm_func.dat",
                           fs::copy_options::overwrite_existing);
             fs::copy_file(ExamplesDir() / "MemReqAck/declarations.json", w / "decl.json");
         },
         "P/Input",
         [](const fs::path& w) {
             return std::vector<std::string>{"declare", "P/MemReqAck.tp",
                                             (w / "decl.json").string()};
         },
         "tlm_func.dat"},
        {"generate",
         [](const fs::path& w) {
             PrepareExample(w, "fsm");
             MustRun({"generate", (w / "P/MemReqAck.tp").string()}, w);
         },
         "P/Output",
         [](const fs::path& w) {
             return std::vector<std::string>{"generate", (w / "P/MemReqAck.tp").string()};
         },
         "TLM_AIC.h"},
        {"lib add",
         [](const fs::path& w) {
             WriteBytes(w / "a.txt", "a\r\n");
             MustRun({"lib", "add", (w / "lib.tlib").string(), (w / "a.txt").string()}, w);
         },
         "lib.tlib",
         [](const fs::path& w) {
             return std::vector<std::string>{"lib", "add", (w / "lib.tlib").string(),
                                             (w / "a.txt").string()};
         },
         "lib.tlib"},
        {"lib extract",
         [](const fs::path& w) {
             WriteBytes(w / "a.txt", "a\r\n");
             MustRun({"lib", "add", (w / "lib.tlib").string(), (w / "a.txt").string()}, w);
             fs::create_directories(w / "out");
             WriteBytes(w / "out/a.txt", "old\r\n");
         },
         "out",
         [](const fs::path& w) {
             return std::vector<std::string>{"lib",   "extract", (w / "lib.tlib").string(),
                                             "a.txt", "-o",      (w / "out/a.txt").string()};
         },
         "a.txt"},
        {"add-library",
         [](const fs::path& w) {
             PrepareExample(w, "fsm");
             MustRun({"generate", (w / "P/MemReqAck.tp").string()}, w);
             CopyTree(ExamplesDir() / "MemBus", w / "MemBus");
             fs::create_directories(w / "MemBus/Temp");
             // Opening a copied project stores its new folder in the .tp once.
             MustRun({"settings", (w / "MemBus/MemBus.tp").string()}, w);
         },
         "MemBus/Temp",
         [](const fs::path& w) {
             return std::vector<std::string>{"add-library", (w / "MemBus/MemBus.tp").string(),
                                             (w / "P/Output/Mem.tlib").string()};
         },
         "MemBus/Temp/"},
        {"asf-template", [](const fs::path& w) { PrepareExample(w, "fsm"); }, "P/Input",
         [](const fs::path& w) {
             return std::vector<std::string>{"asf-template", (w / "P/MemReqAck.tp").string(), "1",
                                             (w / "P/Input/New.asf").string()};
         },
         "New.asf"},
    };

    for (const ProtectedCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir temp;
        ASSERT_EQ(chmod(temp.path().c_str(), 0755), 0);
        const fs::path work = temp.path() / "work";
        fs::create_directories(work);
        c.prepare(work);
        GiveTo(work, uid, gid);
        const fs::path target = work / c.protectedPath;
        ASSERT_EQ(chmod(target.c_str(), fs::is_directory(target) ? 0555 : 0444), 0);
        const Snapshot before = TakeSnapshot(work);

        ProgramRun run = RunCli(c.args(work), work, nullptr, user, programsToRun);
        EXPECT_NE(run.code, 0) << run.output;
        EXPECT_NE(run.output.find(c.named), std::string::npos) << run.output;
        EXPECT_NE(run.output.find(std::strerror(EACCES)), std::string::npos) << run.output;
        EXPECT_TRUE(TemporaryFiles(work).empty());
        // Generate writes its log beside the project file and its working files in Temp,
        // which are not protected here; every other file is as it was.
        Snapshot after = TakeSnapshot(work);
        std::erase_if(after, [](const auto& item) {
            return item.first == "P/MemReqAck.log" || item.first.starts_with("P/Temp/");
        });
        Snapshot expected = before;
        std::erase_if(expected, [](const auto& item) {
            return item.first == "P/MemReqAck.log" || item.first.starts_with("P/Temp/");
        });
        for (const auto& [path, bytes] : after) {
            auto it = expected.find(path);
            EXPECT_TRUE(it != expected.end() && it->second == bytes) << path << " changed";
        }
        EXPECT_EQ(after.size(), expected.size());
        chmod(target.c_str(), 0755); // so the folder can be removed
    }
}

} // namespace
} // namespace kestrel::test
