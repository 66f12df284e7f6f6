#pragma once
// TEMPORARY stand-in for the from-rtl header of branch i27-from, so that the windows build
// before it is merged; dropped at the merge. The probe reads the ports and finds the bus;
// making a project is refused.
#include "bus/BusPorts.h"
#include "platform/Status.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kestrel {

struct FromRtlRequest {
    std::string name, location;
    std::vector<std::string> rtlFiles;
    std::string top;
    BusProtocol protocol = BusProtocol::Axi4Lite;
    std::optional<std::string> prefix;
    bool asml = false;
    int period = 10;
    std::string unit = "SC_NS";
};

struct FromRtlResult {
    Status status;
    std::vector<std::string> problems;
    BusPortSet ports;
    std::string projectFile;
    std::string simCommand;
    std::vector<std::string> lines;
    bool ok() const { return status.ok() && problems.empty(); }
};

inline Status ProbeBusPorts(const std::vector<std::string>& rtlFiles, const std::string& top,
                            BusProtocol protocol, const std::optional<std::string>& prefix,
                            BusPortSet& found) {
    RtlModule module;
    if (Status s = ReadRtlModule(rtlFiles, top, module); !s) return s;
    found = FindBusPorts(module.ports, protocol, prefix);
    return Status::Ok();
}

using FromRtlProgress = std::function<void(const std::string&)>;

inline FromRtlResult MakeProjectFromRtl(const FromRtlRequest&, const FromRtlProgress&) {
    FromRtlResult result;
    result.problems.push_back("from-rtl is not merged yet");
    return result;
}

} // namespace kestrel
