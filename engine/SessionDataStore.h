#pragma once

#include <optional>
#include <string>

namespace orvale {

// Key/value data that outlives the process (authentication form, last nonce). The application
// supplies the persistent implementation.
class SessionDataStore {
public:
    virtual ~SessionDataStore() = default;
    virtual std::optional<std::string> get(const std::string& key) const = 0;
    virtual void set(const std::string& key, const std::string& value) = 0;
};

}  // namespace orvale
