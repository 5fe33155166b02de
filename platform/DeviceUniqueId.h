#pragma once
// The device's application-specific unique identifier. Here the "device" is one machine together
// with one device root, so two roots on one machine are two devices to a server.
#include <cstddef>
#include <string>
#include <string_view>

namespace orvale::platform {

inline constexpr std::size_t kDeviceUniqueIdBytes = 20;

// Always the same bytes for the same application data on one device; other application data (another
// program) gives unrelated bytes.
std::string deviceUniqueId(std::string_view applicationData);

}  // namespace orvale::platform
