#include "platform/Power.h"

#include <atomic>

namespace orvale::platform {

namespace {
struct Counters {
    std::atomic<std::uint64_t> powerStateRequests{0};
    std::atomic<std::uint32_t> lastPowerState{0};
    std::atomic<std::uint64_t> systemIdleResets{0};
    std::atomic<std::uint64_t> shellIdleResets{0};
    std::atomic<std::uint64_t> keyDownEvents{0};
    std::atomic<std::uint64_t> keyUpEvents{0};
    std::atomic<std::uint64_t> nonSilentKeyEvents{0};
};
Counters& counters() {
    static Counters c;
    return c;
}
}  // namespace

void setSystemPowerState(std::uint32_t state, std::uint32_t /*options*/) {
    counters().lastPowerState = state;
    ++counters().powerStateRequests;
}

void systemIdleTimerReset() {
    ++counters().systemIdleResets;
}

void shellIdleTimerReset() {
    ++counters().shellIdleResets;
}

void keyboardEvent(std::uint8_t /*virtualKey*/, std::uint32_t flags) {
    Counters& c = counters();
    if ((flags & kKeyEventKeyUp) != 0) {
        ++c.keyUpEvents;
    } else {
        ++c.keyDownEvents;
    }
    if ((flags & kKeyEventSilent) == 0) ++c.nonSilentKeyEvents;
}

PowerCallCounts powerCallCounts() {
    const Counters& c = counters();
    PowerCallCounts out;
    out.powerStateRequests = c.powerStateRequests;
    out.lastPowerState = c.lastPowerState;
    out.systemIdleResets = c.systemIdleResets;
    out.shellIdleResets = c.shellIdleResets;
    out.keyDownEvents = c.keyDownEvents;
    out.keyUpEvents = c.keyUpEvents;
    out.nonSilentKeyEvents = c.nonSilentKeyEvents;
    return out;
}

}  // namespace orvale::platform
