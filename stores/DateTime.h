#pragma once
// Seconds since 1970-01-01 00:00:00 UTC and their broken-down forms, computed by our own calendar
// arithmetic over the platform's zone information, so the results do not depend on the host's
// mktime. Seconds are signed 64-bit and cover every year the device's calendar dates do (100 to
// 9999), so a birthday series from 1965 or a rule ending in 2040 keeps its dates. Every second of
// that range is a valid result, -1 included (1969-12-31 23:59:59 UTC): a failed conversion is an
// empty optional, never a number.
#include <cstdint>
#include <ctime>
#include <optional>

#include "platform/SystemTime.h"

namespace orvale::datetime {

inline constexpr int kFirstYear = 100;
inline constexpr int kLastYear = 9999;

// Local fields to seconds (mktime): normalises the fields in place (31 February becomes 3 March)
// and fills day of week, day of year and the daylight flag. Fields that normalise to a date
// outside kFirstYear..kLastYear give nothing. The fields' daylight flag is not read: the zone
// rules decide.
std::optional<std::int64_t> makeLocalTime(std::tm& fields);

// UTC fields to seconds (timegm), normalised like makeLocalTime.
std::optional<std::int64_t> makeUtcTime(const std::tm& fields);

// Seconds to UTC fields (gmtime) and to local fields (localtime); false when the result's date is
// outside kFirstYear..kLastYear.
bool breakDownUtc(std::int64_t seconds, std::tm& fields);
bool breakDownLocal(std::int64_t seconds, std::tm& fields);

// The local clock counted from the epoch, with no bias applied.
std::optional<std::int64_t> currentTime();

// UTC fields to local fields, with the zone's bias at that date (so an end date in summer is not
// shifted by a winter bias left from an earlier conversion).
bool utcFieldsToLocal(const std::tm& utc, std::tm& local);

// Seconds between the epoch and the fields taken as they stand (no zone, no normalisation); false
// for fields that are not a real date-time of kFirstYear..kLastYear.
bool secondsSinceEpoch(const std::tm& fields, std::int64_t& seconds);

// Between the device's broken-down time and the C library layout.
platform::SystemTime toSystemTime(const std::tm& fields);
std::tm toFields(const platform::SystemTime& st);

// A device-local date-time to seconds and back, for values read from or written to the device's
// time properties (file times and variant dates hold local wall-clock time).
std::optional<std::int64_t> localSystemTimeToSeconds(const platform::SystemTime& local);
std::optional<platform::SystemTime> secondsToLocalSystemTime(std::int64_t seconds);

}  // namespace orvale::datetime
