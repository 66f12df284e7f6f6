// The AsmL of a bus master's functions. Each state of the protocol's machine becomes steps
// with the state's own timing: a state visited once is one `step`; a state that waits is a
// `step while` over the edges it stays (its staying actions as the body), then one `step`
// with its leaving actions, which runs on the edge the wait ends, as the state's last visit
// does. A `step while` tests its condition on the edge after the step before it, so each
// state starts on the edge it would be entered. FillBusAsmlTemplate puts the bodies and the
// clock into the project's template text, which stays as it is around them.
#include "bus/BusAsml.h"

#include "bus/BusStatements.h"
#include "codegen/TextWriter.h"

#include <string_view>

namespace kestrel {

namespace {

using namespace bus;

constexpr std::string_view kStepIndent = "        ";
constexpr std::string_view kBodyIndent = "          ";

const std::string kAddress = kBusAddressParameter;
const std::string kData = kBusDataParameter;
const std::string kStrobe = kBusStrobeParameter;
const std::string kResponse = kBusResponseParameter;
// The AXI4-Lite write's variables: 1 while AWVALID (WVALID) is offered and not yet taken.
const std::string kAwPending = "aw_pending";
const std::string kWPending = "w_pending";

// The steps of one machine, each statement as the state diagrams write it (BusStatements.h),
// for the ports the RTL has.
class MachineWriter {
public:
    explicit MachineWriter(const BusPortSet& ports) : s(ports) {}

    bool Has(BusRole role) const { return s.Has(role); }
    // "AWREADY = LOGIC_1"
    std::string Is(BusRole role, bool high) const {
        return s.Name(role) + (high ? " = LOGIC_1" : " = LOGIC_0");
    }

    void State(std::string_view comment) { out_.line({kStepIndent, "// ", comment}); }
    void Step() { out_.line({kStepIndent, "step"}); }
    void StepWhile(const std::string& condition) {
        out_.line({kStepIndent, "step while ", condition});
    }
    void Line(std::string_view statement) { out_.line({kBodyIndent, statement}); }
    void Lines(const Block& block) {
        for (const std::string& line : block) Line(line);
    }
    // Stays while `input` is low, then its leaving step.
    void WaitFor(BusRole input) {
        StepWhile(Is(input, false));
        Line("skip");
        Step();
    }

    std::string take() { return out_.take(); }

