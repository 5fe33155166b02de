#include "app/TimedStartScheduler.h"

#include "platform/TimedStart.h"

namespace orvale {

void AtTimedStartScheduler::runAt(std::u16string_view program, const platform::SystemTime& at) {
    lastError_.clear();
    platform::runAppAtTime(program, &at, &lastError_);
}

void AtTimedStartScheduler::cancel(std::u16string_view program) {
    lastError_.clear();
    platform::runAppAtTime(program, nullptr, &lastError_);
}

AtTimedStartScheduler& standardTimedStartScheduler() {
    static AtTimedStartScheduler scheduler;
    return scheduler;
}

}  // namespace orvale
