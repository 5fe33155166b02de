#pragma once
// The device's recurrence pattern as an iCalendar RRULE, and back. Every pattern type of the
// device has its rule; of the rules other programs write, those the device can hold are read
// (by day, week, month and year; an n-th weekday, also as BYSETPOS), others are refused.
#include <optional>
#include <string>

#include <libical/ical.h>

#include "platform/pim/RecurrencePattern.h"

namespace orvale::platform::pim::eds {

// Nothing for a pattern without a meaningful rule (a weekly one without a day, say).
std::optional<icalrecurrencetype> ruleOfPattern(const RecurrencePattern& pattern);

// The pattern the device makes for an item starting at the local variant date-time `start` (and,
// for an appointment, ending at `end`) when the rule is applied to it; nothing, with `why`, for a
// rule the device cannot hold.
std::optional<RecurrencePattern> patternOfRule(const icalrecurrencetype& rule, double start,
                                               std::optional<double> end, std::string* why);

}  // namespace orvale::platform::pim::eds
