#pragma once
// Pictures named by an HTTP address in a received vCard are fetched through the program's transport,
// only from the sync server itself and only while a sync run names it: the address came from the
// server, and another address would let it make the device fetch (and later upload) what only the
// device can reach. Tools that import files never fetch.
#include <string>

#include "stores/contacts/ContactPicture.h"

namespace orvale::contacts {

PictureFetcher httpPictureFetcher();

// The server a sync run talks to, for the length of the run: pictures are fetched only from its
// scheme, host and port.
class PictureOriginScope {
public:
    explicit PictureOriginScope(const std::string& serverUrl);
    ~PictureOriginScope();
    PictureOriginScope(const PictureOriginScope&) = delete;
    PictureOriginScope& operator=(const PictureOriginScope&) = delete;
};

// True when `url` is an http(s) address on the same scheme, host and port as `serverUrl`.
bool sameOrigin(const std::string& url, const std::string& serverUrl);

// How long a picture fetch may take as a whole.
inline constexpr long kPictureFetchTimeoutMs = 5000;

}  // namespace orvale::contacts
