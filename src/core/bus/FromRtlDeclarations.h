#pragma once
// The declarations of a project made from a bus slave's Verilog: the bus ports found and the
// clock as RTL signals (the RTL's own view: its names, directions and widths), and the two
// functions of the bus master, write(address, data[, strobe], response&) and
// read(address, data&, response&), with C types that fit the ports' widths.
#include "bus/BusPorts.h"
#include "project/FunctionRules.h"
#include "project/SignalRules.h"

#include <string>
#include <vector>

namespace kestrel {

struct BusDeclarations {
    std::vector<FunctionDraft> functions; // write, then read
    std::vector<SignalRow> signals;       // the clock, then the bus ports in protocol order
};

// The unsigned C type of a value of `width` bits (at most 32): unsigned char up to 8 bits,
// unsigned short up to 16, unsigned int above.
std::string BusCType(int width);

// The declarations of `ports`, each row and draft as the declaration windows' OK would store
// it; refused (naming the signal or function) where a window would refuse it.
std::optional<InputRefusal> MakeBusDeclarations(const BusPortSet& ports,
                                                BusDeclarations& declarations);

} // namespace kestrel
