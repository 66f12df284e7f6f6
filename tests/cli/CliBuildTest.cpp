// kestrel-cli build on copies of examples/MemReqAck, with the real compiler and SystemC:
// an undeclared name planted in an action of Write.asf comes back at that line of the
// diagram, with the generated line beneath; a
// clean project says one line; a project not generated yet, a missing compiler and a
// missing SystemC exit 2 naming what is missing; the project's files stay as they were.
#include "CliRunner.h"

#include <cstdlib>
#include <map>
#include <optional>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

using test::Cli;
using test::CliRun;

bool HaveSystemc() {
    return std::system("pkg-config --exists systemc && command -v g++ > /dev/null") == 0;
}

// The pointed copy of the example in dir/MemReqAck with `datum` planted for `data` in
// `file`, generated (which the compiler, not the translator, refuses); its .tp path.
std::string PlantedCopy(const test::TempDir& dir, const char* file, const char* method) {
    const std::string tp = test::CopiedExample(dir.path() / "MemReqAck");
    const fs::path path = dir.path() / "MemReqAck" / file;
    std::string bytes = test::ReadBytes(path);
    bytes.replace(bytes.find("wdata := toLv ( data )"), 22, "wdata := toLv ( datum )");
    test::WriteBytes(path, bytes);
    EXPECT_EQ(Cli({"generate", tp, "--method", method}).code, 1);
    return tp;
}

// Every file of the project with its bytes.
std::map<std::string, std::string> Snapshot(const fs::path& project) {
    std::map<std::string, std::string> files;
    for (const std::string& file : test::FilesUnder(project))
        files[file] = test::ReadBytes(project / file);
    return files;
}

TEST(CliBuild, FsmErrorComesBackAtTheActionOfTheDiagram) {
    if (!HaveSystemc()) GTEST_SKIP() << "no g++ or SystemC";
    test::TempDir dir;
    const std::string tp = PlantedCopy(dir, "Input/Write.asf", "fsm");
    const std::string asf = (dir.path() / "MemReqAck/Input/Write.asf").string();
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"build", tp, "--method", "fsm"},
          std::vector<std::string>{"build", tp}}) {
        CliRun run = Cli(arguments);
        EXPECT_EQ(run.code, 1) << run.err;
        // Line 66 is the action record of state REQUEST.
        const std::string head = asf + ": In action of state REQUEST:\n" + asf + ":66: error: ";
        ASSERT_TRUE(run.err.starts_with(head)) << run.err;
        EXPECT_TRUE(test::Has(run.err.substr(head.size()), "datum"));
        EXPECT_TRUE(
            run.err.ends_with("\n    in Tran.cpp:54:         wdata.write( toLv ( datum )  ) ;\n"))
            << run.err;
    }
}

TEST(CliBuild, CleanProjectSaysOneLine) {
    if (!HaveSystemc()) GTEST_SKIP() << "no g++ or SystemC";
    test::TempDir dir;
    const std::string tp = test::CopiedExample(dir.path() / "MemReqAck");
    ASSERT_EQ(Cli({"generate", tp}).code, 0);
    const auto before = Snapshot(dir.path() / "MemReqAck");
    CliRun run = Cli({"build", tp, "--method", "asml"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, (dir.path() / "MemReqAck/Output/Tran.cpp").string() + ": compiles\n");
    EXPECT_EQ(Snapshot(dir.path() / "MemReqAck"), before);
}

// Sets an environment variable for the life of the object.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedEnvironment() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(CliBuild, MissingPiecesExitTwoNamingWhatIsMissing) {
    test::TempDir dir;
    const std::string tp = test::CopiedExample(dir.path() / "MemReqAck");
    CliRun ungenerated = Cli({"build", tp});
    EXPECT_EQ(ungenerated.code, 2);
    EXPECT_EQ(ungenerated.out, "");
    EXPECT_EQ(ungenerated.err,
              "kestrel-cli: " + (dir.path() / "MemReqAck/Output/Tran.cpp").string() +
                  " has not been generated yet: run generate first\n");
    EXPECT_TRUE(test::FilesUnder(dir.path() / "MemReqAck/Temp").empty());
    EXPECT_TRUE(test::FilesUnder(dir.path() / "MemReqAck/Output").empty());

    ASSERT_EQ(Cli({"generate", tp}).code, 0);
    CliRun noCompiler = Cli({"build", tp, "--compiler", "/nonexistent/c++"});
    EXPECT_EQ(noCompiler.code, 2);
    EXPECT_EQ(
        noCompiler.err,
        "kestrel-cli: the C++ compiler /nonexistent/c++ is not installed (not found in PATH)\n");

    test::TempDir nowhere;
    ScopedEnvironment libdir("PKG_CONFIG_LIBDIR", nowhere.str().c_str());
    ScopedEnvironment path("PKG_CONFIG_PATH", nullptr);
    CliRun noSystemc = Cli({"build", tp});
    EXPECT_EQ(noSystemc.code, 2);
    EXPECT_TRUE(noSystemc.err.starts_with(
        "kestrel-cli: SystemC is not installed: pkg-config knows no package systemc"))
        << noSystemc.err;
    EXPECT_EQ(Cli({"build", (dir.path() / "None.tp").string()}).code, 2);
}

} // namespace
} // namespace kestrel
