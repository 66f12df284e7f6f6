// The AsmL of a bus master's functions. Each state of the protocol's machine becomes steps
// with the state's own timing: a state visited once is one `step`; a state that waits is a
// `step while` over the edges it stays (its staying actions as the body), then one `step`
// with its leaving actions, which runs on the edge the wait ends, as the state's last visit
// does. A `step while` tests its condition on the edge after the step before it, so each
// state starts on the edge it would be entered. FillBusAsmlTemplate puts the bodies and the
// clock into the project's template text, which stays as it is around them.
#include "bus/BusAsml.h"

#include "codegen/TextWriter.h"

#include <optional>
#include <string_view>

namespace kestrel {

namespace {

constexpr std::string_view kStepIndent = "        ";
constexpr std::string_view kBodyIndent = "          ";
constexpr std::string_view kInnerIndent = "            ";

const std::string kAddress = kBusAddressParameter;
const std::string kData = kBusDataParameter;
const std::string kStrobe = kBusStrobeParameter;
const std::string kResponse = kBusResponseParameter;
// The AXI4-Lite write's variables: 1 while AWVALID (WVALID) is offered and not yet taken.
const std::string kAwPending = "aw_pending";
const std::string kWPending = "w_pending";

// The statements of one machine, written only for the ports the RTL has.
class MachineWriter {
public:
    explicit MachineWriter(const BusPortSet& ports) : ports_(ports) {}

    bool Has(BusRole role) const { return ports_.Has(role); }
    std::string Name(BusRole role) const { return Has(role) ? ports_.Port(role)->name : ""; }
    // "AWREADY = LOGIC_1"
    std::string Is(BusRole role, bool high) const {
        return Name(role) + (high ? " = LOGIC_1" : " = LOGIC_0");
    }

    void State(std::string_view comment) { out_.line({kStepIndent, "// ", comment}); }
    void Step() { out_.line({kStepIndent, "step"}); }
    void StepWhile(const std::string& condition) {
        out_.line({kStepIndent, "step while ", condition});
    }
    void Line(std::string_view statement, std::string_view indent = kBodyIndent) {
        out_.line({indent, statement});
    }
    // A one-bit output high or low.
    void Bit(BusRole role, bool high, std::string_view indent = kBodyIndent) {
        if (Has(role)) Line(Name(role) + (high ? " := LOGIC_1" : " := LOGIC_0"), indent);
    }
    // A vector output from a parameter of the function.
    void FromParameter(BusRole role, const std::string& parameter) {
        if (Has(role)) Line(Name(role) + " := toLv ( " + parameter + " )");
    }
    // A vector output of all zeros or all ones.
    void Constant(BusRole role, char bit) {
        if (Has(role))
            Line(Name(role) + " := \"" +
                 std::string(static_cast<std::size_t>(ports_.Port(role)->width), bit) + "\"");
    }
    // A parameter read from a vector input; 0 without the input.
    void ToParameter(const std::string& parameter, BusRole role) {
        Line(parameter + " := " + (Has(role) ? "toInt ( " + Name(role) + " )" : std::string("0")));
    }
    // The response of a one-bit error input: 2 when it is high, else 0 (and 1 for a retry).
    void ErrorResponse(BusRole error, std::optional<BusRole> retry = std::nullopt) {
        const bool hasRetry = retry && Has(*retry);
        if (!Has(error) && !hasRetry) return Line(kResponse + " := 0");
        Line("if " + Is(Has(error) ? error : *retry, true) + " then");
        Line(kResponse + (Has(error) ? " := 2" : " := 1"), kInnerIndent);
        if (Has(error) && hasRetry) {
            Line("elseif " + Is(*retry, true) + " then");
            Line(kResponse + " := 1", kInnerIndent);
        }
        Line("else");
        Line(kResponse + " := 0", kInnerIndent);
    }
    // Stays while `input` is low, then its leaving step.
    void WaitFor(BusRole input) {
        StepWhile(Is(input, false));
        Line("skip");
        Step();
    }

