#include "platform/PlatformState.h"

#include <sys/stat.h>

#include <string>
#include <system_error>

#include "platform/DevicePaths.h"

namespace orvale::platform {

std::filesystem::path platformStateDir(std::string_view area) {
    if (!createDeviceRoot().empty()) return {};
    std::filesystem::path dir = deviceRoot() / ".platform" / std::string(area);
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (!std::filesystem::is_directory(dir, ec)) return {};
    ::chmod(dir.c_str(), 0700);
    return dir;
}

std::string fileNameFor(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (char c : name) {
        const bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                          c == '-' || c == '_';
        out.push_back(keep ? c : '_');
    }
    return out.empty() ? std::string("_") : out;
}

}  // namespace orvale::platform
