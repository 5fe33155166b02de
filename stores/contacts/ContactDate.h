#pragma once
// Birthday and anniversary: a calendar date on the device (a file time at 00:00), "YYYYMMDD" in the
// vCards the program writes, "YYYYMMDD" or "YYYY-MM-DD..." in the vCards it receives.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvale::contacts {

struct ContactDate {
    int year = 0;
    int month = 0;
    int day = 0;
    bool operator==(const ContactDate&) const = default;
};

// The device's value for "no date".
inline constexpr ContactDate kNoDate{4501, 1, 1};

// None for texts that do not name a real day (too short, not digits, 31 February).
std::optional<ContactDate> parseContactDate(std::string_view text);

// "%d%02d%02d"; empty for the no-date value.
std::string formatContactDate(const ContactDate& date);

// 100-nanosecond ticks since 1601-01-01 00:00, the date taken at midnight.
std::uint64_t fileTimeOfDate(const ContactDate& date);
// The calendar day of a file time; none when its high 32 bits are zero (the device's unset value).
std::optional<ContactDate> dateOfFileTime(std::uint64_t fileTime);

}  // namespace orvale::contacts
