#include "app/LicenceText.h"

#include <system_error>

#include "platform/CodePage.h"
#include "platform/DevicePaths.h"
#include "platform/FileAccess.h"

namespace orvale {

namespace {
std::optional<std::string> readWhole(const std::filesystem::path& path) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > kMaxLicenceBytes) return std::nullopt;
    return platform::readFilePrefix(path, kMaxLicenceBytes);
}
}  // namespace

std::u16string readLicenceText() {
    const auto bytes = readWhole(platform::hostPath(kLicenceDevicePath));
    return bytes ? platform::multiByteToWide(platform::kCodePageDefault, *bytes) : std::u16string();
}

std::filesystem::path installedLicenceFile(const std::filesystem::path& programFile) {
    const std::filesystem::path dir = programFile.parent_path();
    for (const auto& candidate : {dir / "License.txt", dir / ".." / "share" / "orvale" / "License.txt"}) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(candidate, ec)) return candidate;
    }
    return {};
}

bool placeLicenceText(const std::filesystem::path& source) {
    const auto text = readWhole(source);
    if (!text) return false;
    const auto target = platform::hostPath(kLicenceDevicePath);
    if (readWhole(target) == text) return true;
    return platform::writeWholeFile(target, *text, 0644);
}

}  // namespace orvale
