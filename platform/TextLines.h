#pragma once
// The small settings files beside Conf.dat hold one setting per line.
#include <optional>
#include <string_view>

namespace orvale::platform {

// The first line of `rest`, without its line break, which `rest` then no longer holds; the last
// line needs no break. Nullopt once `rest` is empty.
inline std::optional<std::string_view> takeLine(std::string_view& rest) {
    if (rest.empty()) return std::nullopt;
    const std::size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    return line;
}

}  // namespace orvale::platform
