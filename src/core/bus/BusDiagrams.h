#pragma once
// The state machine of a bus master drawn into a function's ASF template: the write or the
// read of AXI4-Lite, APB or Wishbone classic, with the protocol's own timing (each state
// visit ends at the next active clock edge), laid out as a person would draw it.
#include "bus/BusPorts.h"
#include "fsm/AsfDocument.h"
#include "platform/Status.h"

namespace kestrel {

// Fills `doc`, the ASF template of the function (as asf-template writes it for a project
// declared from `ports`: the signature and the port objects in it, nothing drawn yet),
// with the master's machine for `function`: its states from the top of the page down, the
// reset above the initial state, the transitions with their conditions and priorities (a
// state that waits stays in itself at the lowest priority), the actions beside their
// states and the trap state DONE. Conditions and actions name the ports as `ports` has them
// and use only the optional signals it has. Refused, with the document left as it was,
// when the port set has problems or misses a signal the machine needs, when the template
// lacks a port the machine drives or reads, or when something is drawn in it already.
Status DrawBusMachine(AsfDocument& doc, const BusPortSet& ports, BusFunction function);

} // namespace kestrel