    const Statements s;

private:
    TextWriter out_;
};

void AxiWrite(MachineWriter& m) {
    m.State("ADDRESS: the address and the data offered together on AW and W");
    m.Step();
    m.Lines(m.s.Drive(BusRole::AwAddr, kAddress));
    m.Lines(m.s.Set(BusRole::AwProt, '0'));
    m.Lines(m.s.Set(BusRole::AwValid, '1'));
    m.Lines(m.s.Drive(BusRole::WData, kData));
    m.Lines(m.s.Drive(BusRole::WStrb, kStrobe));
    m.Lines(m.s.Set(BusRole::WValid, '1'));
    m.Line(kAwPending + " := 1");
    m.Line(kWPending + " := 1");
    // The transactor cannot read back its own VALID outputs: a variable says which of the
    // two is still offered.
    m.State("HANDSHAKE: each VALID falls on the edge its READY is seen, until both are taken");
    const std::string aw = kAwPending + " = 1 and " + m.Is(BusRole::AwReady, true);
    const std::string w = kWPending + " = 1 and " + m.Is(BusRole::WReady, true);
    m.StepWhile("( " + kAwPending + " = 1 and " + m.Is(BusRole::AwReady, false) + " ) or ( " +
                kWPending + " = 1 and " + m.Is(BusRole::WReady, false) + " )");
    Block awTaken = m.s.Set(BusRole::AwValid, '0');
    awTaken.push_back(Statements::Assign(kAwPending, 0));
    Block wTaken = m.s.Set(BusRole::WValid, '0');
    wTaken.push_back(Statements::Assign(kWPending, 0));
    m.Lines(If(aw, awTaken));
    m.Lines(If(w, wTaken));
    m.Step();
    m.Lines(m.s.Set(BusRole::AwValid, '0'));
    m.Lines(m.s.Set(BusRole::WValid, '0'));
    m.State("RESPONSE: BREADY rises on the edge BVALID is seen");
    m.WaitFor(BusRole::BValid);
    m.Lines(m.s.Set(BusRole::BReady, '1'));
    m.State("ACCEPT: the response, taken on the B handshake");
    m.Step();
    m.Lines(m.s.Set(BusRole::BReady, '0'));
    m.Lines(m.s.Response(BusRole::BResp));
}

void AxiRead(MachineWriter& m) {
    m.State("ADDRESS: the address offered on AR");
    m.Step();
    m.Lines(m.s.Drive(BusRole::ArAddr, kAddress));
    m.Lines(m.s.Set(BusRole::ArProt, '0'));
    m.Lines(m.s.Set(BusRole::ArValid, '1'));
    m.State("HANDSHAKE: ARVALID falls on the edge ARREADY is seen");
    m.WaitFor(BusRole::ArReady);
    m.Lines(m.s.Set(BusRole::ArValid, '0'));
    m.State("RESPONSE: RREADY rises on the edge RVALID is seen");
    m.WaitFor(BusRole::RValid);
    m.Lines(m.s.Set(BusRole::RReady, '1'));
    m.State("ACCEPT: the data and the response, taken on the R handshake");
    m.Step();
    m.Lines(m.s.Set(BusRole::RReady, '0'));
    m.Lines(m.s.Take(kData, BusRole::RData));
    m.Lines(m.s.Response(BusRole::RResp));
}

void Apb(MachineWriter& m, bool write) {
    m.State("SETUP: the select with the address and the payload");
    m.Step();
    m.Lines(m.s.Drive(BusRole::PAddr, kAddress));
    m.Lines(m.s.Set(BusRole::PWrite, write ? '1' : '0'));
    if (write) {
        m.Lines(m.s.Drive(BusRole::PWData, kData));
        m.Lines(m.s.Drive(BusRole::PStrb, kStrobe));
    } else {
        m.Lines(m.s.Set(BusRole::PStrb, '0'));
    }
    m.Lines(m.s.Set(BusRole::PProt, '0'));
    m.Lines(m.s.Set(BusRole::PSel, '1'));
    m.Lines(m.s.Set(BusRole::PEnable, '0'));
    m.State("ACCESS: the enable, one edge after the select");
    m.Step();
    m.Lines(m.s.Set(BusRole::PEnable, '1'));
    if (m.Has(BusRole::PReady)) {
        m.State("WAIT_READY: the transfer ends on the edge PREADY is seen");
        m.WaitFor(BusRole::PReady);
    } else {
        m.State("WAIT_READY: without PREADY the transfer ends on the first access edge");
        m.Step();
    }
    m.Lines(m.s.Set(BusRole::PSel, '0'));
    m.Lines(m.s.Set(BusRole::PEnable, '0'));
    if (!write) m.Lines(m.s.Take(kData, BusRole::PRData));
    m.Lines(m.s.Response({{BusRole::PSlvErr, 2}}));
}

void Wishbone(MachineWriter& m, bool write) {
    m.State("REQUEST: the cycle and the strobe with the address and the payload");
    m.Step();
    m.Lines(m.s.Drive(BusRole::Adr, kAddress));
    if (write) m.Lines(m.s.Drive(BusRole::DatI, kData));
    m.Lines(m.s.Set(BusRole::We, write ? '1' : '0'));
    if (write)
        m.Lines(m.s.Drive(BusRole::Sel, kStrobe));
    else
        m.Lines(m.s.Set(BusRole::Sel, '1'));
    m.Lines(m.s.Set(BusRole::Cyc, '1'));
    m.Lines(m.s.Set(BusRole::Stb, '1'));
    std::string waiting = m.Is(BusRole::Ack, false), answers = "ACK";
    const std::pair<BusRole, const char*> others[] = {{BusRole::Err, "ERR"}, {BusRole::Rty, "RTY"}};
    for (const auto& [answer, name] : others) {
        if (!m.Has(answer)) continue;
        waiting += " and " + m.Is(answer, false);
        answers +=
            std::string(m.Has(BusRole::Rty) && answer == BusRole::Err ? ", " : " or ") + name;
    }
    m.State("WAIT_ACK: held until the slave answers with " + answers);
    m.StepWhile(waiting);
    m.Line("skip");
    m.Step();
    m.Lines(m.s.Set(BusRole::Cyc, '0'));
    m.Lines(m.s.Set(BusRole::Stb, '0'));
    m.Lines(m.s.Set(BusRole::We, '0'));
    if (!write) m.Lines(m.s.Take(kData, BusRole::DatO));
    m.Lines(m.s.Response({{BusRole::Err, 2}, {BusRole::Rty, 1}}));
}

// The line after `from` that holds `marker`, or npos.
std::size_t LineAfter(const std::string& text, std::size_t from, std::string_view marker) {
    const std::size_t at = text.find(marker, from);
    if (at == std::string::npos) return at;
    const std::size_t end = text.find('\n', at);
    return end == std::string::npos ? text.size() : end + 1;
}

} // namespace

std::string BusAsmlVariables(const BusPortSet& ports, BusFunction function) {
    if (ports.protocol != BusProtocol::Axi4Lite || function != BusFunction::Write) return {};
    TextWriter out;
    for (const std::string& name : {kAwPending, kWPending})
        out.line({kStepIndent, "var ", name, " as Integer = 0"});
    return out.take();
}

std::string BusAsmlBody(const BusPortSet& ports, BusFunction function) {
    MachineWriter m(ports);
    const bool write = function == BusFunction::Write;
    switch (ports.protocol) {
    case BusProtocol::Axi4Lite: write ? AxiWrite(m) : AxiRead(m); break;
    case BusProtocol::Apb: Apb(m, write); break;
    case BusProtocol::Wishbone: Wishbone(m, write); break;
    }
    return m.take();
}

Status FillBusAsmlTemplate(std::string& text, const BusPortSet& ports) {
    TextWriter setClock;
    setClock.line({kStepIndent, "SetClockSignal ( ", ports.clock, " , true )"});
    for (BusFunction function : {BusFunction::Write, BusFunction::Read}) {
        const std::string name =
            function == BusFunction::Write ? kBusWriteFunction : kBusReadFunction;
        std::size_t at = text.find("      namespace ns" + name + "\r\n");
        for (const auto& [marker, insertion] :
             {std::pair{"// Declare Local AsmL Variables here", BusAsmlVariables(ports, function)},
              std::pair{"// Specify the RTL Clock Signal here", setClock.text()},
              std::pair{"// Start writing State Machine from here",
                        BusAsmlBody(ports, function)}}) {
            if (at != std::string::npos) at = LineAfter(text, at, marker);
            if (at == std::string::npos)
                return Status::Error("the AsmL template's namespace ns" + name + " has no line \"" +
                                     marker + "\"");
            text.insert(at, insertion);
            at += insertion.size();
        }
    }
    return {};
}

} // namespace kestrel
