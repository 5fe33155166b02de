#include "platform/DecimalText.h"

#include <limits>

namespace orvale::platform {

namespace {
template <typename Char>
std::int32_t readDecimal(std::basic_string_view<Char> text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::int64_t value = 0;
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kLimit) value = kLimit;
    }
    if (negative) return static_cast<std::int32_t>(-value);
    return static_cast<std::int32_t>(value == kLimit ? kLimit - 1 : value);
}
}  // namespace

std::int32_t leadingDecimal(std::string_view text) {
    return readDecimal(text);
}
std::int32_t leadingDecimal(std::u16string_view text) {
    return readDecimal(text);
}

}  // namespace orvale::platform
