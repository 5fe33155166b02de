#include "stores/contacts/PictureDownload.h"

#include "transport/HttpTransport.h"

namespace orvale::contacts {

// The transport cuts every body at its largest reply and still calls that a success, so a body that
// reaches that size may be a cut picture; only bodies clearly below it are whole.
static_assert(kMaxFetchedPictureBytes < HttpTransport::kLargestReply);

PictureFetcher httpPictureFetcher() {
    return [](const std::string& url, std::size_t limit) -> std::optional<std::string> {
        HttpTransport transport(ProxyDescriptor{}, ContentType());
        std::string body;
        if (transport.fetch(url, body) != 0) return std::nullopt;
        if (body.size() > limit || body.size() >= HttpTransport::kLargestReply) return std::nullopt;
        return body;
    };
}

}  // namespace orvale::contacts
