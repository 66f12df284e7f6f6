#pragma once
// The TLM-2.0 target module in front of a transactor, as written into <header>_tlm2.h:
// everything its text needs, resolved from the project and its socket mapping.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// What an argument of the write or the read call carries.
enum class Tlm2Role {
    Address,  // the address minus the module's base, by value
    Data,     // one beat: by value for the write, by reference for the read
    Strobe,   // the byte strobe of a write beat, by value (bit i: byte lane i)
    Response, // by reference, read after each beat: 0 OK, 3 decode error, else error
    Fixed,    // by value, the fixed value the mapping gives it
    Dropped,  // by reference, an output nobody reads
};

struct Tlm2Argument {
    std::string name;    // as declared (trimmed)
    std::string cppType; // as declared, without const ("unsigned char")
    bool byReference = false;
    bool isConst = false;
    Tlm2Role role = Tlm2Role::Dropped;
    std::string fixedValue; // Fixed: the C++ expression passed
};

// One TLM function as the module calls it: its arguments in declaration order.
struct Tlm2Call {
    std::string function;
    std::vector<Tlm2Argument> arguments;
};

struct Tlm2Module {
    std::string projectName;
    std::string writer;           // who writes the file, for its header comment
    std::string fileName;         // "Tran_tlm2.h"
    std::string className;        // "clsTran_tlm2"
    std::string transactorClass;  // "clsTran", the module's base class
    std::string transactorHeader; // "Tran.h", as the module includes it
    std::string clockName;        // the transactor's clock port
    bool clockOnPositiveEdge = true;
    Tlm2Call write;
    Tlm2Call read;
    int dataBits = 8;       // the data parameter's width (8, 16 or 32), the socket's bus width
    int addressBits = 8;    // the address parameter's width
    bool hasStrobe = false; // the write has a strobe parameter (the text goes by the argument)
    std::uint64_t base = 0; // first address of the target
    std::uint64_t size = 0; // bytes from base (never 0 once resolved)
};

// "Tran.h" -> "Tran_tlm2.h" (the transactor header's file name with "_tlm2" before its
// extension; "Tran" -> "Tran_tlm2").
std::string Tlm2HeaderName(const std::string& transactorHeader);

// True for the names the module declares itself (its socket, its processes and helpers):
// a port or a mapped function of the transactor named so would be hidden behind them.
bool IsTlm2ModuleMember(std::string_view name);

// The whole text of <header>_tlm2.h ("\n" line ends).
std::string Tlm2ModuleText(const Tlm2Module& module);

} // namespace kestrel
