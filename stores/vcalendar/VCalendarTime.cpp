#include "stores/vcalendar/VCalendarTime.h"

#include "platform/SystemTime.h"
#include "stores/DateTimeText.h"
#include "stores/VariantDate.h"

namespace orvale::vcalendar {

namespace {
constexpr std::string_view kConversionFailed = "19710101T000000Z";

std::optional<platform::SystemTime> fieldsOfFileTime(std::uint64_t fileTime) {
    platform::SystemTime st;
    if (fileTime == 0 || !platform::fileTimeToSystemTime(fileTime, st)) return std::nullopt;
    return st;
}
}  // namespace

std::optional<std::string> deviceLocalText(std::string_view value, std::int32_t offsetEast) {
    std::optional<std::int64_t> instant;
    if (value.find('Z') != std::string_view::npos || offsetEast != 0) {
        // The wall clock of UTC, or of the zone east of it by the offset.
        instant = datetime::parseUtc(value);
        if (instant) *instant -= value.find('Z') != std::string_view::npos ? 0 : offsetEast;
    } else {
        instant = datetime::parseLocal(value);
    }
    if (!instant) return std::nullopt;
    std::string text = datetime::formatLocal(*instant, false);
    if (text.empty()) return std::nullopt;
    return text;
}

std::uint64_t fileTimeOfText(std::string_view text) {
    const auto st = datetime::textFields(text);
    std::uint64_t fileTime = 0;
    if (!st || !platform::systemTimeToFileTime(*st, fileTime)) return 0;
    return fileTime;
}

std::string utcTextOfFileTime(std::uint64_t fileTime) {
    if (fileTime == 0) return {};
    const auto st = fieldsOfFileTime(fileTime);
    const std::string text = st ? datetime::localToUtcText(*st) : std::string();
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
    const auto st = datetime::textFields(text);
    return st ? datetime::checkedVariantDate(*st) : std::nullopt;
}

}  // namespace orvale::vcalendar
