#include "app/BackgroundSync.h"

#include "app/ConfigRecord.h"
#include "app/LastSyncText.h"
#include "app/RunLog.h"
#include "app/RunScope.h"
#include "app/SyncRun.h"
#include "platform/Power.h"

namespace orvale {

void runBackgroundSync(KeepAwakeSlot& keepAwake) { runBackgroundSync(keepAwake, RunEnvironment::standard()); }

void runBackgroundSync(KeepAwakeSlot& keepAwake, const RunEnvironment& env) {
    platform::setSystemPowerState(platform::kPowerStateOn, 0);
    ConfigRecord record{std::string(kConfigPath)};
    CurrentConfigScope current(record);
    if (!record.load()) return;
    startKeepAwake(keepAwake);
    {
        CaptureScope capture;
        const SyncArguments args = prepareSyncArguments(record);
        if (args.anyFolder()) {
            const RunReport report = runSync(args, std::nullopt, env);
            if (report.result == SyncResult::Done) recordSuccessfulRun(record);
            // No progress reporter watched this run, so the log has no folder sections.
            if (record.flag(ConfigFlag::LoggingEnabled))
                writeRunLog(RunLogSummary{record.text(ConfigText::LastSyncText), {}, {}, {}, report.statistics.notices(),
                                          report.changesUnrecorded});
        }
    }
    stopKeepAwake(keepAwake);
}

}  // namespace orvale
