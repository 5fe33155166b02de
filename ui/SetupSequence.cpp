#include "ui/SetupSequence.h"

#include "app/SettingsSave.h"
#include "platform/Clock.h"
#include "platform/Process.h"
#include "ui/MainScreen.h"
#include "ui/ServerTestScreen.h"
#include "ui/SetupPages.h"

namespace orvale::ui {

namespace {
enum class Step { Credentials, ServerTest, FolderUris, Folders };

// What the settings would store for the record as it stands, so that saving it changes no field.
SettingsInput unchangedSettings(const ConfigRecord& r) {
    SettingsInput in;
    in.contacts = r.flag(ConfigFlag::ContactsEnabled);
    in.tasks = r.flag(ConfigFlag::TasksEnabled);
    in.calendar = r.flag(ConfigFlag::CalendarEnabled);
    in.autosync = r.flag(ConfigFlag::AutosyncEnabled);
    in.logging = r.flag(ConfigFlag::LoggingEnabled);
    in.calendarRange = r.flag(ConfigFlag::CalendarRangeEnabled);
    in.url = r.text(ConfigText::ServerUrl);
    in.userName = r.text(ConfigText::UserName);
    in.password = r.text(ConfigText::Password);
    in.contactsUri = r.text(ConfigText::ContactsUri);
    in.tasksUri = r.text(ConfigText::TasksUri);
    in.calendarUri = r.text(ConfigText::CalendarUri);
    in.daysBackText = std::u16string(QString::number(r.number(ConfigNumber::DaysBack)).toStdU16String());
    in.daysForwardText = std::u16string(QString::number(r.number(ConfigNumber::DaysForward)).toStdU16String());
    in.intervalText = std::u16string(QString::number(r.number(ConfigNumber::AutosyncInterval)).toStdU16String());
    in.unitIndex = r.number(ConfigNumber::AutosyncUnit);
    return in;
}
}  // namespace

bool runSetupPages(MainScreen& owner, ConfigRecord& record, ScreenContext& context) {
    Step step = Step::Credentials;
    while (!owner.closing()) {
        switch (step) {
            case Step::Credentials: {
                CredentialsPage page(record, &owner);
                if (page.exec() != QDialog::Accepted) return false;
                step = Step::ServerTest;
                break;
            }
            case Step::ServerTest: {
                ServerTestScreen page(record, context, &owner);
                step = page.exec() == QDialog::Accepted ? Step::FolderUris : Step::Credentials;
                break;
            }
            case Step::FolderUris: {
                FolderUrisPage page(record, &owner);
                step = page.exec() == QDialog::Accepted ? Step::Folders : Step::Credentials;
                break;
            }
            case Step::Folders: {
                FoldersPage page(record, &owner);
                if (page.exec() != QDialog::Accepted) {
                    step = Step::FolderUris;
                    break;
                }
                if (owner.closing()) return false;
                record.setFlag(ConfigFlag::SetupDone, true);
                // Background sync chosen on the first page starts counting now, as a save of the
                // settings would; saving the record as it stands also writes it to its file.
                if (record.flag(ConfigFlag::AutosyncEnabled)) {
                    const SettingsEnvironment env{platform::localTimeNow(),
                                                  platform::modulePath().u16string(), context.scheduler};
                    saveSettings(record, unchangedSettings(record), env);
                }
                return true;
            }
        }
    }
    return false;
}

}  // namespace orvale::ui
