#include "platform/PlatformType.h"

#include <cstdlib>

#include "platform/TextConversion.h"

namespace orvale::platform {

std::u16string platformType() {
    const char* v = std::getenv("ORVALE_PLATFORM_TYPE");
    std::u16string type = (v != nullptr && *v != '\0') ? utf8ToUtf16(v) : std::u16string(u"PocketPC");
    if (type.size() > 255) type.resize(255);
    return type;
}

}  // namespace orvale::platform
