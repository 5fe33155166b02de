#pragma once
// The device's broken-down date-time and its two numeric forms: the variant date (fractional days
// since 1899-12-30 00:00) and the file time (100 ns ticks since 1601-01-01 00:00).
#include <cstdint>

namespace orvale::platform {

struct SystemTime {
    std::uint16_t year = 0;
    std::uint16_t month = 0;      // 1-12
    std::uint16_t dayOfWeek = 0;  // 0 Sunday
    std::uint16_t day = 0;
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;
};

// The one place the distances between the three starts of time are written.
inline constexpr std::int64_t kSecondsPerDay = 86'400;
inline constexpr std::uint64_t kTicksPerSecond = 10'000'000;
// From the file time's start, 1601-01-01, to 1970-01-01.
inline constexpr std::int64_t kDaysFrom1601To1970 = 134'774;
inline constexpr std::int64_t kSecondsFrom1601To1970 = kDaysFrom1601To1970 * kSecondsPerDay;
// 1970-01-01 as a variant date: days from 1899-12-30.
inline constexpr std::int64_t kVariantDayOfUnixEpoch = 25'569;
// File time of 1970-01-01 00:00:00.
inline constexpr std::uint64_t kFileTimeOfUnixEpoch = static_cast<std::uint64_t>(kSecondsFrom1601To1970) * kTicksPerSecond;
static_assert(kFileTimeOfUnixEpoch == 116'444'736'000'000'000ULL);

// Fails on fields out of range (month 1-12, a day that the month has, hour < 24, minute and second
// < 60, milliseconds < 1000, year 1601-30827). The day of week is not read.
bool systemTimeToFileTime(const SystemTime& st, std::uint64_t& fileTime);
// Fails for file times of 2^63 and above. Fills the day of week.
bool fileTimeToSystemTime(std::uint64_t fileTime, SystemTime& st);

// Fails on a month above 12, a day above 31 or a year outside 100-9999; other overflows roll over
// (31 February is 3 March), so callers that need a real date convert back and compare.
// Milliseconds are not carried.
bool systemTimeToVariantTime(const SystemTime& st, double& variantTime);
// Fails outside 0100-01-01 .. 9999-12-31 23:59:59; rounds to the nearest second.
bool variantTimeToSystemTime(double variantTime, SystemTime& st);

// A variant date on a straight line of days. Before the base date the whole part counts back while
// the fraction still counts forward, so -1.25 (1899-12-29 06:00) lies at -0.75.
double linearVariantDays(double variantTime);

// Days since 1970-01-01 of a proleptic Gregorian date (month 1-12, day 1-31), and back.
std::int64_t civilToDays(std::int64_t year, unsigned month, unsigned day);
void daysToCivil(std::int64_t days, std::int64_t& year, unsigned& month, unsigned& day);

}  // namespace orvale::platform
