// The text of a generated TLM-2.0 module, kept as a golden file: a 32-bit bus write with a
// strobe and a response, a read with a response, an output nobody reads, and a base. Its
// behaviour is checked in a co-simulation (tests/systemc/Tlm2ModuleTest.cpp).
#include "TestSupport.h"

#include "tlm2/Tlm2Module.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(Tlm2ModuleText, MatchesTheGoldenModule) {
    using R = Tlm2Role;
    Tlm2Module module;
    module.projectName = "Apb";
    module.writer = "kestrel-cli tlm2";
    module.fileName = "Tran_tlm2.h";
    module.className = "clsTran_tlm2";
    module.transactorClass = "clsTran";
    module.transactorHeader = "Tran.h";
    module.clockName = "PCLK";
    module.write = {"apb_write",
                    {{"addr", "unsigned int", false, false, R::Address, ""},
                     {"data", "unsigned int", false, false, R::Data, ""},
                     {"strb", "unsigned char", false, false, R::Strobe, ""},
                     {"resp", "unsigned char", true, false, R::Response, ""}}};
    module.read = {"apb_read",
                   {{"addr", "unsigned int", false, false, R::Address, ""},
                    {"data", "unsigned int", true, false, R::Data, ""},
                    {"resp", "unsigned char", true, false, R::Response, ""},
                    {"waits", "unsigned int", true, false, R::Dropped, ""}}};
    module.dataBits = 32;
    module.addressBits = 32;
    module.hasStrobe = true;
    module.base = 0x40000000;
    module.size = 0x1000;
    EXPECT_TRUE(
        test::MatchesGolden(test::GoldenDir() / "tlm2" / "Tran_tlm2.h", Tlm2ModuleText(module)));
    EXPECT_EQ(Tlm2HeaderName("Tran.h"), "Tran_tlm2.h");
    EXPECT_EQ(Tlm2HeaderName("out.d/Tran"), "out.d/Tran_tlm2");
}

} // namespace
} // namespace kestrel
