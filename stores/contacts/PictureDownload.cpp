#include "stores/contacts/PictureDownload.h"

#include <mutex>
#include <optional>

#include "transport/HttpTransport.h"
#include "transport/ServerUrl.h"

namespace orvale::contacts {

namespace {

std::mutex originMutex;
std::optional<std::string> currentOrigin;

std::string lowerAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::optional<std::string> origin() {
    const std::lock_guard<std::mutex> lock(originMutex);
    return currentOrigin;
}

}  // namespace

PictureOriginScope::PictureOriginScope(const std::string& serverUrl) {
    const std::lock_guard<std::mutex> lock(originMutex);
    currentOrigin = serverUrl;
}

PictureOriginScope::~PictureOriginScope() {
    const std::lock_guard<std::mutex> lock(originMutex);
    currentOrigin.reset();
}

bool sameOrigin(const std::string& url, const std::string& serverUrl) {
    const auto a = ServerUrl::parse(url);
    const auto b = ServerUrl::parse(serverUrl);
    return a && b && a->scheme == b->scheme && lowerAscii(a->host) == lowerAscii(b->host) && a->port == b->port;
}

PictureFetcher httpPictureFetcher() {
    return [](const std::string& url, std::size_t limit) -> std::optional<std::string> {
        const std::optional<std::string> server = origin();
        if (!server || !sameOrigin(url, *server)) return std::nullopt;
        HttpTransport transport(ProxyDescriptor{}, ContentType());
        std::string body;
        if (transport.fetch(url, body, limit + 1, kPictureFetchTimeoutMs) != 0) return std::nullopt;
        // The transport cuts a body one byte past the limit: that size means a larger picture.
        if (body.size() > limit) return std::nullopt;
        return body;
    };
}

}  // namespace orvale::contacts
