#pragma once
// Credentials use the one Base64 codec of the program (RFC 2045 alphabet, "=" padding, no line
// breaks; decoding skips characters outside the alphabet and stops at the first "=").
#include "platform/Base64.h"

namespace orvale {

using platform::base64Decode;
using platform::base64Encode;

}  // namespace orvale
