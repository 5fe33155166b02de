#include "app/SettingsSave.h"

#include "platform/Clock.h"
#include "platform/DecimalText.h"
#include "platform/Process.h"
#include "platform/TextConversion.h"
#include "stores/DateTime.h"

namespace orvale {

std::int32_t storedInterval(std::u16string_view intervalText) {
    const std::int32_t v = platform::leadingDecimal(intervalText);
    return v < 0 || v > kMaxAutosyncInterval ? 0 : v;
}

SettingsInput settingsInputFromRecord(const ConfigRecord& record) {
    auto decimal = [&record](ConfigNumber field) {
        return platform::utf8ToUtf16(std::to_string(record.number(field)));
    };
    SettingsInput in;
    in.contacts = record.flag(ConfigFlag::ContactsEnabled);
    in.tasks = record.flag(ConfigFlag::TasksEnabled);
    in.calendar = record.flag(ConfigFlag::CalendarEnabled);
    in.autosync = record.flag(ConfigFlag::AutosyncEnabled);
    in.logging = record.flag(ConfigFlag::LoggingEnabled);
    in.calendarRange = record.flag(ConfigFlag::CalendarRangeEnabled);
    in.url = record.text(ConfigText::ServerUrl);
    in.userName = record.text(ConfigText::UserName);
    in.password = record.text(ConfigText::Password);
    in.contactsUri = record.text(ConfigText::ContactsUri);
    in.tasksUri = record.text(ConfigText::TasksUri);
    in.calendarUri = record.text(ConfigText::CalendarUri);
    in.daysBackText = decimal(ConfigNumber::DaysBack);
    in.daysForwardText = decimal(ConfigNumber::DaysForward);
    in.intervalText = decimal(ConfigNumber::AutosyncInterval);
    const std::int32_t unit = record.number(ConfigNumber::AutosyncUnit);
    in.unitIndex = unit >= 0 && unit <= 2 ? unit : -1;
    return in;
}

std::optional<std::int64_t> autosyncIntervalSeconds(std::int32_t interval, std::int32_t unit) {
    std::int64_t unitSeconds = 0;
    switch (unit) {
        case 0:
            unitSeconds = 86'400;
            break;
        case 1:
            unitSeconds = 3'600;
            break;
        case 2:
            unitSeconds = 60;
            break;
        default:
            return std::nullopt;
    }
    if (interval < 1 || interval > kMaxAutosyncInterval) return std::nullopt;
    return static_cast<std::int64_t>(interval) * unitSeconds;
}

std::optional<platform::SystemTime> nextStartTime(const platform::SystemTime& localNow, std::int32_t interval,
                                                  std::int32_t unit) {
    const auto seconds = autosyncIntervalSeconds(interval, unit);
    if (!seconds) return std::nullopt;
    std::tm fields = datetime::toFields(localNow);
    const auto now = datetime::makeLocalTime(fields);
    std::tm next{};
    if (!now || !datetime::breakDownLocal(*now + *seconds, next)) return std::nullopt;
    return datetime::toSystemTime(next);
}

SettingsEnvironment standardSettingsEnvironment(const std::filesystem::path& mainProgram) {
    const std::filesystem::path program = mainProgram.empty() ? platform::modulePath() : mainProgram;
    return {platform::localTimeNow(), platform::utf8ToUtf16(program.string()),
            &standardTimedStartScheduler()};
}

bool saveSettings(ConfigRecord& record, const SettingsInput& input, const SettingsEnvironment& env,
                  std::string* armProblem) {
    if (armProblem != nullptr) armProblem->clear();
    record.setFlag(ConfigFlag::ContactsEnabled, input.contacts);
    record.setFlag(ConfigFlag::TasksEnabled, input.tasks);
    record.setFlag(ConfigFlag::CalendarEnabled, input.calendar);
    record.setFlag(ConfigFlag::AutosyncEnabled, input.autosync);
    record.setFlag(ConfigFlag::LoggingEnabled, input.logging);
    record.setFlag(ConfigFlag::CalendarRangeEnabled, input.calendarRange);

    record.setText(ConfigText::ServerUrl, input.url);
    record.setText(ConfigText::UserName, input.userName);
    record.setText(ConfigText::Password, input.password);
    record.setText(ConfigText::ContactsUri, input.contactsUri);
    record.setText(ConfigText::TasksUri, input.tasksUri);
    record.setText(ConfigText::CalendarUri, input.calendarUri);

    record.setNumber(ConfigNumber::DaysBack, platform::leadingDecimal(input.daysBackText));
    record.setNumber(ConfigNumber::DaysForward, platform::leadingDecimal(input.daysForwardText));
    record.setNumber(ConfigNumber::AutosyncInterval, storedInterval(input.intervalText));
    record.setNumber(ConfigNumber::AutosyncUnit, input.unitIndex < 0 ? 0 : input.unitIndex);

    if (input.autosync) {
        record.setText(ConfigText::ProgramPath, env.programPath);
        const auto next = nextStartTime(env.localNow, record.number(ConfigNumber::AutosyncInterval),
                                        record.number(ConfigNumber::AutosyncUnit));
        if (env.scheduler != nullptr) {
            if (next) {
                // A start armed for a link that leads nowhere would fail when due, unseen.
                const std::filesystem::path mainProgram(platform::utf16ToUtf8(env.programPath));
                if (keepLauncherLink(mainProgram, armProblem))
                    env.scheduler->runAt(kLauncherDevicePath, *next);
            } else {
                env.scheduler->cancel(kLauncherDevicePath);
            }
        }
    } else if (env.scheduler != nullptr) {
        env.scheduler->cancel(kLauncherDevicePath);
    }
    return record.save();
}

}  // namespace orvale
