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
    return PictureText{platform::base64Encode(bytes), typeText(platform::detectImageFormat(bytes))};
}

std::optional<std::string> pictureBytesFromVCard(std::string_view photo, const PictureFetcher& fetch) {
    if (photo.starts_with("http")) {
        if (!fetch) return std::string();
        auto body = fetch(std::string(photo), kMaxPictureBytes);
        // Whatever answered may have sent anything: only an image is a picture.
        if (!body || body->size() > kMaxPictureBytes || platform::detectImageFormat(*body) == platform::ImageFormat::Unknown)
            return std::string();
        return std::move(*body);
    }
    if (photo.size() / 4 * 3 > kMaxPictureBytes + 2) return std::nullopt;
    std::string bytes = platform::base64Decode(photo);
    if (bytes.size() > kMaxPictureBytes) return std::nullopt;
    return bytes;
}

}  // namespace orvale::contacts
