#include "app/RunSessionData.h"

#include "platform/DevicePaths.h"
#include "platform/FileAccess.h"

namespace orvale {

namespace {
// As much as the engine's own store reads: the file is a few short lines.
constexpr std::size_t kMaxFileBytes = 64 * 1024;
}  // namespace

RunSessionData::RunSessionData(std::string devicePath) : path_(std::move(devicePath)) {
    if (auto content = platform::readFilePrefix(platform::hostPath(path_), kMaxFileBytes)) {
        for (const auto& [key, value] : SessionDataStore::parse(*content)) store_.setString(key, value);
    }
}

bool RunSessionData::write() const {
    return platform::writeWholeFile(platform::hostPath(path_), SessionDataStore::serialize(store_.entries()), 0600);
}

}  // namespace orvale
