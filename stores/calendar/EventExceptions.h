#pragma once
// EXDATE: the occurrences a recurring appointment leaves out, as the device keeps them (one
// exception per replaced occurrence) and as the text carries them.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/pim/PimSession.h"

namespace orvale::calendar {

// Values of more than this many characters are read up to the last whole date within it.
inline constexpr std::size_t kMaxExceptionText = 999;

// Each exception's original date at the occurrences' time of day, in UTC with "Z", joined by ";".
std::string exceptionDatesText(const platform::pim::RecurrencePattern& pattern);

// Deletes from the appointment's pattern each occurrence the value names. A date-time with "Z" is
// UTC; one without is local time of the event's zone (`zoneOffset` seconds east of UTC, 0 for the
// device's own, and always the device's for an all-day event); a date alone names the occurrence
// on that local day. Parts that name no occurrence are skipped.
void deleteExceptionDates(std::string_view value, platform::pim::Item& appointment, std::int32_t zoneOffset,
                          bool allDay);

}  // namespace orvale::calendar
