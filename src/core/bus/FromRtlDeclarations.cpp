// The declarations of a bus master's project, built through the declaration windows' own
// drafts and checks: each signal as the signal dialog would take it (the clock by its check
// box), each function's parameters as the parameter dialog would, so that the tables hold
// exactly what a user declaring the same by hand would store.
#include "bus/FromRtlDeclarations.h"

#include "model/RtlSignal.h"
#include "model/TlmFunction.h"
#include "project/ParameterRules.h"

#include <algorithm>

namespace kestrel {

namespace {

int CTypeIndex(const std::string& type) {
    const auto at = std::find(kCTypeNames.begin(), kCTypeNames.end(), type);
    return static_cast<int>(at - kCTypeNames.begin());
}

std::optional<InputRefusal> AddParameter(FunctionDraft& function, const std::string& name,
                                         int width, bool byReference) {
    ParameterDraft draft;
    draft.name = name;
    draft.typeText = BusCType(width);
    draft.typeIndex = CTypeIndex(draft.typeText);
    draft.passIndex = byReference ? 1 : 0;
    draft.passByText = std::string(kPassByEntries[static_cast<std::size_t>(draft.passIndex)]);
    if (auto refused = CheckParameterCapacity(static_cast<int>(function.rows.size())))
        return refused;
    if (auto refused = CheckParameterDraft(draft)) return refused;
    function.rows.push_back(BuildParameterRow(draft));
    return std::nullopt;
}

int WidthOf(const BusPortSet& ports, std::initializer_list<BusRole> roles) {
    for (BusRole role : roles)
        if (const BusPort* port = ports.Port(role)) return port->width;
    return 32;
}

// write(address, data[, strobe], response&) or read(address, data&, response&).
std::optional<InputRefusal> AddFunction(const BusPortSet& ports, BusFunction which,
                                        BusDeclarations& declarations) {
    const bool write = which == BusFunction::Write;
    FunctionDraft function;
    function.name = write ? kBusWriteFunction : kBusReadFunction;
    const int address = WidthOf(ports, {BusRole::AwAddr, BusRole::PAddr, BusRole::Adr});
    const int data = WidthOf(ports, {BusRole::WData, BusRole::PWData, BusRole::DatI});
    const BusPort* strobe = nullptr;
    for (BusRole role : {BusRole::WStrb, BusRole::PStrb, BusRole::Sel})
        if (!strobe) strobe = ports.Port(role);
    std::optional<InputRefusal> refused =
        AddParameter(function, kBusAddressParameter, address, false);
    if (!refused) refused = AddParameter(function, kBusDataParameter, data, !write);
    if (!refused && write && strobe)
        refused = AddParameter(function, kBusStrobeParameter, strobe->width, false);
    if (!refused) refused = AddParameter(function, kBusResponseParameter, 8, true);
    if (!refused) refused = CheckFunctionDraft(function);
    if (refused) return refused;
    declarations.functions.push_back(std::move(function));
    return std::nullopt;
}

std::optional<InputRefusal> AddSignal(SignalDraft draft, BusDeclarations& declarations) {
    if (auto refused = CheckSignalCapacity(static_cast<int>(declarations.signals.size())))
        return refused;
    if (auto refused = CheckSignalDraft(draft)) return refused;
    declarations.signals.push_back(BuildSignalRow(draft));
    return std::nullopt;
}

SignalDraft PortDraft(const BusPort& port) {
    SignalDraft draft = NewSignalDraft();
    draft.name = port.name;
    const SignalDirection direction = port.direction == PortDirection::In ? SignalDirection::In
                                      : port.direction == PortDirection::Out
                                          ? SignalDirection::Out
                                          : SignalDirection::InOut;
    draft.directionIndex = IndexOf(direction);
    draft.directionText =
        std::string(kDirectionNames[static_cast<std::size_t>(IndexOf(direction))]);
    const bool vector = port.width > 1;
    SelectDataType(draft, IndexOf(vector ? SignalDataType::LogicVector : SignalDataType::Logic));
    if (vector) draft.widthText = std::to_string(port.width);
    draft.initText = std::string(static_cast<std::size_t>(port.width), '0');
    return draft;
}

} // namespace

std::string BusCType(int width) {
    if (width <= 8) return "unsigned char";
    if (width <= 16) return "unsigned short";
    return "unsigned int";
}

std::optional<InputRefusal> MakeBusDeclarations(const BusPortSet& ports,
                                                BusDeclarations& declarations) {
    declarations = {};
    SignalDraft clock = NewSignalDraft();
    clock.name = ports.clock;
    SetClock(clock, true);
    if (auto refused = AddSignal(clock, declarations)) return refused;
    for (const BusPort& port : ports.ports)
        if (auto refused = AddSignal(PortDraft(port), declarations)) return refused;
    for (BusFunction function : {BusFunction::Write, BusFunction::Read})
        if (auto refused = AddFunction(ports, function, declarations)) return refused;
    return std::nullopt;
}

} // namespace kestrel
