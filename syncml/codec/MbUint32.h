#pragma once
// WBXML multi-byte integers: 7 bits per byte, most significant group first.
#include <cstddef>
#include <cstdint>

namespace orvale {

// Bytes of `value` in out[0..n); n is 1 to 5.
inline std::size_t encodeMbUint32(std::uint32_t value, std::uint8_t out[5]) {
    std::uint8_t tmp[5];
    std::size_t n = 0;
    do {
        tmp[n++] = static_cast<std::uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    for (std::size_t i = 0; i < n; ++i) {
        out[i] = static_cast<std::uint8_t>(tmp[n - 1 - i] | (i + 1 < n ? 0x80 : 0x00));
    }
    return n;
}

enum class MbResult { Ok, Truncated, Overlong };

// Reads at data[pos..size); advances pos. More than 5 bytes or more than 32 bits is overlong.
inline MbResult decodeMbUint32(const std::uint8_t* data, std::size_t size, std::size_t& pos, std::uint32_t& value) {
    std::uint64_t v = 0;
    for (int i = 0; i < 5; ++i) {
        if (pos >= size) return MbResult::Truncated;
        const std::uint8_t b = data[pos++];
        v = (v << 7) | (b & 0x7F);
        if ((b & 0x80) == 0) {
            if (v > 0xFFFFFFFFu) return MbResult::Overlong;
            value = static_cast<std::uint32_t>(v);
            return MbResult::Ok;
        }
    }
    return MbResult::Overlong;
}

}  // namespace orvale
