#include "stores/DateTime.h"

#include "platform/Clock.h"
#include "stores/ZoneState.h"

namespace orvale::datetime {

namespace {

constexpr std::int64_t kSecondsPerDay = 86'400;
constexpr std::int64_t kEpochYear = 1970;
// Days from 1970 past which no result can fit in 31 bits whatever the zone.
constexpr std::int64_t kLastUsefulDay = kMaxTime / kSecondsPerDay + 2;
// Beyond this year even a large negative day of month cannot come back into range.
constexpr std::int64_t kFarYear = 1'000'000;

constexpr int kMonthDays[2][12] = {
    {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
    {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
};

bool isLeap(std::int64_t y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}
int yearDays(std::int64_t y) {
    return isLeap(y) ? 366 : 365;
}

// Moves whole multiples of `unit` from `low` into `high`, leaving 0 <= low < unit.
void carry(std::int64_t& low, std::int64_t& high, std::int64_t unit) {
    std::int64_t q = low / unit;
    if (low % unit < 0) --q;
    low -= q * unit;
    high += q;
}

// Days from 1970-01-01 to the first day of `year` (year >= 1970).
std::int64_t daysToYear(std::int64_t year) {
    const auto leapsBefore = [](std::int64_t y) { return y / 4 - y / 100 + y / 400; };
    return (year - kEpochYear) * 365 + leapsBefore(year - 1) - leapsBefore(kEpochYear - 1);
}

struct CivilDay {
    std::int64_t year;
    int month;  // 0-11
    int day;    // 1-31
    int yearDay;
};

// Walks years and then months from 1970-01-01; `days` must be 0 .. kLastUsefulDay.
CivilDay civilOf(std::int64_t days) {
    CivilDay c{kEpochYear, 0, 1, 0};
    while (days >= yearDays(c.year)) {
        days -= yearDays(c.year);
        ++c.year;
    }
    c.yearDay = static_cast<int>(days);
    const int* lengths = kMonthDays[isLeap(c.year) ? 1 : 0];
    while (days >= lengths[c.month]) {
        days -= lengths[c.month];
        ++c.month;
    }
    c.day = static_cast<int>(days) + 1;
    return c;
}

void setDate(std::tm& f, std::int64_t days, std::int64_t secondOfDay) {
    const CivilDay c = civilOf(days);
    f.tm_year = static_cast<int>(c.year - 1900);
    f.tm_mon = c.month;
    f.tm_mday = c.day;
    f.tm_yday = c.yearDay;
    f.tm_wday = static_cast<int>((days + 4) % 7);  // 1970-01-01 was a Thursday
    f.tm_hour = static_cast<int>(secondOfDay / 3600);
    f.tm_min = static_cast<int>(secondOfDay / 60 % 60);
    f.tm_sec = static_cast<int>(secondOfDay % 60);
}

// Normalised local days and second of day since 1970, or false before 1970 / far beyond 2038.
bool normalise(const std::tm& f, std::int64_t& days, std::int64_t& secondOfDay) {
    std::int64_t sec = f.tm_sec;
    std::int64_t min = f.tm_min;
    std::int64_t hour = f.tm_hour;
    std::int64_t mday = f.tm_mday;
    std::int64_t mon = f.tm_mon;
    std::int64_t year = std::int64_t{f.tm_year} + 1900;
    carry(sec, min, 60);
    carry(min, hour, 60);
    carry(hour, mday, 24);
    carry(mon, year, 12);
    if (year < kEpochYear || year > kFarYear) return false;
    std::int64_t d = daysToYear(year);
    const int* lengths = kMonthDays[isLeap(year) ? 1 : 0];
    for (int m = 0; m < mon; ++m) d += lengths[m];
    d += mday - 1;
    if (d < 0 || d > kLastUsefulDay) return false;
    days = d;
    secondOfDay = hour * 3600 + min * 60 + sec;
    return true;
}

std::int64_t localMakeRetrying(std::tm fields) {
    std::int64_t t = makeLocalTime(fields);
    if (t != kInvalidTime) return t;
    fields.tm_hour -= 1;
    t = makeLocalTime(fields);
    return t == kInvalidTime ? kInvalidTime : t + 3600;
}

}  // namespace

platform::SystemTime toSystemTime(const std::tm& f) {
    platform::SystemTime st;
    st.year = static_cast<std::uint16_t>(f.tm_year + 1900);
    st.month = static_cast<std::uint16_t>(f.tm_mon + 1);
    st.dayOfWeek = static_cast<std::uint16_t>(f.tm_wday);
    st.day = static_cast<std::uint16_t>(f.tm_mday);
    st.hour = static_cast<std::uint16_t>(f.tm_hour);
    st.minute = static_cast<std::uint16_t>(f.tm_min);
    st.second = static_cast<std::uint16_t>(f.tm_sec);
    return st;
}

std::tm toFields(const platform::SystemTime& st) {
    std::tm f{};
    f.tm_year = st.year - 1900;
    f.tm_mon = st.month - 1;
    f.tm_mday = st.day;
    f.tm_hour = st.hour;
    f.tm_min = st.minute;
    f.tm_sec = st.second;
    f.tm_wday = st.dayOfWeek;
    return f;
}

std::int64_t makeLocalTime(std::tm& fields) {
    std::int64_t days = 0;
    std::int64_t secondOfDay = 0;
    if (!normalise(fields, days, secondOfDay)) return kInvalidTime;
    setDate(fields, days, secondOfDay);
    // The zone is asked about the normalised date: an unnormalised one (31 February) names no day.
    updateZone(toSystemTime(fields));
    fields.tm_isdst = zoneState().daylight ? 1 : 0;
    const std::int64_t result = days * kSecondsPerDay + secondOfDay + zoneState().biasSeconds;
    return result > kMaxTime ? kInvalidTime : result;
}

std::int64_t makeUtcTime(const std::tm& fields) {
    // t1 reads the fields as local time; t2 measures what that reading added at t1. Their
    // difference removes the zone's offset, daylight saving time included.
    const std::int64_t t1 = localMakeRetrying(fields);
    if (t1 == kInvalidTime) return kInvalidTime;
    std::tm g{};
    if (!breakDownUtc(t1, g)) return kInvalidTime;
    g.tm_isdst = 0;
    const std::int64_t t2 = localMakeRetrying(g);
    if (t2 == kInvalidTime) return kInvalidTime;
    return 2 * t1 - t2;
}

bool breakDownUtc(std::int64_t seconds, std::tm& fields) {
    // Through file times, whose range (1601 to 30827) bounds what can be broken down.
    constexpr auto kEpochTicks = static_cast<std::int64_t>(platform::kFileTimeOfUnixEpoch);
    constexpr auto kTicks = static_cast<std::int64_t>(platform::kTicksPerSecond);
    if (seconds < -(kEpochTicks / kTicks) || seconds > (INT64_MAX - kEpochTicks) / kTicks) return false;
    const auto ticks = static_cast<std::uint64_t>(kEpochTicks + seconds * kTicks);
    platform::SystemTime st;
    if (!platform::fileTimeToSystemTime(ticks, st)) return false;
    fields = toFields(st);
    fields.tm_yday = static_cast<int>(platform::civilToDays(st.year, st.month, st.day) -
                                      platform::civilToDays(st.year, 1, 1));
    fields.tm_isdst = 0;
    return true;
}

bool breakDownLocal(std::int64_t seconds, std::tm& fields) {
    std::int64_t used = zoneState().biasSeconds;
    if (!breakDownUtc(seconds - used, fields)) return false;
    updateZone(toSystemTime(fields));
    // The bias of the last update may belong to the other side of a daylight change; break down
    // again whenever the date's own bias differs (not only when daylight time is in force there).
    if (zoneState().biasSeconds != used) {
        used = zoneState().biasSeconds;
        if (!breakDownUtc(seconds - used, fields)) return false;
    }
    fields.tm_isdst = zoneState().daylight ? 1 : 0;
    return true;
}

std::int64_t currentTime() {
    const platform::SystemTime now = platform::localTimeNow();
    updateZone(now);
    std::int64_t s = 0;
    return secondsSinceEpoch(toFields(now), s) ? s : kInvalidTime;
}

bool secondsSinceEpoch(const std::tm& fields, std::int64_t& seconds) {
    if (fields.tm_year < 1601 - 1900 || fields.tm_year > 30827 - 1900 || fields.tm_mon < 0 ||
        fields.tm_mon > 11 || fields.tm_mday < 1 || fields.tm_mday > 31 || fields.tm_hour < 0 ||
        fields.tm_hour > 23 || fields.tm_min < 0 || fields.tm_min > 59 || fields.tm_sec < 0 ||
        fields.tm_sec > 59) {
        return false;
    }
    std::uint64_t ticks = 0;
    if (!platform::systemTimeToFileTime(toSystemTime(fields), ticks)) return false;
    seconds = (static_cast<std::int64_t>(ticks) - static_cast<std::int64_t>(platform::kFileTimeOfUnixEpoch)) /
              static_cast<std::int64_t>(platform::kTicksPerSecond);
    return true;
}

bool utcFieldsToLocal(const std::tm& utc, std::tm& local) {
    std::int64_t s = 0;
    return secondsSinceEpoch(utc, s) && breakDownUtc(s - zoneState().biasSeconds, local);
}

}  // namespace orvale::datetime
