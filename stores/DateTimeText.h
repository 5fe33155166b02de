#pragma once
// The vCalendar time texts: YYYYMMDDTHHMMSS in device local time, the same followed by Z in UTC,
// and YYYYMMDD for a date. Shared by the calendar, the tasks and the recurrence rules, so every
// store reads and writes them alike; results are empty (nothing, or an empty text) when a value
// is not a time of the years 100 to 9999.
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "platform/SystemTime.h"

namespace orvale::datetime {

// Fixed positions read with a leading-decimal conversion; a trailing Z is not looked at, the
// caller chooses the reading. Texts shorter than the form give nothing.
std::optional<std::int64_t> parseLocal(std::string_view text);
std::optional<std::int64_t> parseUtc(std::string_view text);

// A date-only value: exactly eight digits naming a real date ("20270410"), the form servers use
// for all-day events and dated tasks. Anything else is not one.
bool isDateOnly(std::string_view text);
std::optional<platform::SystemTime> parseDateOnly(std::string_view text);
// A date-only value as local midnight of that date.
std::optional<std::int64_t> parseLocalDate(std::string_view text);

// "%04d%02d%02dT%02d%02d%02d" of the UTC or the local fields, with a trailing Z when asked.
std::string formatUtc(std::int64_t seconds, bool withZ);
std::string formatLocal(std::int64_t seconds, bool withZ);

// The device's broken-down time written as it stands: "...T...Z" and "...T000000" (no conversion).
std::string formatSystemTime(const platform::SystemTime& st);
std::string formatSystemDate(const platform::SystemTime& st);

// The fixed positions of a 15- or 16-character text (YYYYMMDDTHHMMSS, a 16th character such as Z
// ignored) as fields, without any zone conversion and not checked for range (31 February stays);
// nothing for other lengths or a field with a sign.
std::optional<platform::SystemTime> textFields(std::string_view text);

// A device-local date-time as the UTC text "YYYYMMDDTHHMMSSZ"; empty out of range.
std::string localToUtcText(const platform::SystemTime& local);
// A YYYYMMDDTHHMMSS text read as UTC (whatever follows the form), as a device-local date-time.
std::optional<platform::SystemTime> utcTextToLocal(std::string_view text);

// Local date-time `fields` of a zone `offsetEastSeconds` east of UTC, as device local text (no Z).
// Empty text when the time is out of range.
std::string fixedZoneToDeviceLocal(const std::tm& fields, std::int64_t offsetEastSeconds);

}  // namespace orvale::datetime
