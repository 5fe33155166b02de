#include "transport/HttpTransport.h"

#include <utility>

#include "transport/CurlClient.h"
#include "transport/MessageCapture.h"
#include "transport/RequestHeaders.h"
#include "transport/ServerUrl.h"

#include "platform/Power.h"

namespace orvale {

namespace {
const char* const kExchangeAgent = "Halverd";
const char* const kFetchAgent = "Orvale for Windows Mobile";
}  // namespace

HttpTransport::HttpTransport(ProxyDescriptor proxy, ContentType contentType)
    : proxy_(std::move(proxy)), contentType_(std::move(contentType)), client_(std::make_unique<CurlClient>()) {}

HttpTransport::~HttpTransport() = default;

void HttpTransport::abort() { client_->abort(); }

int HttpTransport::exchange(const std::string& url, const std::string& request, std::string& reply) {
    HttpRequestParts layout;
    layout.post = true;
    layout.agent = kExchangeAgent;
    // A message exchange may take minutes; the device must not drop to a sleep state meanwhile.
    platform::setSystemPowerState(platform::kPowerStateOn, 0);
    MessageCapture* capture = MessageCapture::current();
    try {
        if (capture != nullptr) capture->save(request.data(), request.size());
        layout.headerLines = headerLines(buildRequestHeaders(contentType_, extraHeaders_));
        layout.body = request;
    } catch (...) {
        reply.clear();
        errorFlag_ = 1;
        return 1;
    }
    return perform(url, layout, reply, capture);
}

int HttpTransport::fetch(const std::string& url, std::string& body, std::size_t bodyLimit, long timeoutMs) {
    HttpRequestParts layout;
    layout.agent = kFetchAgent;
    layout.bodyLimit = bodyLimit;
    layout.timeoutMs = timeoutMs;
    layout.proxy = proxy_.address;  // empty: direct
    return perform(url, layout, body, nullptr);
}

int HttpTransport::perform(const std::string& url, HttpRequestParts& layout, std::string& reply,
                           MessageCapture* capture) {
    reply.clear();
    try {
        const auto target = ServerUrl::parse(url);
        if (!target) {
            errorFlag_ = 1;
            failure_ = TransportFailure{TransportFailureKind::BadUrl, {}, 0, {}};
            return 1;
        }
        where_ = target->host + ":" + std::to_string(target->port);
        layout.url = &*target;
        if (layout.bodyLimit == 0) layout.bodyLimit = kLargestReply;
        return finish(client_->perform(layout), reply, capture);
    } catch (...) {
        reply.clear();
        errorFlag_ = 1;
        failure_ = TransportFailure{TransportFailureKind::Network, where_, 0, {}};
        return 1;
    }
}

// A failed request counts as an HTTP failure even when no status came back, so that a run whose
// last exchange never reached the server is reported as such rather than by an earlier success.
int HttpTransport::finish(const HttpOutcome& outcome, std::string& reply, MessageCapture* capture) {
    if (outcome.status != 0) lastStatus_ = static_cast<std::uint32_t>(outcome.status);
    if (outcome.status == 200 && outcome.complete) {
        reply = outcome.body;
        errorFlag_ = 0;
        failure_ = TransportFailure{};
        if (capture != nullptr) capture->save(reply.data(), reply.size());
        return 0;
    }
    errorFlag_ = 1;
    if (outcome.status != 0 && outcome.status != 200) {
        failure_ = TransportFailure{TransportFailureKind::HttpStatus, where_, outcome.status, {}};
    } else {
        // A 200 cut short is a failure of the connection too.
        failure_ = TransportFailure{outcome.failure == TransportFailureKind::None ? TransportFailureKind::Network : outcome.failure,
                                    where_, 0, outcome.failureText};
    }
    // A reply that came with a status is captured, empty, to keep request and reply numbers in
    // step; a request that got no answer at all has no reply to capture.
    if (outcome.status != 0 && outcome.status != 200 && capture != nullptr) capture->save("", 0);
    return 1;
}

}  // namespace orvale
