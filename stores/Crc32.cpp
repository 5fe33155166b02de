#include "stores/Crc32.h"

#include <array>

namespace orvale {

namespace {
std::array<uint32_t, 256> makeTable() {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[i] = c;
    }
    return t;
}
}  // namespace

uint32_t crc32(std::string_view bytes, uint32_t previous) {
    static const std::array<uint32_t, 256> table = makeTable();
    uint32_t c = ~previous;
    for (const char ch : bytes) c = table[(c ^ static_cast<unsigned char>(ch)) & 0xFFu] ^ (c >> 8);
    return ~c;
}

}  // namespace orvale
