#pragma once
// Input/option.dat (ProjectOptions) and Input/gen.dat (GenerationSettings): one record
// each at offset 0, written without truncation.
#include "model/Encoding.h"
#include "platform/Status.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

enum GenerationMethodValue : std::int16_t {
    kMethodFsm = 1,
    kMethodAsml = 2,
    kMethodTemplate = 3,
};

// The SystemC time units, indices 0..5; neighbours differ by a factor of 1000.
inline constexpr std::array<std::string_view, 6> kTimeUnits = {"SC_FS", "SC_PS", "SC_NS",
                                                               "SC_US", "SC_MS", "SC_SEC"};

struct ProjectOptions {
    std::int16_t generationMethod = kMethodAsml;
    Flag clockPositiveEdge = true;
    Flag useSetupTime = true;
    std::int16_t setupTime = 1;
    std::string setupUnit = "SC_PS";
    std::int16_t setupUnitIndex = 1;
    std::int16_t clockPeriod = 1;
    std::string periodUnit = "SC_NS";
    std::int16_t periodUnitIndex = 2;
    std::int32_t setupWait = 0;
    std::string setupWaitUnit;
    Flag makeLibrary = false;
    std::string libraryFile;
    std::string libraryFolder;
    std::string title;
    std::string author;
    std::string company;
    std::string comment; // lines separated by CR LF
    Flag useCommentInHeaders = false;

    friend bool operator==(const ProjectOptions&, const ProjectOptions&) = default;
};

struct GenerationSettings {
    std::string interfaceClassName = "clsTLM_AIC";
    std::string transactorClassName = "clsTran";
    std::string transactorCppPath;
    std::string transactorHeaderPath;
    std::string interfaceHeaderPath;

    friend bool operator==(const GenerationSettings&, const GenerationSettings&) = default;
};

std::string EncodeProjectOptions(const ProjectOptions& options);
std::string EncodeGenerationSettings(const GenerationSettings& settings);

// Readers empty the text fields first, then read the fields in order; numbers are only
// replaced by what the file holds. A missing file therefore yields empty texts and the
// numbers as they were. A file that ends inside a text is an error naming the file.
Status LoadOptions(std::string_view projectFolder, ProjectOptions& options);
Status SaveOptions(std::string_view projectFolder, const ProjectOptions& options);
Status LoadGenerationSettings(std::string_view projectFolder, GenerationSettings& settings);
Status SaveGenerationSettings(std::string_view projectFolder, const GenerationSettings& settings);

} // namespace kestrel
