#pragma once
// Transport, toolkit and size failures of a session. The message reads " (sub-code)" or
// " (sub-code/detail)"; detail -1 means none.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace orvale {

// Codes: what failed.
inline constexpr std::uint32_t kErrorToolkit = 621;
inline constexpr std::uint32_t kErrorServerNotFound = 611;
inline constexpr std::uint32_t kErrorExchange = 610;
inline constexpr std::uint32_t kErrorReplyTooLarge = 609;
inline constexpr std::uint32_t kErrorServerBusy = 606;

// Sub-codes: where it failed.
inline constexpr std::uint32_t kFailedMessageStart = 601;
inline constexpr std::uint32_t kFailedCommand = 603;
inline constexpr std::uint32_t kFailedMessageTake = 604;
inline constexpr std::uint32_t kFailedReplyDecode = 605;
inline constexpr std::uint32_t kFailedReplySize = 606;
inline constexpr std::uint32_t kFailedEmptyReply = 607;
inline constexpr std::uint32_t kFailedNotFound = 608;
inline constexpr std::uint32_t kFailedServerBusy = 609;
inline constexpr std::uint32_t kFailedExchange = 610;

class CSyncClientException : public std::runtime_error {
public:
    CSyncClientException(std::uint32_t code, std::uint32_t subCode, std::int32_t detail = -1)
        : std::runtime_error(formatMessage(subCode, detail)), code_(code), subCode_(subCode), detail_(detail) {}

    std::uint32_t code() const { return code_; }
    std::uint32_t subCode() const { return subCode_; }
    std::int32_t detail() const { return detail_; }

    static std::string formatMessage(std::uint32_t subCode, std::int32_t detail) {
        std::string m = " (" + std::to_string(subCode);
        if (detail != -1) m += "/" + std::to_string(detail);
        return m + ")";
    }

private:
    std::uint32_t code_;
    std::uint32_t subCode_;
    std::int32_t detail_;
};

}  // namespace orvale
