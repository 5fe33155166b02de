#include "engine/MessageExchange.h"

#include "engine/CSyncClientException.h"
#include "engine/StatusCodes.h"
#include "transport/Transport.h"

namespace orvale {

std::string exchangeMessage(Transport& transport, const std::string& url, const std::string& request,
                            std::uint32_t replyLimit) {
    std::string reply;
    const int result = transport.exchange(url, request, reply);
    const auto status = static_cast<std::int32_t>(transport.status());
    if (result != 0) {
        if (status == kStatusNotFound) throw CSyncClientException(kErrorServerNotFound, kFailedNotFound);
        if (status == kStatusServiceUnavailable) throw CSyncClientException(kErrorServerBusy, kFailedServerBusy);
        throw CSyncClientException(kErrorExchange, kFailedExchange, status);
    }
    if (reply.empty()) throw CSyncClientException(kErrorExchange, kFailedEmptyReply, status);
    if (reply.size() > replyLimit) throw CSyncClientException(kErrorReplyTooLarge, kFailedReplySize);
    return reply;
}

}  // namespace orvale
