#pragma once
// Time values of events and tasks: received texts read into device local time, and the device's
// stored date-times (local wall-clock file times) written as texts.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvale::vcalendar {

// A received date-time as device local "YYYYMMDDTHHMMSS": with "Z" read as UTC; otherwise as
// device local time, first moved from the zone `offsetEast` seconds east of UTC when that is not 0.
// None when the text names no date-time the device can hold.
std::optional<std::string> deviceLocalText(std::string_view value, std::int32_t offsetEast);

// A 15- or 16-character date-time cut at its fixed positions (a trailing "Z" ignored) as the
// device's file time, no zone applied; 0 for any other text or one that names no date-time.
std::uint64_t fileTimeOfText(std::string_view text);

// A stored local date-time written in UTC with "Z"; empty for 0 (no value), "19710101T000000Z" when
// it cannot be converted.
std::string utcTextOfFileTime(std::uint64_t fileTime);
// A stored date-time's local date followed by "T000000"; empty for 0.
std::string dateTextOfFileTime(std::uint64_t fileTime);

// The variant date of a stored local date-time, or of a local text as fileTimeOfText reads it;
// none when it is no real date.
std::optional<double> variantOfFileTime(std::uint64_t fileTime);
std::optional<double> variantOfText(std::string_view text);

}  // namespace orvale::vcalendar
