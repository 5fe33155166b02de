#pragma once
// Thrown by the element classes when a message is built the wrong way.
#include <stdexcept>
#include <string>

namespace orvale {

class CBuildItemsException : public std::runtime_error {
public:
    explicit CBuildItemsException(const std::string& text) : std::runtime_error("Build Items Exception: " + text) {}
};

}  // namespace orvale
