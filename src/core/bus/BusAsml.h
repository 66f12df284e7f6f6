#pragma once
// The AsmL of a bus master's two functions: the protocol's master machine written as steps
// (`step`, `step while`), each step ending on the next active clock edge, so that the AsmL
// method drives the bus on the very edges the state diagrams of the FSM method do.
#include "bus/BusPorts.h"
#include "platform/Status.h"

#include <string>

namespace kestrel {

// The statements of write or read after "Start writing State Machine from here": one step
// per edge, each phase of the machine under a comment naming its state. Lines end in CR LF
// and are indented as the template's function body.
std::string BusAsmlBody(const BusPortSet& ports, BusFunction function);

// Fills the project's AsmL template text (as `kestrel-cli asml-template --plain` writes it)
// in place: the clock of each bus function and its body. An error when the template has no
// namespace for one of the two functions.
Status FillBusAsmlTemplate(std::string& templateText, const BusPortSet& ports);

} // namespace kestrel
