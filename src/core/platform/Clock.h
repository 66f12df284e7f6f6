#pragma once
// The clock seam: generation stamps dates into banners, logs and templates.
// Tests inject a FixedClock so output is reproducible.
#include <string>

namespace kestrel {

// A local date and time, broken down.
struct LocalDateTime {
    int year = 2000;
    int month = 1; // 1..12
    int day = 1;   // 1..31
    int hour = 0;  // 0..23
    int minute = 0;
    int second = 0;
    int weekday = 6; // 0 Sunday .. 6 Saturday
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDateTime Now() const = 0;
};

class SystemClock final : public Clock {
public:
    LocalDateTime Now() const override;
};

class FixedClock final : public Clock {
public:
    explicit FixedClock(LocalDateTime value) : value_(value) {}
    LocalDateTime Now() const override { return value_; }
    void Set(LocalDateTime value) { value_ = value; }

private:
    LocalDateTime value_;
};

// English names, as the desktop's date formats give them.
std::string WeekdayName(int weekday);     // "Friday"
std::string MonthAbbreviation(int month); // "Dec"

// The weekday of a calendar date (0 Sunday .. 6 Saturday).
int WeekdayOf(int year, int month, int day);

} // namespace kestrel
