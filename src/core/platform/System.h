#pragma once
// Seams to the machine: the logged-on user's name and the physical memory status.
#include <cstdint>
#include <string>

namespace kestrel {

struct MemoryStatus {
    std::uint64_t availableBytes = 0;
    std::uint64_t totalBytes = 0;
};

class SystemInfo {
public:
    virtual ~SystemInfo() = default;
    // The login name of the running user (Windows-1252 text).
    virtual std::string LoggedOnUserName() const = 0;
    virtual MemoryStatus PhysicalMemory() const = 0;
};

// Reads the password database and /proc/meminfo.
class LinuxSystemInfo final : public SystemInfo {
public:
    std::string LoggedOnUserName() const override;
    MemoryStatus PhysicalMemory() const override;
};

class FakeSystemInfo final : public SystemInfo {
public:
    std::string userName = "designer";
    MemoryStatus memory{512ull << 20, 1024ull << 20};
    std::string LoggedOnUserName() const override { return userName; }
    MemoryStatus PhysicalMemory() const override { return memory; }
};

} // namespace kestrel
