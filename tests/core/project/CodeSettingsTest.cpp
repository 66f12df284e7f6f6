// OK of the Code Generation Settings dialog: comment normalisation, the clock and
// library refusals in their order, and what is stored on success.
#include "project/CodeSettings.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrel {
namespace {

const char* const kSmaller = "Setup Time must be smaller than Clock Period";
const char* const kGap = "Unit gap between Setup Time and Clock Period is too large";
const char* const kLibrary = "Library cannot be created if generating Just Transactor Template.\r\n"
                             "Please Uncheck Make Library check box \r\n"
                             "or Choose other Transactor Generation Method";

enum Unit { FS, PS, NS, US, MS, SEC };

CodeSettingsDraft Clock(const char* setup, int setupUnit, const char* period, int periodUnit) {
    CodeSettingsDraft d;
    d.method = kMethodAsml;
    d.useSetup = true;
    d.setupText = setup;
    d.setupUnitIndex = setupUnit;
    d.periodText = period;
    d.periodUnitIndex = periodUnit;
    return d;
}

// Applies the draft to fresh options; on refusal, also checks the options are untouched.
std::optional<InputRefusal> Apply(CodeSettingsDraft d, ProjectOptions& options) {
    const ProjectOptions before = options;
    std::optional<InputRefusal> refusal = ApplyCodeSettings(d, options);
    if (refusal) {
        EXPECT_EQ(options, before);
    }
    return refusal;
}

void ExpectRefusal(const std::optional<InputRefusal>& r, const std::string& text,
                   const std::string& title, RefusedField field) {
    ASSERT_TRUE(r.has_value()) << "expected: " << text;
    EXPECT_EQ(r->text, text);
    EXPECT_EQ(r->title, title);
    EXPECT_EQ(r->field, field);
}

TEST(CodeSettings, SetupWaitIsPeriodLessSetupInTheSetupUnit) {
    struct Case {
        const char* setup;
        int setupUnit;
        const char* period;
        int periodUnit;
        std::int32_t wait;
    };
    for (const Case& c : {Case{"2", PS, "10", NS, 9998}, Case{"4", NS, "5", NS, 1},
                          Case{"1", FS, "1", US, 999999999}, Case{"3000", PS, "1", NS, -2000},
                          Case{"0.5", US, "1", US, 0}, Case{"1.5", US, "3", US, 2},
                          Case{"  7 ns", SEC, "8x", SEC, 1},
                          // 0.0045 us is 4.5 ns exactly as the box text says: rounds to 4.
                          Case{"0", NS, "0.0045", US, 4}}) {
        SCOPED_TRACE(std::string(c.setup) + " vs " + c.period);
        ProjectOptions o;
        ASSERT_FALSE(Apply(Clock(c.setup, c.setupUnit, c.period, c.periodUnit), o));
        EXPECT_EQ(o.setupWait, c.wait);
        EXPECT_EQ(o.setupWaitUnit, kTimeUnits[static_cast<std::size_t>(c.setupUnit)]);
        EXPECT_EQ(o.setupUnit, kTimeUnits[static_cast<std::size_t>(c.setupUnit)]);
        EXPECT_EQ(o.periodUnit, kTimeUnits[static_cast<std::size_t>(c.periodUnit)]);
        EXPECT_EQ(o.setupUnitIndex, c.setupUnit);
        EXPECT_EQ(o.periodUnitIndex, c.periodUnit);
    }

    // SetupTime and ClockPeriod are rounded half to even; text without a number reads as 0.
    ProjectOptions o;
    ASSERT_FALSE(Apply(Clock("2.5", PS, "3.5", NS), o));
    EXPECT_EQ(o.setupTime, 2);
    EXPECT_EQ(o.clockPeriod, 4);
    EXPECT_EQ(o.setupWait, 3498); // 3.5 x 1000 - 2.5 = 3497.5
    ASSERT_FALSE(Apply(Clock("abc", PS, "1", NS), o));
    EXPECT_EQ(o.setupTime, 0);
    EXPECT_EQ(o.setupWait, 1000);
}

TEST(CodeSettings, ClockRefusals) {
    ProjectOptions o;
    ExpectRefusal(Apply(Clock("5", NS, "5", NS), o), kSmaller, "Clock", RefusedField::SetupTime);
    ExpectRefusal(Apply(Clock("6", NS, "5", NS), o), kSmaller, "Clock", RefusedField::SetupTime);
    // A larger setup unit is refused whatever the numbers.
    ExpectRefusal(Apply(Clock("1", NS, "999", PS), o), kSmaller, "Clock", RefusedField::SetupTime);
    // SC_FS to SC_MS is an index gap of 4 in the unit list, so it is refused as well.
    ExpectRefusal(Apply(Clock("1", FS, "1", MS), o), kGap, "Clock", RefusedField::SetupUnit);
    ExpectRefusal(Apply(Clock("1", FS, "1", SEC), o), kGap, "Clock", RefusedField::SetupUnit);
    ExpectRefusal(Apply(Clock("1", PS, "1", SEC), o), kGap, "Clock", RefusedField::SetupUnit);

    // Numbers that cannot be stored.
    ExpectRefusal(Apply(Clock("1", NS, "32768", NS), o),
                  "Clock Period must be a number from -32768 to 32767", "Clock",
                  RefusedField::ClockPeriod);
    ExpectRefusal(Apply(Clock("-32769", NS, "1", NS), o),
                  "Setup Time must be a number from -32768 to 32767", "Clock",
                  RefusedField::SetupTime);
    ExpectRefusal(Apply(Clock("1", FS, "5", US), o),
                  "Clock Period less Setup Time is too large in the unit of the Setup Time; "
                  "choose a larger Setup Time unit or a shorter Clock Period",
                  "Clock", RefusedField::ClockPeriod);
    ExpectRefusal(Apply(Clock("0", PS, "1e999", NS), o),
                  "Clock Period must be a number from -32768 to 32767", "Clock",
                  RefusedField::ClockPeriod);
    ExpectRefusal(Apply(Clock("-1e999", PS, "1", NS), o),
                  "Setup Time must be a number from -32768 to 32767", "Clock",
                  RefusedField::SetupTime);
    // Choices the dialog always has, but a hand-made draft may lack.
    CodeSettingsDraft d = Clock("1", PS, "1", NS);
    d.method = 0;
    ExpectRefusal(Apply(d, o), "Choose a Transactor Generation Method", "",
                  RefusedField::GenerationMethod);
    d = Clock("1", PS, "1", NS);
    d.useSetup = false;
    d.setupUnitIndex = 6;
    ExpectRefusal(Apply(d, o), "Choose the unit of the Setup Time", "Clock",
                  RefusedField::SetupUnit);
    d.setupUnitIndex = PS;
    d.periodUnitIndex = -1;
    ExpectRefusal(Apply(d, o), "Choose the unit of the Clock Period", "Clock",
                  RefusedField::ClockPeriodUnit);

    // The edges of the ranges are accepted; SetupWait may reach 2^31 - 1.
    EXPECT_FALSE(Apply(Clock("-32768", NS, "32767", NS), o));
    EXPECT_FALSE(Apply(Clock("0.4", FS, "2.1474836474", US), o));
    EXPECT_EQ(o.setupWait, 2147483647);
}

TEST(CodeSettings, WithoutSetupTimeNoClockCheckAndSetupWaitKept) {
    ProjectOptions o;
    o.setupWait = 42;
    o.setupWaitUnit = "SC_US";
    CodeSettingsDraft d = Clock("5", NS, "5", NS);
    d.useSetup = false;
    ASSERT_FALSE(Apply(d, o));
    EXPECT_FALSE(o.useSetupTime);
    EXPECT_EQ(o.setupTime, 5);
    EXPECT_EQ(o.clockPeriod, 5);
    EXPECT_EQ(o.setupWait, 42);
    EXPECT_EQ(o.setupWaitUnit, "SC_US");

    d = Clock("1", FS, "5", US); // would not fit SetupWait, but it is not computed
    d.useSetup = false;
    EXPECT_FALSE(Apply(d, o));
    EXPECT_EQ(o.setupWait, 42);

    // The stored numbers are still range-checked.
    d = Clock("1", NS, "40000", NS);
    d.useSetup = false;
    ExpectRefusal(Apply(d, o), "Clock Period must be a number from -32768 to 32767", "Clock",
                  RefusedField::ClockPeriod);
}

TEST(CodeSettings, LibraryWithTemplateMethodAndRefusalOrder) {
    ProjectOptions o;
    CodeSettingsDraft d = Clock("1", PS, "1", NS);
    d.method = kMethodTemplate;
    d.makeLibrary = true;
    ExpectRefusal(Apply(d, o), kLibrary, "", RefusedField::MakeLibrary);

    // The clock checks come first; the library check runs whatever the clock values when
    // the setup time is off, and before the range checks.
    d.setupText = "5";
    d.setupUnitIndex = NS;
    d.periodText = "5";
    ExpectRefusal(Apply(d, o), kSmaller, "Clock", RefusedField::SetupTime);
    d.setupUnitIndex = FS;
    d.periodUnitIndex = SEC;
    ExpectRefusal(Apply(d, o), kGap, "Clock", RefusedField::SetupUnit);
    d.useSetup = false;
    d.periodText = "99999";
    ExpectRefusal(Apply(d, o), kLibrary, "", RefusedField::MakeLibrary);

    d = Clock("1", PS, "1", NS);
    d.method = kMethodTemplate;
    EXPECT_FALSE(Apply(d, o)); // template without library
    d.method = kMethodFsm;
    d.makeLibrary = true;
    EXPECT_FALSE(Apply(d, o)); // library with another method
    EXPECT_EQ(o.generationMethod, kMethodFsm);
    EXPECT_TRUE(o.makeLibrary);
}

TEST(CodeSettings, CommentIsNormalisedEvenWhenRefused) {
    struct Case {
        std::string typed, stored;
    };
    for (const Case& c :
         {Case{"abc", "abc\r\n"}, Case{"", "\r\n"}, Case{"x\r\n", "x\r\n"}, Case{"\r\n", "\r\n"},
          Case{"\n", "\n\r\n"}, Case{"a\r", "a\r\r\n"}, Case{"a\n\r", "a\n\r\r\n"}}) {
        ProjectOptions o;
        CodeSettingsDraft d = Clock("1", PS, "1", NS);
        d.comment = c.typed;
        ASSERT_FALSE(ApplyCodeSettings(d, o));
        EXPECT_EQ(d.comment, c.stored);
        EXPECT_EQ(o.comment, c.stored);
    }
    ProjectOptions o;
    CodeSettingsDraft refused = Clock("5", NS, "5", NS);
    refused.comment = "abc";
    ASSERT_TRUE(ApplyCodeSettings(refused, o));
    EXPECT_EQ(refused.comment, "abc\r\n");
    EXPECT_EQ(o.comment, "");
}

// The dialog shows the stored options, and its OK stores them back as they were (the
// library folder is not the dialog's field); the library path is trimmed, the texts not.
TEST(CodeSettings, DraftFromOptionsAndWhatIsStored) {
    ProjectOptions o;
    o.generationMethod = kMethodFsm;
    o.clockPositiveEdge = false;
    o.setupTime = 3;
    o.clockPeriod = 20;
    o.setupWait = 19997;
    o.setupWaitUnit = "SC_PS";
    o.makeLibrary = true;
    o.libraryFile = "/p/Output/P.tlib";
    o.title = "P Transactor";
    o.author = "me";
    o.company = "ACME";
    o.comment = "c\r\n";
    o.useCommentInHeaders = true;
    CodeSettingsDraft d = DraftFromOptions(o);
    ProjectOptions stored;
    stored.libraryFolder = "kept";
    ASSERT_FALSE(ApplyCodeSettings(d, stored));
    EXPECT_EQ(stored.libraryFolder, "kept");
    stored.libraryFolder = o.libraryFolder;
    EXPECT_EQ(stored, o);

    d.libraryFile = "  /q/L.tlib  ";
    d.title = "  T ";
    ASSERT_FALSE(ApplyCodeSettings(d, stored));
    EXPECT_EQ(stored.libraryFile, "/q/L.tlib");
    EXPECT_EQ(stored.title, "  T ");
}

} // namespace
} // namespace kestrel
