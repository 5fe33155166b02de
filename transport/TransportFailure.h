#pragma once
// Why the last exchange got no usable answer, as far as the transport can tell. The run turns it
// into the cause a person reads ("No answer from 127.0.0.1:1: connection refused").
#include <string>

namespace orvale {

enum class TransportFailureKind : int {
    None = 0,
    BadUrl,          // not an absolute http:// or https:// URL with a host
    HostNotFound,
    Refused,         // nothing listens there
    TimedOut,
    Untrusted,       // the server's certificate was not accepted; detail says why
    HttpStatus,      // the server answered, with a status other than 200
    Network,         // any other failure of the connection; detail says what
    Aborted,
};

struct TransportFailure {
    TransportFailureKind kind = TransportFailureKind::None;
    // "host:port" when the URL could be read.
    std::string where;
    // The HTTP status for HttpStatus; 0 otherwise.
    long status = 0;
    // The network library's own words, for Untrusted and Network.
    std::string detail;
};

}  // namespace orvale
