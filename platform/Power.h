#pragma once
// Power and idle control. The host's power management is not ours to drive, so these calls only
// count what the program asked for; tests read the counts to see that a run keeps the device awake.
#include <cstdint>

namespace orvale::platform {

inline constexpr std::uint32_t kPowerStateOn = 0x00010000;
inline constexpr std::uint32_t kPowerForce = 0x00001000;
inline constexpr std::uint32_t kKeyEventSilent = 0x4;
inline constexpr std::uint32_t kKeyEventKeyUp = 0x2;

void setSystemPowerState(std::uint32_t state, std::uint32_t options);
void systemIdleTimerReset();
void shellIdleTimerReset();
void keyboardEvent(std::uint8_t virtualKey, std::uint32_t flags);

struct PowerCallCounts {
    std::uint64_t powerStateRequests = 0;
    std::uint32_t lastPowerState = 0;
    std::uint64_t systemIdleResets = 0;
    std::uint64_t shellIdleResets = 0;
    std::uint64_t keyDownEvents = 0;
    std::uint64_t keyUpEvents = 0;
    std::uint64_t nonSilentKeyEvents = 0;
};
PowerCallCounts powerCallCounts();

}  // namespace orvale::platform
