#include "app/SettingsSave.h"

#include "platform/DecimalText.h"

namespace orvale {

std::int32_t storedInterval(std::u16string_view intervalText) {
    const std::int32_t v = platform::leadingDecimal(intervalText);
    return v < 0 || v > kMaxAutosyncInterval ? 0 : v;
}

std::optional<platform::SystemTime> nextStartTime(const platform::SystemTime& localNow, std::int32_t interval,
                                                  std::int32_t unit) {
    std::uint64_t unitSeconds = 0;
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
    std::uint64_t ticks = 0;
    if (interval < 0 || !platform::systemTimeToFileTime(localNow, ticks)) return std::nullopt;
    ticks += static_cast<std::uint64_t>(interval) * unitSeconds * platform::kTicksPerSecond;
    platform::SystemTime next;
    if (!platform::fileTimeToSystemTime(ticks, next)) return std::nullopt;
    return next;
}

bool saveSettings(ConfigRecord& record, const SettingsInput& input, const SettingsEnvironment& env) {
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
