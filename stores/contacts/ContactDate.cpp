#include "stores/contacts/ContactDate.h"

#include <cstdio>

#include "platform/SystemTime.h"

namespace orvale::contacts {

namespace {
constexpr auto kTicksPerDay = platform::kSecondsPerDay * static_cast<std::int64_t>(platform::kTicksPerSecond);

std::int64_t daysFromCivil(std::int64_t y, int m, int d) {
    return platform::civilToDays(y, static_cast<unsigned>(m), static_cast<unsigned>(d));
}

ContactDate civilFromDays(std::int64_t days) {
    std::int64_t year = 0;
    unsigned month = 0;
    unsigned day = 0;
    platform::daysToCivil(days, year, month, day);
    return ContactDate{static_cast<int>(year), static_cast<int>(month), static_cast<int>(day)};
}

constexpr std::int64_t kFileTimeEpochDays = -platform::kDaysFrom1601To1970;  // 1601-01-01, in days since 1970

std::optional<int> digits(std::string_view text, std::size_t at, std::size_t count) {
    if (at + count > text.size()) return std::nullopt;
    int v = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        v = v * 10 + (text[i] - '0');
    }
    return v;
}

bool isRealDay(const ContactDate& date) {
    if (date.year < 1601 || date.month < 1 || date.month > 12 || date.day < 1) return false;
    const int next = date.month == 12 ? 1 : date.month + 1;
    const std::int64_t length = daysFromCivil(date.year + (date.month == 12), next, 1) -
                                daysFromCivil(date.year, date.month, 1);
    return date.day <= length;
}
}  // namespace

std::optional<ContactDate> parseContactDate(std::string_view text) {
    const bool dashed = text.find('-') != std::string_view::npos;
    const auto year = digits(text, 0, 4);
    const auto month = digits(text, dashed ? 5 : 4, 2);
    const auto day = digits(text, dashed ? 8 : 6, 2);
    if (!year || !month || !day) return std::nullopt;
    if (dashed && (text[4] != '-' || text[7] != '-')) return std::nullopt;
    const ContactDate date{*year, *month, *day};
    if (!isRealDay(date)) return std::nullopt;
    return date;
}

std::string formatContactDate(const ContactDate& date) {
    if (date == kNoDate) return {};
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d%02d%02d", date.year, date.month, date.day);
    return buffer;
}

std::uint64_t fileTimeOfDate(const ContactDate& date) {
    const std::int64_t days = daysFromCivil(date.year, date.month, date.day) - kFileTimeEpochDays;
    return static_cast<std::uint64_t>(days * kTicksPerDay);
}

std::optional<ContactDate> dateOfFileTime(std::uint64_t fileTime) {
    if ((fileTime >> 32) == 0) return std::nullopt;
    const auto days = static_cast<std::int64_t>(fileTime / kTicksPerDay);
    return civilFromDays(days + kFileTimeEpochDays);
}

}  // namespace orvale::contacts
