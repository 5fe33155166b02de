#pragma once
// UTF-8 bytes of one code point (character entities of both encodings).
#include <cstddef>
#include <cstdint>

namespace orvale {

// Writes out[0..n) for a code point up to 0x10FFFF; returns n (1 to 4).
inline std::size_t encodeUtf8(std::uint32_t v, std::uint8_t out[4]) {
    if (v < 0x80) {
        out[0] = static_cast<std::uint8_t>(v);
        return 1;
    }
    if (v < 0x800) {
        out[0] = static_cast<std::uint8_t>(0xC0 | (v >> 6));
        out[1] = static_cast<std::uint8_t>(0x80 | (v & 0x3F));
        return 2;
    }
    if (v < 0x10000) {
        out[0] = static_cast<std::uint8_t>(0xE0 | (v >> 12));
        out[1] = static_cast<std::uint8_t>(0x80 | ((v >> 6) & 0x3F));
        out[2] = static_cast<std::uint8_t>(0x80 | (v & 0x3F));
        return 3;
    }
    out[0] = static_cast<std::uint8_t>(0xF0 | (v >> 18));
    out[1] = static_cast<std::uint8_t>(0x80 | ((v >> 12) & 0x3F));
    out[2] = static_cast<std::uint8_t>(0x80 | ((v >> 6) & 0x3F));
    out[3] = static_cast<std::uint8_t>(0x80 | (v & 0x3F));
    return 4;
}

}  // namespace orvale
