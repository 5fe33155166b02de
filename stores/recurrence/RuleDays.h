#pragma once
// The day names of the rules, in the order of the pattern's weekday mask bits (bit 0 Sunday).
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace orvale::recurrence {

inline constexpr std::array<std::string_view, 7> kDayNames = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};

// The mask bit of a token that is exactly a day name.
inline std::optional<std::uint32_t> dayBit(std::string_view token) {
    for (std::size_t i = 0; i < kDayNames.size(); ++i)
        if (token == kDayNames[i]) return 1u << i;
    return std::nullopt;
}

}  // namespace orvale::recurrence
