#include "engine/SessionId.h"

#include "engine/Md5.h"

namespace orvale {

std::string makeSessionId(const std::string& startTimeText, const std::string& deviceId) {
    static constexpr char kDigits[] = "0123456789abcdef";
    const Md5Digest digest = md5(startTimeText + deviceId);
    std::string out;
    out.reserve(32);
    for (std::uint8_t b : digest) {
        out += kDigits[b >> 4];
        out += kDigits[b & 0x0F];
    }
    return out;
}

}  // namespace orvale
