#pragma once
// The abstract interface class header (TLM_AIC.h by default).
#include "model/ProjectTables.h"
#include "platform/Clock.h"

#include <string>

namespace kestrel {

// The interface header's text: the banner, the include guard of InterfaceHeaderPath and
// the class InterfaceClassName (as it stands) with one pure virtual member per function.
std::string WriteInterfaceHeader(const PreparedTables& tables, const LocalDateTime& now);

} // namespace kestrel
