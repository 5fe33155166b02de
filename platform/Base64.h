#pragma once
// Base64 with the RFC 2045 alphabet and "=" padding. Binary data travels through the protocol as
// text (contact pictures, credentials), and every subsystem shares this one codec.
#include <string>
#include <string_view>

namespace orvale::platform {

// One line of text: no line breaks are inserted, whatever the length.
std::string base64Encode(std::string_view bytes);

// Characters outside the alphabet (line breaks, spaces of folded lines) are skipped, and decoding
// stops at the first "=". A trailing group of a single character carries fewer than 8 bits and is
// dropped. Never fails: garbage decodes to whatever bytes its alphabet characters give.
std::string base64Decode(std::string_view text);

}  // namespace orvale::platform
