#pragma once
// The transactor class header (Tran.h by default), full and template variants.
#include "codegen/SectionFileReader.h"
#include "model/ProjectTables.h"
#include "platform/Clock.h"

#include <string>
#include <vector>

namespace kestrel {

// The full header: class declaration, ports, constructor, the toInt/toLv conversion
// functions, one update procedure per function and every function's .dec section
// (sections[f - 1] belongs to function f; a missing entry splices nothing). The class
// names are used as they stand; the tables must hold the reversed directions and the
// rewritten initial values. With `declarationPlaces`, receives per function written the
// offset in the header's text at which its .dec lines begin, one per line of the file.
std::string WriteTransactorHeader(const PreparedTables& tables, const LocalDateTime& now,
                                  const std::vector<FunctionSections>& sections,
                                  std::vector<std::size_t>* declarationPlaces = nullptr);

// The template header: the same class without update procedures and sections, with the
// conversion functions named LVtoINT and INTtoLV.
std::string WriteTemplateHeader(const PreparedTables& tables, const LocalDateTime& now);

// The port declaration of a signal, e.g. "sc_out <sc_lv <8> > data ;" or
// "sc_in <sc_logic> clk ; //Clock Signal".
std::string PortDeclarationText(const RtlSignal& signal);

} // namespace kestrel
