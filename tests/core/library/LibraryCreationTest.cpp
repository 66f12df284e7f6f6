// Library creation at the end of Generate: the exact bytes of the library, the log line
// and progress step, empty entries for missing section files, and the cases that write
// no library.
#include "library/LibraryCreation.h"
#include "codegen/DeclarationHelpers.h"
#include "codegen/GenerationRun.h"
#include "library/Archive.h"
#include "model/ProjectPaths.h"

#include "LibraryProjects.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

const FixedClock kClock(LocalDateTime{2026, 12, 4, 9, 51, 15, 5});

// The stored records with the library flag set: bytes 5456-5457 of a function record and
// 378-379 of a signal record become FF FF.
std::string Flagged(std::string records, std::size_t recordSize, std::size_t flagOffset) {
    for (std::size_t at = 0; at + recordSize <= records.size(); at += recordSize)
        records.replace(at + flagOffset, 2, "\xFF\xFF");
    return records;
}

// A project with one own function, one function of an earlier library and two signals,
// prepared the way Generate prepares its run (directions reversed in memory).
struct CreationFixture {
    test::TempDir dir;
    std::string folder = test::MakeProjectFolder(dir.path() / "Proj");
    std::string library = dir / "Proj/Output/Proj.tlib";
    GenerationSession session;
    std::unique_ptr<GenerationRun> run;

    CreationFixture() {
        test::SaveFunctions(folder, {test::Function("  read  "), test::Function("Send", true)});
        test::SaveSignals(folder, {test::Signal("clk", 0, true), test::Signal("data", 0)});
        run = std::make_unique<GenerationRun>(GenerationRun{folder, "Proj", {}, session, kClock});
        EXPECT_TRUE(LoadTlmFunctions(folder, run->tables.functions).ok());
        EXPECT_TRUE(LoadRtlSignals(folder, run->tables.signals).ok());
        ReverseDirections(run->tables.signals);
        run->tables.options.makeLibrary = true;
        run->tables.options.libraryFile = library;
        session.log.SetupProgress(kMethodAsml, 2, true);
    }
    std::string Temp(std::string_view file) const { return TempPath(folder, file); }

    // Creation logs "Creating Library <file>...Done!" and no error, whatever went wrong,
    // and leaves no working file in Temp.
    void ExpectDoneLine() const {
        EXPECT_EQ(session.log.StatusText(),
                  "Creating Library " + run->tables.options.libraryFile + "...Done!\r\n");
        EXPECT_EQ(session.log.ErrorCount(), 0);
        EXPECT_EQ(session.log.ProgressValue(), 1);
        EXPECT_FALSE(fs::exists(Temp("lib_tlm_func.dat")));
        EXPECT_FALSE(fs::exists(Temp("lib_rtl_sig.dat")));
    }
};

TEST(LibraryCreation, PacksTablesAndSectionFilesInTheDocumentedOrder) {
    CreationFixture fx;
    // The earlier library's function: its sections came out of that library; .upd is missing.
    const std::vector<std::pair<std::string, std::string>> sections = {
        {"read.dec", "  sc_signal < bool > read_busy ;\r\n"},
        {"read.ini", "\r\n  wait ( SC_ZERO_TIME ) ;\r\n"},
        {"read.asm", "  // step\r\n"},
        {"read.upd", "  wait ( ) ;\r\n"},
        {"Send.dec", ""},
        {"Send.ini", "ini\r\n"},
        {"Send.asm", "asm\r\n"}};
    for (const auto& [name, text] : sections) test::WriteBytes(fx.Temp(name), text);
    // An older, longer library is replaced, not appended to.
    test::WriteBytes(fx.library, std::string(5000, 'x'));

    std::string functions = test::ReadBytes(InputPath(fx.folder, kTlmFunctionFile));
    std::string signals = test::ReadBytes(InputPath(fx.folder, kRtlSignalFile));
    ASSERT_EQ(functions.size(), 2u * 5458);
    ASSERT_EQ(signals.size(), 2u * 380);

    CreateLibrary(*fx.run);

    // The tables as declared (sc_in stays sc_in), every record flagged.
    auto entries = sections;
    entries.insert(entries.begin(), {{"lib_tlm_func.dat", Flagged(functions, 5458, 5456)},
                                     {"lib_rtl_sig.dat", Flagged(signals, 380, 378)}});
    entries.emplace_back("Send.upd", "");
    EXPECT_TRUE(test::SameBytes(test::Archive(entries), test::ReadBytes(fx.library)));
    fx.ExpectDoneLine();

    // The missing section file is left behind empty, the working files are gone, the
    // stored tables are untouched and no temporary file is left beside the library.
    EXPECT_TRUE(fs::is_regular_file(fx.Temp("Send.upd")));
    EXPECT_EQ(fs::file_size(fx.Temp("Send.upd")), 0u);
    EXPECT_EQ(test::ReadBytes(InputPath(fx.folder, kTlmFunctionFile)), functions);
    EXPECT_EQ(test::ReadBytes(InputPath(fx.folder, kRtlSignalFile)), signals);
    EXPECT_EQ(
        std::distance(fs::directory_iterator(fx.dir / "Proj/Output"), fs::directory_iterator{}), 1);
}

