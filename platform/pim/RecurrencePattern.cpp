#include "platform/pim/RecurrencePattern.h"

#include <cmath>
#include <cstdint>

#include "platform/SystemTime.h"
#include "platform/pim/RecurrenceOccurrence.h"

namespace orvale::platform::pim {

namespace {

bool isDate(double v) {
    SystemTime st;
    return variantTimeToSystemTime(v, st);
}

constexpr double kLastDate = 2958465.0;  // 9999-12-31

}  // namespace

bool RecurrencePattern::setField(int32_t& field, int32_t value, int32_t low, int32_t high) {
    if (value < low || value > high) return false;
    field = value;
    settleEnd();
    return true;
}

bool RecurrencePattern::setType(int32_t value) {
    return value != 4 && setField(type, value, kRecursDaily, kRecursYearNth);
}
// 0 is the device's "every weekday" form of a daily pattern.
bool RecurrencePattern::setInterval(int32_t value) { return setField(interval, value, 0, INT32_MAX); }
bool RecurrencePattern::setDayOfWeekMask(int32_t value) { return setField(dayOfWeekMask, value, 1, 0x7F); }
bool RecurrencePattern::setDayOfMonth(int32_t value) { return setField(dayOfMonth, value, 1, 31); }
bool RecurrencePattern::setInstance(int32_t value) { return setField(instance, value, 1, 5); }
bool RecurrencePattern::setMonthOfYear(int32_t value) { return setField(monthOfYear, value, 1, 12); }

bool RecurrencePattern::setOccurrences(int32_t count) {
    if (count < 1) return false;
    const auto last = nthOccurrenceDate(*this, count);
    if (!last) return false;
    noEnd = false;
    endByCount = true;
    occurrences = count;
    patternEnd = *last;
    return true;
}

bool RecurrencePattern::setPatternEnd(double date) {
    if (!isDate(date)) return false;
    const int64_t count = std::max<int64_t>(occurrencesThrough(*this, date), 1);
    const auto last = nthOccurrenceDate(*this, count);
    if (!last) return false;  // the pattern names no occurrence at all
    noEnd = false;
    endByCount = false;
    // At most one occurrence a day from the year 100 on: the count fits.
    occurrences = static_cast<int32_t>(count);
    patternEnd = *last;
    return true;
}

bool RecurrencePattern::setNoEnd(bool value) {
    if (!value) return !noEnd;
    noEnd = true;
    occurrences = 0;
    patternEnd = kNoEndDate;
    return true;
}

void RecurrencePattern::setStart(double localDateTime) {
    if (!isDate(localDateTime)) return;
    const double linear = linearVariantDays(localDateTime);
    const double day = std::floor(linear);
    patternStart = day;  // a whole day reads the same on the line and as a variant date
    startTime = linear - day;
    settleEnd();
}

void RecurrencePattern::settleEnd() {
    if (noEnd) return;
    int64_t count = endByCount ? occurrences : std::max<int64_t>(occurrencesThrough(*this, patternEnd), 1);
    auto last = count >= 1 ? nthOccurrenceDate(*this, count) : std::nullopt;
    if (!last) {
        // The leading end no longer fits in the years the device holds: the series ends with them.
        count = occurrencesThrough(*this, kLastDate);
        last = count >= 1 ? nthOccurrenceDate(*this, count) : std::nullopt;
    }
    if (!last) return;  // the pattern names no occurrence at all
    occurrences = static_cast<int32_t>(count);
    patternEnd = *last;
}

RecurrencePattern patternStartingAt(double start) {
    RecurrencePattern rp;
    rp.setNoEnd(true);
    SystemTime st;
    if (!variantTimeToSystemTime(start, st)) return rp;
    rp.setStart(start);
    rp.endTime = rp.startTime;
    rp.dayOfWeekMask = 1 << st.dayOfWeek;
    rp.dayOfMonth = st.day;
    rp.instance = (st.day - 1) / 7 + 1;
    rp.monthOfYear = st.month;
    return rp;
}

}  // namespace orvale::platform::pim
