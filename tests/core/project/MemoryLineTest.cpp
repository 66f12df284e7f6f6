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

TEST(MemoryLine, MegabytesRoundToTenthsThenHalfToEven) {
    EXPECT_EQ(MemoryLineMegabytes(0), 0);
    EXPECT_EQ(MemoryLineMegabytes(Bytes(2)), 2);
    // 2.5 and 3.5 go to the even neighbour.
    EXPECT_EQ(MemoryLineMegabytes(Bytes(2.5)), 2);
    EXPECT_EQ(MemoryLineMegabytes(Bytes(3.5)), 4);
    // 3.46 is first 3.5 (tenths, half up) and then 4; a single rounding would give 3.
    EXPECT_EQ(MemoryLineMegabytes(Bytes(3.46)), 4);
    EXPECT_EQ(MemoryLineMegabytes(Bytes(3.44)), 3);
    // 2.46 becomes 2.5, then 2.
    EXPECT_EQ(MemoryLineMegabytes(Bytes(2.46)), 2);
    // The divisor is 1044032, not 1048576: one GiB is 1028.46 of these megabytes,
    // 1028.5 after the first rounding, 1028 after the second.
    EXPECT_EQ(MemoryLineMegabytes(1073741824ull), 1028);
    EXPECT_EQ(MemoryLineMegabytes(8589934592ull), 8228);
}

TEST(MemoryLine, PercentageIsCutNotRounded) {
    EXPECT_EQ(MemoryLinePercentage(2, 3), 66);
    EXPECT_EQ(MemoryLinePercentage(1028, 8228), 12);
    EXPECT_EQ(MemoryLinePercentage(5, 5), 100);
    EXPECT_EQ(MemoryLinePercentage(0, 7), 0);
    EXPECT_EQ(MemoryLinePercentage(3, 0), 0);
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
