#include "app/KeepAwake.h"

#include <chrono>

#include "platform/Clock.h"
#include "platform/Power.h"

namespace orvale {

namespace {
constexpr std::uint8_t kSilentKey = 1;
}

KeepAwakeThread::KeepAwakeThread() : thread_([this] { loop(); }) {}

KeepAwakeThread::~KeepAwakeThread() {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void KeepAwakeThread::loop() {
    std::uint32_t lastReset = 0;
    bool everReset = false;
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stop_) {
        const std::uint32_t now = platform::tickCount();
        // A tick count below the last reset means the counter wrapped.
        if (!everReset || now - lastReset > kResetAfterMs || now < lastReset) {
            platform::systemIdleTimerReset();
            platform::shellIdleTimerReset();
            platform::keyboardEvent(kSilentKey, platform::kKeyEventSilent);
            platform::keyboardEvent(kSilentKey, platform::kKeyEventSilent | platform::kKeyEventKeyUp);
            lastReset = now;
            everReset = true;
        }
        wake_.wait_for(lock, std::chrono::milliseconds(kSleepMs), [this] { return stop_; });
    }
}

void startKeepAwake(KeepAwakeSlot& slot) {
    slot.reset();
    slot = std::make_unique<KeepAwakeThread>();
}

void stopKeepAwake(KeepAwakeSlot& slot) {
    slot.reset();
}

}  // namespace orvale
