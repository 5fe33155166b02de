#pragma once
// The device's time-zone information, from the host's zone rules (TZ honoured, else the system
// zone). Biases follow the device's convention: minutes to add to local time to get UTC.
#include <cstdint>
#include <string>

#include "platform/SystemTime.h"

namespace orvale::platform {

struct TimeZoneInformation {
    std::int32_t biasMinutes = 0;          // UTC minus local standard time
    std::int32_t daylightBiasMinutes = 0;  // added to the bias while daylight saving time is in force
    std::u16string standardName;           // at most 31 characters
    std::u16string daylightName;           // empty when the zone keeps no daylight saving time
};

struct ZoneStateAt {
    TimeZoneInformation zone;
    bool daylight = false;  // daylight saving time is in force at the date asked about
};

// The zone's information for the year of `localDateTime`, and whether daylight saving time is in
// force at that local date-time. The zone is read afresh on every call (a changed TZ is seen).
ZoneStateAt zoneStateAt(const SystemTime& localDateTime);

}  // namespace orvale::platform
