#pragma once
// What the settings screen's done command does with what the user entered, apart from the screen
// itself: the fields go into the record in a fixed order, the timed start is armed or removed, and
// the record is saved.
#include <cstdint>
#include <optional>
#include <string>

#include "app/ConfigRecord.h"
#include "platform/SystemTime.h"

namespace orvale {

inline constexpr std::u16string_view kLauncherDevicePath = u"\\Application Data\\Orvale\\Launcher.exe";

struct SettingsInput {
    bool contacts = false;
    bool tasks = false;
    bool calendar = false;
    bool autosync = false;
    bool logging = false;
    bool calendarRange = false;
    std::u16string url;
    std::u16string userName;
    std::u16string password;
    std::u16string contactsUri;
    std::u16string tasksUri;
    std::u16string calendarUri;
    std::u16string daysBackText;
    std::u16string daysForwardText;
    std::u16string intervalText;
    int unitIndex = -1;  // selected row of the unit list; -1 when none is selected
};

// The platform's timed start of a program, as far as the settings need it. The real arming (the
// `at` queue) comes with the Launcher; tests and the screens supply their own.
class TimedStartScheduler {
  public:
    virtual ~TimedStartScheduler() = default;
    // Run `program` at the local date-time `at`, replacing an earlier request for it.
    virtual void runAt(std::u16string_view program, const platform::SystemTime& at) = 0;
    // Remove any request for `program` (a run request with no time).
    virtual void cancel(std::u16string_view program) = 0;
};

struct SettingsEnvironment {
    platform::SystemTime localNow;  // the current local time
    std::u16string programPath;     // the running program's full path
    TimedStartScheduler* scheduler = nullptr;
};

inline constexpr std::int32_t kMaxAutosyncInterval = 10000;

// The interval as stored: the text read as a decimal integer, 0 when outside 0-10000.
std::int32_t storedInterval(std::u16string_view intervalText);

// Local start time `interval` units after `localNow` (unit 0 day, 1 hour, 2 minute); nullopt for
// another unit, which the settings never offer and for which nothing is scheduled.
std::optional<platform::SystemTime> nextStartTime(const platform::SystemTime& localNow, std::int32_t interval,
                                                  std::int32_t unit);

// Writes the fields, arms or removes the timed start and saves. Returns what save returned.
bool saveSettings(ConfigRecord& record, const SettingsInput& input, const SettingsEnvironment& env);

}  // namespace orvale
