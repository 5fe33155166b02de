#include "stores/DateTime.h"

#include "platform/Clock.h"
#include "stores/ZoneState.h"

namespace orvale::datetime {

namespace {

using platform::kSecondsPerDay;

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// Moves whole multiples of `unit` from `low` into `high`, leaving 0 <= low < unit.
void carry(std::int64_t& low, std::int64_t& high, std::int64_t unit) {
    const std::int64_t q = floorDiv(low, unit);
    low -= q * unit;
    high += q;
}

// Days since 1970 of the first and the last day the conversions accept.
std::int64_t firstDay() {
    static const std::int64_t d = platform::civilToDays(kFirstYear, 1, 1);
    return d;
}
std::int64_t lastDay() {
    static const std::int64_t d = platform::civilToDays(kLastYear, 12, 31);
    return d;
}

unsigned monthLength(std::int64_t year, unsigned month) {
    const unsigned next = month == 12 ? 1 : month + 1;
    return static_cast<unsigned>(platform::civilToDays(year + (month == 12 ? 1 : 0), next, 1) -
                                 platform::civilToDays(year, month, 1));
}

void setFields(std::tm& f, std::int64_t days, std::int64_t secondOfDay) {
    std::int64_t year = 0;
    unsigned month = 0;
    unsigned day = 0;
    platform::daysToCivil(days, year, month, day);
    f.tm_year = static_cast<int>(year - 1900);
    f.tm_mon = static_cast<int>(month) - 1;
    f.tm_mday = static_cast<int>(day);
    f.tm_yday = static_cast<int>(days - platform::civilToDays(year, 1, 1));
    f.tm_wday = static_cast<int>(days - 7 * floorDiv(days + 4, 7) + 4);  // 1970-01-01 was a Thursday
    f.tm_hour = static_cast<int>(secondOfDay / 3600);
    f.tm_min = static_cast<int>(secondOfDay / 60 % 60);
    f.tm_sec = static_cast<int>(secondOfDay % 60);
}

struct DayAndTime {
    std::int64_t days;  // since 1970-01-01
    std::int64_t secondOfDay;
};

// Carries each field's overflow into the next unit (and borrows for negative values) and counts
// the days from 1970; nothing when the date falls outside the years accepted. Every field is an
// int, so the sums below stay far inside 64 bits.
std::optional<DayAndTime> normalise(const std::tm& f) {
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
    const std::int64_t days = platform::civilToDays(year, static_cast<unsigned>(mon) + 1, 1) + mday - 1;
    if (days < firstDay() || days > lastDay()) return std::nullopt;
    return DayAndTime{days, hour * 3600 + min * 60 + sec};
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

std::optional<std::int64_t> makeLocalTime(std::tm& fields) {
    const auto n = normalise(fields);
    if (!n) return std::nullopt;
    setFields(fields, n->days, n->secondOfDay);
    // The zone is asked about the normalised date: an unnormalised one (31 February) names no day.
    updateZone(toSystemTime(fields));
    fields.tm_isdst = zoneState().daylight ? 1 : 0;
    return n->days * kSecondsPerDay + n->secondOfDay + zoneState().biasSeconds;
}

std::optional<std::int64_t> makeUtcTime(const std::tm& fields) {
    // Plain arithmetic: going through local time and back (as the C library idiom does) is an
    // hour off for the UTC hour after a spring change, whose local reading does not exist.
    const auto n = normalise(fields);
    if (!n) return std::nullopt;
    return n->days * kSecondsPerDay + n->secondOfDay;
}

bool breakDownUtc(std::int64_t seconds, std::tm& fields) {
    const std::int64_t days = floorDiv(seconds, kSecondsPerDay);
    if (days < firstDay() || days > lastDay()) return false;
    std::tm f{};
    setFields(f, days, seconds - days * kSecondsPerDay);
    f.tm_isdst = 0;
    fields = f;
    return true;
}

bool breakDownLocal(std::int64_t seconds, std::tm& fields) {
    // Far outside the range no bias can bring it back, and subtracting one could overflow.
    if (floorDiv(seconds, kSecondsPerDay) < firstDay() - 2 || floorDiv(seconds, kSecondsPerDay) > lastDay() + 2)
        return false;
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

std::optional<std::int64_t> currentTime() {
    const platform::SystemTime now = platform::localTimeNow();
    updateZone(now);
    std::int64_t s = 0;
    if (!secondsSinceEpoch(toFields(now), s)) return std::nullopt;
    return s;
}

bool secondsSinceEpoch(const std::tm& f, std::int64_t& seconds) {
    const std::int64_t year = std::int64_t{f.tm_year} + 1900;
    if (year < kFirstYear || year > kLastYear || f.tm_mon < 0 || f.tm_mon > 11 || f.tm_mday < 1 ||
        f.tm_hour < 0 || f.tm_hour > 23 || f.tm_min < 0 || f.tm_min > 59 || f.tm_sec < 0 || f.tm_sec > 59) {
        return false;
    }
    const auto month = static_cast<unsigned>(f.tm_mon + 1);
    if (static_cast<unsigned>(f.tm_mday) > monthLength(year, month)) return false;
    seconds = platform::civilToDays(year, month, static_cast<unsigned>(f.tm_mday)) * kSecondsPerDay +
              f.tm_hour * 3600 + f.tm_min * 60 + f.tm_sec;
    return true;
}

bool utcFieldsToLocal(const std::tm& utc, std::tm& local) {
    std::int64_t s = 0;
    return secondsSinceEpoch(utc, s) && breakDownLocal(s, local);
}

std::optional<std::int64_t> localSystemTimeToSeconds(const platform::SystemTime& local) {
    std::tm f = toFields(local);
    return makeLocalTime(f);
}

std::optional<platform::SystemTime> secondsToLocalSystemTime(std::int64_t seconds) {
    std::tm f{};
    if (!breakDownLocal(seconds, f)) return std::nullopt;
    return toSystemTime(f);
}

}  // namespace orvale::datetime
