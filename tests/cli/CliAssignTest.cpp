// kestrel-cli assign-fsm, unassign-fsm, assign-asml and unassign-asml, in process: the
// files copied into Input, the flags and records written, stage 3, the library refusals
// (exit 1, nothing written) and usage and file errors (exit 2).
#include "CliRunner.h"
#include "model/Assignments.h"
#include "model/ProjectRecord.h"
#include "model/TlmFunction.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

using test::Cli;
using test::CliRun;

// A new project "Bus" with the functions "read", "libGet" (from a library) and "write".
struct BusProject {
    test::TempDir dir;
    std::string folder;
    std::string tp;

    BusProject() {
        CliRun created = Cli({"new", "Bus", "--location", dir.str()});
        EXPECT_EQ(created.code, 0) << created.err;
        folder = dir / "Bus";
        tp = folder + "/Bus.tp";
        auto functions = std::make_unique<TlmFunctionTable>();
        (*functions)[1].functionName = "read";
        (*functions)[1].returnTypeText = "int";
        (*functions)[2].functionName = "libGet";
        (*functions)[2].returnTypeText = "void";
        (*functions)[2].isLibrary = true;
        (*functions)[3].functionName = "write";
        (*functions)[3].returnTypeText = "void";
        functions->count = 3;
        EXPECT_TRUE(SaveTlmFunctions(folder, *functions).ok());
        fs::create_directories(dir / "work");
        test::WriteBytes(dir / "work/bus.asf", "diagram\r\n");
        test::WriteBytes(dir / "work/spec.doc", "spec\r\n");
    }

    std::unique_ptr<TlmFunctionTable> Functions() const {
        auto table = std::make_unique<TlmFunctionTable>();
        EXPECT_TRUE(LoadTlmFunctions(folder, *table).ok());
        return table;
    }
    int Stage() const {
        ProjectRecord record;
        EXPECT_TRUE(ReadProjectFile(tp, record).ok());
        return record.projectStage;
    }
    std::string Bytes(const std::string& relative) const {
        return test::ReadBytes(folder + "/" + relative);
    }
};

TEST(CliAssign, AssignFsmByNameAndNumberThenUnassign) {
    BusProject p;
    CliRun byName = Cli({"assign-fsm", p.tp, "read", p.dir / "work/bus.asf"});
    ASSERT_EQ(byName.code, 0) << byName.err;
    EXPECT_EQ(byName.out, "read() is assigned " + p.folder + "/Input/bus.asf\n");
    // The same diagram for a second function, by its number.
    CliRun byNumber = Cli({"assign-fsm", p.tp, "3", p.dir / "work/bus.asf"});
    ASSERT_EQ(byNumber.code, 0) << byNumber.err;
    EXPECT_EQ(p.Bytes("Input/bus.asf"), "diagram\r\n");
    EXPECT_EQ(p.Stage(), 3);
    {
        auto t = p.Functions();
        EXPECT_TRUE((*t)[1].fsmAssigned);
        EXPECT_EQ((*t)[1].asfFileName.Raw(), "bus.asf" + std::string(73, ' '));
        EXPECT_FALSE((*t)[2].fsmAssigned);
        EXPECT_TRUE((*t)[3].fsmAssigned);
        EXPECT_EQ((*t)[3].asfFileName.Text(), "bus.asf");
    }

    CliRun unassigned = Cli({"unassign-fsm", p.tp, "read"});
    ASSERT_EQ(unassigned.code, 0) << unassigned.err;
    EXPECT_EQ(unassigned.out, "read() has no ASF file assigned\n");
    auto t = p.Functions();
    EXPECT_FALSE((*t)[1].fsmAssigned);
    EXPECT_EQ((*t)[1].asfFileName.Text(), "bus.asf"); // kept, as the window keeps it
    EXPECT_TRUE((*t)[3].fsmAssigned);                 // the other row is untouched
    EXPECT_TRUE(fs::exists(p.folder + "/Input/bus.asf"));
}

