// The memory line's arithmetic: the 1044032-byte megabyte, the two roundings and the cut
// percentage, and the text with its two blanks before the parenthesis.
#include "project/MemoryLine.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

constexpr double kMb = 1044032.0;

std::uint64_t Bytes(double megabytes) {
    return static_cast<std::uint64_t>(megabytes * kMb + 0.5);
}

// 2.5 and 3.5 go to the even neighbour; 3.46 is first 3.5 (tenths, half up) and then 4
// (a single rounding would give 3); 2.46 becomes 2.5, then 2. The divisor is 1044032, not
// 1048576: one GiB is 1028.46 of these megabytes, 1028.5 after the first rounding, 1028
// after the second.
TEST(MemoryLine, MegabytesRoundToTenthsThenHalfToEven) {
    using P = std::pair<std::uint64_t, int>;
    for (auto [bytes, megabytes] :
         {P{0, 0}, P{Bytes(2), 2}, P{Bytes(2.5), 2}, P{Bytes(3.5), 4}, P{Bytes(3.46), 4},
          P{Bytes(3.44), 3}, P{Bytes(2.46), 2}, P{1073741824ull, 1028}, P{8589934592ull, 8228}})
        EXPECT_EQ(MemoryLineMegabytes(bytes), megabytes) << bytes;
}

TEST(MemoryLine, PercentageIsCutNotRounded) {
    EXPECT_EQ((std::vector{MemoryLinePercentage(2, 3), MemoryLinePercentage(1028, 8228),
                           MemoryLinePercentage(5, 5), MemoryLinePercentage(0, 7),
                           MemoryLinePercentage(3, 0)}),
              (std::vector<std::int64_t>{66, 12, 100, 0, 0}));
}

TEST(MemoryLine, Text) {
    EXPECT_EQ(MemoryLineText({1073741824ull, 8589934592ull}),
              "Physical Memory Available: 1028 MB of 8228 MB  (12%)");
    EXPECT_EQ(MemoryLineText({Bytes(2), Bytes(3)}),
              "Physical Memory Available: 2 MB of 3 MB  (66%)");
    EXPECT_EQ(MemoryLineText({0, 0}), "Physical Memory Available: 0 MB of 0 MB  (0%)");
}

} // namespace
} // namespace kestrel
