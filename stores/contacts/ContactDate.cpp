#include "stores/contacts/ContactDate.h"

#include <cstdio>

namespace orvale::contacts {

namespace {
constexpr std::int64_t kTicksPerDay = 864'000'000'000;

// Days since 1970-01-01 of a proleptic Gregorian date, and back (era arithmetic, valid for every
// year the device can hold).
constexpr std::int64_t daysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

constexpr ContactDate civilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return ContactDate{static_cast<int>(yoe + era * 400 + (m <= 2)), m, d};
}

constexpr std::int64_t kFileTimeEpochDays = daysFromCivil(1601, 1, 1);

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
