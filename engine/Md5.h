#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace orvale {

using Md5Digest = std::array<std::uint8_t, 16>;

// Digest of a byte string (RFC 1321); text is treated as raw bytes.
Md5Digest md5(std::string_view bytes);

}  // namespace orvale
