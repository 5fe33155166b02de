#pragma once
// EXDATE: the occurrences a recurring appointment leaves out, as the device keeps them (one
// exception per replaced occurrence) and as the text carries them.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/pim/PimSession.h"
#include "stores/vcalendar/SenderZone.h"

namespace orvale::calendar {

// Values of more than this many characters are read up to the last whole date within it.
inline constexpr std::size_t kMaxExceptionText = 999;

// Each exception's original date at the occurrences' time of day, joined by ";": in UTC with "Z",
// or, `local`, as the device's wall clock without Z (the form of a recurring event's times).
std::string exceptionDatesText(const platform::pim::RecurrencePattern& pattern, bool local = false);

// Deletes from the appointment's pattern each occurrence the value names. A date-time with "Z" is
// UTC; one without is local time of the event's zone (`zone`, the device's own when it has no TZ,
// and always the device's for an all-day event); a date alone names the occurrence
// on that local day. Parts that name no occurrence are skipped.
void deleteExceptionDates(std::string_view value, platform::pim::Item& appointment,
                          const vcalendar::SenderZone& zone, bool allDay);

}  // namespace orvale::calendar
