#include "platform/ImageFormat.h"

#include <gtest/gtest.h>

#include <string>

namespace orvale::platform {
namespace {

using namespace std::string_literals;

TEST(ImageFormat, TellsTheFormatFromTheSignature) {
    const std::string bmpInfo40 = "BM"s + std::string(12, '\0') + "\x28\0\0\0"s + std::string(36, '\0');
    const std::pair<std::string, ImageFormat> cases[] = {
        {"\xFF\xD8\xFF\xE0\0\x10JFIF"s, ImageFormat::Jpeg},
        {"\x89PNG\r\n\x1A\n\0\0\0\rIHDR"s, ImageFormat::Png},
        {"GIF89a\x01\0"s, ImageFormat::Gif},
        {"GIF87a"s, ImageFormat::Gif},
        {"II*\0\x08\0\0\0"s, ImageFormat::Tiff},
        {"MM\0*\0\0\0\x08"s, ImageFormat::Tiff},
        {bmpInfo40, ImageFormat::Bmp},
        {"BMW is a car, not a bitmap header"s, ImageFormat::Unknown},
        {"BM"s, ImageFormat::Unknown},
        {"\xFF\xD8"s, ImageFormat::Unknown},     // cut inside the signature
        {"\x89PNG\r\n"s, ImageFormat::Unknown},
        {"GIF90a"s, ImageFormat::Unknown},
        {""s, ImageFormat::Unknown},
    };
    for (const auto& [bytes, format] : cases) EXPECT_EQ(detectImageFormat(bytes), format) << bytes;
}

}  // namespace
}  // namespace orvale::platform
