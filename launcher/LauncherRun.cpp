#include "launcher/LauncherRun.h"

#include "app/ConfigRecord.h"
#include "app/SettingsSave.h"
#include "platform/Process.h"
#include "platform/TextConversion.h"

namespace orvale::launcher {

int runLauncher(const std::vector<std::string>& arguments, LauncherServices& services) {
    services.powerOn();
    if (arguments.empty() || arguments[0] != kAppRunAtTime) return 0;
    const platform::SystemTime now = services.localNow();

    // A missing Conf.dat leaves the record zero: background sync off and no program to start.
    ConfigRecord record;
    record.load();
    const std::u16string mainProgram = record.text(ConfigText::ProgramPath);
    // A record whose program cannot be started would still re-arm for ever and start nothing each
    // time; such a chain ends here instead.
    if (!platform::isExecutableFile(platform::utf16ToUtf8(mainProgram))) return 0;

    if (record.flag(ConfigFlag::AutosyncEnabled)) {
        // The settings' own rule, so that an interval they would store as 0 arms nothing here either.
        const auto next = nextStartTime(now, record.number(ConfigNumber::AutosyncInterval),
                                        record.number(ConfigNumber::AutosyncUnit));
        if (next) services.scheduler().runAt(services.ownPath(), *next);
    }
    if (!services.windowExists(kMainWindowTitle)) {
        services.sleepMs(kStartDelayMs);
        services.startProgram(mainProgram, kAutosyncArgument);
    }
    return 0;
}

}  // namespace orvale::launcher
