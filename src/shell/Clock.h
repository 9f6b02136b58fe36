// The clock as core sees it: local date and time, injectable so that stamps, logs and purges can be
// tested with a fixed time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvarn {

struct DateTime {
    int year = 1970, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0, millisecond = 0;

    // Days since 1970-01-01 of the date (the time is ignored).
    std::int64_t DayNumber() const;
    // Milliseconds since 1970-01-01 00:00:00.000 of this local time.
    std::int64_t TotalMilliseconds() const;
    int DayOfWeek() const;  // 0 Sunday .. 6 Saturday
    bool IsValid() const;

    static DateTime FromDate(int year, int month, int day);
    static DateTime FromMilliseconds(std::int64_t ms);
};

// Whether the local time is one the clock shows twice: the hour repeated when summer time ends.
bool IsRepeatedLocalTime(const DateTime& t);

class IClock {
public:
    virtual ~IClock() = default;
    virtual DateTime Now() = 0;  // local time
    // Whether a local time of this clock is one it shows twice (a stamp then does not tell the order).
    virtual bool IsRepeated(const DateTime& t) { return IsRepeatedLocalTime(t); }
};

// The real local clock.
class SystemClock final : public IClock {
public:
    DateTime Now() override;
};

// The local time of a moment given in seconds since 1970-01-01 00:00:00 UTC (a file's time).
DateTime LocalTimeFromUnix(std::int64_t seconds);

// "yyyymmddhhnnss" and "yyyymmdd", the stamps of backups, logs and settings copies.
std::string FormatTimeStamp(const DateTime& t);
std::string FormatDateStamp(const DateTime& t);
// A time formatted with the Delphi-style patterns the program's files use ("yyyy", "mm", "dd", "hh",
// "nn", "ss", "zzz"); names of days and months are English whatever the locale.
std::string FormatDateTime(std::string_view format, const DateTime& t);
// "dddd d mmmm yyyy, hh:nn:ss", with English names.
std::string FormatLongDateTime(const DateTime& t);
// "h:nn:ss:zz" with the milliseconds without leading zeros.
std::string FormatElapsed(std::int64_t milliseconds);

// Whole days from `from` to `to` (negative when `to` is earlier).
std::int64_t WholeDaysBetween(const DateTime& from, const DateTime& to);

}  // namespace kelvarn
