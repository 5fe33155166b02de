#include "platform/pim/eds/CalendarRecurrence.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/SystemTime.h"
#include "platform/pim/eds/CalendarTime.h"

namespace orvale::platform::pim::eds {

namespace {

constexpr short kEndOfList = ICAL_RECURRENCE_ARRAY_MAX;

bool has(const short* list) { return list[0] != kEndOfList; }

// The device's bit 0 is Sunday; the library counts Sunday as 1.
short encodeDay(int bit, int position) {
    const int code = std::abs(position) * 8 + bit + 1;
    return static_cast<short>(position < 0 ? -code : code);
}

// BYDAY of every day in the mask, each with `position` (0 for none).
void putDays(icalrecurrencetype& rule, int32_t mask, int position) {
    int n = 0;
    for (int bit = 0; bit < 7; ++bit)
        if ((mask & (1 << bit)) != 0) rule.by_day[n++] = encodeDay(bit, position);
    rule.by_day[n] = kEndOfList;
}

int countDays(int32_t mask) {
    int n = 0;
    for (int bit = 0; bit < 7; ++bit) n += (mask >> bit) & 1;
    return n;
}

// An n-th weekday: one day as "2TU", several as BYDAY with BYSETPOS (the n-th of those days).
void putNthDays(icalrecurrencetype& rule, int32_t mask, int32_t instance) {
    const int position = instance == 5 ? -1 : instance;
    if (countDays(mask) == 1) {
        putDays(rule, mask, position);
        return;
    }
    putDays(rule, mask, 0);
    rule.by_set_pos[0] = static_cast<short>(position);
    rule.by_set_pos[1] = kEndOfList;
}

int32_t maskOf(const short* days) {
    int32_t mask = 0;
    for (int i = 0; i < ICAL_BY_DAY_SIZE && days[i] != kEndOfList; ++i) {
        const int weekday = icalrecurrencetype_day_day_of_week(days[i]);
        if (weekday >= 1 && weekday <= 7) mask |= 1 << (weekday - 1);
    }
    return mask;
}

// The position a rule gives its weekdays: "2TU" or BYSETPOS=2; 0 for none.
int positionOf(const icalrecurrencetype& rule) {
    if (has(rule.by_set_pos)) return rule.by_set_pos[0];
    return has(rule.by_day) ? icalrecurrencetype_day_position(rule.by_day[0]) : 0;
}

std::optional<double> localVariant(const icaltimetype& t) {
    std::optional<SystemTime> st;
    if (icaltime_is_utc(t) && !t.is_date) {
        st = utcSecondsToLocal(static_cast<std::int64_t>(icaltime_as_timet_with_zone(t, icaltimezone_get_utc_timezone())));
    } else {
        SystemTime s;
        s.year = static_cast<std::uint16_t>(t.year);
        s.month = static_cast<std::uint16_t>(t.month);
        s.day = static_cast<std::uint16_t>(t.day);
        st = s;
    }
    double v = 0;
    if (!st || !systemTimeToVariantTime(*st, v)) return std::nullopt;
    return v;
}

double timeOfDay(double date) {
    const double linear = linearVariantDays(date);
    return linear - std::floor(linear);
}

}  // namespace

std::optional<icalrecurrencetype> ruleOfPattern(const RecurrencePattern& p) {
    icalrecurrencetype rule;
    icalrecurrencetype_clear(&rule);
    rule.interval = static_cast<short>(std::clamp(p.interval, 1, 999));
    const bool days = p.dayOfWeekMask >= 1 && p.dayOfWeekMask < 128;
    switch (p.type) {
    case kRecursDaily:
        rule.freq = ICAL_DAILY_RECURRENCE;
        if (p.interval < 1) {
            // Every weekday: the device's daily pattern without an interval, held by its days.
            if (!days) return std::nullopt;
            putDays(rule, p.dayOfWeekMask, 0);
        }
        break;
    case kRecursWeekly:
        if (!days) return std::nullopt;
        rule.freq = ICAL_WEEKLY_RECURRENCE;
        putDays(rule, p.dayOfWeekMask, 0);
        break;
    case kRecursMonthly:
        if (p.dayOfMonth < 1 || p.dayOfMonth > 31) return std::nullopt;
        rule.freq = ICAL_MONTHLY_RECURRENCE;
        rule.by_month_day[0] = static_cast<short>(p.dayOfMonth);
        rule.by_month_day[1] = kEndOfList;
        break;
    case kRecursMonthNth:
        if (!days || p.instance < 1 || p.instance > 5) return std::nullopt;
        rule.freq = ICAL_MONTHLY_RECURRENCE;
        putNthDays(rule, p.dayOfWeekMask, p.instance);
        break;
    case kRecursYearly:
    case kRecursYearNth:
        if (p.monthOfYear < 1 || p.monthOfYear > 12) return std::nullopt;
        rule.freq = ICAL_YEARLY_RECURRENCE;
        rule.by_month[0] = static_cast<short>(p.monthOfYear);
        rule.by_month[1] = kEndOfList;
        if (p.type == kRecursYearly) {
            if (p.dayOfMonth < 1 || p.dayOfMonth > 31) return std::nullopt;
            rule.by_month_day[0] = static_cast<short>(p.dayOfMonth);
            rule.by_month_day[1] = kEndOfList;
        } else {
            if (!days || p.instance < 1 || p.instance > 5) return std::nullopt;
            putNthDays(rule, p.dayOfWeekMask, p.instance);
        }
        break;
    default:
        return std::nullopt;
    }
    // An ending pattern holds both its count and its end date; the count is exact in every zone.
    if (!p.noEnd) {
        if (p.occurrences >= 1) {
            rule.count = p.occurrences;
        } else {
            SystemTime st;
            if (!variantTimeToSystemTime(p.patternEnd, st)) return std::nullopt;
            rule.until = icaltime_null_time();
            rule.until.year = st.year;
            rule.until.month = st.month;
            rule.until.day = st.day;
            rule.until.is_date = 1;
        }
    }
    return rule;
}

std::optional<RecurrencePattern> patternOfRule(const icalrecurrencetype& rule, double start,
                                               std::optional<double> end, std::string* why) {
    auto refuse = [&](const char* reason) -> std::optional<RecurrencePattern> {
        if (why != nullptr) *why = reason;
        return std::nullopt;
    };
    // Made as the device makes a new item's pattern, so the fields a rule does not set are the
    // device's own.
    RecurrencePattern p = patternStartingAt(start);
    p.setNoEnd(true);
    if (end) p.endTime = timeOfDay(*end);
    const int32_t days = maskOf(rule.by_day);
    int32_t interval = rule.interval < 1 ? 1 : rule.interval;
    bool ok = true;
    switch (rule.freq) {
    case ICAL_DAILY_RECURRENCE:
        ok = p.setType(kRecursDaily);
        if (days != 0) {
            if (interval != 1) return refuse("a rule every few days on given weekdays");
            ok = ok && p.setDayOfWeekMask(days);
            interval = 0;
        }
        break;
    case ICAL_WEEKLY_RECURRENCE:
        ok = p.setType(kRecursWeekly) && (days == 0 || p.setDayOfWeekMask(days));
        break;
    case ICAL_MONTHLY_RECURRENCE:
        if (has(rule.by_month_day)) {
            if (rule.by_month_day[0] < 1) return refuse("a monthly rule counting days from the month's end");
            ok = p.setType(kRecursMonthly) && p.setDayOfMonth(rule.by_month_day[0]);
        } else if (days != 0) {
            const int position = positionOf(rule);
            if (position != -1 && (position < 1 || position > 4))
                return refuse("a monthly rule on a weekday position the device cannot hold");
            ok = p.setType(kRecursMonthNth) && p.setInstance(position == -1 ? 5 : position) && p.setDayOfWeekMask(days);
        } else {
            ok = p.setType(kRecursMonthly);
        }
        break;
    case ICAL_YEARLY_RECURRENCE:
        if (has(rule.by_month) && !p.setMonthOfYear(icalrecurrencetype_month_month(rule.by_month[0])))
            return refuse("a yearly rule on a month the device cannot hold");
        if (days != 0) {
            const int position = positionOf(rule);
            if (position != -1 && (position < 1 || position > 4))
                return refuse("a yearly rule on a weekday position the device cannot hold");
            ok = p.setType(kRecursYearNth) && p.setInstance(position == -1 ? 5 : position) && p.setDayOfWeekMask(days);
        } else if (has(rule.by_month_day)) {
            ok = p.setType(kRecursYearly) && p.setDayOfMonth(rule.by_month_day[0]);
        } else {
            ok = p.setType(kRecursYearly);
        }
        break;
    default:
        return refuse("a rule repeating more often than daily, or by another unit than the device's");
    }
    ok = ok && p.setInterval(interval);
    if (ok && rule.count > 0) {
        ok = p.setOccurrences(rule.count);
    } else if (ok && !icaltime_is_null_time(rule.until)) {
        const auto last = localVariant(rule.until);
        ok = last && p.setPatternEnd(*last);
    }
    if (!ok) return refuse("a rule with a value the device refuses");
    return p;
}

}  // namespace orvale::platform::pim::eds
