// kestrel-cli end to end, in process: exit status, stdout and stderr of new, show, options
// and lib; usage and file errors.
#include "CliRunner.h"

#include <map>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

using test::Cli;
using test::CliRun;
using test::Has;

TEST(Cli, NewShowAndOptionsOnOneProject) {
    test::TempDir dir;
    CliRun created = Cli({"new", "Bus", "--location", dir.str()});
    ASSERT_EQ(created.code, 0) << created.err;
    EXPECT_EQ(created.out, dir.str() + "/Bus/Bus.tp\n");
    const std::string tp = dir / "Bus/Bus.tp";
    CliRun again = Cli({"new", "Bus", "--location", dir.str()});
    EXPECT_EQ(again.code, 1);
    EXPECT_TRUE(Has(again.err, "Project " + dir.str() + "/Bus already exists!"));

    // Showing changes nothing on disk; a new project's wait is not worked out yet.
    CliRun shown = Cli({"show", tp, "--json"});
    ASSERT_EQ(shown.code, 0) << shown.err;
    EXPECT_FALSE(fs::exists(dir / "Bus/Input/tlm_func.dat"));
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "cli/new_show.json",
                                    test::MaskedShow(tp, dir, true)));
    EXPECT_TRUE(
        test::MatchesGolden(test::GoldenDir() / "cli/new_show.txt", test::MaskedShow(tp, dir)));

    // The core's refusal passes through: exit 1, its text on stderr.
    CliRun refused = Cli({"options", tp, "--setup", "5", "SC_NS", "--period", "5", "ns"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(Has(refused.err, "Setup Time must be smaller than Clock Period"));

    // The wait worked out, the negative edge, and each line of the comment once (the line
    // end saving adds opens no line).
    CliRun ok = Cli({"options", tp, "--setup", "2", "SC_PS", "--period", "10", "SC_NS", "--comment",
                     "line one\nline two", "--edge", "neg"});
    ASSERT_EQ(ok.code, 0) << ok.err;
    EXPECT_TRUE(
        test::MatchesGolden(test::GoldenDir() / "cli/options_show.txt", test::MaskedShow(tp, dir)));
}

TEST(Cli, UsageAndFileErrorsExitTwo) {
    test::TempDir dir;
    test::WriteBytes(dir / "bad.tp", std::string("\x05\x00"
                                                 "ab",
                                                 4));
    struct Case {
        std::vector<std::string> args;
        std::string named; // in the message, if anything
    };
    for (const Case& c : std::vector<Case>{{{}, ""},
                                           {{"frobnicate"}, ""},
                                           {{"new"}, ""},
                                           {{"options", dir / "x.tp", "--setup", "1"}, ""},
                                           {{"show", dir / "none.tp"}, "none.tp"},
                                           {{"show", dir / "bad.tp"}, "bad.tp"}}) {
        CliRun run = Cli(c.args);
        EXPECT_EQ(run.code, 2) << c.named;
        EXPECT_TRUE(Has(run.err, c.named));
    }
    for (const char* cmd : {"new", "show", "options", "lib"}) {
        CliRun help = Cli({cmd, "--help"});
        EXPECT_EQ(help.code, 0) << cmd;
        EXPECT_TRUE(Has(help.out, "Usage")) << cmd;
    }
}

TEST(Cli, LibraryAddListExtract) {
    test::TempDir dir;
    test::WriteBytes(dir / "a.dec", "sc_signal <int> x ;\r\n");
    test::WriteBytes(dir / "empty.ini", "");
    const std::string lib = dir / "L.tlib";
    CliRun add = Cli({"lib", "add", lib, dir / "a.dec", dir / "empty.ini"});
    ASSERT_EQ(add.code, 0) << add.err;
    // The archive's layout is the core's (tests/core/library); the list shows both entries.
    EXPECT_EQ(Cli({"lib", "list", lib}).out, "a.dec\nempty.ini\n");
    CliRun extract = Cli({"lib", "extract", lib, "A.DEC", "-o", dir / "out.dec"});
    ASSERT_EQ(extract.code, 0) << extract.err;
    EXPECT_EQ(test::ReadBytes(dir / "out.dec"), "sc_signal <int> x ;\r\n");
    EXPECT_EQ(Cli({"lib", "extract", lib, "nope", "-o", dir / "n"}).code, 2);

    test::WriteBytes(dir / "bad.tlib", std::string("x\0"
                                                   "99999999999999999999999\0",
                                                   26));
    CliRun hostile = Cli({"lib", "list", dir / "bad.tlib"});
    EXPECT_EQ(hostile.code, 2);
    EXPECT_TRUE(Has(hostile.err, "bad.tlib"));
}

} // namespace
} // namespace kestrel
