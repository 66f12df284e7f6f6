#pragma once
// Names the generated C++ would declare twice: two TLM functions of one name (each gives
// the transactor a method, an update function and its state), two parameters of one
// function, two RTL ports, and a port named like a function (both are members of the
// transactor class). The declaration windows accept them; the lists, `declare` and
// `check` warn. Names are compared as C++ reads them: trimmed, and upper and lower case
// apart (Write and write do not clash). Library items count like the project's own.
#include "model/RtlSignal.h"
#include "model/TlmFunction.h"

#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// One declared name as a list shows it.
struct DeclaredName {
    std::string name;
    bool isLibrary = false;
};

// A name that more than one entry has: the name and the 1-based positions of the entries.
struct SharedName {
    std::string name;
    std::vector<int> positions;
};

// The names given to more than one entry, in the order of their first entry; empty names
// are left out (the declaration windows refuse them).
std::vector<SharedName> FindSharedNames(const std::vector<DeclaredName>& names);

// The warnings, one text each. The list windows use the first three; `declare` and
// `check` those of the two tables below.
std::vector<std::string> FunctionNameWarnings(const std::vector<DeclaredName>& functions);
// `function` names the function in the text (empty: "this function").
std::vector<std::string> ParameterNameWarnings(std::string_view function,
                                               const std::vector<std::string>& parameters);
std::vector<std::string> PortNameWarnings(const std::vector<DeclaredName>& ports);
// The functions' names, then each function's parameters.
std::vector<std::string> FunctionTableNameWarnings(const TlmFunctionTable& functions);
// The ports' names, then each port named like a function.
std::vector<std::string> PortTableNameWarnings(const RtlSignalTable& signals,
                                               const TlmFunctionTable& functions);

} // namespace kestrel
