#pragma once
// The transport of the program: each message is one HTTP(S) POST, and the reply body comes back
// with the status. It also fetches plain resources by URL (contact pictures).
#include <cstddef>
#include <map>
#include <memory>
#include <string>

#include "syncml/ContentType.h"
#include "transport/ProxyDescriptor.h"
#include "transport/Transport.h"

namespace orvale {

class CurlClient;
struct HttpOutcome;
struct HttpRequestParts;
class MessageCapture;

class HttpTransport : public Transport {
public:
    static constexpr std::size_t kLargestReply = 200000;  // longer replies are cut here

    // Exchanges find their proxy in libcurl's proxy environment; only fetch uses `proxy`.
    HttpTransport(ProxyDescriptor proxy, ContentType contentType);
    ~HttpTransport() override;
    HttpTransport(const HttpTransport&) = delete;
    HttpTransport& operator=(const HttpTransport&) = delete;

    // Posts `request` to `url` and, when message capture is on, captures the request and the reply
    // (an empty reply for any status other than 200). On a failure without any status the last
    // status stays as it was.
    int exchange(const std::string& url, const std::string& request, std::string& reply) override;
    // GET of `url`: 0 with the body on status 200, 1 otherwise. Nothing is captured. The body is cut
    // at `bodyLimit` bytes; the whole transfer ends after `timeoutMs` (0: only the stall bound).
    virtual int fetch(const std::string& url, std::string& body, std::size_t bodyLimit = kLargestReply, long timeoutMs = 0);

    // Sent instead of the Content-Type line when not empty.
    std::map<std::string, std::string>& extraHeaders() { return extraHeaders_; }

    // Callable from any thread: the exchange or fetch in progress returns 1 promptly, and so does
    // every later one.
    void abort();

private:
    int perform(const std::string& url, HttpRequestParts& layout, std::string& reply, MessageCapture* capture);
    int finish(const HttpOutcome& outcome, std::string& reply, MessageCapture* capture);

    ProxyDescriptor proxy_;
    ContentType contentType_;
    std::map<std::string, std::string> extraHeaders_;
    std::unique_ptr<CurlClient> client_;
    std::string where_;  // host:port of the last request
};

}  // namespace orvale