TEST(CliAssign, LibraryFunctionsAreRefusedAndNothingIsWritten) {
    BusProject p;
    const std::string functions = p.Bytes("Input/tlm_func.dat");
    const std::string tpBefore = p.Bytes("Bus.tp");

    CliRun assign = Cli({"assign-fsm", p.tp, "libGet", p.dir / "work/bus.asf"});
    EXPECT_EQ(assign.code, 1);
    EXPECT_EQ(
        assign.err,
        "Kestrel: libGet() is a Library function.\nNo need to assign FSM for this function.\n");
    CliRun unassign = Cli({"unassign-fsm", p.tp, "2"});
    EXPECT_EQ(unassign.code, 1);
    EXPECT_EQ(unassign.err,
              "Kestrel: libGet() is a Library function.\nCannot unassign FSM for this function.\n");
    EXPECT_EQ(p.Bytes("Input/tlm_func.dat"), functions);
    EXPECT_EQ(p.Bytes("Bus.tp"), tpBefore);
    EXPECT_FALSE(fs::exists(p.folder + "/Input/bus.asf"));
}

TEST(CliAssign, UsageAndFileErrors) {
    BusProject p;
    const std::string functions = p.Bytes("Input/tlm_func.dat");
    struct Case {
        std::vector<std::string> args;
        std::string errorPart;
    };
    const std::string longName = std::string(81, 'n');
    test::WriteBytes(p.dir / ("work/" + longName), "x");
    const Case cases[] = {
        {{"assign-fsm", p.tp, "nosuch", p.dir / "work/bus.asf"}, "no TLM function \"nosuch\""},
        {{"assign-fsm", p.tp, "4", p.dir / "work/bus.asf"}, "no TLM function \"4\""},
        {{"assign-fsm", p.tp, "read", p.dir / "work/missing.asf"}, "missing.asf\" is not a file"},
        {{"assign-fsm", p.tp, "read", p.dir / "work"}, "work\" is not a file"},
        {{"assign-asml", p.tp, p.dir / "work/missing.doc"}, "missing.doc\" is not a file"},
        {{"unassign-asml", p.dir / "nowhere/X.tp"}, "X.tp"},
        {{"assign-fsm", p.tp, "read"}, "FILE is required"},
    };
    for (const Case& c : cases) {
        CliRun run = Cli(c.args);
        EXPECT_EQ(run.code, 2) << c.args[0] << " " << c.errorPart;
        EXPECT_NE(run.err.find(c.errorPart), std::string::npos) << run.err;
    }
    // A file name longer than AsfFileName holds is refused with a message.
    CliRun tooLong = Cli({"assign-fsm", p.tp, "read", p.dir / ("work/" + longName)});
    EXPECT_EQ(tooLong.code, 1);
    EXPECT_NE(tooLong.err.find("longer than 80 characters"), std::string::npos) << tooLong.err;
    EXPECT_EQ(p.Bytes("Input/tlm_func.dat"), functions);
}

TEST(CliAssign, AssignAndUnassignAsml) {
    BusProject p;
    CliRun assigned = Cli({"assign-asml", p.tp, p.dir / "work/spec.doc"});
    ASSERT_EQ(assigned.code, 0) << assigned.err;
    EXPECT_EQ(assigned.out, "AsmL specification " + p.folder + "/Input/spec.doc assigned\n");
    EXPECT_EQ(p.Bytes("Input/spec.doc"), "spec\r\n");
    AsmlAssignment a;
    ASSERT_TRUE(LoadAsmlAssignment(p.folder, a).ok());
    EXPECT_EQ(a, (AsmlAssignment{p.folder + "/Temp/Bus.doc", "spec.doc", true}));
    EXPECT_EQ(p.Stage(), 3);

    // Assigning the copy in Input again leaves it as it is.
    CliRun again = Cli({"assign-asml", p.tp, p.folder + "/Input/spec.doc"});
    ASSERT_EQ(again.code, 0) << again.err;
    EXPECT_EQ(p.Bytes("Input/spec.doc"), "spec\r\n");

    CliRun unassigned = Cli({"unassign-asml", p.tp});
    ASSERT_EQ(unassigned.code, 0) << unassigned.err;
    EXPECT_EQ(unassigned.out, "No AsmL specification assigned\n");
    ASSERT_TRUE(LoadAsmlAssignment(p.folder, a).ok());
    EXPECT_EQ(a, (AsmlAssignment{p.folder + "/Temp/Bus.doc", "<not assigned>", false}));
    EXPECT_EQ(p.Stage(), 3);
}

} // namespace
} // namespace kestrel
