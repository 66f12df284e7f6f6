// kestrel-cli add-library, in process: libraries added in order and the window's
// OK (tables, library folder, stage). A refused library is the core's to check.
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

} // namespace
} // namespace kestrel
