#include "shell/Clock.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace kelvarn {

namespace {

constexpr std::array<const char*, 7> kDayNames = {"Sunday", "Monday", "Tuesday", "Wednesday",
                                                  "Thursday", "Friday", "Saturday"};
constexpr std::array<const char*, 12> kMonthNames = {"January", "February", "March",     "April",
                                                     "May",     "June",     "July",      "August",
                                                     "September", "October", "November", "December"};

// Howard Hinnant's days-from-civil.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
}

std::string Pad(long long v, int width) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*lld", width, v);
    return buf;
}

}  // namespace

std::int64_t DateTime::DayNumber() const { return DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)); }

std::int64_t DateTime::TotalMilliseconds() const {
    return DayNumber() * 86400000LL + hour * 3600000LL + minute * 60000LL + second * 1000LL + millisecond;
}

int DateTime::DayOfWeek() const {
    const std::int64_t n = DayNumber();
    return static_cast<int>(((n % 7) + 7 + 4) % 7);
}

bool DateTime::IsValid() const {
    if (month < 1 || month > 12 || day < 1 || year < 1 || year > 9999) return false;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int max = kDays[month - 1] + (month == 2 && leap ? 1 : 0);
    return day <= max && hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 60 &&
           millisecond >= 0 && millisecond < 1000;
}

DateTime DateTime::FromDate(int year, int month, int day) {
    DateTime t;
    t.year = year, t.month = month, t.day = day;
    return t;
}

DateTime DateTime::FromMilliseconds(std::int64_t ms) {
    std::int64_t days = ms >= 0 ? ms / 86400000LL : -((-ms + 86399999LL) / 86400000LL);
    std::int64_t rest = ms - days * 86400000LL;
    DateTime t;
    CivilFromDays(days, t.year, t.month, t.day);
    t.hour = static_cast<int>(rest / 3600000LL);
    rest %= 3600000LL;
    t.minute = static_cast<int>(rest / 60000LL);
    rest %= 60000LL;
    t.second = static_cast<int>(rest / 1000LL);
    t.millisecond = static_cast<int>(rest % 1000LL);
    return t;
}

DateTime LocalTimeFromUnix(std::int64_t seconds) {
    const std::time_t tt = static_cast<std::time_t>(seconds);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &tt);
#else
    localtime_r(&tt, &local);
#endif
    DateTime t;
    t.year = local.tm_year + 1900;
    t.month = local.tm_mon + 1;
    t.day = local.tm_mday;
    t.hour = local.tm_hour;
    t.minute = local.tm_min;
    t.second = std::min(local.tm_sec, 59);
    return t;
}

bool IsRepeatedLocalTime(const DateTime& t) {
    // The time read as summer time and as standard time: both stand, and name two moments.
    auto read = [&t](int summer, std::time_t& moment) {
        std::tm local{};
        local.tm_year = t.year - 1900;
        local.tm_mon = t.month - 1;
        local.tm_mday = t.day;
        local.tm_hour = t.hour;
        local.tm_min = t.minute;
        local.tm_sec = t.second;
        local.tm_isdst = summer;
        moment = std::mktime(&local);
        return moment != static_cast<std::time_t>(-1) && local.tm_isdst == summer && local.tm_mday == t.day &&
               local.tm_hour == t.hour && local.tm_min == t.minute;
    };
    std::time_t asSummer = 0, asStandard = 0;
    return read(1, asSummer) && read(0, asStandard) && asSummer != asStandard;
}

DateTime SystemClock::Now() {
    const auto now = std::chrono::system_clock::now();
    DateTime t = LocalTimeFromUnix(std::chrono::system_clock::to_time_t(now));
    t.millisecond = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    return t;
}

std::string FormatDateTime(std::string_view f, const DateTime& t) {
    std::string out;
    std::size_t i = 0;
    auto run = [&](char c) {
        std::size_t n = 0;
        while (i + n < f.size() && (f[i + n] == c || f[i + n] == c - 32)) ++n;
        return n;
    };
    while (i < f.size()) {
        const char c = static_cast<char>(f[i] >= 'A' && f[i] <= 'Z' ? f[i] + 32 : f[i]);
        std::size_t n = (c >= 'a' && c <= 'z') ? run(c) : 0;
        switch (n ? c : '\0') {
            case 'y':
                out += n <= 2 ? Pad(t.year % 100, 2) : Pad(t.year, 4);
                break;
            case 'm':
                if (n >= 4)
                    out += kMonthNames[(t.month + 11) % 12];
                else if (n == 3)
                    out += std::string(kMonthNames[(t.month + 11) % 12]).substr(0, 3);
                else
                    out += Pad(t.month, n);
                break;
            case 'd':
                if (n >= 4)
                    out += kDayNames[t.DayOfWeek()];
                else if (n == 3)
                    out += std::string(kDayNames[t.DayOfWeek()]).substr(0, 3);
                else
                    out += Pad(t.day, n);
                break;
            case 'h':
                out += Pad(t.hour, n >= 2 ? 2 : 1);
                break;
            case 'n':
                out += Pad(t.minute, n >= 2 ? 2 : 1);
                break;
            case 's':
                out += Pad(t.second, n >= 2 ? 2 : 1);
                break;
            case 'z':
                out += n >= 3 ? Pad(t.millisecond, 3) : std::to_string(t.millisecond);
                break;
            default:
                out.push_back(f[i]);
                n = 1;
        }
        i += n;
    }
    return out;
}

std::string FormatTimeStamp(const DateTime& t) { return FormatDateTime("yyyymmddhhnnss", t); }
std::string FormatDateStamp(const DateTime& t) { return FormatDateTime("yyyymmdd", t); }
std::string FormatLongDateTime(const DateTime& t) { return FormatDateTime("dddd d mmmm yyyy, hh:nn:ss", t); }

std::string FormatElapsed(std::int64_t ms) {
    if (ms < 0) ms = 0;
    const std::int64_t hours = ms / 3600000LL;
    const std::int64_t minutes = (ms / 60000LL) % 60;
    const std::int64_t seconds = (ms / 1000LL) % 60;
    return std::to_string(hours) + ":" + Pad(minutes, 2) + ":" + Pad(seconds, 2) + ":" + std::to_string(ms % 1000);
}

std::int64_t WholeDaysBetween(const DateTime& from, const DateTime& to) {
    const std::int64_t diff = to.TotalMilliseconds() - from.TotalMilliseconds();
    return diff / 86400000LL;
}

}  // namespace kelvarn
