#pragma once
// A proxy as a caller names it. Only the address is ever used; user name and password travel
// with it because callers hand the three over together.
#include <string>

namespace orvale {

struct ProxyDescriptor {
    std::string address;
    std::string userName;
    std::string password;
};

}  // namespace orvale
