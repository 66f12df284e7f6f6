// The generated TLM-2.0 module in a co-simulation: six modules (data 8, 16 and 32 bits, with
// and without a strobe, with and without responses, with and without a base, one on the
// falling clock edge) are written
// in front of the hand-made transactors of tests/fixtures/systemc/tlm2/stand_in.h and built
// with warnings as errors into one program, tlm2_checks.cpp, which makes every check.
#include "SystemcBuild.h"
#include "TestSupport.h"

#include "tlm2/Tlm2Module.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

Tlm2Argument Arg(std::string name, std::string type, Tlm2Role role, bool byReference = false,
                 std::string fixed = {}) {
    return {std::move(name), std::move(type), byReference, false, role, std::move(fixed)};
}

// A module in front of the stand-in transactor `name` (its functions as stand_in.h declares
// them), 0x100 bytes from `base`.
Tlm2Module StandInModule(const std::string& name, int dataBits, std::uint64_t base,
                         std::vector<Tlm2Argument> write, std::vector<Tlm2Argument> read) {
    Tlm2Module module;
    module.projectName = name;
    module.writer = "the tlm2 test";
    module.fileName = name + "_tlm2.h";
    module.className = name + "_tlm2";
    module.transactorClass = name;
    module.transactorHeader = "stand_in.h";
    module.clockName = "clk";
    module.write = {"Write", std::move(write)};
    module.read = {"Read", std::move(read)};
    module.dataBits = dataBits;
    module.addressBits = 32;
    for (const Tlm2Argument& argument : module.write.arguments)
        module.hasStrobe = module.hasStrobe || argument.role == Tlm2Role::Strobe;
    module.clockOnPositiveEdge = name != "Mem16";
    module.base = base;
    module.size = 0x100;
    return module;
}

std::vector<Tlm2Module> StandInModules() {
    using R = Tlm2Role;
    const char* u8 = "unsigned char";
    const char* u16 = "unsigned short";
    const char* u32 = "unsigned int";
    Tlm2Argument readData = Arg("data", u32, R::Data, true);
    Tlm2Argument constData = Arg("data", u32, R::Data, true);
    constData.isConst = true;
    return {
        StandInModule("Mem8", 8, 0,
                      {Arg("address", u8, R::Address), Arg("data", u8, R::Data),
                       Arg("waits", u32, R::Dropped, true)},
                      {Arg("address", u8, R::Address), Arg("data", u8, R::Data, true),
                       Arg("waits", u32, R::Dropped, true)}),
        StandInModule("Mem8S", 8, 0x1000,
                      {Arg("addr", u16, R::Address), Arg("wdata", u8, R::Data),
                       Arg("be", "bool", R::Strobe), Arg("resp", u32, R::Response, true)},
                      {Arg("addr", u16, R::Address), Arg("rdata", u8, R::Data, true),
                       Arg("resp", u32, R::Response, true)}),
        StandInModule("Mem16", 16, 0x1000,
                      {Arg("address", u32, R::Address), Arg("data", u16, R::Data)},
                      {Arg("err", "int", R::Response, true), Arg("address", u32, R::Address),
                       Arg("data", u16, R::Data, true)}),
        StandInModule("Mem16S", 16, 0,
                      {Arg("port", "int", R::Fixed, false, "2"), Arg("addr", u16, R::Address),
                       Arg("data", u16, R::Data), Arg("strb", u8, R::Strobe),
                       Arg("resp", u8, R::Response, true)},
                      {Arg("addr", u16, R::Address), Arg("data", u16, R::Data, true),
                       Arg("resp", u8, R::Response, true)}),
        StandInModule(
            "Mem32", 32, 0x10000000,
            {Arg("address", u32, R::Address), constData, Arg("resp", u32, R::Response, true)},
            // a response named like the beat function's own parameter
            {Arg("address", u32, R::Address), readData, Arg("beatData", u32, R::Response, true)}),
        StandInModule("Mem32S", 32, 0,
                      {Arg("address", u32, R::Address), Arg("data", u32, R::Data),
                       Arg("strobe", u8, R::Strobe), Arg("resp", u32, R::Response, true)},
                      {Arg("address", u32, R::Address), Arg("data", u32, R::Data, true),
                       Arg("resp", u32, R::Response, true)}),
    };
}

TEST(Tlm2Module, GeneratedModulesServeEveryTransferAndResponseInACosimulation) {
    test::TempDir dir;
    const fs::path work = dir.path() / "tlm2";
    const fs::path fixtures = fs::path(KESTREL_SYSTEMC_FIXTURES_DIR) / "tlm2";
    fs::create_directories(work);
    for (const Tlm2Module& module : StandInModules())
        test::WriteBytes(work / module.fileName, Tlm2ModuleText(module));
    const std::string flags = "-Wall -Wextra -Werror -I" + test::Quoted(work.string()) + " -I" +
                              test::Quoted(fixtures.string());
    test::CommandResult run = test::BuildAndRun({{fixtures / "tlm2_checks.cpp", flags}}, work);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(test::Has(run.output, " passed, 0 failed\n"));
}

} // namespace
} // namespace kestrel
