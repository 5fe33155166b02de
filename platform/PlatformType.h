#pragma once
// The system's platform type string ("PocketPC" or "SmartPhone"); the screens pick their layout by it.
#include <string>

namespace orvale::platform {

// $ORVALE_PLATFORM_TYPE when set and not empty, else "PocketPC"; at most 255 characters.
std::u16string platformType();

}  // namespace orvale::platform
