#include "platform/DevicePaths.h"

#include <sys/stat.h>

#include <cstdlib>
#include <system_error>

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

std::string createDeviceRoot() {
    const std::filesystem::path root = deviceRoot();
    std::error_code ec;
    if (std::filesystem::is_directory(root, ec)) return {};
    std::filesystem::create_directories(root, ec);
    if (ec || !std::filesystem::is_directory(root, ec)) {
        return "the device folder " + root.string() + " cannot be created: " +
               (ec ? ec.message() : std::string("it is not a folder"));
    }
    ::chmod(root.c_str(), 0700);
    return {};
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
