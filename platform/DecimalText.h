#pragma once
// The C library's leading-decimal reading (atoi and its wide twin): leading white space, an optional
// sign, then digits; anything after them is ignored and no digits read as 0. Values beyond 32 bits
// saturate instead of wrapping, so an untrusted text cannot produce an arbitrary number.
#include <cstdint>
#include <string_view>

namespace orvale::platform {

std::int32_t leadingDecimal(std::string_view text);
std::int32_t leadingDecimal(std::u16string_view text);

}  // namespace orvale::platform
