#pragma once
// What the settings screen's done command does with what the user entered, apart from the screen
// itself: the fields go into the record in a fixed order, the timed start is armed or removed, and
// the record is saved.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "app/ConfigRecord.h"
#include "app/LauncherLink.h"
#include "app/TimedStartScheduler.h"
#include "platform/SystemTime.h"

namespace orvale {

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

struct SettingsEnvironment {
    platform::SystemTime localNow;  // the current local time
    std::u16string programPath;     // the running program's full path
    TimedStartScheduler* scheduler = nullptr;
};

// The real environment: the clock now, `mainProgram` (the running program by default) and the
// real scheduler.
SettingsEnvironment standardSettingsEnvironment(const std::filesystem::path& mainProgram = {});

inline constexpr std::int32_t kMaxAutosyncInterval = 10000;

// What the settings show when they open: every field from the record, numbers as "%d", the unit's
// row (none when the record holds a unit the list does not have). The URL stays as stored.
SettingsInput settingsInputFromRecord(const ConfigRecord& record);

// The interval as stored: the text read as a decimal integer, 0 when outside 0-10000.
std::int32_t storedInterval(std::u16string_view intervalText);

// Seconds of `interval` units (0 day, 1 hour, 2 minute). nullopt for another unit, which the
// settings never offer, and for an interval outside 1-10000: a zero interval would start a sync at
// once and re-arm for the same minute for ever, and a larger one is stored as 0 by the settings
// (a record edited by other means gets the same rule).
std::optional<std::int64_t> autosyncIntervalSeconds(std::int32_t interval, std::int32_t unit);

// Local start time `interval` units after `localNow`, counted in real time through the zone rules,
// so that a daily start keeps its distance across a daylight-saving change. Both the settings and
// the Launcher arm with it, so the two agree on the minute. nullopt when nothing is to be
// scheduled (see autosyncIntervalSeconds).
std::optional<platform::SystemTime> nextStartTime(const platform::SystemTime& localNow, std::int32_t interval,
                                                  std::int32_t unit);

// Writes the fields, arms or removes the timed start and saves. Returns what save returned.
// With background sync on but no interval to schedule, the timed start is removed. When there is
// no Launcher to arm beside the main program, nothing is armed and `armProblem` says why; the
// record is saved all the same. (What the scheduler itself refuses, it tells its own way.)
bool saveSettings(ConfigRecord& record, const SettingsInput& input, const SettingsEnvironment& env,
                  std::string* armProblem = nullptr);

}  // namespace orvale
