#pragma once
// The device's clocks.
#include <cstdint>
#include <ctime>

#include "platform/SystemTime.h"

namespace orvale::platform {

// Milliseconds since an arbitrary start, wrapping at 2^32 like the device's tick count.
std::uint32_t tickCount();

// The wall clock as device local time and as UTC, broken down.
SystemTime localTimeNow();
// The broken-down time `tm` (as localtime_r or gmtime_r give it); a leap second reads as 59.
SystemTime systemTimeOfFields(const std::tm& tm, long nanos = 0);
SystemTime utcTimeNow();

}  // namespace orvale::platform
