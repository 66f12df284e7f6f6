#pragma once
// The four section files of the function being translated, built in memory line by line
// (CR LF) and written to Temp by the route once the function is done.
#include "codegen/TextWriter.h"

namespace kestrel {

struct SectionTexts {
    TextWriter dec;       // <name>.dec: class-level declarations
    TextWriter ini;       // <name>.ini: initialisation statements
    TextWriter behaviour; // <name>.asm: the translated behaviour
    TextWriter upd;       // <name>.upd: the body of <name>_Update
};

} // namespace kestrel
