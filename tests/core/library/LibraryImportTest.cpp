// Adding libraries: records appended after the project's own, progress reported to the
// window, the capacity refusal, hostile libraries refused with the file system checked
// afterwards, planted links in Temp, and the Add Library window's load and OK.
#include "library/LibraryImport.h"
#include "model/ProjectOptions.h"
#include "model/ProjectPaths.h"
#include "model/ProjectRecord.h"

#include "LibraryProjects.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using Entries = std::vector<std::pair<std::string, std::string>>;

std::string Records(const std::vector<TlmFunction>& list) {
    std::string bytes;
    for (const TlmFunction& f : list) bytes += EncodeTlmFunction(f);
    return bytes;
}
std::string Records(const std::vector<RtlSignal>& list) {
    std::string bytes;
    for (const RtlSignal& s : list) bytes += EncodeRtlSignal(s);
    return bytes;
}
using Lines = std::vector<std::string>;

// A library of two functions and two signals, as another project would have made it.
Entries SampleLibrary() {
    return {
        {"lib_tlm_func.dat",
         Records({test::Function("LibRead", true), test::Function("LibWrite", true)})},
        {"lib_rtl_sig.dat", Records({test::Signal("lib_req", 1, false, true),
                                     test::Signal("lib_ack", 0, false, true)})},
        {"LibRead.dec", "  sc_signal < bool > LibRead_x ;\r\n"},
        {"LibRead.ini", "\r\n  wait ( SC_ZERO_TIME ) ;\r\n"},
        {"LibRead.asm", "  LibRead_Update ( ) ;\r\n"},
        {"LibRead.upd", "  wait ( ) ;\r\n"},
        {"LibWrite.dec", ""},
        {"LibWrite.ini", ""},
        {"LibWrite.asm", ""},
        {"LibWrite.upd", ""},
    };
}

class Recorder final : public LibraryImportObserver {
public:
    void OnEntries(const std::vector<std::string>& names) override { entries = names; }
    void OnProgress(int value, int maximum) override {
        values.push_back(value);
        maximums.push_back(maximum);
    }
    std::vector<std::string> entries;
    std::vector<int> values;
    std::vector<int> maximums;
};

// A project with three functions and one signal of its own, inside a sandbox that also
// holds a folder of things that must never be touched.
struct ImportFixture {
    test::TempDir sandbox;
    std::string folder = test::MakeProjectFolder(sandbox.path() / "B");
    std::unique_ptr<TlmFunctionTable> functions = std::make_unique<TlmFunctionTable>();
    std::unique_ptr<RtlSignalTable> signals = std::make_unique<RtlSignalTable>();

    ImportFixture(int ownFunctions = 3, int ownSignals = 1) {
        fs::create_directories(sandbox.path() / "outside");
        test::WriteBytes(sandbox / "outside/victim.txt", "precious");
        for (int f = 1; f <= ownFunctions; ++f)
            (*functions)[++functions->count] = test::Function("own" + std::to_string(f));
        for (int s = 1; s <= ownSignals; ++s)
            (*signals)[++signals->count] = test::Signal("own_sig" + std::to_string(s), 0);
    }
    std::string Library(const Entries& entries, std::string_view name = "lib.tlib") {
        std::string path = sandbox / name;
        test::WriteBytes(path, test::Archive(entries));
        return path;
    }
    LibraryImportResult Extract(const std::string& library, LibraryImportObserver* o = nullptr) {
        return ExtractLibrary(folder, library, *functions, *signals, o);
    }
    std::string Temp(std::string_view file) const { return TempPath(folder, file); }
    // The tables (every slot) and every file of the sandbox, to show a refusal changed nothing.
    std::string State() const {
        std::string s = std::to_string(functions->count) + "/" + std::to_string(signals->count);
        for (const TlmFunction& f : functions->slots) s += EncodeTlmFunction(f);
        for (const RtlSignal& r : signals->slots) s += EncodeRtlSignal(r);
        for (const auto& [name, bytes] : test::Snapshot(sandbox.path())) s += name + '|' + bytes;
        return s;
    }
};

