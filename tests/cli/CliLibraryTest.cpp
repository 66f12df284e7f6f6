// kestrel-cli add-library, in process: libraries added in order, the window's OK
// (tables, library folder, stage), and a refusal that saves nothing.
#include "CliRunner.h"
#include "model/RtlSignal.h"
#include "model/TlmFunction.h"

#include <memory>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

using test::Cli;
using test::CliRun;

// Packs a library of the given functions and signals (flagged) with small section files,
// using the archive commands of the CLI.
void MakeLibrary(const fs::path& library, const std::vector<std::string>& functionNames,
                 const std::vector<std::string>& signalNames) {
    fs::path work = library.parent_path() / (library.stem().string() + "-parts");
    fs::create_directories(work);
    auto functions = std::make_unique<TlmFunctionTable>();
    for (const std::string& name : functionNames) {
        TlmFunction& f = (*functions)[++functions->count];
        f.functionName = name;
        f.returnTypeText = "void";
        f.isLibrary = true;
    }
    auto signals = std::make_unique<RtlSignalTable>();
    for (const std::string& name : signalNames) {
        RtlSignal& s = (*signals)[++signals->count];
        s.dataTypeText = "bool";
        s.dataTypeIndex = 2;
        s.signalName = name;
        s.directionText = "sc_in";
        s.isLibrary = true;
    }
    ASSERT_TRUE(SaveTlmFunctionsTo((work / "lib_tlm_func.dat").string(), *functions).ok());
    ASSERT_TRUE(SaveRtlSignalsTo((work / "lib_rtl_sig.dat").string(), *signals).ok());
    std::vector<std::string> args = {"lib", "add", library.string(),
                                     (work / "lib_tlm_func.dat").string(),
                                     (work / "lib_rtl_sig.dat").string()};
    for (const std::string& name : functionNames)
        for (const char* ext : {".dec", ".ini", ".asm", ".upd"}) {
            test::WriteBytes(work / (name + ext), name + ext + "\r\n");
            args.push_back((work / (name + ext)).string());
        }
    CliRun packed = Cli(args);
    ASSERT_EQ(packed.code, 0) << packed.err;
}

TEST(CliLibrary, AddLibraryAddsInOrderAndSavesLikeOk) {
    test::TempDir dir;
    const std::string tp = test::NewCliProject(dir, "B");
    MakeLibrary(dir / "one/A.tlib", {"Read", "Write"}, {"req"});
    MakeLibrary(dir / "two/C.tlib", {"Poll"}, {});
    CliRun added = Cli({"add-library", tp, dir / "one/A.tlib", dir / "two/C.tlib"});
    ASSERT_EQ(added.code, 0) << added.err;
    EXPECT_EQ(added.out, "A.tlib Added Successfully!\nC.tlib Added Successfully!\n");
    EXPECT_EQ(added.err, "");

    // The items in the order added, flagged as library items; the stage; the library folder.
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "cli/add_library_show.json",
                                    test::MaskedShow(tp, dir, true)));
    EXPECT_EQ(test::ReadBytes(dir / "B/Temp/Poll.asm"), "Poll.asm\r\n");
    EXPECT_FALSE(fs::exists(dir / "B/Temp/lib_tlm_func.dat"));

    // Adding again appends again.
    ASSERT_EQ(Cli({"add-library", tp, dir / "one/A.tlib"}).code, 0);
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "cli/add_library_again_show.json",
                                    test::MaskedShow(tp, dir, true)));
}

TEST(CliLibrary, ARefusedLibrarySavesNothing) {
    test::TempDir dir;
    const std::string tp = test::NewCliProject(dir, "B");
    MakeLibrary(dir / "A.tlib", {"Read"}, {"req"});
    test::WriteBytes(dir / "empty.tlib", "");
    const std::string tpBefore = test::ReadBytes(tp);
    const std::string optionsBefore = test::ReadBytes(dir / "B/Input/option.dat");

    // The first library is good, the second is refused: nothing is saved.
    CliRun refused = Cli({"add-library", tp, dir / "A.tlib", dir / "empty.tlib"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_EQ(refused.out, "A.tlib Added Successfully!\n");
    EXPECT_TRUE(refused.err.starts_with("Lib Error: Unable to Extract Transactor Library\n"
                                        "kestrel-cli: \"" +
                                        (dir / "empty.tlib") + "\""))
        << refused.err;
    // Opening the window loads the tables, which leaves them behind empty.
    EXPECT_EQ(fs::file_size(dir / "B/Input/tlm_func.dat"), 0u);
    EXPECT_EQ(fs::file_size(dir / "B/Input/rtl_sig.dat"), 0u);
    EXPECT_EQ(test::ReadBytes(dir / "B/Input/option.dat"), optionsBefore);
    EXPECT_EQ(test::ReadBytes(tp), tpBefore);

    EXPECT_EQ(Cli({"add-library", tp, dir / "nowhere.tlib"}).code, 1);
    EXPECT_EQ(Cli({"add-library", tp}).code, 2);
    EXPECT_EQ(Cli({"add-library", dir / "none.tp", dir / "A.tlib"}).code, 2);
}

} // namespace
} // namespace kestrel
