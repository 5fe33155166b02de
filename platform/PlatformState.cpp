#include "platform/PlatformState.h"

#include <sys/stat.h>

#include <string>
#include <system_error>

#include "platform/DevicePaths.h"
#include "platform/FileAccess.h"

namespace orvale::platform {

std::filesystem::path platformStateDir(std::string_view area) {
    if (!createDeviceRoot().empty()) return {};
    std::filesystem::path dir = deviceRoot() / ".platform" / std::string(area);
    if (!createPrivateFolders(dir)) return {};
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
