#pragma once
// The timed start as the settings use it, recording what it was asked instead of arming anything.
#include <string>

#include "app/SettingsSave.h"

namespace orvale::test {

class RecordingScheduler : public TimedStartScheduler {
  public:
    void runAt(std::u16string_view program, const platform::SystemTime& at) override {
        program_ = program;
        at_ = at;
        ++arms;
    }
    void cancel(std::u16string_view program) override {
        program_ = program;
        ++cancels;
    }
    std::u16string program_;
    platform::SystemTime at_;
    int arms = 0;
    int cancels = 0;
};

}  // namespace orvale::test
