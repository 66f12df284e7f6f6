// Library creation at the end of Generate when it fails: the old library kept, the note
// left, and the library file named. Its bytes are checked by the conformance cases.
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
