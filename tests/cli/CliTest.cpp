// kestrel-cli end to end, in process: exit status, stdout and stderr of each command.
#include "CliRunner.h"

#include "TestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <map>
#include <sstream>
#include <vector>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

using test::Cli;
using test::CliRun;

TEST(Cli, NewShowAndOptionsOnOneProject) {
    test::TempDir dir;
    CliRun created = Cli({"new", "Bus", "--location", dir.str()});
    ASSERT_EQ(created.code, 0) << created.err;
    EXPECT_EQ(created.out, dir.str() + "/Bus/Bus.tp\n");
    const std::string tp = dir / "Bus/Bus.tp";

    CliRun again = Cli({"new", "Bus", "--location", dir.str()});
    EXPECT_EQ(again.code, 1);
    EXPECT_NE(again.err.find("Project " + dir.str() + "/Bus already exists!"), std::string::npos);

    // Showing changes nothing on disk.
    CliRun shown = Cli({"show", tp, "--json"});
    ASSERT_EQ(shown.code, 0) << shown.err;
    EXPECT_FALSE(fs::exists(dir / "Bus/Input/tlm_func.dat"));
    auto json = nlohmann::json::parse(shown.out);
    EXPECT_EQ(json["project"]["stage"], 1);
    EXPECT_EQ(json["options"]["title"], "Bus Transactor");
    EXPECT_EQ(json["settings"]["transactorCppPath"], dir.str() + "/Bus/Output/Tran.cpp");
    EXPECT_EQ(json["asml"]["documentLabel"], "<not assigned>");
    // As text, a new project's wait is not worked out yet and its comment is empty.
    const std::string text = Cli({"show", tp}).out;
    EXPECT_NE(text.find("  Setup wait:      0 (worked out when code settings are saved)\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("  Comment:\n\nGenerated files"), std::string::npos) << text;

    CliRun refused = Cli({"options", tp, "--setup", "5", "SC_NS", "--period", "5", "ns"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(refused.err.find("Setup Time must be smaller than Clock Period"), std::string::npos);

    CliRun gap = Cli({"options", tp, "--setup", "1", "SC_PS", "--period", "1", "SC_SEC"});
    EXPECT_EQ(gap.code, 1);
    EXPECT_NE(gap.err.find("Unit gap between Setup Time and Clock Period is too large"),
              std::string::npos);

    CliRun lib = Cli({"options", tp, "--method", "template", "--library", dir / "x.tlib"});
    EXPECT_EQ(lib.code, 1);
    EXPECT_NE(lib.err.find("Library cannot be created if generating Just Transactor Template."),
              std::string::npos);

    CliRun ok = Cli({"options", tp, "--setup", "2", "SC_PS", "--period", "10", "SC_NS", "--comment",
                     "line one\nline two", "--edge", "neg"});
    ASSERT_EQ(ok.code, 0) << ok.err;
    json = nlohmann::json::parse(Cli({"show", tp, "--json"}).out);
    EXPECT_EQ(json["options"]["setupWait"], 9998);
    EXPECT_EQ(json["options"]["setupWaitUnit"], "SC_PS");
    EXPECT_EQ(json["options"]["clockPositiveEdge"], false);
    EXPECT_EQ(json["options"]["comment"], "line one\r\nline two\r\n");
    // Each line of the comment once; the line end saving adds opens no line.
    EXPECT_NE(Cli({"show", tp}).out.find("  Setup wait:      9998 SC_PS\n"), std::string::npos);
    EXPECT_NE(Cli({"show", tp}).out.find("  Comment:\n    | line one\n    | line two\n\n"),
              std::string::npos);
}

// A library that cannot be written leaves the log as a written one would (no error, so
// exit status 0) and is reported on stderr instead.
TEST(Cli, GenerateWarnsOfALibraryItCouldNotWrite) {
    test::TempDir dir;
    ASSERT_EQ(Cli({"new", "Bus", "--location", dir.str()}).code, 0);
    const std::string tp = dir / "Bus/Bus.tp";
    const std::string library = dir / "nowhere/Bus.tlib";
    ASSERT_EQ(Cli({"options", tp, "--method", "fsm", "--library", library}).code, 0);

    CliRun run = Cli({"generate", tp});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("Creating Library " + library + "...Done!\r\n"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("0 Error(s), 0 Warning(s)"), std::string::npos) << run.out;
    EXPECT_EQ(
        run.err.rfind("kestrel-cli: warning: The library \"" + library + "\" was not written: ", 0),
        0u)
        << run.err;
    EXPECT_FALSE(fs::exists(dir / "nowhere"));
}

// Git keeps no empty folder: a copy of an example lacks Temp and Output. Opening and
// Generate make them, say so once on stderr, and Generate writes what it writes for the
// complete project.
TEST(Cli, AProjectCopiedWithoutItsEmptyFoldersGeneratesAsAWholeOne) {
    test::TempDir dir;
    const fs::path example = test::FixtureDir().parent_path().parent_path() / "examples/MemReqAck";
    const fs::path project = dir.path() / "MemReqAck";
    const std::string tp = (project / "MemReqAck.tp").string();
    const std::string out = (project / "Output").string();
    // A fresh copy whose stored output paths point into it (they point where the example
    // was made), with or without the empty folders.
    auto place = [&](bool withFolders) {
        fs::remove_all(project);
        test::CopyTree(example, project);
        EXPECT_FALSE(fs::exists(project / "Temp"));
        CliRun set = Cli({"settings", tp, "--cpp", out + "/Tran.cpp", "--header", out + "/Tran.h",
                          "--interface-header", out + "/TLM_AIC.h"});
        EXPECT_EQ(set.code, 0) << set.err;
        EXPECT_EQ(set.err,
                  "kestrel-cli: note: Created the missing project folders Temp and Output\n");
        if (!withFolders) {
            fs::remove_all(project / "Temp");
            fs::remove_all(project / "Output");
        }
    };
    auto generate = [&](std::map<std::string, std::string>& files) {
        CliRun run = Cli({"generate", tp});
        EXPECT_EQ(run.code, 0) << run.out << run.err;
        for (const char* name : {"Output/Tran.cpp", "Output/Tran.h", "Output/TLM_AIC.h"})
            files[name] = test::MaskDates(test::ReadBytes(project / name));
        for (const std::string& name : test::FilesUnder(project / "Temp"))
            files["Temp/" + name] = test::MaskDates(test::ReadBytes(project / "Temp" / name));
        run.out = test::MaskDates(run.out);
        return run;
    };

    place(true);
    std::map<std::string, std::string> wholeFiles;
    CliRun whole = generate(wholeFiles);
    EXPECT_EQ(whole.err, "");

    place(false);
    std::map<std::string, std::string> copiedFiles;
    CliRun copied = generate(copiedFiles);
    EXPECT_EQ(copied.err,
              "kestrel-cli: note: Created the missing project folders Temp and Output\n");
    EXPECT_EQ(copied.out, whole.out);
    EXPECT_NE(copied.out.find("0 Error(s)"), std::string::npos) << copied.out;
    EXPECT_EQ(copiedFiles, wholeFiles);
    EXPECT_GT(copiedFiles.size(), 3u);

    // Said once: the next run has nothing to make.
    EXPECT_EQ(Cli({"generate", tp}).err, "");
}

TEST(Cli, UsageAndFileErrorsExitTwo) {
    test::TempDir dir;
    EXPECT_EQ(Cli({}).code, 2);
    EXPECT_EQ(Cli({"frobnicate"}).code, 2);
    EXPECT_EQ(Cli({"new"}).code, 2);
    EXPECT_EQ(Cli({"options", dir / "x.tp", "--setup", "1"}).code, 2);
    for (const char* cmd : {"new", "show", "options", "lib"}) {
        CliRun help = Cli({cmd, "--help"});
        EXPECT_EQ(help.code, 0) << cmd;
        EXPECT_NE(help.out.find("Usage"), std::string::npos) << cmd;
    }
    CliRun missing = Cli({"show", dir / "none.tp"});
    EXPECT_EQ(missing.code, 2);
    EXPECT_NE(missing.err.find("none.tp"), std::string::npos);

    test::WriteBytes(dir / "bad.tp", std::string("\x05\x00"
                                                 "ab",
                                                 4));
    CliRun truncated = Cli({"show", dir / "bad.tp"});
    EXPECT_EQ(truncated.code, 2);
    EXPECT_NE(truncated.err.find("bad.tp"), std::string::npos);
}

TEST(Cli, LibraryAddListExtract) {
    test::TempDir dir;
    test::WriteBytes(dir / "a.dec", "sc_signal <int> x ;\r\n");
    test::WriteBytes(dir / "empty.ini", "");
    const std::string lib = dir / "L.tlib";
    CliRun add = Cli({"lib", "add", lib, dir / "a.dec", dir / "empty.ini"});
    ASSERT_EQ(add.code, 0) << add.err;
    EXPECT_EQ(test::ReadBytes(lib), std::string("a.dec\0"
                                                "21\0"
                                                "sc_signal <int> x ;\r\n"
                                                "empty.ini\0"
                                                "0\0",
                                                6 + 3 + 21 + 10 + 2));
    CliRun list = Cli({"lib", "list", lib});
    EXPECT_EQ(list.out, "a.dec\nempty.ini\n");
    CliRun extract = Cli({"lib", "extract", lib, "A.DEC", "-o", dir / "out.dec"});
    ASSERT_EQ(extract.code, 0) << extract.err;
    EXPECT_EQ(test::ReadBytes(dir / "out.dec"), "sc_signal <int> x ;\r\n");
    CliRun none = Cli({"lib", "extract", lib, "nope", "-o", dir / "n"});
    EXPECT_EQ(none.code, 2);

    test::WriteBytes(dir / "bad.tlib", std::string("x\0"
                                                   "99999999999999999999999\0",
                                                   26));
    CliRun hostile = Cli({"lib", "list", dir / "bad.tlib"});
    EXPECT_EQ(hostile.code, 2);
    EXPECT_NE(hostile.err.find("bad.tlib"), std::string::npos);
}

} // namespace
} // namespace kestrel