TEST(LibraryImport, AppendsAfterTheProjectsOwnItemsAndReportsProgress) {
    ImportFixture fx;
    test::WriteBytes(fx.Temp("LibWrite.asm"), "stale text from an earlier library\r\n");
    std::string library = fx.Library(SampleLibrary());
    Recorder recorder;

    LibraryImportResult result = fx.Extract(library, &recorder);
    ASSERT_TRUE(result.ok()) << result.reason;
    EXPECT_EQ(std::pair(result.functionsAdded, result.signalsAdded), std::pair(2, 2));
    EXPECT_EQ(test::FunctionLines(*fx.functions),
              (Lines{"own1/0", "own2/0", "own3/0", "LibRead/0 library", "LibWrite/0 library"}));
    EXPECT_EQ(test::SignalLines(*fx.signals),
              (Lines{"own_sig1 0 init=0", "lib_req 1 init=0 library", "lib_ack 0 init=0 library"}));

    // Every section file is in Temp as packed (the stale one replaced); the working
    // files are gone.
    for (const auto& [name, content] : SampleLibrary()) {
        if (name.rfind("lib_", 0) == 0) continue;
        EXPECT_EQ(test::ReadBytes(fx.Temp(name)), content) << name;
    }
    EXPECT_FALSE(fs::exists(fx.Temp("lib_tlm_func.dat")));
    EXPECT_FALSE(fs::exists(fx.Temp("lib_rtl_sig.dat")));

    // The window's entry list and progress bar: 10 entries, maximum 13, one step each.
    Lines names;
    for (const auto& entry : SampleLibrary()) names.push_back(entry.first);
    EXPECT_EQ(recorder.entries, names);
    EXPECT_EQ(recorder.values, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
    EXPECT_EQ(recorder.maximums, std::vector<int>(14, 13));

    // The same library again is appended again.
    ASSERT_TRUE(fx.Extract(library).ok());
    ASSERT_EQ(fx.functions->count, 7);
    EXPECT_EQ(fx.signals->count, 5);
    EXPECT_EQ((*fx.functions)[6], (*fx.functions)[4]);
    EXPECT_EQ((*fx.functions)[7], (*fx.functions)[5]);
}

TEST(LibraryImport, TableEntriesAreOptionalAndFoundWithoutRegardToCase) {
    ImportFixture fx;
    // A library that holds signals only, its table entry written in capitals, and a
    // trailing partial record that counts for nothing.
    std::string library = fx.Library(
        {{"LIB_RTL_SIG.DAT", Records({test::Signal("only", 2, false, true)}) + "partial"}});
    LibraryImportResult result = fx.Extract(library);
    ASSERT_TRUE(result.ok()) << result.reason;
    EXPECT_EQ(fx.functions->count, 3);
    EXPECT_EQ(test::SignalLines(*fx.signals),
              (Lines{"own_sig1 0 init=0", "only 2 init=0 library"}));
    EXPECT_TRUE(test::Snapshot(fx.sandbox / "B/Temp").empty());
}

TEST(LibraryImport, ALibraryThatWouldOverfillATableIsRefusedBeforeAnythingChanges) {
    for (bool tooManySignals : {false, true}) {
        SCOPED_TRACE(tooManySignals ? "signals" : "functions");
        // 24 own functions (or signals) and a library of two.
        ImportFixture fx(tooManySignals ? 1 : 24, tooManySignals ? 24 : 1);
        std::string library = fx.Library(SampleLibrary());
        const std::string before = fx.State();
        Recorder recorder;

        LibraryImportResult result = fx.Extract(library, &recorder);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.refusal->text, "Unable to Add Transactor Library.\r\n"
                                        "A project holds at most 25 TLM Functions and 25 RTL "
                                        "Signals.");
        EXPECT_EQ(result.refusal->title, "Lib Error");
        EXPECT_NE(result.reason.find(library), std::string::npos);
        EXPECT_TRUE(fx.State() == before);
        EXPECT_TRUE(recorder.entries.empty());
        EXPECT_TRUE(recorder.values.empty());
    }
    // Exactly 25 fits.
    ImportFixture full(23, 23);
    ASSERT_TRUE(full.Extract(full.Library(SampleLibrary())).ok());
    EXPECT_EQ(full.functions->count, 25);
    EXPECT_EQ(full.signals->count, 25);
}

