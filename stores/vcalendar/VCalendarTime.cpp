#include "stores/vcalendar/VCalendarTime.h"

#include <algorithm>

#include "platform/DecimalText.h"
#include "platform/SystemTime.h"
#include "stores/DateTime.h"
#include "stores/DateTimeText.h"
#include "stores/VariantDate.h"
#include "stores/ZoneOffset.h"

namespace orvale::vcalendar {

namespace {
constexpr std::string_view kConversionFailed = "19710101T000000Z";

int digitsAt(std::string_view text, std::size_t pos, std::size_t len) {
    return platform::leadingDecimal(text.substr(pos, len));
}

std::optional<platform::SystemTime> fieldsOfText(std::string_view text) {
    if (text.size() != 15 && text.size() != 16) return std::nullopt;
    const int year = digitsAt(text, 0, 4), month = digitsAt(text, 4, 2), day = digitsAt(text, 6, 2);
    const int hour = digitsAt(text, 9, 2), minute = digitsAt(text, 11, 2), second = digitsAt(text, 13, 2);
    if (year < 0 || month < 0 || day < 0 || hour < 0 || minute < 0 || second < 0) return std::nullopt;
    platform::SystemTime st;
    st.year = static_cast<std::uint16_t>(year);
    st.month = static_cast<std::uint16_t>(month);
    st.day = static_cast<std::uint16_t>(day);
    st.hour = static_cast<std::uint16_t>(hour);
    st.minute = static_cast<std::uint16_t>(minute);
    st.second = static_cast<std::uint16_t>(second);
    return st;
}

std::optional<platform::SystemTime> fieldsOfFileTime(std::uint64_t fileTime) {
    platform::SystemTime st;
    if (fileTime == 0 || !platform::fileTimeToSystemTime(fileTime, st)) return std::nullopt;
    return st;
}
}  // namespace

std::int32_t zoneOffsetSeconds(std::string_view tz) { return datetime::parseZoneOffset(tz); }

std::optional<std::string> deviceLocalText(std::string_view value, std::int32_t offsetEast) {
    const bool utc = value.find('Z') != std::string_view::npos;
    const auto seconds = utc ? datetime::parseUtc(value) : datetime::parseLocal(value);
    if (!seconds) return std::nullopt;
    std::string text;
    if (utc || offsetEast == 0) {
        text = datetime::formatLocal(*seconds, false);
    } else {
        std::tm fields{};
        if (!datetime::breakDownLocal(*seconds, fields)) return std::nullopt;
        text = datetime::fixedZoneToDeviceLocal(fields, offsetEast);
    }
    if (text.empty()) return std::nullopt;
    return text;
}

bool isDateOnly(std::string_view value) { return datetime::isDateOnly(value); }

std::uint64_t fileTimeOfText(std::string_view text) {
    const auto st = fieldsOfText(text);
    std::uint64_t fileTime = 0;
    if (!st || !platform::systemTimeToFileTime(*st, fileTime)) return 0;
    return fileTime;
}

std::string utcTextOfFileTime(std::uint64_t fileTime) {
    if (fileTime == 0) return {};
    const auto st = fieldsOfFileTime(fileTime);
    if (!st) return std::string(kConversionFailed);
    const std::string text = datetime::localToUtcText(*st);
    return text.empty() ? std::string(kConversionFailed) : text;
}

std::string dateTextOfFileTime(std::uint64_t fileTime) {
    const auto st = fieldsOfFileTime(fileTime);
    return st ? datetime::formatSystemDate(*st) : std::string();
}

std::optional<double> variantOfFileTime(std::uint64_t fileTime) {
    const auto st = fieldsOfFileTime(fileTime);
    return st ? datetime::checkedVariantDate(*st) : std::nullopt;
}

std::optional<double> variantOfText(std::string_view text) {
    const auto st = fieldsOfText(text);
    return st ? datetime::checkedVariantDate(*st) : std::nullopt;
}

}  // namespace orvale::vcalendar
