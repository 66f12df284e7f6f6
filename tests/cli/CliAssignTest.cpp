// kestrel-cli assign-fsm, unassign-fsm, assign-asml and unassign-asml, in process: the
// files copied into Input, the flags and records written, stage 3, a core refusal passed
// through (exit 1, nothing written) and usage and file errors (exit 2).
#include "CliRunner.h"
#include "model/Assignments.h"
#include "model/ProjectRecord.h"
#include "model/TlmFunction.h"

#include <memory>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

using test::Cli;
using test::CliRun;
using test::Has;

// A new project "Bus" with the functions "read", "libGet" (from a library) and "write".
struct BusProject {
    test::TempDir dir;
    std::string tp = test::NewCliProject(dir, "Bus");
    std::string folder = dir / "Bus";

    BusProject() {
        auto functions = std::make_unique<TlmFunctionTable>();
        const char* names[] = {"read", "libGet", "write"};
        for (int i = 1; i <= 3; ++i) {
            (*functions)[i].functionName = names[i - 1];
            (*functions)[i].returnTypeText = "void";
        }
        (*functions)[2].isLibrary = true;
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

// Refusals of the core and of the command's own checks; nothing is written.
TEST(CliAssign, RefusalsAndUsageErrorsWriteNothing) {
    BusProject p;
    const std::string functions = p.Bytes("Input/tlm_func.dat");
    const std::string tpBefore = p.Bytes("Bus.tp");
    const std::string longName = std::string(81, 'n');
    test::WriteBytes(p.dir / ("work/" + longName), "x");
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string errorPart;
    };
    const Case cases[] = {
        {{"assign-fsm", p.tp, "libGet", p.dir / "work/bus.asf"},
         1,
         "Kestrel: libGet() is a Library function.\nNo need to assign FSM for this function.\n"},
        {{"assign-fsm", p.tp, "read", p.dir / ("work/" + longName)},
         1,
         "longer than 80 characters"},
        {{"assign-fsm", p.tp, "nosuch", p.dir / "work/bus.asf"}, 2, "no TLM function \"nosuch\""},
        {{"assign-fsm", p.tp, "4", p.dir / "work/bus.asf"}, 2, "no TLM function \"4\""},
        {{"assign-fsm", p.tp, "read", p.dir / "work/missing.asf"},
         2,
         "missing.asf\" is not a file"},
        {{"assign-fsm", p.tp, "read", p.dir / "work"}, 2, "work\" is not a file"},
        {{"assign-asml", p.tp, p.dir / "work/missing.doc"}, 2, "missing.doc\" is not a file"},
        {{"unassign-asml", p.dir / "nowhere/X.tp"}, 2, "X.tp"},
        {{"assign-fsm", p.tp, "read"}, 2, "FILE is required"},
    };
    for (const Case& c : cases) {
        CliRun run = Cli(c.args);
        EXPECT_EQ(run.code, c.code) << c.errorPart;
        EXPECT_TRUE(Has(run.err, c.errorPart));
    }
    EXPECT_EQ(p.Bytes("Input/tlm_func.dat"), functions);
    EXPECT_EQ(p.Bytes("Bus.tp"), tpBefore);
    EXPECT_FALSE(fs::exists(p.folder + "/Input/bus.asf"));
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
    ASSERT_EQ(Cli({"assign-asml", p.tp, p.folder + "/Input/spec.doc"}).code, 0);
    EXPECT_EQ(p.Bytes("Input/spec.doc"), "spec\r\n");

    CliRun unassigned = Cli({"unassign-asml", p.tp});
    ASSERT_EQ(unassigned.code, 0) << unassigned.err;
    EXPECT_EQ(unassigned.out, "No AsmL specification assigned\n");
    ASSERT_TRUE(LoadAsmlAssignment(p.folder, a).ok());
    EXPECT_EQ(a, (AsmlAssignment{p.folder + "/Temp/Bus.doc", "<not assigned>", false}));
}

} // namespace
} // namespace kestrel
