#pragma once
// The vCalendar time texts: YYYYMMDDTHHMMSS in device local time, the same followed by Z in UTC,
// and YYYYMMDD for a date.
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

#include "platform/SystemTime.h"

namespace orvale::datetime {

// Fixed positions; a trailing Z is not looked at, the caller chooses the reading. Texts shorter
// than the form give -1.
std::int64_t parseLocal(std::string_view text);
std::int64_t parseUtc(std::string_view text);
// YYYYMMDD as local midnight.
std::int64_t parseLocalDate(std::string_view text);

// Empty text when the seconds cannot be broken down.
std::string formatUtc(std::int64_t seconds, bool withZ);
std::string formatLocal(std::int64_t seconds, bool withZ);

// The device's broken-down time written as it stands: "...T...Z" and "...T000000" (no conversion).
std::string formatSystemTime(const platform::SystemTime& st);
std::string formatSystemDate(const platform::SystemTime& st);

// Local date-time `fields` of a zone `offsetEastSeconds` east of UTC, as device local text (no Z).
// Empty text when the time is out of range.
std::string fixedZoneToDeviceLocal(const std::tm& fields, std::int64_t offsetEastSeconds);

}  // namespace orvale::datetime
