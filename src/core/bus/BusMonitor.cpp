// The protocol check's arming (the project's protocol.json, or the protocol a face asks
// for) and the hook that turns the bus FindBusPorts finds into the monitor's pins.
#include "bus/BusMonitor.h"

#include "bus/ProtocolChoice.h"
#include "project/ProjectCommands.h"

namespace kestrel {

namespace {

std::string_view MonitorBusName(BusProtocol protocol) {
    switch (protocol) {
    case BusProtocol::Apb: return "Apb";
    case BusProtocol::Wishbone: return "Wishbone";
    case BusProtocol::Axi4Lite: break;
    }
    return "Axi4Lite";
}

} // namespace

Status ArmProtocolCheck(TestbenchRequest& request) {
    const bool asked = request.protocol && !request.protocol->protocol.empty();
    if (asked && !ParseBusProtocol(request.protocol->protocol))
        return Status::Error("--protocol " + request.protocol->protocol + ": give one of " +
                             BusProtocolNames());
    ProjectRecord record;
    std::optional<ProtocolChoice> kept;
    if (PeekProject(request.projectFile, record)) // else the testbench names the error
        if (Status loaded = LoadProtocolChoice(record.projectFolder, kept); !loaded) return loaded;
    if (!request.protocol && !kept) return Status::Ok();
    if (!request.protocol) request.protocol = ProtocolCheckRequest{};
    ProtocolCheckRequest& check = *request.protocol;
    if (!asked && !kept)
        return Status::Error("--prefix and --hang-cycles belong to a protocol check: give "
                             "--protocol " +
                             BusProtocolNames() + " (the project keeps no " + kProtocolChoiceFile +
                             ")");
    if (!asked) check.protocol = std::string(BusProtocolName(kept->protocol));
    if (!check.prefix && kept && ParseBusProtocol(check.protocol) == kept->protocol)
        check.prefix = kept->prefix;
    request.findBus = FindMonitoredBus;
    return Status::Ok();
}

std::vector<std::string> FindMonitoredBus(const ProtocolCheckRequest& request, const RtlModule& rtl,
                                          BusMonitorPlan& monitor) {
    const std::optional<BusProtocol> protocol = ParseBusProtocol(request.protocol);
    if (!protocol) return {"protocol check: " + request.protocol + " is no bus protocol"};
    const BusPortSet found = FindBusPorts(rtl.ports, *protocol, request.prefix);
    std::vector<std::string> problems;
    for (const std::string& problem : found.problems)
        problems.push_back("protocol check (" + std::string(BusProtocolTitle(*protocol)) +
                           "): " + problem);
    if (!problems.empty()) return problems;
    monitor = BusMonitorPlan{};
    monitor.protocol = BusProtocolName(*protocol);
    monitor.title = BusProtocolTitle(*protocol);
    monitor.busEnum = MonitorBusName(*protocol);
    monitor.prefix = found.prefix;
    monitor.hangCycles = request.hangCycles;
    for (const BusSignal& signal : BusSignals(*protocol))
        if (const BusPort* port = found.Port(signal.role))
            monitor.pins.push_back({std::string(signal.name), port->name, port->width});
    if (found.reset) {
        monitor.reset = found.reset->name;
        monitor.resetActiveLow = found.reset->activeLow;
    }
    return {};
}

} // namespace kestrel
