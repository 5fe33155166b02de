#pragma once
// The process-wide zone state that every local-time conversion reads. Each conversion first updates
// it for the date it works on, so the bias always belongs to the last date looked at.
#include <cstdint>
#include <string>

#include "platform/SystemTime.h"

namespace orvale::datetime {

struct ZoneState {
    std::int64_t biasSeconds = 0;  // UTC minus local, the daylight bias included while it is in force
    std::int32_t daylightBiasMinutes = 0;
    bool daylight = false;
    std::u16string standardName;  // at most 31 characters each
    std::u16string daylightName;
};

// The state as the last update left it. Not locked: conversions run on one thread at a time.
const ZoneState& zoneState();

// Rewrites the state for the local date-time `at`.
void updateZone(const platform::SystemTime& at);

}  // namespace orvale::datetime
