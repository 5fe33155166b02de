#include "platform/SystemTime.h"

#include <cmath>

namespace orvale::platform {

namespace {

constexpr double kMinVariant = -657'434.0;            // 0100-01-01
constexpr double kMaxVariant = 2'958'466.0;           // 10000-01-01, excluded

bool isLeap(std::int64_t y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

unsigned daysInMonth(std::int64_t y, unsigned m) {
    static constexpr unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : kDays[m - 1];
}

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

void fillFromSeconds(std::int64_t secondsSince1970, SystemTime& st) {
    const std::int64_t days = floorDiv(secondsSince1970, kSecondsPerDay);
    const std::int64_t secs = secondsSince1970 - days * kSecondsPerDay;
    std::int64_t y = 0;
    unsigned m = 0;
    unsigned d = 0;
    daysToCivil(days, y, m, d);
    st.year = static_cast<std::uint16_t>(y);
    st.month = static_cast<std::uint16_t>(m);
    st.day = static_cast<std::uint16_t>(d);
    st.dayOfWeek = static_cast<std::uint16_t>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
    st.hour = static_cast<std::uint16_t>(secs / 3600);
    st.minute = static_cast<std::uint16_t>(secs / 60 % 60);
    st.second = static_cast<std::uint16_t>(secs % 60);
}

}  // namespace

std::int64_t civilToDays(std::int64_t year, unsigned month, unsigned day) {
    // Days from civil (era-based), valid for every proleptic Gregorian date.
    const std::int64_t y = month <= 2 ? year - 1 : year;
    const std::int64_t era = floorDiv(y, 400);
    const std::int64_t yoe = y - era * 400;
    const std::int64_t mp = (month + 9) % 12;
    const std::int64_t doy = (153 * mp + 2) / 5 + day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146'097 + doe - 719'468;
}

void daysToCivil(std::int64_t days, std::int64_t& year, unsigned& month, unsigned& day) {
    const std::int64_t z = days + 719'468;
    const std::int64_t era = floorDiv(z, 146'097);
    const std::int64_t doe = z - era * 146'097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36'524 - doe / 146'096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<unsigned>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<unsigned>(mp < 10 ? mp + 3 : mp - 9);
    year = yoe + era * 400 + (month <= 2 ? 1 : 0);
}

double linearVariantDays(double v) {
    const double whole = std::trunc(v);
    return v >= 0 ? v : whole + (whole - v);
}

bool systemTimeToFileTime(const SystemTime& st, std::uint64_t& fileTime) {
    if (st.year < 1601 || st.year > 30827 || st.month < 1 || st.month > 12 || st.day < 1 ||
        st.day > daysInMonth(st.year, st.month) || st.hour > 23 || st.minute > 59 || st.second > 59 ||
        st.milliseconds > 999) {
        return false;
    }
    const std::int64_t days = civilToDays(st.year, st.month, st.day) + kDaysFrom1601To1970;
    const std::int64_t secs = days * kSecondsPerDay + st.hour * 3600 + st.minute * 60 + st.second;
    fileTime = static_cast<std::uint64_t>(secs) * kTicksPerSecond + st.milliseconds * 10'000ULL;
    return true;
}

bool fileTimeToSystemTime(std::uint64_t fileTime, SystemTime& st) {
    if (fileTime >= 0x8000000000000000ULL) return false;
    const auto secs = static_cast<std::int64_t>(fileTime / kTicksPerSecond);
    fillFromSeconds(secs - kSecondsFrom1601To1970, st);
    st.milliseconds = static_cast<std::uint16_t>(fileTime % kTicksPerSecond / 10'000);
    return true;
}

bool systemTimeToVariantTime(const SystemTime& st, double& variantTime) {
    if (st.month > 12 || st.day > 31 || st.year < 100 || st.year > 9999) return false;
    // Month 0 is December of the year before and day 0 the last day of the month before, as the
    // platform rolls them.
    std::int64_t year = st.year;
    unsigned month = st.month;
    if (month == 0) {
        month = 12;
        --year;
    }
    const std::int64_t secs = st.hour * 3600 + st.minute * 60 + st.second;
    const std::int64_t days =
        civilToDays(year, month, 1) + st.day - 1 + kVariantDayOfUnixEpoch + secs / kSecondsPerDay;
    if (days < static_cast<std::int64_t>(kMinVariant) || days >= static_cast<std::int64_t>(kMaxVariant))
        return false;
    // Before the base date the whole part counts back while the fraction still counts forward
    // (-1.25 is 1899-12-29 06:00).
    const double timeOfDay = static_cast<double>(secs % kSecondsPerDay) / kSecondsPerDay;
    const auto whole = static_cast<double>(days);
    variantTime = days >= 0 ? whole + timeOfDay : whole - timeOfDay;
    return true;
}

bool variantTimeToSystemTime(double variantTime, SystemTime& st) {
    if (!(std::trunc(variantTime) >= kMinVariant && variantTime < kMaxVariant)) return false;
    auto days = static_cast<std::int64_t>(std::trunc(variantTime));
    const double frac = std::fabs(variantTime - std::trunc(variantTime));
    auto secs = static_cast<std::int64_t>(std::llround(frac * kSecondsPerDay));
    if (secs >= kSecondsPerDay) {  // rounded up into the next day
        secs -= kSecondsPerDay;
        ++days;
    }
    const std::int64_t since1970 = (days - kVariantDayOfUnixEpoch) * kSecondsPerDay + secs;
    fillFromSeconds(since1970, st);
    st.milliseconds = 0;
    return st.year <= 9999;
}

}  // namespace orvale::platform
