#pragma once
// The device's clocks.
#include <cstdint>

#include "platform/SystemTime.h"

namespace orvale::platform {

// Milliseconds since an arbitrary start, wrapping at 2^32 like the device's tick count.
std::uint32_t tickCount();

// The wall clock as device local time and as UTC, broken down.
SystemTime localTimeNow();
SystemTime utcTimeNow();

}  // namespace orvale::platform
