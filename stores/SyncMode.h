#pragma once
// The ways a folder can be synchronised, as the user asks for them.
#include <optional>
#include <string_view>

namespace orvale {

enum class SyncMode {
    TwoWay,
    Slow,
    RefreshFromServer,  // the device's folder is made equal to the server's
    RefreshFromDevice,  // the server's folder is made equal to the device's
    OneWayFromServer,   // only the server's changes travel
    OneWayFromDevice,   // only the device's changes travel
};

// "two-way", "slow", "refresh-from-server", "refresh-from-device", "one-way-from-server",
// "one-way-from-device".
std::string_view syncModeName(SyncMode mode);
std::optional<SyncMode> syncModeFromName(std::string_view name);
// The modes that delete what the other side does not hold.
constexpr bool syncModeDeletes(SyncMode mode) {
    return mode == SyncMode::RefreshFromServer || mode == SyncMode::RefreshFromDevice;
}

}  // namespace orvale
