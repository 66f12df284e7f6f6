#pragma once
// Input/asml.dat (AsmlAssignment) and Input/asf.dat (AsfAssignment): one record each
// at offset 0, written without truncation.
#include "model/Encoding.h"
#include "platform/Status.h"

#include <string>
#include <string_view>

namespace kestrel {

inline constexpr std::string_view kNotAssigned = "<not assigned>";

struct AsmlAssignment {
    std::string asmlDocumentPath;
    std::string asmlDocumentLabel;
    Flag asmlAssigned = false;

    friend bool operator==(const AsmlAssignment&, const AsmlAssignment&) = default;
};

struct AsfAssignment {
    std::string asfTemplatePath;

    friend bool operator==(const AsfAssignment&, const AsfAssignment&) = default;
};

std::string EncodeAsmlAssignment(const AsmlAssignment& assignment);
std::string EncodeAsfAssignment(const AsfAssignment& assignment);

// Readers empty the texts first; a missing file yields empty texts and keeps
// asmlAssigned as it was.
Status LoadAsmlAssignment(std::string_view projectFolder, AsmlAssignment& assignment);
Status SaveAsmlAssignment(std::string_view projectFolder, const AsmlAssignment& assignment);
Status LoadAsfAssignment(std::string_view projectFolder, AsfAssignment& assignment);
Status SaveAsfAssignment(std::string_view projectFolder, const AsfAssignment& assignment);

} // namespace kestrel
