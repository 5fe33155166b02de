#pragma once
// The engine's abort record: one process-wide flag that the run's owner may set from another thread;
// the engine only reads it, at its safe points (before each folder, before each message of the
// synchronisation phase, between the phases). Constructing a client clears it.
#include <atomic>
#include <memory>

namespace orvale {

class AbortRecord {
public:
    void requestAbort() { flag_.store(true, std::memory_order_release); }
    void clear() { flag_.store(false, std::memory_order_release); }
    bool aborted() const { return flag_.load(std::memory_order_acquire); }

private:
    std::atomic<bool> flag_{false};
};

// The record of the run in progress, or null; set by the run driver for the length of a run.
std::shared_ptr<AbortRecord> currentAbortRecord();
void setCurrentAbortRecord(std::shared_ptr<AbortRecord> record);

}  // namespace orvale
