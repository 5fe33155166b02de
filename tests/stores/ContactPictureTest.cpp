#include "stores/contacts/ContactPicture.h"

#include <gtest/gtest.h>

#include "platform/Base64.h"

namespace orvale::contacts {
namespace {

using namespace std::string_literals;

TEST(ContactPicture, ExportIsCutAtTheLimitButTypedByTheWholeImage) {
    std::string jpeg = "\xFF\xD8\xFF\xE0"s + std::string(70'000, 'x');
    const PictureText text = pictureForVCard(jpeg);
    EXPECT_EQ(text.type, "JPEG");
    EXPECT_EQ(platform::base64Decode(text.base64), jpeg.substr(0, kMaxExportedPictureBytes));

    const PictureText exact = pictureForVCard(jpeg.substr(0, kMaxExportedPictureBytes));
    EXPECT_EQ(exact.base64, text.base64);
    EXPECT_EQ(pictureForVCard("not an image").type, "");
    EXPECT_EQ(pictureForVCard("").base64, "");
}

TEST(ContactPicture, AddressesAreFetchedWithABoundAndEverythingElseIsBase64) {
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
    EXPECT_EQ(limit, kMaxFetchedPictureBytes);
    EXPECT_EQ(pictureBytesFromVCard("https://pics.example/a.gif", fetch), "GIF89a");

    reply = std::nullopt;  // the transfer failed
    EXPECT_EQ(pictureBytesFromVCard("http://pics.example/a.gif", fetch), "");
    reply = std::string(kMaxFetchedPictureBytes + 1, 'x');  // a fetcher that ignored the bound
    EXPECT_EQ(pictureBytesFromVCard("http://pics.example/a.gif", fetch), "");
    EXPECT_EQ(pictureBytesFromVCard("http://pics.example/a.gif", PictureFetcher{}), "");

    asked.clear();
    EXPECT_EQ(pictureBytesFromVCard("R0lGODlh", fetch), "GIF89a");
    EXPECT_EQ(asked, "");
}

}  // namespace
}  // namespace orvale::contacts
