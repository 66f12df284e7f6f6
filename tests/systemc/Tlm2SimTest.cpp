// kestrel-cli sim --tlm2 on a copy of examples/MemReqAck against its Verilog memory, in one
// build folder: refused before the project has a socket mapping; after kestrel-cli tlm2,
// the written transactions_tlm2.cpp (an example of every command) gives each command's
// response; then the example's own random transactions agree with its memory model.
#include "SystemcBuild.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using test::Cli;
using test::Quoted;

TEST(SimTlm2, MemReqAckThroughItsSocketAgreesWithItsMemoryModel) {
    const fs::path example = fs::path(KESTREL_EXAMPLES_DIR) / "MemReqAck";
    test::TempDir dir;
    const fs::path project = dir.path() / "MemReqAck";
    const std::string tp = test::PointedMemReqAck(project, dir.path());
    ASSERT_EQ(Cli("generate " + tp, dir.path() / "generate.log").exitCode, 0);
    const std::string sim = "sim " + tp + " --tlm2 --no-generate --until 1s --rtl " +
                            Quoted((example / "rtl" / "memory.v").string());

    test::CommandResult refused = Cli(sim, dir.path() / "refused.log");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(test::Has(refused.output, "has no TLM-2.0 socket mapping: run kestrel-cli tlm2"));
    ASSERT_EQ(Cli("tlm2 " + tp, dir.path() / "tlm2.log").exitCode, 0);

    test::CommandResult examples = Cli(sim, dir.path() / "examples.log");
    ASSERT_EQ(examples.exitCode, 0) << examples.output;
    for (const char* line : {"write   1 byte(s) at 0x0: 5a  -> TLM_OK_RESPONSE\n",
                             "read    1 byte(s) at 0x0: 5a  -> TLM_OK_RESPONSE\n",
                             "read    4 byte(s) at 0x0: 10 11 12 13  -> TLM_OK_RESPONSE\n",
                             "read    4 byte(s) at 0x0 with byte enables: 10 ee 12 ee  -> "
                             "TLM_OK_RESPONSE\n",
                             "write   4 byte(s) at 0x0 with byte enables: 10 11 12 13  -> "
                             "TLM_BYTE_ENABLE_ERROR_RESPONSE\n",
                             "ignore  1 byte(s) at 0x0: 00  -> TLM_OK_RESPONSE\n",
                             "read    1 byte(s) at 0x100: 00  -> TLM_ADDRESS_ERROR_RESPONSE\n",
                             "Transactions completed: 8\n"})
        EXPECT_TRUE(test::Has(examples.output, line)) << line << examples.output;

    fs::copy_file(example / "testbench" / "transactions_tlm2.cpp",
                  project / "Output" / "testbench" / "transactions_tlm2.cpp",
                  fs::copy_options::overwrite_existing);
    test::CommandResult random = Cli(sim, dir.path() / "random.log");
    ASSERT_EQ(random.exitCode, 0) << random.output;
    EXPECT_TRUE(test::Has(random.output, "tlm2: 2000 transactions (")) << random.output;
    EXPECT_TRUE(test::Has(random.output, ", 0 mismatches\n")) << random.output;
    EXPECT_TRUE(test::Has(random.output, "Transactions completed: 2000\n"));
    EXPECT_FALSE(test::Has(random.output, "E115"));
}

} // namespace
} // namespace kestrel
