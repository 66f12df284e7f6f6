#include "tlm2/Tlm2Mapping.h"

namespace kestrel {

std::string Tlm2MappingPath(const std::string& projectFolder) {
    return projectFolder + "/" + kTlm2MappingFile;
}

Status LoadTlm2Mapping(const std::string&, std::optional<Tlm2Mapping>& mapping) {
    mapping.reset(); // TODO(tlm2)
    return {};
}

Status SaveTlm2Mapping(const std::string&, const Tlm2Mapping&) {
    return {}; // TODO(tlm2)
}

Tlm2Choice ChooseTlm2Mapping(const TlmFunctionTable&, const Tlm2Request&) {
    return {std::nullopt, {"not built yet"}, {}}; // TODO(tlm2)
}

std::vector<std::string> ResolveTlm2Module(const std::string&, const ProjectTables&,
                                           const Tlm2Mapping&, Tlm2Module&) {
    return {"not built yet"}; // TODO(tlm2)
}

Tlm2WriteResult WriteTlm2Module(const std::string&, const std::string&, const ProjectTables&,
                                const Tlm2Mapping&, const std::string&) {
    return {{}, {"not built yet"}, {}}; // TODO(tlm2)
}

} // namespace kestrel
