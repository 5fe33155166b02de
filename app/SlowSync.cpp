#include "app/SlowSync.h"

#include <filesystem>
#include <system_error>

#include "platform/DevicePaths.h"
#include "stores/KindRegistry.h"

namespace orvale {

bool forgetSyncAnchors() {
    bool gone = true;
    for (const KindInfo& kind : knownKinds()) {
        std::error_code ec;
        const auto path = platform::hostPath(std::string_view(kind.anchorFile));
        std::filesystem::remove(path, ec);
        if (std::filesystem::exists(path, ec)) gone = false;
    }
    return gone;
}

}  // namespace orvale
