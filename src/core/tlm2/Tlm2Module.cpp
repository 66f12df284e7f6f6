#include "tlm2/Tlm2Module.h"

namespace kestrel {

std::string Tlm2HeaderName(const std::string& transactorHeader) {
    const std::size_t dot = transactorHeader.rfind('.');
    const std::size_t slash = transactorHeader.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return transactorHeader + "_tlm2";
    return transactorHeader.substr(0, dot) + "_tlm2" + transactorHeader.substr(dot);
}

std::string Tlm2ModuleText(const Tlm2Module& module) {
    return "// " + module.fileName + ": not written yet\n"; // TODO(tlm2): the module text
}

} // namespace kestrel
