#include "engine/MessageExchange.h"

#include "engine/CSyncClientException.h"
#include "transport/Transport.h"

namespace orvale {

std::string exchangeMessage(Transport& transport, const std::string& url, const std::string& request,
                            std::uint32_t replyLimit) {
    std::string reply;
    const int result = transport.exchange(url, request, reply);
    const auto status = static_cast<std::int32_t>(transport.status());
    if (result != 0) {
        if (status == 404) throw CSyncClientException(611, 608);
        if (status == 503) throw CSyncClientException(606, 609);
        throw CSyncClientException(610, 610, status);
    }
    if (reply.empty()) throw CSyncClientException(610, 607, status);
    if (reply.size() > replyLimit) throw CSyncClientException(609, 606);
    return reply;
}

}  // namespace orvale
