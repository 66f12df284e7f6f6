#pragma once
// The protocol check of a simulation: a monitor in the testbench (kestrel_monitor.h) watches
// the bus between the transactor and the RTL on every active clock edge. The testbench lives
// in a lower layer than the protocols, so a face arms its request here: it fills
// TestbenchRequest::protocol (or leaves it empty) and calls ArmProtocolCheck before
// WriteTestbench or RunSimulation; the testbench then finds the bus through the hook this
// sets (FindMonitoredBus).
#include "bus/BusPorts.h"
#include "platform/Status.h"
#include "sim/Testbench.h"

#include <string>
#include <vector>

namespace kestrel {

// Completes the request's protocol check and sets its hook:
//  - no protocol asked for: the project's own (protocol.json), or none when it has none;
//  - a protocol asked for by its word: that one for this run (protocol.json is left as it
//    is); without a prefix, the project's when it keeps one for the same protocol;
//  - a prefix or hang limit without a protocol word: the project's protocol, which it must
//    have.
// An error names a word that is no protocol, a damaged protocol.json, or the missing
// protocol.
Status ArmProtocolCheck(TestbenchRequest& request);

// The hook: the bus of the request's protocol among the RTL's ports (FindBusPorts), as the
// monitor watches it; FindBusPorts's refusals, each naming the protocol check, when it
// cannot be found.
std::vector<std::string> FindMonitoredBus(const ProtocolCheckRequest& request, const RtlModule& rtl,
                                          BusMonitorPlan& monitor);

} // namespace kestrel
