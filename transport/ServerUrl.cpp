#include "transport/ServerUrl.h"

#include <curl/curl.h>

#include <charconv>
#include <memory>
#include <system_error>

namespace orvale {

namespace {

struct UrlHandleDeleter {
    void operator()(CURLU* h) const { curl_url_cleanup(h); }
};
using UrlHandle = std::unique_ptr<CURLU, UrlHandleDeleter>;

std::optional<std::string> part(CURLU* h, CURLUPart which, unsigned flags) {
    char* text = nullptr;
    if (curl_url_get(h, which, &text, flags) != CURLUE_OK || text == nullptr) return std::nullopt;
    std::string out(text);
    curl_free(text);
    return out;
}

std::string asciiLower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

}  // namespace

bool ServerUrl::hasUserInfo(std::string_view url) {
    const std::size_t start = url.find("://");
    const std::size_t from = start == std::string_view::npos ? 0 : start + 3;
    const std::size_t end = url.find_first_of("/?#", from);
    return url.substr(from, end == std::string_view::npos ? std::string_view::npos : end - from).find('@') !=
           std::string_view::npos;
}

std::optional<ServerUrl> ServerUrl::parse(const std::string& url) {
    // The URL library reads C strings; an embedded NUL would silently shorten the URL.
    if (url.find('\0') != std::string::npos || hasUserInfo(url)) return std::nullopt;
    UrlHandle h(curl_url());
    if (!h || curl_url_set(h.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) return std::nullopt;

    ServerUrl out;
    auto scheme = part(h.get(), CURLUPART_SCHEME, 0);
    auto host = part(h.get(), CURLUPART_HOST, 0);
    auto port = part(h.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT);
    auto path = part(h.get(), CURLUPART_PATH, 0);
    if (!scheme || !host || host->empty() || !port || !path) return std::nullopt;
    out.scheme = asciiLower(*scheme);
    if (out.scheme != "http" && out.scheme != "https") return std::nullopt;
    out.host = *host;
    unsigned portNumber = 0;
    const char* end = port->data() + port->size();
    const auto [stop, err] = std::from_chars(port->data(), end, portNumber);
    if (err != std::errc() || stop != end || portNumber == 0 || portNumber > 65535) return std::nullopt;
    out.port = static_cast<std::uint16_t>(portNumber);
    out.objectPath = path->empty() ? "/" : *path;
    if (auto query = part(h.get(), CURLUPART_QUERY, 0)) out.objectPath += "?" + *query;

    curl_url_set(h.get(), CURLUPART_FRAGMENT, nullptr, 0);
    auto request = part(h.get(), CURLUPART_URL, 0);
    if (!request) return std::nullopt;
    out.requestUrl = *request;
    return out;
}

}  // namespace orvale
