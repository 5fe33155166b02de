#pragma once
// The device's code-page conversions between wide text and multibyte text. Item text always travels
// as code page 65001; settings typed by the user go through the default code page, which here is the
// code set of the process locale (normally UTF-8).
#include <cstdint>
#include <string>
#include <string_view>

namespace orvale::platform {

inline constexpr std::uint32_t kCodePageDefault = 0;  // the locale's code set
inline constexpr std::uint32_t kCodePageUtf8 = 65001;

// Conversions never fail: what the target cannot express becomes U+FFFD (wide) or '?' (narrow).
std::u16string multiByteToWide(std::uint32_t codePage, std::string_view bytes);
std::string wideToMultiByte(std::uint32_t codePage, std::u16string_view text);

}  // namespace orvale::platform
