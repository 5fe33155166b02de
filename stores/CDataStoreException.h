#pragma once
// The stores' exception class. No store throws it; the engine is prepared to catch it.
#include <stdexcept>
#include <string>

namespace orvale {

class CDataStoreException : public std::runtime_error {
public:
    explicit CDataStoreException(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace orvale
