#pragma once
// Transport, toolkit and size failures of a session. The message reads " (sub-code)" or
// " (sub-code/detail)"; detail -1 means none.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace orvale {

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
