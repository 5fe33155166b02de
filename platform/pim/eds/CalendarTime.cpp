#include "platform/pim/eds/CalendarTime.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/Clock.h"
#include "platform/pim/RecurrencePattern.h"

namespace orvale::platform::pim::eds {

namespace {

// The zone's location name: TZ when set (":Europe/Berlin" and "Europe/Berlin" alike), else the
// system's, from /etc/timezone or the link /etc/localtime.
std::string deviceZoneName() {
    if (const char* tz = std::getenv("TZ")) {
        std::string_view name = tz;
        if (!name.empty() && name.front() == ':') name.remove_prefix(1);
        return std::string(name);
    }
    std::ifstream file("/etc/timezone");
    std::string line;
    if (file && std::getline(file, line) && !line.empty()) return line;
    std::error_code ec;
    const auto target = std::filesystem::read_symlink("/etc/localtime", ec).string();
    const auto at = target.find("zoneinfo/");
    return ec || at == std::string::npos ? std::string() : target.substr(at + 9);
}

bool isUtcName(std::string_view name) {
    return name.empty() || name == "UTC" || name == "Etc/UTC" || name == "UTC0" || name == "GMT" ||
           name == "Etc/GMT" || name == "Universal" || name == "Zulu";
}

std::tm tmOf(const SystemTime& st) {
    std::tm tm{};
    tm.tm_year = st.year - 1900;
    tm.tm_mon = st.month - 1;
    tm.tm_mday = st.day;
    tm.tm_hour = st.hour;
    tm.tm_min = st.minute;
    tm.tm_sec = st.second;
    tm.tm_isdst = -1;
    return tm;
}

std::optional<SystemTime> systemTimeOf(const std::tm& tm) {
    if (tm.tm_year + 1900 < 1601 || tm.tm_year + 1900 > 9999) return std::nullopt;
    return systemTimeOfFields(tm);
}

std::optional<SystemTime> fromIcal(const icaltimetype& t) {
    if (icaltime_is_null_time(t) || t.year < 1601 || t.year > 9999 || t.month < 1 || t.month > 12 || t.day < 1 ||
        t.day > 31)
        return std::nullopt;
    SystemTime st;
    st.year = static_cast<std::uint16_t>(t.year);
    st.month = static_cast<std::uint16_t>(t.month);
    st.day = static_cast<std::uint16_t>(t.day);
    if (!t.is_date) {
        if (t.hour < 0 || t.hour > 23 || t.minute < 0 || t.minute > 59 || t.second < 0 || t.second > 60)
            return std::nullopt;
        st.hour = static_cast<std::uint16_t>(t.hour);
        st.minute = static_cast<std::uint16_t>(t.minute);
        st.second = static_cast<std::uint16_t>(t.second == 60 ? 59 : t.second);
    }
    // Only a date that really exists is handed on (30 February is refused, not rolled over).
    std::uint64_t ft = 0;
    if (!systemTimeToFileTime(st, ft) || !fileTimeToSystemTime(ft, st)) return std::nullopt;
    return st;
}

icaltimetype icalOf(const SystemTime& st, bool dateOnly) {
    icaltimetype t = icaltime_null_time();
    t.year = st.year;
    t.month = st.month;
    t.day = st.day;
    t.is_date = dateOnly ? 1 : 0;
    if (!dateOnly) {
        t.hour = st.hour;
        t.minute = st.minute;
        t.second = st.second;
    }
    return t;
}

}  // namespace

std::optional<SystemTime> deviceDate(const PropValue& value) {
    if (value.flags == kFlagNotFound || (value.fileTime >> 32) == 0) return std::nullopt;
    SystemTime st;
    double variant = 0;
    if (!fileTimeToSystemTime(value.fileTime, st) || !systemTimeToVariantTime(st, variant) || variant == kNoEndDate)
        return std::nullopt;
    return st;
}

PropValue timeValue(uint32_t id, const SystemTime& local) {
    PropValue v;
    v.id = id;
    systemTimeToFileTime(local, v.fileTime);
    return v;
}

icaltimezone* deviceZone() {
    const std::string name = deviceZoneName();
    if (isUtcName(name) || name.find('/') == std::string::npos) return nullptr;
    return icaltimezone_get_builtin_timezone(name.c_str());
}

std::optional<std::int64_t> localToUtcSeconds(const SystemTime& local) {
    std::tm tm = tmOf(local);
    const std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1) && !(local.year == 1969 || local.year == 1970)) return std::nullopt;
    return static_cast<std::int64_t>(t);
}

