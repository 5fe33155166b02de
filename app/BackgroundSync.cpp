#include "app/BackgroundSync.h"

#include <cerrno>
#include <cstring>
#include <iostream>

#include "app/ConfigRecord.h"
#include "app/LastSyncText.h"
#include "app/RunLog.h"
#include "app/RunScope.h"
#include "platform/Power.h"
#include "platform/TextConversion.h"

namespace orvale {

namespace {
void sayNothingToSync() {
    RunCause c;
    c.kind = CauseKind::NothingToSync;
    std::cerr << "orvale autosync: " << causeTextUtf8(c) << std::endl;
}
}  // namespace

int backgroundExitStatus(const RunReport& report) {
    if (report.result == SyncResult::Done && !report.changesUnrecorded) return 0;
    if (report.result == SyncResult::Done) return kExitResultBase + static_cast<int>(SyncResult::SyncFailed);
    return kExitResultBase + static_cast<int>(report.result);
}

int runBackgroundSync(KeepAwakeSlot& keepAwake) { return runBackgroundSync(keepAwake, RunEnvironment::standard()); }

int runBackgroundSync(KeepAwakeSlot& keepAwake, const RunEnvironment& env) {
    platform::setSystemPowerState(platform::kPowerStateOn, 0);
    ConfigRecord record{std::string(kConfigPath)};
    CurrentConfigScope current(record);
    if (!record.load()) {
        sayNothingToSync();
        return kExitNothingToSync;
    }
    startKeepAwake(keepAwake);
    int status = kExitNothingToSync;
    {
        CaptureScope capture;
        const SyncArguments args = prepareSyncArguments(record);
        if (args.anyFolder()) {
            const RunReport report = runSync(args, std::nullopt, env);
            status = backgroundExitStatus(report);
            if (report.result == SyncResult::Done) recordSuccessfulRun(record);
            if (status != 0) {
                std::cerr << "orvale autosync: " << platform::utf16ToUtf8(resultText(report.result));
                if (!report.cause.empty()) std::cerr << ": " << causeTextUtf8(report.cause);
                std::cerr << std::endl;
            }
            if (!report.logProblem.empty())
                std::cerr << "orvale autosync: the run's log " << report.logPath.string()
                          << " could not be written whole: " << report.logProblem << std::endl;
            // No progress reporter watched this run, so the log has no folder sections.
            if (record.flag(ConfigFlag::LoggingEnabled)) {
                std::vector<std::string> notices = report.statistics.notices();
                if (!report.cause.empty())
                    notices.push_back(platform::utf16ToUtf8(attemptLine(report.cause, attemptTimeNow())));
                errno = 0;
                if (!writeRunLog(RunLogSummary{record.text(ConfigText::LastSyncText), {}, {}, {}, notices,
                                               report.changesUnrecorded}))
                    std::cerr << "orvale autosync: " << kRunLogPath << " could not be written: "
                              << (errno != 0 ? std::strerror(errno) : "unknown error") << std::endl;
            }
        } else {
            sayNothingToSync();
        }
    }
    stopKeepAwake(keepAwake);
    return status;
}

}  // namespace orvale
