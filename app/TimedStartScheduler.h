#pragma once
// The platform's timed start of a program, as the settings and the Launcher need it.
#include <string>
#include <string_view>

#include "platform/SystemTime.h"

namespace orvale {

class TimedStartScheduler {
  public:
    virtual ~TimedStartScheduler() = default;
    // Run `program` at the local date-time `at`, replacing an earlier request for it.
    virtual void runAt(std::u16string_view program, const platform::SystemTime& at) = 0;
    // Remove any request for `program` (a run request with no time).
    virtual void cancel(std::u16string_view program) = 0;
};

// The real one, on the host's `at` queue. Like the device's service it reports nothing through
// the interface; a caller that wants to tell the user asks afterwards.
class AtTimedStartScheduler : public TimedStartScheduler {
  public:
    void runAt(std::u16string_view program, const platform::SystemTime& at) override;
    void cancel(std::u16string_view program) override;

    // Why the last request was refused; empty when it went through.
    const std::string& lastError() const { return lastError_; }

  private:
    std::string lastError_;
};

// The process's real scheduler.
AtTimedStartScheduler& standardTimedStartScheduler();

}  // namespace orvale
