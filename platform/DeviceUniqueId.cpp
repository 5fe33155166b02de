#include "platform/DeviceUniqueId.h"

#include <cstdint>

#include "platform/DevicePaths.h"
#include "platform/FileAccess.h"

namespace orvale::platform {

namespace {
// The machine's identity when it has one; the device root alone otherwise (containers often lack it).
std::string machineIdentity() {
    for (const char* path : {"/etc/machine-id", "/var/lib/dbus/machine-id"}) {
        if (auto id = readFilePrefix(path, 64); id && !id->empty()) return *id;
    }
    return {};
}

// FNV-1a, 64 bits: stable across builds and compilers, which std::hash is not.
std::uint64_t fnv1a(std::string_view bytes, std::uint64_t seed) {
    std::uint64_t h = 14695981039346656037ULL ^ seed;
    for (unsigned char c : bytes) {
        h ^= c;
        h *= 1099511628211ULL;
    }
    return h;
}
}  // namespace

std::string deviceUniqueId(std::string_view applicationData) {
    std::string material = machineIdentity();
    material += '\0';
    material += deviceRoot().lexically_normal().string();
    material += '\0';
    material += applicationData;
    std::string out;
    for (std::uint64_t round = 0; out.size() < kDeviceUniqueIdBytes; ++round) {
        std::uint64_t h = fnv1a(material, round);
        for (int i = 0; i < 8 && out.size() < kDeviceUniqueIdBytes; ++i, h >>= 8)
            out.push_back(static_cast<char>(h & 0xFF));
    }
    return out;
}

}  // namespace orvale::platform
