#include "stores/DateTimeText.h"

#include <cstdio>

#include "platform/DecimalText.h"
#include "stores/DateTime.h"

namespace orvale::datetime {

namespace {

constexpr std::size_t kDateTimeLength = 15;  // YYYYMMDDTHHMMSS
constexpr std::size_t kDateLength = 8;

int field(std::string_view text, std::size_t pos, std::size_t len) {
    return platform::leadingDecimal(text.substr(pos, len));
}

std::tm fieldsOf(std::string_view text, bool withTime) {
    std::tm f{};
    f.tm_year = field(text, 0, 4) - 1900;
    f.tm_mon = field(text, 4, 2) - 1;
    f.tm_mday = field(text, 6, 2);
    if (withTime) {
        f.tm_hour = field(text, 9, 2);
        f.tm_min = field(text, 11, 2);
        f.tm_sec = field(text, 13, 2);
    }
    return f;
}

std::string format(const std::tm& f, bool withZ) {
    char buf[100];
    const std::size_t n = std::strftime(buf, sizeof buf, withZ ? "%Y%m%dT%H%M%SZ" : "%Y%m%dT%H%M%S", &f);
    return std::string(buf, n);
}

}  // namespace

std::int64_t parseLocal(std::string_view text) {
    if (text.size() < kDateTimeLength) return kInvalidTime;
    std::tm f = fieldsOf(text, true);
    return makeLocalTime(f);
}

std::int64_t parseUtc(std::string_view text) {
    if (text.size() < kDateTimeLength) return kInvalidTime;
    return makeUtcTime(fieldsOf(text, true));
}

std::int64_t parseLocalDate(std::string_view text) {
    if (text.size() < kDateLength) return kInvalidTime;
    std::tm f = fieldsOf(text, false);
    return makeLocalTime(f);
}

std::string formatUtc(std::int64_t seconds, bool withZ) {
    std::tm f{};
    return breakDownUtc(seconds, f) ? format(f, withZ) : std::string();
}

std::string formatLocal(std::int64_t seconds, bool withZ) {
    std::tm f{};
    return breakDownLocal(seconds, f) ? format(f, withZ) : std::string();
}

std::string formatSystemTime(const platform::SystemTime& st) {
    char buf[64];
    const int n = std::snprintf(buf, sizeof buf, "%d%02d%02dT%02d%02d%02dZ", st.year, st.month, st.day,
                                st.hour, st.minute, st.second);
    return std::string(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
}

std::string formatSystemDate(const platform::SystemTime& st) {
    char buf[64];
    const int n = std::snprintf(buf, sizeof buf, "%d%02d%02dT000000", st.year, st.month, st.day);
    return std::string(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
}

std::string fixedZoneToDeviceLocal(const std::tm& fields, std::int64_t offsetEastSeconds) {
    std::tm f = fields;
    const std::int64_t local = makeLocalTime(f);
    if (local == kInvalidTime) return {};
    // Read as device local, shifted by the zone's offset: the instant whose local wall clock shows
    // F - Z. Its local fields, taken as UTC, are the instant F - Z; that is shown in device time.
    std::tm shifted{};
    if (!breakDownLocal(local - offsetEastSeconds, shifted)) return {};
    const std::int64_t instant = makeUtcTime(shifted);
    if (instant == kInvalidTime) return {};
    return formatLocal(instant, false);
}

}  // namespace orvale::datetime
