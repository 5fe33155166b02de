#include <cstdarg>
#include <algorithm>
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

// The pattern's end date, kept in device local time, as the end of that local day with no zone:
// the rule's occurrences are written in the device's local time, and a reader in that zone then
// keeps the last one (midnight in UTC is before it east of UTC). Empty when it is not a date.
std::string endText(double patternEnd) {
    platform::SystemTime local;
    if (!platform::variantTimeToSystemTime(patternEnd, local)) return {};
    local.hour = 23;
    local.minute = 59;
    local.second = 59;
    return datetime::formatSystemLocal(local);
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
    // A rule carries one end, as readers take it: the count when the pattern has one, else its end
    // date, else "#0" for no end. A rule with both ends is read by some as the end date followed by
    // text they do not know, and they drop the day list before it.
    std::string end = "#0";
    if (!p.noEnd) {
        if (p.occurrences > 0) end = print("#%ld", long{p.occurrences});
        else end = endText(p.patternEnd);
        if (end.empty()) return {};
    }
    const char* e = end.c_str();
    const long interval = p.interval;
    const std::string days = dayList(p.dayOfWeekMask);
    const char* d = days.c_str();
    // The device's "last" is instance 5; every reader takes "5+" as the fifth, so it goes out as the
    // first from the end.
    const std::string position = p.instance == 5 ? std::string("1-") : print("%ld+", long{p.instance});
    const char* n = position.c_str();
    // The device counts a yearly interval in years, or in months when it is a multiple of twelve.
    const long years = p.interval >= 12 && p.interval % 12 == 0 ? p.interval / 12 : std::max<long>(p.interval, 1);
    switch (p.type) {
    case platform::pim::kRecursDaily:
        if (p.interval >= 1) return print("D%ld %s", interval, e);
        if (p.dayOfWeekMask >= 1) return print("W1 %s%s", d, e);
        return {};
    case platform::pim::kRecursWeekly:
        if (p.dayOfWeekMask < 1) return {};
        return print("W%ld %s%s", interval, d, e);
    case platform::pim::kRecursMonthly:
        if (p.dayOfMonth < 1) return {};
        return print("MD%ld %ld %s", interval, long{p.dayOfMonth}, e);
    case platform::pim::kRecursMonthNth:
        if (p.instance < 1 || p.dayOfWeekMask < 1) return {};
        return print("MP%ld %s %s%s", interval, n, d, e);
    case platform::pim::kRecursYearly:
        // The start date gives the day.
        if (p.dayOfMonth < 1 || p.monthOfYear < 1) return {};
        return print("YM%ld %ld %s", years, long{p.monthOfYear}, e);
    case platform::pim::kRecursYearNth:
        // Written as every twelve months per year; the start date gives the month.
        if (p.dayOfWeekMask < 1 || p.instance < 1) return {};
        return print("MP%ld %s %s%s", years * 12, n, d, e);
    default: return {};
    }
}

}  // namespace orvale::recurrence
