#include "platform/DevicePaths.h"

#include <cstdlib>

#include "platform/TextConversion.h"

namespace orvale::platform {

namespace {
const char* nonEmptyEnv(const char* name) {
    const char* v = std::getenv(name);
    return (v != nullptr && *v != '\0') ? v : nullptr;
}
}  // namespace

std::filesystem::path deviceRoot() {
    if (const char* root = nonEmptyEnv("ORVALE_DEVICE_ROOT")) return std::filesystem::path(root);
    if (const char* xdg = nonEmptyEnv("XDG_DATA_HOME")) return std::filesystem::path(xdg) / "orvale";
    if (const char* home = nonEmptyEnv("HOME")) return std::filesystem::path(home) / ".local/share/orvale";
    return std::filesystem::path("/tmp/orvale");
}

std::filesystem::path hostPath(std::string_view devicePath) {
    std::filesystem::path out = deviceRoot();
    std::size_t pos = 0;
    while (pos <= devicePath.size()) {
        std::size_t end = devicePath.find_first_of("\\/", pos);
        if (end == std::string_view::npos) end = devicePath.size();
        std::string_view part = devicePath.substr(pos, end - pos);
        if (!part.empty() && part != "." && part != "..") out /= std::string(part);
        pos = end + 1;
    }
    return out;
}

std::filesystem::path hostPath(std::u16string_view devicePath) { return hostPath(utf16ToUtf8(devicePath)); }

}  // namespace orvale::platform
