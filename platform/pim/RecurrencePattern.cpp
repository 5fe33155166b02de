#include "platform/pim/RecurrencePattern.h"

#include <cmath>

#include "platform/SystemTime.h"
#include "platform/pim/RecurrenceOccurrence.h"

namespace orvale::platform::pim {

namespace {

bool isDate(double v) {
    SystemTime st;
    return variantTimeToSystemTime(v, st);
}

constexpr double kLastDate = 2958465.0;  // 9999-12-31

bool inRange(int32_t v, int32_t low, int32_t high) { return v >= low && v <= high; }

}  // namespace

bool RecurrencePattern::setType(int32_t value) {
    if (!inRange(value, kRecursDaily, kRecursYearNth) || value == 4) return false;
    type = value;
    settleEnd();
    return true;
}

bool RecurrencePattern::setInterval(int32_t value) {
    // 0 is the device's "every weekday" form of a daily pattern.
    if (value < 0) return false;
    interval = value;
    settleEnd();
    return true;
}

bool RecurrencePattern::setDayOfWeekMask(int32_t value) {
    if (!inRange(value, 1, 0x7F)) return false;
    dayOfWeekMask = value;
    settleEnd();
    return true;
}

bool RecurrencePattern::setDayOfMonth(int32_t value) {
    if (!inRange(value, 1, 31)) return false;
    dayOfMonth = value;
    settleEnd();
    return true;
}

bool RecurrencePattern::setInstance(int32_t value) {
    if (!inRange(value, 1, 5)) return false;
    instance = value;
    settleEnd();
    return true;
}

bool RecurrencePattern::setMonthOfYear(int32_t value) {
    if (!inRange(value, 1, 12)) return false;
    monthOfYear = value;
    settleEnd();
    return true;
}

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
