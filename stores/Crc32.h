#pragma once
#include <cstdint>
#include <string_view>

namespace orvale {

// Reflected CRC-32 (polynomial 0xEDB88320, initial 0xFFFFFFFF, result complemented); "" gives 0.
uint32_t crc32(std::string_view bytes);

}  // namespace orvale