std::optional<SystemTime> utcSecondsToLocal(std::int64_t seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    if (localtime_r(&t, &tm) == nullptr) return std::nullopt;
    return systemTimeOf(tm);
}

icaltimetype utcTime(const SystemTime& local) {
    const auto seconds = localToUtcSeconds(local);
    if (!seconds) return icaltime_null_time();
    return icaltime_from_timet_with_zone(static_cast<time_t>(*seconds), 0, icaltimezone_get_utc_timezone());
}

void setTimeProperty(icalproperty* property, const SystemTime& local, bool dateOnly) {
    icaltimetype t = icalOf(local, dateOnly);
    icaltimezone* zone = dateOnly ? nullptr : deviceZone();
    if (!dateOnly && zone == nullptr) t = utcTime(local);
    if (zone != nullptr) {
        t.zone = zone;
        icalproperty_add_parameter(property, icalparameter_new_tzid(icaltimezone_get_tzid(zone)));
    }
    icalproperty_set_value(property, dateOnly ? icalvalue_new_date(t) : icalvalue_new_datetime(t));
}

ZoneReader::ZoneReader(std::string_view timezones) {
    if (timezones.empty()) return;
    calendar_ = icalcomponent_new_from_string(std::string(timezones).c_str());
    if (calendar_ == nullptr) return;
    auto take = [&](icalcomponent* vtimezone) {
        icaltimezone* zone = icaltimezone_new();
        if (icaltimezone_set_component(zone, icalcomponent_new_clone(vtimezone)) != 0) zones_.push_back(zone);
        else icaltimezone_free(zone, 1);
    };
    if (icalcomponent_isa(calendar_) == ICAL_VTIMEZONE_COMPONENT) take(calendar_);
    for (icalcomponent* c = icalcomponent_get_first_component(calendar_, ICAL_VTIMEZONE_COMPONENT); c != nullptr;
         c = icalcomponent_get_next_component(calendar_, ICAL_VTIMEZONE_COMPONENT))
        take(c);
}

ZoneReader::~ZoneReader() {
    for (icaltimezone* zone : zones_) icaltimezone_free(zone, 1);
    if (calendar_ != nullptr) icalcomponent_free(calendar_);
}

icaltimezone* ZoneReader::zoneNamed(const char* tzid) const {
    for (icaltimezone* zone : zones_) {
        const char* id = icaltimezone_get_tzid(zone);
        if (id != nullptr && std::strcmp(id, tzid) == 0) return zone;
    }
    if (icaltimezone* builtin = icaltimezone_get_builtin_timezone_from_tzid(tzid)) return builtin;
    // Other programs name zones by location alone, or with a prefix of their own before it.
    std::string_view name = tzid;
    for (std::size_t slash = name.find('/'); slash != std::string_view::npos; slash = name.find('/', slash + 1)) {
        if (icaltimezone* z = icaltimezone_get_builtin_timezone(std::string(name.substr(slash + 1)).c_str())) return z;
    }
    return icaltimezone_get_builtin_timezone(tzid);
}

std::optional<SystemTime> ZoneReader::local(const icalproperty* property, icaltimetype value) const {
    if (value.is_date) return fromIcal(value);
    icaltimezone* zone = nullptr;
    if (icaltime_is_utc(value)) {
        zone = icaltimezone_get_utc_timezone();
    } else if (icalparameter* p = icalproperty_get_first_parameter(const_cast<icalproperty*>(property),
                                                                   ICAL_TZID_PARAMETER)) {
        const char* tzid = icalparameter_get_tzid(p);
        if (tzid == nullptr) return fromIcal(value);
        zone = zoneNamed(tzid);
        // The device's own zone: its wall-clock time is the device's as it stands, even in the hour
        // that a change of daylight saving time skips or repeats.
        if (zone != nullptr && zone == deviceZone()) return fromIcal(value);
    }
    // A floating time, or a zone nobody can resolve, reads as the device's wall clock.
    if (zone == nullptr) return fromIcal(value);
    if (!fromIcal(value)) return std::nullopt;
    value.zone = zone;
    return utcSecondsToLocal(static_cast<std::int64_t>(icaltime_as_timet_with_zone(value, zone)));
}

}  // namespace orvale::platform::pim::eds
