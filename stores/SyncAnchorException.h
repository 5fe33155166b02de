#pragma once

#include <stdexcept>
#include <string>

namespace orvale {

class SyncAnchorException : public std::runtime_error {
public:
    explicit SyncAnchorException(const std::string& reason)
        : std::runtime_error("SyncAnchorException: " + reason) {}
};

}  // namespace orvale
