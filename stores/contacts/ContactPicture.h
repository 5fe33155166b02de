#pragma once
// The contact picture between the device's picture stream (raw image bytes) and the vCard's PHOTO
// (Base64 text, or an HTTP address the picture is fetched from).
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace orvale::contacts {

// The largest picture a contact keeps: the largest item the client takes from the server (its
// large-object bound). Pictures are never cut, a cut image is a corrupt one; a server's larger
// picture is refused with its item.
inline constexpr std::size_t kMaxPictureBytes = 4 * 1024 * 1024;

struct PictureText {
    std::string base64;  // empty for no picture
    std::string type;    // "JPEG", "GIF", "BMP", "PNG", "TIFF" or empty
};

PictureText pictureForVCard(std::string_view bytes);

// GET of an address, the body when the transfer succeeded within the size limit.
using PictureFetcher = std::function<std::optional<std::string>(const std::string& url, std::size_t limit)>;

// The bytes for the picture stream: fetched when the PHOTO text is an address ("http..."), else
// decoded from Base64. Empty for no picture, and when the fetch failed or brought no image the
// platform recognises. Nullopt when the picture is larger than kMaxPictureBytes: the item is refused.
std::optional<std::string> pictureBytesFromVCard(std::string_view photo, const PictureFetcher& fetch);

}  // namespace orvale::contacts
