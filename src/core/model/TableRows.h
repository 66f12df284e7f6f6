#pragma once
// The used rows of a record table: slots 1..count of a slot array whose slot 0 is unused.
// A stored count may lie outside 0..capacity (a hand-made or damaged file, a table being
// filled); every reader takes it through ClampedCount.
#include <algorithm>
#include <array>
#include <cstddef>
#include <span>

namespace kestrel {

constexpr int ClampedCount(int count, int capacity) {
    return std::clamp(count, 0, capacity);
}

template <typename Record, std::size_t N>
std::span<Record> UsedSlots(std::array<Record, N>& slots, int count) {
    return std::span<Record>(slots).subspan(
        1, static_cast<std::size_t>(ClampedCount(count, static_cast<int>(N) - 1)));
}

template <typename Record, std::size_t N>
std::span<const Record> UsedSlots(const std::array<Record, N>& slots, int count) {
    return std::span<const Record>(slots).subspan(
        1, static_cast<std::size_t>(ClampedCount(count, static_cast<int>(N) - 1)));
}

} // namespace kestrel
