#include "engine/AbortRecord.h"

#include <mutex>

namespace orvale {

namespace {
std::mutex& recordMutex() {
    static std::mutex m;
    return m;
}
std::shared_ptr<AbortRecord>& recordSlot() {
    static std::shared_ptr<AbortRecord> slot;
    return slot;
}
}  // namespace

std::shared_ptr<AbortRecord> currentAbortRecord() {
    std::lock_guard<std::mutex> lock(recordMutex());
    return recordSlot();
}

void setCurrentAbortRecord(std::shared_ptr<AbortRecord> record) {
    std::lock_guard<std::mutex> lock(recordMutex());
    recordSlot() = std::move(record);
}

}  // namespace orvale
