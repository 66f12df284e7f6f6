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
    std::string protectedPath;     // relative: made read-only (a folder 0555, a file 0444)
    std::vector<std::string> args; // "{w}" stands for the work folder
    std::string named;             // what the message must name
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

    auto asml = [](const fs::path& w) { PrepareExample(w, "asml"); };
    auto library = [](const fs::path& w) {
        WriteBytes(w / "a.txt", "a\r\n");
        MustRun(InWork(w, {"lib", "add", "{w}/lib.tlib", "{w}/a.txt"}), w);
    };
    const std::vector<ProtectedCase> cases = {
        {"new", [](const fs::path&) {}, ".", {"new", "Fresh", "--location", "{w}"}, "Fresh"},
        {"options",
         asml,
         "P/Input",
         {"options", "{w}/P/MemReqAck.tp", "--title", "Another"},
         "option.dat"},
        {"settings",
         asml,
         "P/Input",
         {"settings", "{w}/P/MemReqAck.tp", "--transactor-class", "clsMem"},
         "gen.dat"},
        {"declare",
         [](const fs::path& w) {
             PrepareExample(w, "asml");
             fs::copy_file(ExamplesDir() / "MemBus/Input/tlm_func.dat", w / "P/Input/tlm_func.dat",
                           fs::copy_options::overwrite_existing);
             fs::copy_file(ExamplesDir() / "MemReqAck/declarations.json", w / "decl.json");
         },
         "P/Input",
         {"declare", "P/MemReqAck.tp", "{w}/decl.json"},
         "tlm_func.dat"},
        {"generate", PrepareGenerated, "P/Output", {"generate", "{w}/P/MemReqAck.tp"}, "TLM_AIC.h"},
        {"lib add", library, "lib.tlib", {"lib", "add", "{w}/lib.tlib", "{w}/a.txt"}, "lib.tlib"},
        {"lib extract",
         [&library](const fs::path& w) {
             library(w);
             fs::create_directories(w / "out");
             WriteBytes(w / "out/a.txt", "old\r\n");
         },
         "out",
         {"lib", "extract", "{w}/lib.tlib", "a.txt", "-o", "{w}/out/a.txt"},
         "a.txt"},
        {"add-library",
         [](const fs::path& w) {
             PrepareGenerated(w);
             CopyTree(ExamplesDir() / "MemBus", w / "MemBus");
             fs::create_directories(w / "MemBus/Temp");
             // Opening a copied project stores its new folder in the .tp once.
             MustRun({"settings", (w / "MemBus/MemBus.tp").string()}, w);
         },
         "MemBus/Temp",
         {"add-library", "{w}/MemBus/MemBus.tp", "{w}/P/Output/Mem.tlib"},
         "MemBus/Temp/"},
        {"asf-template",
         [](const fs::path& w) { PrepareExample(w, "fsm"); },
         "P/Input",
         {"asf-template", "{w}/P/MemReqAck.tp", "1", "{w}/P/Input/New.asf"},
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

        ProgramRun run = RunCli(InWork(work, c.args), work, nullptr, user, programsToRun);
        EXPECT_NE(run.code, 0) << run.output;
        EXPECT_NE(run.output.find(c.named), std::string::npos) << run.output;
        EXPECT_NE(run.output.find(std::strerror(EACCES)), std::string::npos) << run.output;
        EXPECT_TRUE(TemporaryFiles(work).empty());
        // Generate writes its log beside the project file and its working files in Temp,
        // which are not protected here; every other file is as it was.
        auto unprotected = [](const auto& item) {
            return item.first == "P/MemReqAck.log" || item.first.starts_with("P/Temp/");
        };
        Snapshot after = TakeSnapshot(work);
        Snapshot expected = before;
        std::erase_if(after, unprotected);
        std::erase_if(expected, unprotected);
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
