#include "engine/RespUri.h"

#include "transport/ServerUrl.h"

namespace orvale {

namespace {
std::string lowerAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}
}  // namespace

std::string respUriRefusal(const std::string& current, const std::string& next) {
    const auto from = ServerUrl::parse(current);
    const auto to = ServerUrl::parse(next);
    if (!to) return "the server's RespURI is no http(s) address this client uses";
    if (from && from->secure() && !to->secure()) return "the server's RespURI would continue the session unencrypted";
    if (from && lowerAscii(from->host) != lowerAscii(to->host)) return "the server's RespURI names another host";
    return {};
}

}  // namespace orvale