    std::string take() { return out_.take(); }

private:
    const BusPortSet& ports_;
    TextWriter out_;
};

void AxiWrite(MachineWriter& m) {
    m.State("ADDRESS: the address and the data offered together on AW and W");
    m.Step();
    m.FromParameter(BusRole::AwAddr, kAddress);
    m.Constant(BusRole::AwProt, '0');
    m.Bit(BusRole::AwValid, true);
    m.FromParameter(BusRole::WData, kData);
    m.FromParameter(BusRole::WStrb, kStrobe);
    m.Bit(BusRole::WValid, true);
    m.Line(kAwPending + " := 1");
    m.Line(kWPending + " := 1");
    // The transactor cannot read back its own VALID outputs: a variable says which of the
    // two is still offered.
    m.State("HANDSHAKE: each VALID falls on the edge its READY is seen, until both are taken");
    const std::string aw = kAwPending + " = 1 and " + m.Is(BusRole::AwReady, true);
    const std::string w = kWPending + " = 1 and " + m.Is(BusRole::WReady, true);
    m.StepWhile("( " + kAwPending + " = 1 and " + m.Is(BusRole::AwReady, false) + " ) or ( " +
                kWPending + " = 1 and " + m.Is(BusRole::WReady, false) + " )");
    m.Line("if " + aw + " then");
    m.Bit(BusRole::AwValid, false, kInnerIndent);
    m.Line(kAwPending + " := 0", kInnerIndent);
    m.Line("if " + w + " then");
    m.Bit(BusRole::WValid, false, kInnerIndent);
    m.Line(kWPending + " := 0", kInnerIndent);
    m.Step();
    m.Bit(BusRole::AwValid, false);
    m.Bit(BusRole::WValid, false);
    m.State("RESPONSE: BREADY rises on the edge BVALID is seen");
    m.WaitFor(BusRole::BValid);
    m.Bit(BusRole::BReady, true);
    m.State("ACCEPT: the response, taken on the B handshake");
    m.Step();
    m.Bit(BusRole::BReady, false);
    m.ToParameter(kResponse, BusRole::BResp);
}

void AxiRead(MachineWriter& m) {
    m.State("ADDRESS: the address offered on AR");
    m.Step();
    m.FromParameter(BusRole::ArAddr, kAddress);
    m.Constant(BusRole::ArProt, '0');
    m.Bit(BusRole::ArValid, true);
    m.State("HANDSHAKE: ARVALID falls on the edge ARREADY is seen");
    m.WaitFor(BusRole::ArReady);
    m.Bit(BusRole::ArValid, false);
    m.State("RESPONSE: RREADY rises on the edge RVALID is seen");
    m.WaitFor(BusRole::RValid);
    m.Bit(BusRole::RReady, true);
    m.State("ACCEPT: the data and the response, taken on the R handshake");
    m.Step();
    m.Bit(BusRole::RReady, false);
    m.ToParameter(kData, BusRole::RData);
    m.ToParameter(kResponse, BusRole::RResp);
}

void Apb(MachineWriter& m, bool write) {
    m.State("SETUP: the select with the address and the payload");
    m.Step();
    m.FromParameter(BusRole::PAddr, kAddress);
    m.Bit(BusRole::PWrite, write);
    if (write) {
        m.FromParameter(BusRole::PWData, kData);
        m.FromParameter(BusRole::PStrb, kStrobe);
    } else {
        m.Constant(BusRole::PStrb, '0');
    }
    m.Constant(BusRole::PProt, '0');
    m.Bit(BusRole::PSel, true);
    m.Bit(BusRole::PEnable, false);
    m.State("ACCESS: the enable, one edge after the select");
    m.Step();
    m.Bit(BusRole::PEnable, true);
    if (m.Has(BusRole::PReady)) {
        m.State("WAIT_READY: the transfer ends on the edge PREADY is seen");
        m.WaitFor(BusRole::PReady);
    } else {
        m.State("WAIT_READY: without PREADY the transfer ends on the first access edge");
        m.Step();
    }
    m.Bit(BusRole::PSel, false);
    m.Bit(BusRole::PEnable, false);
    if (!write) m.ToParameter(kData, BusRole::PRData);
    m.ErrorResponse(BusRole::PSlvErr);
}

void Wishbone(MachineWriter& m, bool write) {
    m.State("REQUEST: the cycle and the strobe with the address and the payload");
    m.Step();
    m.FromParameter(BusRole::Adr, kAddress);
    if (write) m.FromParameter(BusRole::DatI, kData);
    m.Bit(BusRole::We, write);
    if (write)
        m.FromParameter(BusRole::Sel, kStrobe);
    else
        m.Constant(BusRole::Sel, '1');
    m.Bit(BusRole::Cyc, true);
    m.Bit(BusRole::Stb, true);
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
    m.Bit(BusRole::Cyc, false);
    m.Bit(BusRole::Stb, false);
    m.Bit(BusRole::We, false);
    if (!write) m.ToParameter(kData, BusRole::DatO);
    m.ErrorResponse(BusRole::Err, BusRole::Rty);
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
