#pragma once
// What the session engine needs from a transport: one blocking request/reply exchange per message,
// and the HTTP status of the last one so that it can tell "not found" and "unavailable" apart from
// other failures. Transports report by results and never throw.
#include <cstdint>
#include <string>

#include "transport/TransportFailure.h"

namespace orvale {

class Transport {
public:
    virtual ~Transport();

    // 0 when the server answered 200 (reply filled), 1 on any failure (reply empty).
    virtual int exchange(const std::string& url, const std::string& request, std::string& reply) = 0;
    // HTTP status of the last exchange that got one; 0 before any.
    virtual std::uint32_t status() const;

    // -1 before the first exchange, 0 when the last one got status 200, 1 when it failed.
    std::int32_t errorFlag() const { return errorFlag_; }
    // Why the last exchange failed; kind None after one that succeeded or before any.
    const TransportFailure& lastFailure() const { return failure_; }

protected:
    Transport() = default;
    Transport(const Transport&) = default;
    Transport& operator=(const Transport&) = default;

    std::int32_t errorFlag_ = -1;
    std::uint32_t lastStatus_ = 0;
    TransportFailure failure_;
};

}  // namespace orvale
