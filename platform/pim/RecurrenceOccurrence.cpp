#include "platform/pim/RecurrenceOccurrence.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>

#include "platform/SystemTime.h"

namespace orvale::platform::pim {

namespace {

constexpr int64_t kFirstDay = -657434;             // 0100-01-01
constexpr int64_t kLastDay = 2958465;              // 9999-12-31

bool isDate(double v) {
    const double d = linearVariantDays(v);
    return std::isfinite(d) && d >= static_cast<double>(kFirstDay) && d < static_cast<double>(kLastDay + 1);
}

// Whole seconds since 1899-12-30, so that a time of day stored with rounding noise still compares.
// Variant dates before the base date are put on a straight line first.
int64_t toSeconds(double v) { return static_cast<int64_t>(std::llround(linearVariantDays(v) * kSecondsPerDay)); }

int64_t floorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

int64_t dayNumber(double v) { return floorDiv(toSeconds(v), kSecondsPerDay); }

// 1899-12-30 was a Saturday; 0 is Sunday.
int weekday(int64_t day) { return static_cast<int>(day - 7 * floorDiv(day + 6, 7) + 6); }

struct Civil {
    int64_t year;
    unsigned month;
    unsigned day;
};

Civil civil(int64_t day) {
    Civil c{};
    daysToCivil(day - kVariantDayOfUnixEpoch, c.year, c.month, c.day);
    return c;
}

int64_t dayOf(int64_t year, unsigned month, unsigned day) {
    return civilToDays(year, month, day) + kVariantDayOfUnixEpoch;
}

unsigned daysInMonth(int64_t year, unsigned month) {
    unsigned next = month == 12 ? 1 : month + 1;
    int64_t nextYear = month == 12 ? year + 1 : year;
    return static_cast<unsigned>(dayOf(nextYear, next, 1) - dayOf(year, month, 1));
}

bool inMask(uint32_t mask, int64_t day) { return (mask >> weekday(day)) & 1u; }

// Mask days among the weekdays before the weekday of `day` in its week.
int64_t maskDaysBefore(uint32_t mask, int64_t day) {
    return std::popcount(mask & ((1u << weekday(day)) - 1u));
}
int64_t maskDaysThrough(uint32_t mask, int64_t day) {
    return std::popcount(mask & ((2u << weekday(day)) - 1u));
}

// The day of the n-th (1-4) or the last (5) day of `mask` in a month.
std::optional<int64_t> nthMaskDay(int64_t year, unsigned month, uint32_t mask, int32_t instance) {
    if (mask == 0 || instance < 1 || instance > 5) return std::nullopt;
    int64_t first = dayOf(year, month, 1);
    int64_t last = first + daysInMonth(year, month) - 1;
    if (instance == 5) {
        for (int64_t d = last; d >= first; --d)
            if (inMask(mask, d)) return d;
        return std::nullopt;
    }
    int32_t seen = 0;
    for (int64_t d = first; d <= last; ++d)
        if (inMask(mask, d) && ++seen == instance) return d;
    return std::nullopt;
}

// The occurrence of a monthly or yearly pattern in a given month. A day number the month lacks
// (31 in April) falls on the month's last day, as on the device.
std::optional<int64_t> dayInMonth(const RecurrencePattern& rp, uint32_t mask, int64_t year, unsigned month) {
    switch (rp.type) {
    case 2:
    case 5:
        if (rp.dayOfMonth < 1) return std::nullopt;
        return dayOf(year, month, std::min<unsigned>(static_cast<unsigned>(rp.dayOfMonth), daysInMonth(year, month)));
    case 3:
    case 6: return nthMaskDay(year, month, mask, rp.instance);
    default: return std::nullopt;
    }
}

// Index of the occurrence on `day` (0 for the first), or nothing when none falls on it. `start` is
// the first day of the pattern and `day` is not before it.
std::optional<int64_t> occurrenceIndex(const RecurrencePattern& rp, int64_t start, int64_t day) {
    const uint32_t mask = static_cast<uint32_t>(rp.dayOfWeekMask) & 0x7Fu;
    const int64_t interval = std::max<int64_t>(rp.interval, 1);
    switch (rp.type) {
    case 0:
        if (rp.interval >= 1) {
            if ((day - start) % interval != 0) return std::nullopt;
            return (day - start) / interval;
        }
        // Every weekday: a daily pattern without interval that names its days.
        if (mask == 0 || !inMask(mask, day)) return std::nullopt;
        return (day - start) / 7 * std::popcount(mask) + [&] {
            int64_t n = 0;
            for (int64_t d = start + (day - start) / 7 * 7; d < day; ++d) n += inMask(mask, d);
            return n;
        }();
    case 1: {
        const uint32_t days = mask != 0 ? mask : 1u << weekday(start);
        if (!inMask(days, day)) return std::nullopt;
        const int64_t weeks = ((day - weekday(day)) - (start - weekday(start))) / 7;
        if (weeks % interval != 0) return std::nullopt;
        return weeks / interval * std::popcount(days) - maskDaysBefore(days, start) + maskDaysBefore(days, day);
    }
    case 2:
    case 3:
    case 5:
    case 6: {
        const Civil c = civil(day);
        const Civil s = civil(start);
        int64_t step = interval;
        int64_t periods = (c.year - s.year) * 12 + c.month - s.month;
        if (rp.type == 5 || rp.type == 6) {
            if (rp.monthOfYear < 1 || rp.monthOfYear > 12 || c.month != static_cast<unsigned>(rp.monthOfYear))
                return std::nullopt;
            periods = c.year - s.year;
            if (interval % 12 == 0) step = interval / 12;
        }
        if (periods % step != 0 || dayInMonth(rp, mask, c.year, c.month) != day) return std::nullopt;
        // The first period counts only when its occurrence is not before the pattern start.
        const unsigned firstMonth = rp.type >= 5 ? static_cast<unsigned>(rp.monthOfYear) : s.month;
        auto first = dayInMonth(rp, mask, s.year, firstMonth);
        return periods / step - (!first || *first < start ? 1 : 0);
    }
    default: return std::nullopt;
    }
}

// Occurrences on the days start .. last, the pattern's end not considered. Every pattern has at
// most one occurrence a day, and monthly and yearly ones at most one a period, so whole periods are
// counted and only the first and the last are looked at.
int64_t countThrough(const RecurrencePattern& rp, int64_t start, int64_t last) {
    if (last < start) return 0;
    const uint32_t mask = static_cast<uint32_t>(rp.dayOfWeekMask) & 0x7Fu;
    const int64_t interval = std::max<int64_t>(rp.interval, 1);
    switch (rp.type) {
    case 0: {
        if (rp.interval >= 1) return (last - start) / interval + 1;
        const int64_t weeks = (last - start + 1) / 7;
        int64_t n = weeks * std::popcount(mask);
        for (int64_t d = start + weeks * 7; d <= last; ++d) n += inMask(mask, d);
        return n;
    }
    case 1: {
        const uint32_t days = mask != 0 ? mask : 1u << weekday(start);
        const int64_t weeks = ((last - weekday(last)) - (start - weekday(start))) / 7;
        const int64_t perWeek = std::popcount(days);
        int64_t n = (weeks / interval + 1) * perWeek - maskDaysBefore(days, start);
        // The week of `last` counts only up to it when it is one of the pattern's weeks.
        if (weeks % interval == 0) n -= perWeek - maskDaysThrough(days, last);
        return n;
    }
    case 2:
    case 3:
    case 5:
    case 6: {
        const bool yearly = rp.type >= 5;
        if (yearly && (rp.monthOfYear < 1 || rp.monthOfYear > 12)) return 0;
        const Civil s = civil(start);
        const Civil c = civil(last);
        const unsigned firstMonth = yearly ? static_cast<unsigned>(rp.monthOfYear) : s.month;
        const unsigned lastMonth = yearly ? static_cast<unsigned>(rp.monthOfYear) : c.month;
        const auto first = dayInMonth(rp, mask, s.year, firstMonth);
        if (!first) return 0;  // the pattern names no day at all
        int64_t step = interval;
        int64_t periods = (c.year - s.year) * 12 + c.month - s.month;
        if (yearly) {
            periods = c.year - s.year;
            if (interval % 12 == 0) step = interval / 12;
        }
        int64_t n = periods / step + 1;
        if (*first < start) --n;
        if (periods % step == 0 && *dayInMonth(rp, mask, c.year, lastMonth) > last) --n;
        return std::max<int64_t>(n, 0);
    }
    default: return 0;
    }
}

}  // namespace

bool patternOccursAt(const RecurrencePattern& rp, double when) {
    if (!isDate(when) || !isDate(rp.patternStart) || !std::isfinite(rp.startTime)) return false;
    const int64_t at = toSeconds(when);
    const int64_t day = floorDiv(at, kSecondsPerDay);
    const int64_t startTime = toSeconds(rp.startTime);
    if (at - day * kSecondsPerDay != startTime - floorDiv(startTime, kSecondsPerDay) * kSecondsPerDay) return false;
    const int64_t start = dayNumber(rp.patternStart);
    if (day < start) return false;
    const bool byCount = !rp.noEnd && rp.occurrences > 0;
    if (!rp.noEnd && !byCount && rp.patternEnd > 0 && isDate(rp.patternEnd) && day > dayNumber(rp.patternEnd)) return false;
    auto index = occurrenceIndex(rp, start, day);
    return index && (!byCount || *index < rp.occurrences);
}

bool hasExceptionOn(const RecurrencePattern& rp, double when) {
    if (!isDate(when)) return false;
    const int64_t day = dayNumber(when);
    return std::any_of(rp.exceptions.begin(), rp.exceptions.end(),
                       [&](const Exception& e) { return isDate(e.originalDate) && dayNumber(e.originalDate) == day; });
}

int64_t occurrencesThrough(const RecurrencePattern& rp, double lastDate) {
    if (!isDate(lastDate) || !isDate(rp.patternStart)) return 0;
    return countThrough(rp, dayNumber(rp.patternStart), dayNumber(lastDate));
}

std::optional<double> nthOccurrenceDate(const RecurrencePattern& rp, int64_t n) {
    if (n < 1 || !isDate(rp.patternStart)) return std::nullopt;
    const int64_t start = dayNumber(rp.patternStart);
    if (countThrough(rp, start, kLastDay) < n) return std::nullopt;
    // The count grows with the last day: the first day that reaches n is the n-th occurrence.
    int64_t low = start;
    int64_t high = kLastDay;
    while (low < high) {
        const int64_t mid = low + (high - low) / 2;
        if (countThrough(rp, start, mid) >= n) high = mid;
        else low = mid + 1;
    }
    return static_cast<double>(low);
}

}  // namespace orvale::platform::pim
