#pragma once
// Narrow text is UTF-8 bytes, wide text UTF-16 code units. Conversions never fail: malformed
// input (bad UTF-8, unpaired surrogates) becomes U+FFFD, so untrusted bytes cannot stop a run.
#include <string>
#include <string_view>

namespace orvale::platform {

std::u16string utf8ToUtf16(std::string_view utf8);
std::string utf16ToUtf8(std::u16string_view utf16);

}  // namespace orvale::platform
