#pragma once

#include <string>
#include <string_view>

namespace orvale {

// RFC 2045 alphabet with "=" padding, no line breaks.
std::string base64Encode(std::string_view bytes);

// Characters outside the alphabet (line breaks, spaces) are skipped as RFC 2045 asks; decoding stops
// at the first "=". A dangling single character carries fewer than 8 bits and is dropped.
std::string base64Decode(std::string_view text);

}  // namespace orvale
