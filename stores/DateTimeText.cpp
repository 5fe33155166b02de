#include "stores/DateTimeText.h"

#include <cstdint>
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

std::tm fieldsOf(std::string_view text) {
    std::tm f{};
    f.tm_year = field(text, 0, 4) - 1900;
    f.tm_mon = field(text, 4, 2) - 1;
    f.tm_mday = field(text, 6, 2);
    f.tm_hour = field(text, 9, 2);
    f.tm_min = field(text, 11, 2);
    f.tm_sec = field(text, 13, 2);
    return f;
}

// Four-digit years, so that a year before 1000 still reads back at the fixed positions.
std::string format(int year, int month, int day, int hour, int minute, int second, const char* tail) {
    char buf[64];
    const int n = std::snprintf(buf, sizeof buf, "%04d%02d%02dT%02d%02d%02d%s", year, month, day, hour, minute,
                                second, tail);
    return std::string(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
}

std::string format(const std::tm& f, bool withZ) {
    return format(f.tm_year + 1900, f.tm_mon + 1, f.tm_mday, f.tm_hour, f.tm_min, f.tm_sec, withZ ? "Z" : "");
}

}  // namespace

std::optional<std::int64_t> parseLocal(std::string_view text) {
    if (text.size() < kDateTimeLength) return std::nullopt;
    std::tm f = fieldsOf(text);
    return makeLocalTime(f);
}

std::optional<std::int64_t> parseUtc(std::string_view text) {
    if (text.size() < kDateTimeLength) return std::nullopt;
    return makeUtcTime(fieldsOf(text));
}

std::optional<platform::SystemTime> parseDateOnly(std::string_view text) {
    if (text.size() != kDateLength) return std::nullopt;
    for (char c : text)
        if (c < '0' || c > '9') return std::nullopt;
    std::tm f{};
    f.tm_year = field(text, 0, 4) - 1900;
    f.tm_mon = field(text, 4, 2) - 1;
    f.tm_mday = field(text, 6, 2);
    std::int64_t unused = 0;
    if (!secondsSinceEpoch(f, unused)) return std::nullopt;  // 20270231 names no day
    platform::SystemTime st = toSystemTime(f);
    st.dayOfWeek = 0;
    return st;
}

bool isDateOnly(std::string_view text) {
    return parseDateOnly(text).has_value();
}

std::optional<std::int64_t> parseLocalDate(std::string_view text) {
    const auto date = parseDateOnly(text);
    if (!date) return std::nullopt;
    return localSystemTimeToSeconds(*date);
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
    return format(st.year, st.month, st.day, st.hour, st.minute, st.second, "Z");
}

std::string formatSystemDate(const platform::SystemTime& st) {
    return format(st.year, st.month, st.day, 0, 0, 0, "");
}

std::optional<platform::SystemTime> textFields(std::string_view text) {
    if (text.size() != kDateTimeLength && text.size() != kDateTimeLength + 1) return std::nullopt;
    const std::tm f = fieldsOf(text);
    // Each field is a reading of at most four digits, so it fits; only a sign could make it wrap.
    if (f.tm_year + 1900 < 0 || f.tm_mon + 1 < 0 || f.tm_mday < 0 || f.tm_hour < 0 || f.tm_min < 0 || f.tm_sec < 0)
        return std::nullopt;
    return toSystemTime(f);
}

std::string localToUtcText(const platform::SystemTime& local) {
    const auto seconds = localSystemTimeToSeconds(local);
    return seconds ? formatUtc(*seconds, true) : std::string();
}

std::optional<platform::SystemTime> utcTextToLocal(std::string_view text) {
    const auto seconds = parseUtc(text);
    if (!seconds) return std::nullopt;
    return secondsToLocalSystemTime(*seconds);
}

std::string fixedZoneToDeviceLocal(const std::tm& fields, std::int64_t offsetEastSeconds) {
    // The fields are the zone's wall clock: less the zone's offset they are the UTC instant, which
    // is then shown in device time (with the device's own bias at that date).
    const auto wall = makeUtcTime(fields);
    if (!wall || offsetEastSeconds < INT32_MIN || offsetEastSeconds > INT32_MAX) return {};
    return formatLocal(*wall - offsetEastSeconds, false);
}

}  // namespace orvale::datetime
