// OK of the Code Generation Settings dialog: comment normalisation, the clock checks
// (only with a setup time), the library/template check, the range checks of the stored
// numbers, and finally storing the values, including SetupWait = period less setup
// expressed in the setup unit.
#include "project/CodeSettings.h"

#include "platform/Text.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace kestrel {

namespace {

constexpr const char* kClockTitle = "Clock";

bool EndsWithCrLf(const std::string& text) {
    return text.size() >= 2 && text[text.size() - 2] == '\r' && text.back() == '\n';
}

bool IsTimeUnit(int index) {
    return index >= 0 && index < static_cast<int>(kTimeUnits.size());
}

// NaN fails every comparison, so it counts as out of range.
bool InRange(double value, double low, double high) {
    return value >= low && value <= high;
}

bool FitsInteger(double rounded) {
    return InRange(rounded, -32768.0, 32767.0);
}

InputRefusal ClockRefusal(std::string text, RefusedField field) {
    return {std::move(text), kClockTitle, field};
}

} // namespace

CodeSettingsDraft DraftFromOptions(const ProjectOptions& o) {
    CodeSettingsDraft d;
    d.method = o.generationMethod;
    d.clockPositiveEdge = o.clockPositiveEdge;
    d.useSetup = o.useSetupTime;
    d.setupText = std::to_string(o.setupTime);
    d.setupUnitIndex = o.setupUnitIndex;
    d.periodText = std::to_string(o.clockPeriod);
    d.periodUnitIndex = o.periodUnitIndex;
    d.makeLibrary = o.makeLibrary;
    d.libraryFile = o.libraryFile;
    d.title = o.title;
    d.author = o.author;
    d.company = o.company;
    d.comment = o.comment;
    d.useCommentInHeaders = o.useCommentInHeaders;
    return d;
}

std::optional<InputRefusal> ApplyCodeSettings(CodeSettingsDraft& d, ProjectOptions& options) {
    if (!EndsWithCrLf(d.comment)) d.comment += "\r\n";

    const double setup = LeadingNumber(d.setupText);
    const double period = LeadingNumber(d.periodText);
    const int setupIdx = d.setupUnitIndex;
    const int periodIdx = d.periodUnitIndex;

    if (d.useSetup) {
        if (setupIdx > periodIdx || (setupIdx == periodIdx && period <= setup))
            return ClockRefusal("Setup Time must be smaller than Clock Period",
                                RefusedField::SetupTime);
        if (periodIdx - setupIdx >= 4)
            return ClockRefusal("Unit gap between Setup Time and Clock Period is too large",
                                RefusedField::SetupUnit);
    }

    if (d.makeLibrary && d.method == kMethodTemplate)
        return InputRefusal{"Library cannot be created if generating Just Transactor Template.\r\n"
                            "Please Uncheck Make Library check box \r\n"
                            "or Choose other Transactor Generation Method",
                            "", RefusedField::MakeLibrary};

    // Choices only a hand-made draft can lack, and numbers that do not fit their fields:
    // SetupTime and ClockPeriod are 16-bit, SetupWait is 32-bit.
    if (d.method < kMethodFsm || d.method > kMethodTemplate)
        return InputRefusal{"Choose a Transactor Generation Method", "",
                            RefusedField::GenerationMethod};
    if (!IsTimeUnit(setupIdx))
        return ClockRefusal("Choose the unit of the Setup Time", RefusedField::SetupUnit);
    if (!IsTimeUnit(periodIdx))
        return ClockRefusal("Choose the unit of the Clock Period", RefusedField::ClockPeriodUnit);
    const double setupRounded = RoundHalfEven(setup);
    const double periodRounded = RoundHalfEven(period);
    if (!FitsInteger(setupRounded))
        return ClockRefusal("Setup Time must be a number from -32768 to 32767",
                            RefusedField::SetupTime);
    if (!FitsInteger(periodRounded))
        return ClockRefusal("Clock Period must be a number from -32768 to 32767",
                            RefusedField::ClockPeriod);
    double wait = 0;
    if (d.useSetup) {
        wait = RoundHalfEven(period * std::pow(1000.0, periodIdx - setupIdx) - setup);
        if (!InRange(wait, std::numeric_limits<std::int32_t>::min(),
                     std::numeric_limits<std::int32_t>::max()))
            return ClockRefusal("Clock Period less Setup Time is too large in the unit of the "
                                "Setup Time; choose a larger Setup Time unit or a shorter "
                                "Clock Period",
                                RefusedField::ClockPeriod);
    }

    options.generationMethod = static_cast<std::int16_t>(d.method);
    options.clockPositiveEdge = d.clockPositiveEdge;
    options.useSetupTime = d.useSetup;
    options.setupTime = static_cast<std::int16_t>(setupRounded);
    options.setupUnitIndex = static_cast<std::int16_t>(setupIdx);
    options.setupUnit = kTimeUnits[static_cast<std::size_t>(setupIdx)];
    options.clockPeriod = static_cast<std::int16_t>(periodRounded);
    options.periodUnitIndex = static_cast<std::int16_t>(periodIdx);
    options.periodUnit = kTimeUnits[static_cast<std::size_t>(periodIdx)];
    if (d.useSetup) {
        options.setupWait = static_cast<std::int32_t>(wait);
        options.setupWaitUnit = options.setupUnit;
    }
    options.makeLibrary = d.makeLibrary;
    options.libraryFile = Trim(d.libraryFile);
    options.title = d.title;
    options.author = d.author;
    options.company = d.company;
    options.comment = d.comment;
    options.useCommentInHeaders = d.useCommentInHeaders;
    return std::nullopt;
}

} // namespace kestrel
