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

namespace {

// The stored numbers of the clock: setup time and period rounded, and the wait (period
// less setup time, in the setup unit).
struct ClockNumbers {
    double setup = 0;
    double period = 0;
    double wait = 0;
};

// The dialog's checks of the choices, in its order: the setup time against the period (only
// with a setup time), the library against the template method, then the choices only a
// hand-made draft can lack.
std::optional<InputRefusal> CheckChoices(const CodeSettingsDraft& d, double setup, double period) {
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

    if (d.method < kMethodFsm || d.method > kMethodTemplate)
        return InputRefusal{"Choose a Transactor Generation Method", "",
                            RefusedField::GenerationMethod};
    if (!IsTimeUnit(setupIdx))
        return ClockRefusal("Choose the unit of the Setup Time", RefusedField::SetupUnit);
    if (!IsTimeUnit(periodIdx))
        return ClockRefusal("Choose the unit of the Clock Period", RefusedField::ClockPeriodUnit);
    return std::nullopt;
}

// The numbers as they are stored, or the refusal of one that does not fit its field:
// SetupTime and ClockPeriod are 16-bit, SetupWait is 32-bit.
std::optional<InputRefusal> RoundClock(const CodeSettingsDraft& d, double setup, double period,
                                       ClockNumbers& n) {
    n.setup = RoundHalfEven(setup);
    n.period = RoundHalfEven(period);
    if (!FitsInteger(n.setup))
        return ClockRefusal("Setup Time must be a number from -32768 to 32767",
                            RefusedField::SetupTime);
    if (!FitsInteger(n.period))
        return ClockRefusal("Clock Period must be a number from -32768 to 32767",
                            RefusedField::ClockPeriod);
    if (d.useSetup) {
        n.wait =
            RoundHalfEven(period * std::pow(1000.0, d.periodUnitIndex - d.setupUnitIndex) - setup);
        if (!InRange(n.wait, std::numeric_limits<std::int32_t>::min(),
                     std::numeric_limits<std::int32_t>::max()))
            return ClockRefusal("Clock Period less Setup Time is too large in the unit of the "
                                "Setup Time; choose a larger Setup Time unit or a shorter "
                                "Clock Period",
                                RefusedField::ClockPeriod);
    }
    return std::nullopt;
}

void StoreCodeSettings(const CodeSettingsDraft& d, const ClockNumbers& n, ProjectOptions& options) {
    const int setupIdx = d.setupUnitIndex;
    const int periodIdx = d.periodUnitIndex;
    options.generationMethod = static_cast<std::int16_t>(d.method);
    options.clockPositiveEdge = d.clockPositiveEdge;
    options.useSetupTime = d.useSetup;
    options.setupTime = static_cast<std::int16_t>(n.setup);
    options.setupUnitIndex = static_cast<std::int16_t>(setupIdx);
    options.setupUnit = kTimeUnits[static_cast<std::size_t>(setupIdx)];
    options.clockPeriod = static_cast<std::int16_t>(n.period);
    options.periodUnitIndex = static_cast<std::int16_t>(periodIdx);
    options.periodUnit = kTimeUnits[static_cast<std::size_t>(periodIdx)];
    if (d.useSetup) {
        options.setupWait = static_cast<std::int32_t>(n.wait);
        options.setupWaitUnit = options.setupUnit;
    }
    options.makeLibrary = d.makeLibrary;
    options.libraryFile = Trim(d.libraryFile);
    options.title = d.title;
    options.author = d.author;
    options.company = d.company;
    options.comment = d.comment;
    options.useCommentInHeaders = d.useCommentInHeaders;
}

} // namespace

std::optional<InputRefusal> ApplyCodeSettings(CodeSettingsDraft& d, ProjectOptions& options) {
    if (!EndsWithCrLf(d.comment)) d.comment += "\r\n";
    const double setup = LeadingNumber(d.setupText);
    const double period = LeadingNumber(d.periodText);
    if (std::optional<InputRefusal> refused = CheckChoices(d, setup, period)) return refused;
    ClockNumbers numbers;
    if (std::optional<InputRefusal> refused = RoundClock(d, setup, period, numbers)) return refused;
    StoreCodeSettings(d, numbers, options);
    return std::nullopt;
}

} // namespace kestrel