TEST(LibraryImport, HostileLibrariesAreRefusedWithNothingWrittenOutsideTemp) {
    // Raw entry bytes: the name, a zero byte, the size text as given, a zero byte, content.
    auto raw = [](std::string_view name, std::string_view size, std::string_view content) {
        return std::string(name) + '\0' + std::string(size) + '\0' + std::string(content);
    };
    const std::string tables = raw("lib_tlm_func.dat", "0", "") + raw("lib_rtl_sig.dat", "0", "");
    auto entry = [&](const std::string& name) { return raw(name, "4", "evil"); };
    struct Case {
        const char* what;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {"empty name", tables + entry("")},
        {"absolute name", tables + entry("/tmp/kestrel-library-escape")},
        {"slash", tables + entry("../escape.txt")},
        {"slash inside", tables + entry("Output/Tran.cpp")},
        {"backslash", tables + entry("..\\escape.txt")},
        {"dot dot", tables + entry("..")},
        {"dot", tables + entry(".")},
        {"control character", tables + entry("a\tb.dec")},
        {"escape character", tables + entry("a\x1b[2Jb.dec")},
        {"delete character", tables + entry("a\x7F.dec")},
        {"undefined code page byte", tables + entry("a\x81.dec")},
        {"name of 300 bytes", tables + entry(std::string(300, 'n'))},
        {"huge size", tables + raw("x.dec", "99999999999999999999999999", "evil")},
        {"size past the end", tables + raw("x.dec", "1000", "evil")},
        {"truncated entry", tables + raw("x.dec", "5", "evil")},
        {"size without terminator", tables + "x.dec" + '\0' + "4"},
        {"name without terminator", tables + "x.dec"},
        {"size with a sign", tables + raw("x.dec", "+4", "evil")},
        {"zero-byte file", ""},
        {"function named outside Temp",
         raw("lib_tlm_func.dat", std::to_string(TlmFunction::kRecordSize),
             Records({test::Function("../../escape", true)}))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ImportFixture fx;
        test::WriteBytes(fx.Temp("keep.dec"), "own section\r\n");
        // A good entry stands first: the whole library is checked before it is extracted.
        std::string bytes = c.bytes.empty() ? "" : raw("first.dec", "2", "ok") + c.bytes;
        std::string library = fx.sandbox / "hostile.tlib";
        test::WriteBytes(library, bytes);
        const std::string before = fx.State();
        LibraryImportResult result = fx.Extract(library);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.refusal->text, "Unable to Extract Transactor Library");
        EXPECT_EQ(result.refusal->title, "Lib Error");
        EXPECT_NE(result.reason.find("hostile.tlib"), std::string::npos) << result.reason;
        EXPECT_EQ(result.reason.find('\x1b'), std::string::npos);
        EXPECT_TRUE(fx.State() == before); // nothing anywhere in the sandbox changed, Temp included
        EXPECT_FALSE(fs::exists("/tmp/kestrel-library-escape"));
    }
}

TEST(LibraryImport, LinksPlantedInTempAreReplacedNotFollowed) {
    ImportFixture fx;
    fs::path outside = fx.sandbox.path() / "outside";
    fs::create_symlink(outside / "victim.txt", fx.Temp("LibRead.dec"));
    fs::create_symlink(outside / "created.txt", fx.Temp("LibRead.ini")); // dangling
    fs::create_symlink(outside, fx.Temp("LibRead.asm"));                 // a folder
    fs::create_symlink(outside / "victim.txt", fx.Temp("lib_tlm_func.dat"));
    std::string library = fx.Library(SampleLibrary());

    LibraryImportResult result = fx.Extract(library);
    ASSERT_TRUE(result.ok()) << result.reason;
    EXPECT_EQ(test::ReadBytes(outside / "victim.txt"), "precious");
    EXPECT_FALSE(fs::exists(outside / "created.txt"));
    EXPECT_EQ(test::Snapshot(outside),
              (std::map<std::string, std::string>{{"victim.txt", "precious"}}));
    for (const char* name : {"LibRead.dec", "LibRead.ini", "LibRead.asm"}) {
        EXPECT_FALSE(fs::is_symlink(fx.Temp(name))) << name;
        EXPECT_TRUE(fs::is_regular_file(fx.Temp(name))) << name;
    }
    EXPECT_EQ(test::ReadBytes(fx.Temp("LibRead.dec")), "  sc_signal < bool > LibRead_x ;\r\n");
    EXPECT_FALSE(fs::exists(fs::symlink_status(fx.Temp("lib_tlm_func.dat"))));
    EXPECT_EQ(fx.functions->count, 5);
}

TEST(LibraryImport, EntryNameRule) {
    for (const auto& [name, problem] : std::vector<std::pair<std::string, std::string>>{
             {"a.dec", ""},
             {"lib_tlm_func.dat", ""},
             {".dec", ""},
             {"...dec", ""},
             {"x y.asm", ""},
             {"caf\xE9.upd", ""},
             {std::string(255, 'a'), ""},
             {std::string(256, 'a'), "is longer than 255 bytes"},
             {"", "is empty"},
             {"..", "names a folder"},
             {"a/b", "contains a path separator"},
             {"\\a", "contains a path separator"},
             {"a\0b"s, "holds a zero byte"},
             {"a\nb", "holds a control character"}})
        EXPECT_EQ(EntryNameProblem(name), problem) << name;
}

