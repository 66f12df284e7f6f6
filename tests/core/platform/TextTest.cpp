#include "platform/Text.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kestrel {
namespace {

TEST(Text, TrimRemovesBlanksOnly) {
    EXPECT_EQ(Trim("  ab  "), "ab");
    EXPECT_EQ(Trim("\tab\t"), "\tab\t");
    EXPECT_EQ(Trim("    "), "");
}

TEST(Text, Cp1252RoundTripsThroughUtf8) {
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    auto back = Utf8ToCp1252(Cp1252ToUtf8(all));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, all);
    EXPECT_EQ(Cp1252ToUtf8("\xA9 \x80"), "\xC2\xA9 \xE2\x82\xAC"); // copyright, euro
    EXPECT_FALSE(Utf8ToCp1252("\xE4\xB8\xAD").has_value());        // a CJK character
    EXPECT_EQ(Utf8ToCp1252Lossy("a\xE4\xB8\xAD"), "a?");
}

TEST(Text, Cp1252LowerFoldsEveryCapital) {
    EXPECT_EQ(Cp1252Lower("AZaz09_.\xC0\xDE\xD7\x8A\x8C\x8E\x9F\xDF\xFF"),
              "azaz09_.\xE0\xFE\xD7\x9A\x9C\x9E\xFF\xDF\xFF");
}

TEST(Text, LeadingNumberReadsLikeANumericBox) {
    using P = std::pair<const char*, double>;
    // 0.0045 and 1.0015: the nearest double to the decimal text, not a sum of scaled digits.
    for (auto [text, number] :
         {P{"10", 10}, P{"  2.5ns", 2.5}, P{"-3", -3}, P{"abc", 0}, P{"", 0}, P{"1e3", 1000},
          P{"2e", 2}, P{".5", 0.5}, P{"1e400", HUGE_VAL}, P{"0.0045", 0.0045}, P{"1.0015", 1.0015}})
        EXPECT_EQ(LeadingNumber(text), number) << text;
    EXPECT_EQ(std::tuple(RoundHalfEven(2.5), RoundHalfEven(3.5), RoundHalfEven(-2.5)),
              std::tuple(2, 4, -2));
}

TEST(Paths, SeparatorsOfBothKinds) {
    EXPECT_EQ(JoinPath("/p/Proj", {"Input", "gen.dat"}), "/p/Proj/Input/gen.dat");
    EXPECT_EQ(AfterLastSeparator("C:\\a\\b.doc"), "b.doc");
    EXPECT_EQ(AfterLastSeparator("/a/b\\c.doc"), "c.doc");
    EXPECT_EQ(AfterLastSeparator("plain"), "plain");
    EXPECT_EQ(BeforeLastSeparator("/a/b/c.tp"), "/a/b");
    EXPECT_EQ(BeforeLastSeparator("c.tp"), "");
}

TEST(Files, AtomicOverlayKeepsTheOldTail) {
    test::TempDir dir;
    std::string file = dir / "rec.dat";
    ASSERT_TRUE(WriteFileAtomic(file, "0123456789").ok());
    ASSERT_TRUE(OverlayFileAtomic(file, "abc").ok());
    EXPECT_EQ(test::ReadBytes(file), "abc3456789");
    ASSERT_TRUE(OverlayFileAtomic(file, "ABCDEFGHIJKL").ok());
    EXPECT_EQ(test::ReadBytes(file), "ABCDEFGHIJKL");
    // A folder that does not exist: an error naming the file, and no temporary left over.
    Status s = WriteFileAtomic(dir / "missing/x.dat", "x");
    EXPECT_FALSE(s.ok());
    EXPECT_NE(s.message().find("missing/x.dat"), std::string::npos);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(Clock, EnglishNamesAndWeekdays) {
    EXPECT_EQ(WeekdayOf(2026, 12, 4), 5);
    EXPECT_EQ(WeekdayName(5), "Friday");
    EXPECT_EQ(MonthAbbreviation(12), "Dec");
    EXPECT_EQ(WeekdayOf(2000, 2, 29), 2);
}

} // namespace
} // namespace kestrel