TEST(LibraryCreation, WritesNothingWithoutMakeLibrary) {
    CreationFixture fx;
    fx.run->tables.options.makeLibrary = false;
    auto before = test::Snapshot(fx.dir.path());
    CreateLibrary(*fx.run);
    EXPECT_EQ(fx.session.log.StatusText(), "");
    EXPECT_EQ(fx.session.log.ProgressValue(), 0);
    EXPECT_EQ(test::Snapshot(fx.dir.path()), before);
}

// Creation reports no failure in the log; the old library stays; the session's notes say
// what happened.
TEST(LibraryCreation, AFailureIsNotLoggedKeepsTheOldLibraryAndLeavesANote) {
    auto expectQuietLog = [](CreationFixture& fx) {
        fx.ExpectDoneLine();
        EXPECT_EQ(fx.session.notes.size(), 1u);
    };
    {
        SCOPED_TRACE("a folder where a section file should be");
        CreationFixture fx;
        test::WriteBytes(fx.library, "old library");
        fs::create_directories(fx.Temp("read.asm"));
        CreateLibrary(*fx.run);
        expectQuietLog(fx);
        ASSERT_EQ(fx.session.notes.size(), 1u);
        EXPECT_NE(fx.session.notes[0].find(fx.library), std::string::npos);
        EXPECT_NE(fx.session.notes[0].find("read.asm"), std::string::npos);
        EXPECT_EQ(test::ReadBytes(fx.library), "old library");
        EXPECT_EQ(test::Snapshot(fx.dir / "Proj/Output").size(), 1u);
    }
    {
        SCOPED_TRACE("a library file in a folder that does not exist");
        CreationFixture fx;
        fx.run->tables.options.libraryFile = fx.dir / "nowhere/x.tlib";
        CreateLibrary(*fx.run);
        expectQuietLog(fx);
        EXPECT_FALSE(fs::exists(fx.dir / "nowhere"));
    }
    {
        SCOPED_TRACE("a function name that would leave Temp");
        CreationFixture fx;
        test::SaveFunctions(fx.folder, {test::Function("../escape")});
        CreateLibrary(*fx.run);
        expectQuietLog(fx);
        ASSERT_EQ(fx.session.notes.size(), 1u);
        EXPECT_NE(fx.session.notes[0].find("\"../escape\""), std::string::npos);
        EXPECT_FALSE(fs::exists(fx.dir / "Proj/escape.dec"));
        EXPECT_FALSE(fs::exists(fx.library));
    }
}

// A full disk while the library is packed: the note names the library file, not the
// temporary file it was being built in (which is removed again).
TEST(LibraryCreation, AFailedWriteNamesTheLibraryFile) {
    CreationFixture fx;
    // The working files (10916 and 760 bytes) fit under the size limit, the library does not.
    test::WithFileSizeLimit(11000, [&] { CreateLibrary(*fx.run); });

    ASSERT_EQ(fx.session.notes.size(), 1u);
    const std::string& note = fx.session.notes[0];
    EXPECT_NE(note.find("Cannot write \"" + fx.library + "\": "), std::string::npos) << note;
    EXPECT_EQ(note.find(".kestrel-tmp-"), std::string::npos) << note;
    EXPECT_EQ(fx.session.log.ErrorCount(), 0);
    EXPECT_TRUE(test::Snapshot(fx.dir / "Proj/Output").empty());
}

} // namespace
} // namespace kestrel
