#pragma once
// Numbers the server sends as text (sizes, counts, references): read strictly, never trusted.
#include <cstdint>
#include <optional>
#include <string_view>

namespace orvale {

// Decimal digits only (surrounding blanks allowed), at most 10 of them, value at most `max`;
// anything else is none.
std::optional<std::uint32_t> readServerNumber(std::string_view text, std::uint32_t max = UINT32_MAX);

}  // namespace orvale
