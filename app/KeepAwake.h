#pragma once
// Keeps the device from dimming or suspending while a run is in progress: a thread that resets the
// idle timers and feeds a silent key press every few seconds. It lives in a slot owned by whoever
// runs the sync (the main dialog), from the start to the end of a run.
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

namespace orvale {

class KeepAwakeThread {
  public:
    static constexpr std::uint32_t kResetAfterMs = 1000;
    static constexpr std::uint32_t kSleepMs = 3000;

    KeepAwakeThread();
    // Stops the loop within its sleep and joins.
    ~KeepAwakeThread();
    KeepAwakeThread(const KeepAwakeThread&) = delete;
    KeepAwakeThread& operator=(const KeepAwakeThread&) = delete;

  private:
    void loop();

    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::thread thread_;
};

using KeepAwakeSlot = std::unique_ptr<KeepAwakeThread>;

// A slot that already holds a thread has it stopped first, so no thread is ever lost.
void startKeepAwake(KeepAwakeSlot& slot);
void stopKeepAwake(KeepAwakeSlot& slot);

}  // namespace orvale
