// Draws a bus master's machine into a function's ASF template in two passes. The plan:
// the states in the order a transfer goes through them, each with the lines of its one
// action block and the condition on which it goes on to the next state (a state with a
// condition stays in itself otherwise), then the trap state DONE, and the diagram signals
// the machine keeps. The drawing, through the editing operations of fsm/AsfEdit.h only:
// the states in one column from the top of the frame down, evenly spaced on the grid, the
// reset above the first, each state's way on at priority 1 and its self-loop at priority 2
// (drawn before the actions, so that these stand clear of the loop), the actions on the
// right of their states, and the signals in the editor's column beside the drawing.
//
// The transactor cannot read its own outputs (a VALID it drives), so the AXI4-Lite write
// keeps whether each of its two channels still waits for READY in a diagram signal.
#include "bus/BusDiagrams.h"

#include "bus/BusStatements.h"
#include "fsm/AsfEdit.h"
#include "fsm/AsfModel.h"

#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace kestrel {

namespace {

using namespace bus;

struct PlannedState {
    std::string name;
    Block actions;
    std::optional<std::string> until; // none: on to the next state on the next edge
};

struct PlannedMachine {
    std::vector<PlannedState> states; // the trap state DONE follows the last one
    std::vector<std::string> signals; // Integer diagram signals, initial value 0
};

constexpr const char* kTrapState = "DONE";
// The AXI4-Lite write's signals: 1 while AWVALID (WVALID) waits for its READY.
constexpr const char* kAwPending = "aw_pending";
constexpr const char* kWPending = "w_pending";

// Where the drawing goes inside the template's frame (15700..200200 by 15700..221700,
// below the ports): the column of states, the first state and the distance between two.
constexpr ObjectNumber kColumnX = 40000;
constexpr ObjectNumber kFirstY = 180000;
constexpr ObjectNumber kStateStep = 28000;
constexpr ObjectNumber kResetAbove = 16000;

// ---- the machines ----

PlannedMachine AxiWrite(const Statements& s) {
    using R = BusRole;
    PlannedState address{"ADDRESS", {}, {}};
    address.actions += s.Drive(R::AwAddr, kBusAddressParameter);
    address.actions += s.Set(R::AwProt, '0');
    address.actions += s.Set(R::AwValid, '1');
    address.actions += s.Drive(R::WData, kBusDataParameter);
    address.actions += s.Drive(R::WStrb, kBusStrobeParameter);
    address.actions += s.Set(R::WValid, '1');
    address.actions += {Statements::Assign(kAwPending, 1), Statements::Assign(kWPending, 1)};

    const std::string aw = kAwPending, w = kWPending;
    PlannedState handshake{"HANDSHAKE", {}, {}};
    Block awTaken = s.Set(R::AwValid, '0');
    awTaken.push_back(Statements::Assign(aw, 0));
    Block wTaken = s.Set(R::WValid, '0');
    wTaken.push_back(Statements::Assign(w, 0));
    handshake.actions += If(aw + " = 1 and " + s.High(R::AwReady), awTaken);
    handshake.actions += If(w + " = 1 and " + s.High(R::WReady), wTaken);
    handshake.until = "( " + aw + " = 0 or " + s.High(R::AwReady) + " ) and ( " + w + " = 0 or " +
                      s.High(R::WReady) + " )";

    PlannedState response{"RESPONSE", If(s.High(R::BValid), s.Set(R::BReady, '1')),
                          s.High(R::BValid)};
    PlannedState accept{"ACCEPT", s.Set(R::BReady, '0'), {}};
    accept.actions += s.Response(R::BResp);
    return {{address, handshake, response, accept}, {kAwPending, kWPending}};
}

PlannedMachine AxiRead(const Statements& s) {
    using R = BusRole;
    PlannedState address{"ADDRESS", s.Drive(R::ArAddr, kBusAddressParameter), {}};
    address.actions += s.Set(R::ArProt, '0');
    address.actions += s.Set(R::ArValid, '1');
    PlannedState handshake{"HANDSHAKE", If(s.High(R::ArReady), s.Set(R::ArValid, '0')),
                           s.High(R::ArReady)};
    PlannedState response{"RESPONSE", If(s.High(R::RValid), s.Set(R::RReady, '1')),
                          s.High(R::RValid)};
    PlannedState accept{"ACCEPT", s.Set(R::RReady, '0'), {}};
    accept.actions += s.Take(kBusDataParameter, R::RData);
    accept.actions += s.Response(R::RResp);
    return {{address, handshake, response, accept}, {}};
}

// Setup, access, then the access edges until PREADY (without PREADY the access ends on its
// first edge); PSEL and PENABLE fall on the edge after.
PlannedMachine Apb(const Statements& s, bool write) {
    using R = BusRole;
    PlannedState setup{"SETUP", s.Drive(R::PAddr, kBusAddressParameter), {}};
    setup.actions += s.Set(R::PWrite, write ? '1' : '0');
    if (write) setup.actions += s.Drive(R::PWData, kBusDataParameter);
    setup.actions += write ? s.Drive(R::PStrb, kBusStrobeParameter) : s.Set(R::PStrb, '0');
    setup.actions += s.Set(R::PProt, '0');
    setup.actions += s.Set(R::PSel, '1');
    setup.actions += s.Set(R::PEnable, '0');
    PlannedState access{"ACCESS", s.Set(R::PEnable, '1'), {}};

    Block ended = s.Set(R::PSel, '0');
    ended += s.Set(R::PEnable, '0');
    if (!write) ended += s.Take(kBusDataParameter, R::PRData);
    ended += s.Response({{R::PSlvErr, 2}});
    PlannedState wait{"WAIT_READY", ended, {}};
    if (s.Has(R::PReady)) {
        wait.actions = If(s.High(R::PReady), ended);
        wait.until = s.High(R::PReady);
    }
    return {{setup, access, wait}, {}};
}

// Classic cycles: CYC, STB and the payload held until ACK, ERR or RTY (which honours STALL).
PlannedMachine Wishbone(const Statements& s, bool write) {
    using R = BusRole;
    PlannedState request{"REQUEST", s.Drive(R::Adr, kBusAddressParameter), {}};
    if (write) request.actions += s.Drive(R::DatI, kBusDataParameter);
    request.actions += s.Set(R::We, write ? '1' : '0');
    request.actions += write ? s.Drive(R::Sel, kBusStrobeParameter) : s.Set(R::Sel, '1');
    request.actions += s.Set(R::Cyc, '1');
    request.actions += s.Set(R::Stb, '1');

    std::string answered = s.High(R::Ack);
    for (BusRole role : {R::Err, R::Rty})
        if (s.Has(role)) answered += " or " + s.High(role);
    Block ended = s.Set(R::Cyc, '0');
    ended += s.Set(R::Stb, '0');
    ended += s.Set(R::We, '0');
    if (!write) ended += s.Take(kBusDataParameter, R::DatO);
    ended += s.Response({{R::Err, 2}, {R::Rty, 1}});
    PlannedState wait{"WAIT_ACK", If(answered, ended), answered};
    return {{request, wait}, {}};
}

PlannedMachine Plan(const BusPortSet& ports, BusFunction function) {
    const Statements s(ports);
    const bool write = function == BusFunction::Write;
    switch (ports.protocol) {
    case BusProtocol::Axi4Lite: return write ? AxiWrite(s) : AxiRead(s);
    case BusProtocol::Apb: return Apb(s, write);
    case BusProtocol::Wishbone: return Wishbone(s, write);
    }
    return {};
}

// ---- refusals ----

Status Refuse(const AsfDocument& doc, const std::string& what) {
    return Status::Error("ASF file " + doc.Path() + ": " + what);
}

Status CheckPorts(const AsfDocument& doc, const BusPortSet& ports) {
    const std::string protocol(BusProtocolTitle(ports.protocol));
    if (!ports.problems.empty())
        return Refuse(doc, "the " + protocol + " ports cannot be used: " + ports.problems.front());
    for (const BusSignal& signal : BusSignals(ports.protocol))
        if (signal.required && !ports.Has(signal.role))
            return Refuse(doc, "the " + protocol + " ports lack " + std::string(signal.name));
    return Status::Ok();
}

// A template of this bus's project: nothing drawn yet, and a port object for every port
// of the set.
Status CheckTemplate(const AsfDocument& doc, const BusPortSet& ports) {
    for (AsfKind kind : {AsfKind::State, AsfKind::Reset, AsfKind::Transition, AsfKind::Action})
        if (!doc.Records(kind).empty())
            return Refuse(doc, "the diagram is not an empty template: a machine is drawn in it "
                               "already");
    std::set<std::string> shown;
    for (const ModelPort& port : DescribeDiagram(doc).ports) shown.insert(port.name);
    for (const BusPort& port : ports.ports)
        if (!shown.count(port.name))
            return Refuse(doc, "the template has no port " + port.name +
                                   "; make it from the project declared for this bus");
    return Status::Ok();
}

// ---- the drawing ----

std::string Joined(const Block& lines) {
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
    return text;
}

Status DrawStates(AsfDocument& doc, const PlannedMachine& m, std::vector<ObjectNumber>& numbers) {
    std::vector<std::string> names;
    for (const PlannedState& state : m.states) names.push_back(state.name);
    names.push_back(kTrapState);
    ObjectNumber y = kFirstY;
    for (const std::string& name : names) {
        ObjectNumber n = 0;
        if (Status s = AddState(doc, name, {kColumnX, y}, n); !s) return s;
        numbers.push_back(n);
        y -= kStateStep;
    }
    if (Status s = SetStateKind(doc, numbers.back(), AsfStateKind::Trap); !s) return s;
    ObjectNumber reset = 0;
    if (Status s = AddReset(doc, {kColumnX, kFirstY + kResetAbove}, reset); !s) return s;
    return SetInitialState(doc, numbers.front());
}

Status DrawTransitions(AsfDocument& doc, const PlannedMachine& m,
                       const std::vector<ObjectNumber>& numbers) {
    for (std::size_t i = 0; i < m.states.size(); ++i) {
        ObjectNumber t = 0;
        const std::optional<std::string>& until = m.states[i].until;
        if (Status s = AddTransition(doc, numbers[i], numbers[i + 1], 1, until, t); !s) return s;
        if (!until) continue;
        if (Status s = AddTransition(doc, numbers[i], numbers[i], 2, std::nullopt, t); !s) return s;
    }
    return Status::Ok();
}

Status Draw(AsfDocument& doc, const PlannedMachine& m) {
    std::vector<ObjectNumber> numbers;
    if (Status s = DrawStates(doc, m, numbers); !s) return s;
    if (Status s = DrawTransitions(doc, m, numbers); !s) return s;
    for (std::size_t i = 0; i < m.states.size(); ++i) {
        if (m.states[i].actions.empty()) continue;
        ObjectNumber a = 0;
        if (Status s = AddAction(doc, numbers[i], Joined(m.states[i].actions), a); !s) return s;
    }
    for (const std::string& name : m.signals) {
        ObjectNumber n = 0;
        if (Status s = AddSignal(doc, name, "0", n); !s) return s;
    }
    return Status::Ok();
}

} // namespace

Status DrawBusMachine(AsfDocument& doc, const BusPortSet& ports, BusFunction function) {
    if (Status s = CheckPorts(doc, ports); !s) return s;
    if (Status s = CheckTemplate(doc, ports); !s) return s;
    // Drawn on a copy: a refusal halfway leaves the document as it was.
    AsfDocument drawn = doc;
    if (Status s = Draw(drawn, Plan(ports, function)); !s) return s;
    doc = std::move(drawn);
    return Status::Ok();
}

} // namespace kestrel
