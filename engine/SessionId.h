#pragma once
#include <string>

namespace orvale {

// MD5 of the session start time (seconds since 1970, decimal) followed by the device ID, as 32
// lower-case hexadecimal digits.
std::string makeSessionId(const std::string& startTimeText, const std::string& deviceId);

// The same, with a value that differs for every session started on this machine appended to the
// hashed text. Two sessions started within one second would otherwise share their ID, and a server
// that keys its sessions by it carries the first one's state (its accepted credentials) into the
// second.
std::string makeUniqueSessionId(const std::string& startTimeText, const std::string& deviceId);

}  // namespace orvale
