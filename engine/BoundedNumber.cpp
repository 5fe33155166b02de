#include "engine/BoundedNumber.h"

namespace orvale {

std::optional<std::uint32_t> readServerNumber(std::string_view text, std::uint32_t max) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    if (text.empty() || text.size() > 10) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value > max) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

}  // namespace orvale
