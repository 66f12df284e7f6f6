#pragma once
// The memory line of the main window's status bar: the physical memory available and in
// total, in the window's own megabytes (1044032 bytes), and the share that is available.
#include "platform/System.h"

#include <cstdint>
#include <string>

namespace kestrel {

// The divisor the memory line uses for a megabyte.
inline constexpr double kMemoryLineMegabyte = 1044032.0;

// Megabytes of a byte count: first to one decimal (Int(bytes / 1044032 * 10 + 0.5) / 10),
// then to a whole number with halves going to the even one.
std::int64_t MemoryLineMegabytes(std::uint64_t bytes);

// Int(available MB / total MB * 100); 0 when the total is 0.
std::int64_t MemoryLinePercentage(std::int64_t availableMb, std::int64_t totalMb);

// "Physical Memory Available: <a> MB of <t> MB  (<p>%)"
std::string MemoryLineText(const MemoryStatus& memory);

} // namespace kestrel
