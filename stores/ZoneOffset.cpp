#include "stores/ZoneOffset.h"

namespace orvale::datetime {

namespace {

// The digits at the start of `text`, at most two of them.
std::int32_t twoDigits(std::string_view text) {
    std::int32_t v = 0;
    for (std::size_t i = 0; i < text.size() && i < 2 && text[i] >= '0' && text[i] <= '9'; ++i)
        v = v * 10 + (text[i] - '0');
    return v;
}

}  // namespace

std::int32_t parseZoneOffset(std::string_view value) {
    bool negative = false;
    if (!value.empty() && (value.front() == '-' || value.front() == '+')) {
        negative = value.front() == '-';
        value.remove_prefix(1);
    }
    const std::int32_t hours = twoDigits(value);
    value.remove_prefix(value.size() < 2 ? value.size() : 2);
    if (!value.empty() && value.front() == ':') value.remove_prefix(1);
    const std::int32_t seconds = hours * 3600 + twoDigits(value) * 60;
    return negative ? -seconds : seconds;
}

}  // namespace orvale::datetime
