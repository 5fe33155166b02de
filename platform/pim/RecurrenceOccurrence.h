#pragma once
// Which local date-times a recurrence pattern names. The device looks occurrences up by their start
// (an excluded date arrives as a date-time), so a pattern must be able to say whether one of its
// occurrences starts at a given moment.
#include <cstdint>
#include <optional>

#include "platform/pim/RecurrencePattern.h"

namespace orvale::platform::pim {

// Whether an occurrence of `pattern` starts at `localDateTime` (a variant date in device local time,
// compared to the second), exceptions not considered. Weeks start on Sunday, so "every other week"
// counts whole Sunday-to-Saturday weeks from the one holding the pattern start. An end by count
// (occurrences > 0 and no no-end flag) takes precedence over the end date. Yearly intervals count
// years; a multiple of 12 is taken as months. Values that are not dates (not finite, or outside the
// years 100-9999) name no occurrence.
bool patternOccursAt(const RecurrencePattern& pattern, double localDateTime);

// Whether one of the pattern's exceptions replaces the occurrence on the day of `localDateTime`.
bool hasExceptionOn(const RecurrencePattern& pattern, double localDateTime);

// The number of occurrences on the days from the pattern's first day through the day of
// `lastDate` (a local variant date; its time of day does not matter), whatever the pattern's end.
int64_t occurrencesThrough(const RecurrencePattern& pattern, double lastDate);

// The local date, at midnight, of occurrence `n` (1 is the first), whatever the pattern's end;
// nothing when the pattern has no such occurrence up to 9999-12-31.
std::optional<double> nthOccurrenceDate(const RecurrencePattern& pattern, int64_t n);

}  // namespace orvale::platform::pim
