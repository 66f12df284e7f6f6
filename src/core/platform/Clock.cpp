// The system clock in local time, and the English calendar names.
#include "platform/Clock.h"

#include <array>
#include <ctime>

namespace kestrel {

LocalDateTime SystemClock::Now() const {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return LocalDateTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
                         tm.tm_min,         tm.tm_sec,     tm.tm_wday};
}

std::string WeekdayName(int weekday) {
    static constexpr std::array<const char*, 7> kNames = {
        "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    return (weekday >= 0 && weekday < 7) ? kNames[static_cast<std::size_t>(weekday)] : "";
}

std::string MonthAbbreviation(int month) {
    static constexpr std::array<const char*, 12> kNames = {
        "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return (month >= 1 && month <= 12) ? kNames[static_cast<std::size_t>(month - 1)] : "";
}

int WeekdayOf(int year, int month, int day) {
    // Sakamoto's method.
    static constexpr std::array<int, 12> kOffsets = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3) year -= 1;
    return (year + year / 4 - year / 100 + year / 400 +
            kOffsets[static_cast<std::size_t>(month - 1)] + day) %
           7;
}

} // namespace kestrel
