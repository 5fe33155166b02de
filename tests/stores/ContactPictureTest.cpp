#include "stores/contacts/ContactPicture.h"

#include <gtest/gtest.h>

#include "platform/Base64.h"
#include "stores/contacts/PictureDownload.h"

namespace orvale::contacts {
namespace {

using namespace std::string_literals;

TEST(ContactPicture, PicturesTravelWholeUpToTheLargeObjectBound) {
    // 70,000 bytes used to be cut at 64,000: a JPEG without its end marker.
    const std::string jpeg = "\xFF\xD8\xFF\xE0"s + std::string(70'000, 'x') + "\xFF\xD9"s;
    const PictureText text = pictureForVCard(jpeg);
    EXPECT_EQ(text.type, "JPEG");
    EXPECT_EQ(platform::base64Decode(text.base64), jpeg);
    EXPECT_EQ(pictureBytesFromVCard(text.base64, {}), jpeg);
    EXPECT_EQ(pictureForVCard("not an image").type, "");
    EXPECT_EQ(pictureForVCard("").base64, "");

    // A larger one is refused with its item, not cut.
    const std::string huge = "\xFF\xD8\xFF\xE0"s + std::string(kMaxPictureBytes, 'x');
    EXPECT_EQ(pictureBytesFromVCard(platform::base64Encode(huge), {}), std::nullopt);
}

TEST(ContactPicture, AddressesAreFetchedWithABoundAndOnlyImagesAreKept) {
    std::string asked;
    std::size_t limit = 0;
    std::optional<std::string> reply = "GIF89a"s;
    const PictureFetcher fetch = [&](const std::string& url, std::size_t l) {
        asked = url;
        limit = l;
        return reply;
    };
    EXPECT_EQ(pictureBytesFromVCard("http://pics.example/a.gif", fetch), "GIF89a");
    EXPECT_EQ(asked, "http://pics.example/a.gif");
    EXPECT_EQ(limit, kMaxPictureBytes);
    EXPECT_EQ(pictureBytesFromVCard("https://pics.example/a.gif", fetch), "GIF89a");

    reply = std::nullopt;  // the transfer failed
    EXPECT_EQ(pictureBytesFromVCard("http://pics.example/a.gif", fetch), "");
    reply = "GIF89a"s + std::string(kMaxPictureBytes, 'x');  // a fetcher that ignored the bound
    EXPECT_EQ(pictureBytesFromVCard("http://pics.example/a.gif", fetch), "");
    reply = "<html>admin console</html>"s;  // an internal page is no picture
    EXPECT_EQ(pictureBytesFromVCard("http://pics.example/a.gif", fetch), "");
    EXPECT_EQ(pictureBytesFromVCard("http://pics.example/a.gif", PictureFetcher{}), "");

    asked.clear();
    EXPECT_EQ(pictureBytesFromVCard("R0lGODlh", fetch), "GIF89a");
    EXPECT_EQ(asked, "");
}

TEST(ContactPicture, OnlyTheSyncServerIsAskedAndOnlyDuringARun) {
    const char* server = "https://sync.example:8443/rpc";
    const struct {
        const char* url;
        bool same;
    } cases[] = {
        {"https://sync.example:8443/photos/1.jpg", true}, {"https://SYNC.example:8443/p", true},
        {"http://sync.example:8443/p", false},            {"https://sync.example/p", false},
        {"https://127.0.0.1:8443/admin/config", false},   {"https://sync.example.evil:8443/p", false},
        {"https://x@sync.example:8443/p", false},          {"ftp://sync.example:8443/p", false},
    };
    for (const auto& c : cases) EXPECT_EQ(sameOrigin(c.url, server), c.same) << c.url;

    // Outside a run (orvale-pim import and restore) nothing is fetched, not even from the server.
    EXPECT_EQ(httpPictureFetcher()("http://127.0.0.1:9/a.jpg", kMaxPictureBytes), std::nullopt);
    const PictureOriginScope run("http://127.0.0.1:9/sync");
    EXPECT_EQ(httpPictureFetcher()("http://127.0.0.2:9/a.jpg", kMaxPictureBytes), std::nullopt);
}

}  // namespace
}  // namespace orvale::contacts
