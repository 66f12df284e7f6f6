// The status bar's memory line. Byte counts become megabytes of 1044032 bytes in two
// roundings (first to a tenth, half up; then to a whole number, half to even), and the
// percentage is cut, not rounded.
#include "project/MemoryLine.h"

#include "platform/Text.h"

#include <cmath>

namespace kestrel {

std::int64_t MemoryLineMegabytes(std::uint64_t bytes) {
    const double tenths = std::floor(static_cast<double>(bytes) / kMemoryLineMegabyte * 10 + 0.5);
    return static_cast<std::int64_t>(RoundHalfEven(tenths / 10));
}

std::int64_t MemoryLinePercentage(std::int64_t availableMb, std::int64_t totalMb) {
    if (totalMb == 0) return 0;
    return static_cast<std::int64_t>(
        std::floor(static_cast<double>(availableMb) / static_cast<double>(totalMb) * 100));
}

std::string MemoryLineText(const MemoryStatus& memory) {
    const std::int64_t available = MemoryLineMegabytes(memory.availableBytes);
    const std::int64_t total = MemoryLineMegabytes(memory.totalBytes);
    return "Physical Memory Available: " + std::to_string(available) + " MB of " +
           std::to_string(total) + " MB  (" +
           std::to_string(MemoryLinePercentage(available, total)) + "%)";
}

} // namespace kestrel