TEST(AddLibraryWindow, StartsInTheLibraryFolderOnlyWhenItHoldsAFile) {
    test::TempDir dir;
    std::string project = dir / "P";
    fs::create_directories(dir / "empty");
    fs::create_directories(dir / "folders/sub");
    fs::create_directories(dir / "libs");
    test::WriteBytes(dir / "libs/readme.txt", "x");
    EXPECT_EQ(StartingLibraryFolder(dir / "libs", project), dir / "libs");
    for (const std::string& folder :
         {dir / "empty", dir / "folders", dir / "missing", std::string()})
        EXPECT_EQ(StartingLibraryFolder(folder, project), project) << folder;

    test::WriteBytes(dir / "libs/b.tlib", "");
    test::WriteBytes(dir / "libs/A.TLIB", "");
    test::WriteBytes(dir / "libs/c.tlib.bak", "");
    test::WriteBytes(dir / "libs/.tlib", "");
    fs::create_directories(dir / "libs/folder.tlib");
    EXPECT_EQ(ListLibraryFiles(dir / "libs"), (std::vector<std::string>{"A.TLIB", "b.tlib"}));
    EXPECT_TRUE(ListLibraryFiles(dir / "missing").empty());

    AddLibraryState state;
    ShowLibraryFolder(state, dir / "empty");
    EXPECT_FALSE(CanAddLibrary(state));
    ShowLibraryFolder(state, dir / "libs");
    EXPECT_TRUE(CanAddLibrary(state));
}

TEST(AddLibraryWindow, AddAndOkSaveTablesOptionsAndStage) {
    test::TempDir dir;
    std::string folder = test::MakeProjectFolder(dir.path() / "B");
    ProjectRecord record{"B", folder, false, false, kStageCreated};
    ASSERT_TRUE(SaveProjectFile(record).ok());
    ProjectOptions options;
    options.libraryFolder = dir / "B/Output";
    options.title = "B Transactor";
    ASSERT_TRUE(SaveOptions(folder, options).ok());
    test::SaveFunctions(folder, {test::Function("own1")});
    fs::create_directories(dir / "libs");
    test::WriteBytes(dir / "libs/A.tlib", test::Archive(SampleLibrary()));
    test::WriteBytes(dir / "libs/bad.tlib", "");

    auto state = std::make_unique<AddLibraryState>();
    ASSERT_TRUE(LoadAddLibrary(folder, *state).ok());
    // Output holds no file: the window starts in the project folder, which lists none.
    EXPECT_EQ(state->folder, folder);
    EXPECT_FALSE(CanAddLibrary(*state));
    ShowLibraryFolder(*state, dir / "libs");
    EXPECT_EQ(state->files, (std::vector<std::string>{"A.tlib", "bad.tlib"}));

    AddLibraryOutcome bad = AddLibrary(folder, *state, "bad.tlib");
    EXPECT_EQ(std::tuple(bad.added, bad.text, bad.title),
              std::tuple(false, "Unable to Extract Transactor Library", "Lib Error"));
    EXPECT_NE(bad.reason.find("bad.tlib"), std::string::npos);

    AddLibraryOutcome added = AddLibrary(folder, *state, "A.tlib");
    EXPECT_EQ(std::tuple(added.added, added.text, added.title),
              std::tuple(true, "A.tlib Added Successfully!", "Library Added"))
        << added.reason;
    // Nothing is saved before OK.
    EXPECT_EQ(fs::file_size(InputPath(folder, kTlmFunctionFile)), 5458u);

    ASSERT_TRUE(AcceptAddLibrary(record, *state).ok());
    EXPECT_EQ(fs::file_size(InputPath(folder, kTlmFunctionFile)), 3u * 5458);
    EXPECT_EQ(fs::file_size(InputPath(folder, kRtlSignalFile)), 2u * 380);
    ProjectOptions saved;
    ASSERT_TRUE(LoadOptions(folder, saved).ok());
    EXPECT_EQ(saved.libraryFolder, dir / "libs");
    EXPECT_EQ(saved.title, "B Transactor");
    ProjectRecord reread;
    ASSERT_TRUE(ReadProjectFile(folder + "/B.tp", reread).ok());
    EXPECT_EQ(reread, (ProjectRecord{"B", folder, true, true, kStageDeclared}));

    // A later OK at stage 3 keeps the stage; the window now starts in the library folder.
    record.projectStage = kStageAssigned;
    ASSERT_TRUE(LoadAddLibrary(folder, *state).ok());
    EXPECT_EQ(state->folder, dir / "libs");
    EXPECT_EQ(state->functions.count, 3);
    ASSERT_TRUE(AcceptAddLibrary(record, *state).ok());
    ASSERT_TRUE(ReadProjectFile(folder + "/B.tp", reread).ok());
    EXPECT_EQ(reread.projectStage, kStageAssigned);
}

} // namespace
} // namespace kestrel
