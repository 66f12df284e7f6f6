// The AsmL of a bus master's functions for the port sets no fixture slave has (APB without
// PREADY and PSLVERR, Wishbone with both ERR and RTY), and a template it cannot fill. The
// machines of the fixture slaves are checked whole by the command-line tests' golden files.
#include "bus/BusAsml.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

BusPortSet Ports(BusProtocol protocol, const std::vector<std::pair<BusRole, int>>& roles) {
    BusPortSet set;
    set.protocol = protocol;
    set.clock = "clk";
    for (const auto& [role, width] : roles)
        for (const BusSignal& signal : BusSignals(protocol))
            if (signal.role == role)
                set.ports.push_back({role, std::string(signal.name), width, signal.direction});
    return set;
}

std::string WithoutCr(std::string text) {
    std::erase(text, '\r');
    return text;
}

TEST(BusAsml, ApbWithoutPreadyEndsOnTheFirstAccessEdge) {
    const BusPortSet apb = Ports(BusProtocol::Apb, {{BusRole::PSel, 1},
                                                    {BusRole::PEnable, 1},
                                                    {BusRole::PWrite, 1},
                                                    {BusRole::PAddr, 8},
                                                    {BusRole::PWData, 16},
                                                    {BusRole::PRData, 16}});
    EXPECT_EQ(WithoutCr(BusAsmlBody(apb, BusFunction::Read)),
              "        // SETUP: the select with the address and the payload\n"
              "        step\n"
              "          PADDR := toLv ( address )\n"
              "          PWRITE := LOGIC_0\n"
              "          PSEL := LOGIC_1\n"
              "          PENABLE := LOGIC_0\n"
              "        // ACCESS: the enable, one edge after the select\n"
              "        step\n"
              "          PENABLE := LOGIC_1\n"
              "        // WAIT_READY: without PREADY the transfer ends on the first access edge\n"
              "        step\n"
              "          PSEL := LOGIC_0\n"
              "          PENABLE := LOGIC_0\n"
              "          data := toInt ( PRDATA )\n"
              "          response := 0\n");
}

TEST(BusAsml, WishboneAnswersErrThenRty) {
    const BusPortSet wishbone = Ports(BusProtocol::Wishbone, {{BusRole::Cyc, 1},
                                                              {BusRole::Stb, 1},
                                                              {BusRole::We, 1},
                                                              {BusRole::Adr, 8},
                                                              {BusRole::DatI, 8},
                                                              {BusRole::DatO, 8},
                                                              {BusRole::Ack, 1},
                                                              {BusRole::Sel, 1},
                                                              {BusRole::Err, 1},
                                                              {BusRole::Rty, 1}});
    const std::string write = WithoutCr(BusAsmlBody(wishbone, BusFunction::Write));
    // A 1-bit SEL is an sc_logic: toLv would hand it a pointer, which reads as true.
    EXPECT_NE(write.find("          if strobe = 0 then\n"
                         "            SEL := LOGIC_0\n"
                         "          else\n"
                         "            SEL := LOGIC_1\n"),
              std::string::npos)
        << write;
    EXPECT_NE(write.find("        step while ACK = LOGIC_0 and ERR = LOGIC_0 and RTY = LOGIC_0\n"
                         "          skip\n"
                         "        step\n"),
              std::string::npos)
        << write;
    EXPECT_NE(write.find("          if ERR = LOGIC_1 then\n"
                         "            response := 2\n"
                         "          elseif RTY = LOGIC_1 then\n"
                         "            response := 1\n"
                         "          else\n"
                         "            response := 0\n"),
              std::string::npos)
        << write;
    const std::string read = WithoutCr(BusAsmlBody(wishbone, BusFunction::Read));
    EXPECT_NE(read.find("          SEL := LOGIC_1\n"), std::string::npos) << read;
}

TEST(BusAsml, RefusesATemplateWithoutTheFunctions) {
    std::string text =
        "      namespace nswrite\r\n        // Declare Local AsmL Variables here\r\n";
    const Status filled = FillBusAsmlTemplate(text, Ports(BusProtocol::Apb, {}));
    EXPECT_FALSE(filled.ok());
    EXPECT_EQ(filled.message(),
              "the AsmL template's namespace nswrite has no line \"// Specify the RTL Clock Signal "
              "here\"");
}

} // namespace
} // namespace kestrel
