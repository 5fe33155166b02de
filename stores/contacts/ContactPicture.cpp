#include "stores/contacts/ContactPicture.h"

#include "platform/Base64.h"
#include "platform/ImageFormat.h"

namespace orvale::contacts {

namespace {
std::string typeText(platform::ImageFormat format) {
    switch (format) {
        case platform::ImageFormat::Jpeg:
            return "JPEG";
        case platform::ImageFormat::Gif:
            return "GIF";
        case platform::ImageFormat::Bmp:
            return "BMP";
        case platform::ImageFormat::Png:
            return "PNG";
        case platform::ImageFormat::Tiff:
            return "TIFF";
        case platform::ImageFormat::Unknown:
            break;
    }
    return {};
}
}  // namespace

PictureText pictureForVCard(std::string_view bytes) {
    if (bytes.empty()) return {};
    return PictureText{platform::base64Encode(bytes.substr(0, kMaxExportedPictureBytes)),
                       typeText(platform::detectImageFormat(bytes))};
}

std::string pictureBytesFromVCard(std::string_view photo, const PictureFetcher& fetch) {
    if (photo.starts_with("http")) {
        if (!fetch) return {};
        auto body = fetch(std::string(photo), kMaxFetchedPictureBytes);
        if (!body || body->size() > kMaxFetchedPictureBytes) return {};
        return std::move(*body);
    }
    return platform::base64Decode(photo);
}

}  // namespace orvale::contacts
