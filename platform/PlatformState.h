#pragma once
// Where the platform layer keeps what the device's kernel kept for it (mutexes, the window list):
// a hidden folder of the device root, so that processes of one root meet and two roots never do.
#include <filesystem>
#include <string_view>

namespace orvale::platform {

// <root>/.platform/<area>, created (mode 0700) when missing; empty path when it cannot be created.
std::filesystem::path platformStateDir(std::string_view area);

// A name made safe to use as one file name: anything but letters, digits, '-' and '_' becomes '_'.
std::string fileNameFor(std::string_view name);

}  // namespace orvale::platform
