#include "engine/SessionId.h"

#include <unistd.h>

#include <atomic>
#include <chrono>

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

std::string makeUniqueSessionId(const std::string& startTimeText, const std::string& deviceId) {
    static std::atomic<unsigned long long> counter{0};
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const std::string salt = ":" + std::to_string(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()) +
                             ":" + std::to_string(static_cast<long long>(::getpid())) + ":" +
                             std::to_string(counter.fetch_add(1));
    return makeSessionId(startTimeText, deviceId + salt);
}

}  // namespace orvale
