#pragma once
// The format of a picture, told from its first bytes. The handheld asked its imaging library; the
// signatures are all that library looked at for the formats the program names.
#include <string_view>

namespace orvale::platform {

enum class ImageFormat { Unknown, Jpeg, Gif, Bmp, Png, Tiff };

ImageFormat detectImageFormat(std::string_view bytes);

}  // namespace orvale::platform
