#pragma once
// The socket mapping of a project: which TLM function is the bus write and which the
// read, and which of their parameters carry the address, the data, the strobe and the
// response. It is kept in the project folder (tlm2.json); the table files stay as they are.
#include "model/ProjectTables.h"
#include "platform/Status.h"
#include "tlm2/Tlm2Module.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kestrel {

inline constexpr const char* kTlm2MappingFile = "tlm2.json";

// Who writes <header>_tlm2.h, for its header comment.
inline constexpr const char* kWriterTlm2Command = "kestrel-cli tlm2";
inline constexpr const char* kWriterGenerate = "Kestrel's Generate";

// The parameters of one function by role: names as declared, empty for none.
struct Tlm2Roles {
    std::string address;
    std::string data;
    std::string strobe; // the write only
    std::string response;
    friend bool operator==(const Tlm2Roles&, const Tlm2Roles&) = default;
};

struct Tlm2Mapping {
    std::string writeFunction;
    std::string readFunction;
    Tlm2Roles write;
    Tlm2Roles read;
    std::vector<std::pair<std::string, std::string>> fixed; // parameter name, value
    std::uint64_t base = 0;
    std::uint64_t size = 0; // 0: the range of the address parameter's type
    friend bool operator==(const Tlm2Mapping&, const Tlm2Mapping&) = default;
};

// <project folder>/tlm2.json
std::string Tlm2MappingPath(const std::string& projectFolder);
// A missing file is no mapping (and no error); a damaged one is an error naming the file.
Status LoadTlm2Mapping(const std::string& projectFolder, std::optional<Tlm2Mapping>& mapping);
// Written atomically.
Status SaveTlm2Mapping(const std::string& projectFolder, const Tlm2Mapping& mapping);

// What the user asked for; an empty field is proposed from the declarations.
struct Tlm2Request {
    std::optional<std::string> write, read;
    std::optional<std::string> address, data, strobe, response; // "NAME" or "WRITE,READ"
    std::vector<std::string> fixed;                             // "NAME=VALUE"
    std::optional<std::string> base, size;                      // numbers as typed
};

struct Tlm2Choice {
    std::optional<Tlm2Mapping> mapping; // empty when refused
    std::vector<std::string> problems;  // why it is refused, candidates named
    std::vector<std::string> notes;     // what was proposed, one line each
};

// The mapping asked for, the rest proposed from the declarations (names, types, passing).
// With `kept` (the project's mapping), the request changes only what it names: the kept
// mapping is the starting point, and only the roles of a function newly chosen are proposed.
// Problems are texts of the command line, each naming the flag that changes it.
Tlm2Choice ChooseTlm2Mapping(const TlmFunctionTable& functions, const Tlm2Request& request,
                             const Tlm2Mapping* kept = nullptr);

// The module of a project's mapping; problems when the mapping no longer fits the
// declarations (every problem named). `tables` are the stored tables.
std::vector<std::string> ResolveTlm2Module(const std::string& projectName,
                                           const ProjectTables& tables, const Tlm2Mapping& mapping,
                                           Tlm2Module& module);

// Where the socket module goes: beside the transactor header of `settings` (a stored name that
// is not a full path lies in the project folder), named by Tlm2HeaderName. Empty when the
// settings name no transactor header.
std::string Tlm2ModulePath(const std::string& projectFolder, const GenerationSettings& settings);

// Resolves the project's mapping and writes <transactor header>_tlm2.h beside the transactor
// header (atomically). `written` gets the file's path. Problems: refused, nothing written.
// A file that already holds the text but for its first line (which names who wrote it) is
// left as it is, so builds that include it are not made again: `changed` is false.
struct Tlm2WriteResult {
    Status status;
    std::vector<std::string> problems;
    std::string written;
    bool changed = false;
    bool ok() const { return status.ok() && problems.empty(); }
};
Tlm2WriteResult WriteTlm2Module(const std::string& projectName, const std::string& projectFolder,
                                const ProjectTables& tables, const Tlm2Mapping& mapping,
                                const std::string& writer);
// The same for a module already resolved (its writer set), at `path`.
Tlm2WriteResult WriteTlm2Module(const std::string& path, const Tlm2Module& module);

// What `kestrel-cli tlm2` and the TLM-2.0 Socket window do with a chosen mapping: resolved
// first (problems: nothing saved, nothing written), then kept in tlm2.json and its module
// written. `mappingSaved` tells whether tlm2.json was written.
struct Tlm2KeepResult : Tlm2WriteResult {
    bool mappingSaved = false;
};
Tlm2KeepResult KeepTlm2Mapping(const std::string& projectName, const std::string& projectFolder,
                               const ProjectTables& tables, const Tlm2Mapping& mapping,
                               const std::string& writer);

} // namespace kestrel
