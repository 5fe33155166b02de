#pragma once
// The device keeps every date as a local wall-clock time without a zone; a calendar component
// names its zone (TZID), says UTC, or floats. Written times name the device's zone when it has a
// name the calendar library knows, so a weekly meeting stays at 10:00 across a change of daylight
// saving time in other programs too; otherwise they are written in UTC.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <libical/ical.h>

#include "platform/SystemTime.h"
#include "platform/pim/PimTypes.h"

namespace orvale::platform::pim::eds {

// A time property's local date-time; nothing for an absent value or one that holds no date (zero,
// or the device's 4501-01-01).
std::optional<SystemTime> deviceDate(const PropValue& value);
PropValue timeValue(uint32_t id, const SystemTime& local);

// The device's zone as the calendar library knows it; null when it has none (UTC, or a zone given
// as a rule rather than a name), and times are then written in UTC.
icaltimezone* deviceZone();

// A property value of `local` in the form written: a date, or a date-time in the device's zone,
// with the TZID parameter that names it added to `property` by setTimeProperty.
void setTimeProperty(icalproperty* property, const SystemTime& local, bool dateOnly);
// The same instant as a UTC date-time (COMPLETED and alarm triggers must be UTC).
icaltimetype utcTime(const SystemTime& local);

// Seconds between two local date-times, as the clock runs (daylight saving changes counted).
std::optional<std::int64_t> localToUtcSeconds(const SystemTime& local);
std::optional<SystemTime> utcSecondsToLocal(std::int64_t seconds);

// Reads the times of a component written anywhere: a TZID names a zone of the component's calendar
// (the VTIMEZONEs handed in), else one the library knows by location; UTC and floating times need
// neither. Dates read as local midnight.
class ZoneReader {
public:
    explicit ZoneReader(std::string_view timezones);
    ~ZoneReader();
    ZoneReader(const ZoneReader&) = delete;
    ZoneReader& operator=(const ZoneReader&) = delete;

    // The device-local date-time of a DTSTART-like property; nothing when it cannot be read.
    std::optional<SystemTime> local(const icalproperty* property, icaltimetype value) const;

private:
    icaltimezone* zoneNamed(const char* tzid) const;
    icalcomponent* calendar_ = nullptr;
    std::vector<icaltimezone*> zones_;
};

}  // namespace orvale::platform::pim::eds
