#include "platform/Base64.h"

#include <array>
#include <cstdint>

namespace orvale::platform {

namespace {
constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::int8_t kNotInAlphabet = -1;

constexpr std::array<std::int8_t, 256> makeDecodeTable() {
    std::array<std::int8_t, 256> table{};
    for (auto& v : table) v = kNotInAlphabet;
    for (std::size_t i = 0; i < kAlphabet.size(); ++i) {
        table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<std::int8_t>(i);
    }
    return table;
}
constexpr auto kDecode = makeDecodeTable();
}  // namespace

std::string base64Encode(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const std::uint32_t group = (std::uint32_t{static_cast<unsigned char>(bytes[i])} << 16) |
                                    (std::uint32_t{static_cast<unsigned char>(bytes[i + 1])} << 8) |
                                    std::uint32_t{static_cast<unsigned char>(bytes[i + 2])};
        out += kAlphabet[(group >> 18) & 0x3F];
        out += kAlphabet[(group >> 12) & 0x3F];
        out += kAlphabet[(group >> 6) & 0x3F];
        out += kAlphabet[group & 0x3F];
    }
    const std::size_t rest = bytes.size() - i;
    if (rest > 0) {
        std::uint32_t group = std::uint32_t{static_cast<unsigned char>(bytes[i])} << 16;
        if (rest == 2) group |= std::uint32_t{static_cast<unsigned char>(bytes[i + 1])} << 8;
        out += kAlphabet[(group >> 18) & 0x3F];
        out += kAlphabet[(group >> 12) & 0x3F];
        out += rest == 2 ? kAlphabet[(group >> 6) & 0x3F] : '=';
        out += '=';
    }
    return out;
}

std::string base64Decode(std::string_view text) {
    std::string out;
    out.reserve(text.size() / 4 * 3);
    std::uint32_t bits = 0;
    int count = 0;
    for (const char c : text) {
        if (c == '=') break;
        const std::int8_t v = kDecode[static_cast<unsigned char>(c)];
        if (v == kNotInAlphabet) continue;
        bits = (bits << 6) | static_cast<std::uint32_t>(v);
        if (++count == 4) {
            out += static_cast<char>((bits >> 16) & 0xFF);
            out += static_cast<char>((bits >> 8) & 0xFF);
            out += static_cast<char>(bits & 0xFF);
            bits = 0;
            count = 0;
        }
    }
    if (count == 2) {
        out += static_cast<char>((bits >> 4) & 0xFF);
    } else if (count == 3) {
        out += static_cast<char>((bits >> 10) & 0xFF);
        out += static_cast<char>((bits >> 2) & 0xFF);
    }
    return out;
}

}  // namespace orvale::platform
