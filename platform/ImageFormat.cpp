#include "platform/ImageFormat.h"

#include <cstdint>

namespace orvale::platform {

namespace {
bool startsWith(std::string_view bytes, std::string_view prefix) {
    return bytes.substr(0, prefix.size()) == prefix;
}

std::uint32_t littleEndian32(std::string_view bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        v |= std::uint32_t{static_cast<unsigned char>(bytes[at + i])} << (8 * i);
    }
    return v;
}

// "BM" alone starts plenty of text; a bitmap also names one of the known info header sizes.
bool isBitmap(std::string_view bytes) {
    constexpr std::size_t kFileHeader = 14;
    if (bytes.size() < kFileHeader + 4 || !startsWith(bytes, "BM")) return false;
    switch (littleEndian32(bytes, kFileHeader)) {
        case 12:
        case 40:
        case 52:
        case 56:
        case 64:
        case 108:
        case 124:
            return true;
        default:
            return false;
    }
}
}  // namespace

ImageFormat detectImageFormat(std::string_view bytes) {
    using namespace std::string_view_literals;
    if (startsWith(bytes, "\xFF\xD8\xFF"sv)) return ImageFormat::Jpeg;
    if (startsWith(bytes, "\x89PNG\r\n\x1A\n"sv)) return ImageFormat::Png;
    if (startsWith(bytes, "GIF87a"sv) || startsWith(bytes, "GIF89a"sv)) return ImageFormat::Gif;
    if (startsWith(bytes, "II*\0"sv) || startsWith(bytes, "MM\0*"sv)) return ImageFormat::Tiff;
    if (isBitmap(bytes)) return ImageFormat::Bmp;
    return ImageFormat::Unknown;
}

}  // namespace orvale::platform
