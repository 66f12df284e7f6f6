// The Linux answers to the machine seams: the user from the password database
// (getlogin() needs a terminal), memory from /proc/meminfo.
#include "platform/System.h"

#include "platform/Text.h"

#include <fstream>
#include <pwd.h>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace kestrel {

std::string LinuxSystemInfo::LoggedOnUserName() const {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd pw{};
    passwd* result = nullptr;
    if (::getpwuid_r(::geteuid(), &pw, buffer.data(), buffer.size(), &result) == 0 && result &&
        result->pw_name)
        return Utf8ToCp1252Lossy(result->pw_name);
    return "";
}

MemoryStatus LinuxSystemInfo::PhysicalMemory() const {
    MemoryStatus status;
    std::ifstream in("/proc/meminfo");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string key;
        std::uint64_t kib = 0;
        fields >> key >> kib;
        if (key == "MemTotal:") status.totalBytes = kib * 1024;
        if (key == "MemAvailable:") status.availableBytes = kib * 1024;
    }
    return status;
}

} // namespace kestrel
