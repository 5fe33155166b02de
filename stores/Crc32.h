#pragma once
#include <cstdint>
#include <string_view>

namespace orvale {

// Reflected CRC-32 (polynomial 0xEDB88320, initial 0xFFFFFFFF, result complemented); "" gives 0.
// Given the CRC of what came before, the CRC of the two pieces together.
uint32_t crc32(std::string_view bytes, uint32_t previous = 0);

}  // namespace orvale
