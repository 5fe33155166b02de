#include "ui/SetupSequence.h"

#include "app/SettingsSave.h"
#include "ui/MainScreen.h"
#include "ui/ServerTestScreen.h"
#include "ui/SetupPages.h"

namespace orvale::ui {

namespace {
enum class Step { Credentials, ServerTest, FolderUris, Folders };
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
                // settings would. Whether the record reached its file is told by the main screen,
                // which saves it again as it opens.
                if (record.flag(ConfigFlag::AutosyncEnabled)) {
                    SettingsEnvironment env = standardSettingsEnvironment(context.mainProgram);
                    env.scheduler = context.scheduler;
                    saveSettings(record, settingsInputFromRecord(record), env);
                }
                return true;
            }
        }
    }
    return false;
}

}  // namespace orvale::ui
