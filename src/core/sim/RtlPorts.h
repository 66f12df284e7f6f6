#pragma once
// The ports of a Verilog design as Verilator sees them: read from its XML netlist
// (`verilator --xml-only`), so that names, directions and widths are exactly those of the
// verilated SystemC model the testbench binds.
#include "platform/Status.h"

#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

enum class PortDirection { In, Out, InOut };

struct RtlPort {
    std::string name;
    PortDirection direction = PortDirection::In;
    int width = 1;
    std::string place; // "file.v:12" where the port is declared, for messages
};

struct RtlModule {
    std::string name;           // the top module
    std::vector<RtlPort> ports; // in declaration order
};

// "input", "output" or "inout".
std::string_view DirectionWord(PortDirection direction);

// The C++ type of a port of a model verilated for SystemC: bool for 1 bit, uint32_t up
// to 32, uint64_t up to 64, sc_bv<N> above.
std::string VerilatedPinType(int width);

// Reads the top module of a netlist: the module named `top`, or with `top` empty the
// netlist's top cell. An error names what is missing.
Status ParseVerilatorNetlist(std::string_view xml, std::string_view top, RtlModule& module);

// Runs `verilator --xml-only` on `files` (top module `top`, or Verilator's choice when
// empty) with its output in a temporary folder, and reads the top module. Verilator's own
// messages come back in the error when it refuses the files.
Status ReadRtlModule(const std::vector<std::string>& files, std::string_view top,
                     RtlModule& module);

} // namespace kestrel
