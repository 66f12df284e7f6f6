#pragma once
// Texts the declaration lists show for a function and a signal.
#include "model/RtlSignal.h"
#include "model/TlmFunction.h"

#include <string>

namespace kestrel {

// The "Function Parameters" column: "( const char & b [], int  a )"; "(  )" without parameters.
std::string FunctionSignatureText(const TlmFunction& function);

} // namespace kestrel
