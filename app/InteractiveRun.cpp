#include "app/InteractiveRun.h"

#include "app/ConfigRecord.h"
#include "app/LastSyncText.h"
#include "app/RunControl.h"
#include "app/RunLog.h"
#include "app/RunScope.h"
#include "app/SyncRun.h"
#include "platform/StringTable.h"
#include "platform/TextConversion.h"
#include "stores/KindCode.h"

namespace orvale {

namespace {
class ReporterScope {
  public:
    explicit ReporterScope(ProgressReporter& r) { setCurrentProgressReporter(&r); }
    ~ReporterScope() { setCurrentProgressReporter(nullptr); }
    ReporterScope(const ReporterScope&) = delete;
    ReporterScope& operator=(const ReporterScope&) = delete;
};

std::optional<RunLogFolder> logFolder(bool shown, const char16_t* name, const RunStatistics& s, int code) {
    if (!shown) return std::nullopt;
    const FolderCounts c = s.counts(code);
    return RunLogFolder{name, c.received, c.sent};
}

SyncResult runChosenFolders(ConfigRecord& record, RunView& view, RunControl& control, const RunEnvironment& env) {
    CaptureScope capture;
    const SyncArguments args = prepareSyncArguments(record);
    const bool contacts = record.flag(ConfigFlag::ContactsEnabled);
    const bool calendar = record.flag(ConfigFlag::CalendarEnabled);
    const bool tasks = record.flag(ConfigFlag::TasksEnabled);
    view.setShownFolders(contacts, calendar, tasks);
    // The flags, not the URIs, decide: enabled folders without URIs run a session with no folder.
    if (!contacts && !calendar && !tasks) {
        view.showStatus(platform::loadString(platform::StringId::ChooseFolder));
        return SyncResult::SyncFailed;
    }
    view.showStatus(platform::loadString(platform::StringId::FindingServer));
    const RunReport report = runSync(args, std::nullopt, env, &control);
    if (report.cancelled) return SyncResult::NotReached;

    view.showStatus(report.changesUnrecorded ? platform::loadString(platform::StringId::ChangesNotRecorded)
                                             : resultText(report.result));
    const std::u16string cause = attemptLine(report.cause, attemptTimeNow());
    view.showCause(cause);
    if (report.result == SyncResult::Done)
        view.showLastSync(platform::loadString(platform::StringId::LastSyncPrefix) + recordSuccessfulRun(record));
    if (record.flag(ConfigFlag::LoggingEnabled)) {
        const RunStatistics& s = report.statistics;
        std::vector<std::string> notices = s.notices();
        if (!cause.empty()) notices.push_back(platform::utf16ToUtf8(cause));
        writeRunLog(RunLogSummary{record.text(ConfigText::LastSyncText), logFolder(contacts, u"Contacts", s, kKindContacts),
                                  logFolder(calendar, u"Calendar", s, kKindCalendar), logFolder(tasks, u"Tasks", s, kKindTasks),
                                  notices, report.changesUnrecorded});
    }
    return report.result;
}
}  // namespace

SyncResult interactiveRun(KeepAwakeSlot& keepAwake, RunView& view, RunControl& control, const RunEnvironment& env) {
    ConfigRecord* record = currentConfig();
    if (record == nullptr) record = &loadCurrentConfig();
    startKeepAwake(keepAwake);
    SyncResult result = SyncResult::SyncFailed;
    {
        ReporterScope reporter(view);
        view.resetProgress();
        result = runChosenFolders(*record, view, control, env);
    }
    stopKeepAwake(keepAwake);
    return result;
}

}  // namespace orvale
