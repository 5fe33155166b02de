#include "stores/calendar/EventExceptions.h"

#include <cmath>
#include <optional>

#include "platform/SystemTime.h"
#include "stores/DateTimeText.h"
#include "stores/vcalendar/VCalendarTime.h"

namespace orvale::calendar {

namespace pim = platform::pim;

namespace {
using platform::kSecondsPerDay;

// Variant dates to whole seconds and back, as the device compares occurrences.
std::int64_t secondsOf(double variant) { return std::llround(variant * kSecondsPerDay); }
std::int64_t floorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// The occurrence's start on the day of `variantDay` at the pattern's time of day.
double onDayAtPatternTime(double variantDay, const pim::RecurrencePattern& pattern) {
    const std::int64_t day = floorDiv(secondsOf(variantDay), kSecondsPerDay);
    const std::int64_t time = secondsOf(pattern.startTime);
    return static_cast<double>(day * kSecondsPerDay + (time - floorDiv(time, kSecondsPerDay) * kSecondsPerDay)) /
           kSecondsPerDay;
}

std::string utcTextOfVariant(double variant) {
    platform::SystemTime st;
    if (!std::isfinite(variant) || !platform::variantTimeToSystemTime(variant, st)) return {};
    return datetime::localToUtcText(st);
}

std::string localTextOfVariant(double variant) {
    platform::SystemTime st;
    if (!std::isfinite(variant) || !platform::variantTimeToSystemTime(variant, st)) return {};
    return datetime::formatSystemLocal(st);
}

// The local start a part names, as a variant date.
std::optional<double> occurrenceOf(std::string_view part, const pim::RecurrencePattern& pattern,
                                   const vcalendar::SenderZone& zone, bool allDay) {
    if (datetime::isDateOnly(part)) {
        const auto day = vcalendar::variantOfText(std::string(part) + "T000000");
        if (!day) return std::nullopt;
        return onDayAtPatternTime(*day, pattern);
    }
    if (part.size() != 15 && part.size() != 16) return std::nullopt;
    const bool utc = part.find('Z') != std::string_view::npos;
    if (!utc && allDay) return vcalendar::variantOfText(part);
    const auto local = vcalendar::deviceLocalText(part, utc ? 0 : zone.offsetAt(part));
    return local ? vcalendar::variantOfText(*local) : std::nullopt;
}
}  // namespace

std::string exceptionDatesText(const pim::RecurrencePattern& pattern, bool local) {
    std::string out;
    for (const auto& exception : pattern.exceptions) {
        const double at = onDayAtPatternTime(exception.originalDate, pattern);
        const std::string text = local ? localTextOfVariant(at) : utcTextOfVariant(at);
        if (text.empty()) continue;
        if (!out.empty()) out += ';';
        out += text;
    }
    return out;
}

void deleteExceptionDates(std::string_view value, pim::Item& appointment, const vcalendar::SenderZone& zone,
                          bool allDay) {
    if (value.size() > kMaxExceptionText) {
        // A date cut in two would name another moment (a UTC time without its Z, a date-time read
        // as a date): only whole dates are kept.
        const bool cutAtSeparator = value[kMaxExceptionText] == ';';
        value = value.substr(0, kMaxExceptionText);
        if (!cutAtSeparator) {
            const std::size_t last = value.rfind(';');
            value = last == std::string_view::npos ? std::string_view() : value.substr(0, last);
        }
    }
    const pim::RecurrencePattern& pattern = appointment.recurrence();
    std::size_t start = 0;
    while (start <= value.size()) {
        std::size_t end = value.find(';', start);
        if (end == std::string_view::npos) end = value.size();
        if (const auto when = occurrenceOf(value.substr(start, end - start), pattern, zone, allDay))
            appointment.deleteOccurrenceAt(*when);
        start = end + 1;
    }
}

}  // namespace orvale::calendar
