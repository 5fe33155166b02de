#include "stores/ZoneState.h"

#include "platform/TimeZone.h"

namespace orvale::datetime {

namespace {
ZoneState& state() {
    static ZoneState s;
    return s;
}
}  // namespace

const ZoneState& zoneState() {
    return state();
}

void updateZone(const platform::SystemTime& at) {
    const platform::ZoneStateAt z = platform::zoneStateAt(at);
    ZoneState& s = state();
    const std::int64_t biasMinutes = z.zone.biasMinutes + (z.daylight ? z.zone.daylightBiasMinutes : 0);
    s.biasSeconds = biasMinutes * 60;
    s.daylightBiasMinutes = z.zone.daylightBiasMinutes;
    s.daylight = z.daylight;
    s.standardName = z.zone.standardName;
    s.daylightName = z.zone.daylightName;
}

}  // namespace orvale::datetime
