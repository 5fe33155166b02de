#pragma once
// One request/reply with the server, with the transport's failures turned into the session's
// exceptions.
#include <cstdint>
#include <string>

namespace orvale {

class Transport;

// The reply; throws CSyncClientException when the exchange fails, the reply is empty, or it is
// larger than `replyLimit`.
std::string exchangeMessage(Transport& transport, const std::string& url, const std::string& request,
                            std::uint32_t replyLimit);

}  // namespace orvale
