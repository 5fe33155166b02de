#include <cstdarg>
#include <cstdio>

#include "platform/SystemTime.h"
#include "stores/DateTimeText.h"
#include "stores/recurrence/RecurrenceCodec.h"
#include "stores/recurrence/RuleDays.h"

namespace orvale::recurrence {

namespace {

using platform::pim::RecurrencePattern;

// Every name is followed by one space, so the formats below that put a space after the list
// write two.
std::string dayList(std::int32_t mask) {
    std::string out;
    for (std::size_t i = 0; i < kDayNames.size(); ++i)
        if (static_cast<std::uint32_t>(mask) & (1u << i)) out.append(kDayNames[i]).push_back(' ');
    return out;
}

// The pattern's end date, kept in device local time, as UTC; empty when it is not a date.
std::string endText(double patternEnd) {
    platform::SystemTime local;
    if (!platform::variantTimeToSystemTime(patternEnd, local)) return {};
    return datetime::localToUtcText(local);
}

__attribute__((format(printf, 1, 2))) std::string print(const char* format, ...) {
    char buf[160];  // the longest rule: ten-digit numbers, seven days and an end date
    std::va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buf) return {};
    return std::string(buf, static_cast<std::size_t>(n));
}

}  // namespace

std::string writeRule(const RecurrencePattern& p) {
    if (p.dayOfWeekMask > 128) return {};
    const bool ends = !p.noEnd;
    const long count = ends ? p.occurrences : 0;
    const long interval = p.interval;
    const std::string days = dayList(p.dayOfWeekMask);
    const char* d = days.c_str();
    switch (p.type) {
    case platform::pim::kRecursDaily:
        // The daily rule carries its end as the count only.
        if (p.interval >= 1) return print("D%ld #%ld", interval, count);
        if (p.dayOfWeekMask >= 1) return print("W1 %s %s #%ld", d, endText(p.patternEnd).c_str(), count);
        return {};
    case platform::pim::kRecursWeekly:
        if (p.dayOfWeekMask < 1) return {};
        if (ends) return print("W%ld %s%s #%ld", interval, d, endText(p.patternEnd).c_str(), count);
        return print("W%ld %s #0", interval, d);
    case platform::pim::kRecursMonthly:
        if (p.dayOfMonth < 1) return {};
        if (ends)
            return print("MD%ld %ld %s #%ld", interval, long{p.dayOfMonth}, endText(p.patternEnd).c_str(), count);
        return print("MD%ld %ld #0", interval, long{p.dayOfMonth});
    case platform::pim::kRecursMonthNth:
        if (p.instance < 1 || p.dayOfWeekMask < 1) return {};
        if (ends)
            return print("MP%ld %ld+ %s%s #%ld", interval, long{p.instance}, d, endText(p.patternEnd).c_str(), count);
        return print("MP%ld %ld+ %s #0", interval, long{p.instance}, d);
    case platform::pim::kRecursYearly:
        // The start date gives the day.
        if (p.dayOfMonth < 1 || p.monthOfYear < 1) return {};
        return print("YM1 %ld #%ld", long{p.monthOfYear}, count);
    case platform::pim::kRecursYearNth:
        // Written as every twelve months; the start date gives the month.
        if (p.dayOfWeekMask < 1 || p.instance < 1) return {};
        if (ends) return print("MP12 %ld+ %s%s #%ld", long{p.instance}, d, endText(p.patternEnd).c_str(), count);
        return print("MP12 %ld+ %s #0", long{p.instance}, d);
    default: return {};
    }
}

}  // namespace orvale::recurrence
