#pragma once
// The TZ property of a vCalendar: the sender's offset from UTC, "-05", "-0500", "+01", "+01:00" or
// "0100". Both signs are read, and a ":" may stand between hours and minutes.
#include <cstdint>
#include <string_view>

namespace orvale::datetime {

// Seconds east of UTC: an optional sign, two characters of hours, an optional ":", two characters
// of minutes. Each part reads its leading digits (none read as 0), so a value the rule cannot read
// is the zone of UTC rather than an error.
std::int32_t parseZoneOffset(std::string_view value);

}  // namespace orvale::datetime
