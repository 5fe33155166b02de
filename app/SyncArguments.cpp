#include "app/SyncArguments.h"

#include "app/DerivedSettings.h"
#include "platform/CodePage.h"

namespace orvale {

namespace {
std::optional<std::string> folderUri(const ConfigRecord& record, ConfigFlag enabled, ConfigText uri) {
    if (!record.flag(enabled) || record.text(uri).empty()) return std::nullopt;
    return narrowField(record, uri);
}
}  // namespace

SyncArguments prepareSyncArguments(const ConfigRecord& record) {
    SyncArguments a;
    a.url = narrowField(record, ConfigText::ServerUrl);
    a.user = narrowField(record, ConfigText::UserName);
    a.password = narrowField(record, ConfigText::Password);
    a.contactsUri = folderUri(record, ConfigFlag::ContactsEnabled, ConfigText::ContactsUri);
    a.tasksUri = folderUri(record, ConfigFlag::TasksEnabled, ConfigText::TasksUri);
    if (folderUri(record, ConfigFlag::CalendarEnabled, ConfigText::CalendarUri))
        a.calendarUri = platform::wideToMultiByte(platform::kCodePageDefault, calendarUriForServer(record));
    if (record.flag(ConfigFlag::CalendarRangeEnabled)) {
        a.calendarWindow = calendar::DateWindow{record.number(ConfigNumber::DaysBack),
                                                record.number(ConfigNumber::DaysForward)};
    }
    return a;
}

}  // namespace orvale
