#include "platform/TimeZone.h"

#include <ctime>

#include "platform/TextConversion.h"

namespace orvale::platform {

namespace {

struct Probe {
    long gmtoff = 0;
    bool dst = false;
    std::string name;
};

Probe probeAt(std::int64_t utcSeconds) {
    const auto t = static_cast<std::time_t>(utcSeconds);
    std::tm tm{};
    Probe p;
    if (::localtime_r(&t, &tm) == nullptr) return p;
    p.gmtoff = tm.tm_gmtoff;
    p.dst = tm.tm_isdst > 0;
    p.name = tm.tm_zone != nullptr ? tm.tm_zone : "";
    return p;
}

std::u16string zoneName(const std::string& name) {
    std::u16string w = utf8ToUtf16(name);
    if (w.size() > 31) w.resize(31);
    return w;
}

}  // namespace

// The host answers "what is the offset at this instant"; the device asks "is daylight time in force
// at this local date-time". The local date-time is placed on the time line with the zone's standard
// offset, as the device's own rule tables are written in standard time. Standard and daylight offsets
// come from probing the middle of each month of that year.
ZoneStateAt zoneStateAt(const SystemTime& localDateTime) {
    ::tzset();
    const std::int64_t year = localDateTime.year;
    Probe standard;
    Probe daylight;
    bool haveStandard = false;
    bool haveDaylight = false;
    for (unsigned m = 1; m <= 12; ++m) {
        const Probe p = probeAt(civilToDays(year, m, 15) * 86'400 + 12 * 3600);
        if (p.dst && !haveDaylight) {
            daylight = p;
            haveDaylight = true;
        } else if (!p.dst && !haveStandard) {
            standard = p;
            haveStandard = true;
        }
    }
    if (!haveStandard) standard = probeAt(civilToDays(year, 1, 15) * 86'400);

    ZoneStateAt out;
    out.zone.biasMinutes = static_cast<std::int32_t>(-standard.gmtoff / 60);
    out.zone.standardName = zoneName(standard.name);
    if (haveDaylight) {
        out.zone.daylightBiasMinutes = static_cast<std::int32_t>(-(daylight.gmtoff - standard.gmtoff) / 60);
        out.zone.daylightName = zoneName(daylight.name);
    }
    const unsigned month =
        localDateTime.month < 1 ? 1u : (localDateTime.month > 12 ? 12u : localDateTime.month);
    const std::int64_t localSeconds =
        civilToDays(year, month, localDateTime.day == 0 ? 1u : localDateTime.day) * 86'400 +
        localDateTime.hour * 3600 + localDateTime.minute * 60 + localDateTime.second;
    const Probe at = probeAt(localSeconds - standard.gmtoff);
    out.daylight = haveDaylight && at.dst;
    return out;
}

}  // namespace orvale::platform
