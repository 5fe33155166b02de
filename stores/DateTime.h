#pragma once
// Seconds since 1970-01-01 00:00:00 UTC and their broken-down forms, computed by our own calendar
// arithmetic over the platform's zone information, so the results do not depend on the host's
// mktime. -1 means invalid; results are kept within 31 bits, as the stored formats expect.
#include <cstdint>
#include <ctime>

#include "platform/SystemTime.h"

namespace orvale::datetime {

inline constexpr std::int64_t kInvalidTime = -1;
inline constexpr std::int64_t kMaxTime = 2'147'483'647;  // 2038-01-19 03:14:07 UTC

// Local fields to seconds (mktime): normalises the fields in place (31 February becomes 3 March)
// and fills day of week, day of year and the daylight flag. Years before 1970 and results beyond
// kMaxTime give -1. The fields' daylight flag is not read: the zone rules decide.
std::int64_t makeLocalTime(std::tm& fields);

// UTC fields to seconds (timegm), by way of makeLocalTime so that the 1970 and 31-bit limits hold.
std::int64_t makeUtcTime(const std::tm& fields);

// Seconds to UTC fields (gmtime) and to local fields (localtime); false when out of range.
bool breakDownUtc(std::int64_t seconds, std::tm& fields);
bool breakDownLocal(std::int64_t seconds, std::tm& fields);

// The local clock counted from the epoch, with no bias applied.
std::int64_t currentTime();

// UTC fields to local fields with the zone state as it stands (no update).
bool utcFieldsToLocal(const std::tm& utc, std::tm& local);

// Seconds between the epoch and the fields taken as they stand (no zone, no normalisation); false
// for fields outside their ranges.
bool secondsSinceEpoch(const std::tm& fields, std::int64_t& seconds);

// Between the device's broken-down time and the C library layout.
platform::SystemTime toSystemTime(const std::tm& fields);
std::tm toFields(const platform::SystemTime& st);

}  // namespace orvale::datetime
