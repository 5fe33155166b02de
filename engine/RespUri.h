#pragma once
// Whether a server's RespURI may take the place of the address the session talks to.
#include <string>

namespace orvale {

// Empty when `next` may be used after `current`; else why not. A RespURI comes from whoever
// answered: it may not lower https to http (the next message carries the credential), nor move the
// session to another host. Another port or path on the same host is the server's own business.
std::string respUriRefusal(const std::string& current, const std::string& next);

}  // namespace orvale
