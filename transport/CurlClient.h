#pragma once
// One HTTP request at a time over libcurl, with the limits every request of the program keeps:
// a bounded reply body, verified certificates, and an abort that other threads can pull.
#include <atomic>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "transport/ServerUrl.h"
#include "transport/TransportFailure.h"

namespace orvale {

struct HttpRequestParts {
    const ServerUrl* url = nullptr;
    bool post = false;
    std::string agent;
    std::vector<std::string> headerLines;
    std::string body;  // sent only with post
    // nullopt: libcurl's proxy environment (http_proxy, https_proxy, no_proxy); empty: direct;
    // otherwise the proxy to use.
    std::optional<std::string> proxy;
    std::size_t bodyLimit = 0;
    long timeoutMs = 0;  // the whole transfer, connecting included; 0: only the stall bound
};

struct HttpOutcome {
    long status = 0;        // 0: no status line was received
    bool complete = false;  // the body was read to its end or to the limit
    std::string body;       // only for status 200
    // When the request failed without a status: what kind of failure, in the library's own words.
    TransportFailureKind failure = TransportFailureKind::None;
    std::string failureText;
};

class CurlClient {
public:
    CurlClient();
    ~CurlClient();
    CurlClient(const CurlClient&) = delete;
    CurlClient& operator=(const CurlClient&) = delete;

    // Blocks until the request is done, has failed, or was aborted.
    HttpOutcome perform(const HttpRequestParts& layout);

    // Safe from any thread while perform() runs on another. The request in progress ends within a
    // fraction of a second, and every later one fails at once: an aborted run must not start
    // another 300-second wait.
    void abort();
    bool aborted() const { return aborted_.load(); }

private:
    void* multi_;  // the libcurl multi handle, kept for the lifetime so abort() can wake it
    std::atomic<bool> aborted_{false};
};

}  // namespace orvale
