#pragma once
#include <string>

namespace orvale {

// MD5 of the session start time (seconds since 1970, decimal) followed by the device ID, as 32
// lower-case hexadecimal digits.
std::string makeSessionId(const std::string& startTimeText, const std::string& deviceId);

}  // namespace orvale
