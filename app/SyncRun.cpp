#include "app/SyncRun.h"

#include <algorithm>
#include <exception>

#include "app/LastRunCounts.h"
#include "app/DiagnosticLog.h"
#include "app/LoggedTransport.h"
#include "app/RunControl.h"
#include "app/RunSessionData.h"
#include "app/RunWatch.h"
#include "app/SessionCause.h"
#include "platform/DevicePaths.h"
#include "transport/ServerUrl.h"
#include "engine/AbortRecord.h"
#include "engine/CSyncClientException.h"
#include "platform/DeviceUniqueId.h"
#include "stores/ChangeTrackerList.h"
#include "stores/DataStoreFactory.h"
#include "stores/contacts/PictureDownload.h"
#include "stores/DataStoreKind.h"
#include "stores/KindRegistry.h"
#include "stores/NextSync.h"
#include "stores/StoreOpening.h"
#include "stores/calendar/CalendarDateWindow.h"
#include "transport/Transport.h"

namespace orvale {

namespace {
// The application data of the device-ID request: the first 22 bytes of the program's identity.
constexpr std::string_view kDeviceIdApplicationData{"Tarnwell_Orvale_v1.0.13", 22};

// A chosen folder takes part only when a store of its kind exists on this device.
void dropFolderWithoutStore(std::optional<std::string>& uri, int kindCode, std::vector<int>& skipped) {
    if (!uri) return;
    if (UnopenedKind(makeKind(kindCode))) return;
    uri.reset();
    skipped.push_back(kindCode);
}

// Steps that may throw: the factory opens the device session (and makes the store kinds known),
// the engine runs. Folders without a store leave the session before the engine sees it.
struct SessionRun {
    std::unique_ptr<DataStoreFactory> factory;
    std::unique_ptr<SyncSession> session;
};

// The calendar store reads the window while the run's stores exist.
struct DateWindowScope {
    explicit DateWindowScope(const std::optional<calendar::DateWindow>& window) {
        calendar::setCalendarDateWindow(window);
    }
    ~DateWindowScope() { calendar::setCalendarDateWindow(std::nullopt); }
    DateWindowScope(const DateWindowScope&) = delete;
    DateWindowScope& operator=(const DateWindowScope&) = delete;
};

struct RunInputs {
    SyncArguments args;
    const std::optional<ProxyConfig>& proxy;
    const RunEnvironment& env;
    RunTransport& transport;
    Transport& logged;
    SyncObserver& observer;
    std::shared_ptr<AbortRecord> abort;
    SessionDataStore& data;
    RunControl* control;
    const NextSyncChoice* nextSync;
};

std::optional<SyncResult> runSession(SessionRun& s, RunInputs& in, RunReport& report) {
    s.factory = std::make_unique<DataStoreFactory>();
    // A device database that cannot be opened would read as empty folders: a run that syncs
    // nothing must not be one that succeeded.
    if (!s.factory->openError().empty()) {
        report.deviceProblem = s.factory->openError();
        return SyncResult::SyncFailed;
    }
    SyncArguments& a = in.args;
    dropFolderWithoutStore(a.contactsUri, kKindContacts, report.skippedFolders);
    dropFolderWithoutStore(a.tasksUri, kKindTasks, report.skippedFolders);
    dropFolderWithoutStore(a.calendarUri, kKindCalendar, report.skippedFolders);
    // Nothing left of what was chosen; a run without any chosen folder still meets the server.
    if (!a.anyFolder() && !report.skippedFolders.empty()) return std::nullopt;
    // A folder kept elsewhere (Evolution Data Server) that cannot be reached would read as empty
    // and take nothing from the server: the run stops before it meets the server, saying why.
    for (const auto& [uri, kind] : {std::pair{&a.contactsUri, kKindContacts}, std::pair{&a.tasksUri, kKindTasks},
                                    std::pair{&a.calendarUri, kKindCalendar}}) {
        if (!*uri) continue;
        report.deviceProblem = s.factory->folderProblem(kind);
        if (!report.deviceProblem.empty()) return SyncResult::SyncFailed;
    }
    SyncConfig config = buildSyncConfig(thisDeviceId(), a.url, a.user, a.password, a.contactsUri, a.tasksUri,
                                        a.calendarUri, in.proxy);
    for (SyncSource& source : config.sources) source.mode = in.nextSync->mode(source.kind);
    s.session = in.env.makeSession(
        SessionParts{config.client, *s.factory, in.logged, in.observer, in.abort, in.data});
    // Constructing the engine cleared the abort flag: a cancel from before must be applied after it.
    if (in.control) in.control->attach(in.abort, in.transport.abort);
    return s.session->run(config.server, config.sources);
}

// The folders of the kinds given, the others left out of the run.
void keepOnlyFolders(SyncArguments& args, const std::vector<int>& kindCodes) {
    auto keep = [&](std::optional<std::string>& uri, int kindCode) {
        if (std::find(kindCodes.begin(), kindCodes.end(), kindCode) == kindCodes.end()) uri.reset();
    };
    keep(args.contactsUri, kKindContacts);
    keep(args.tasksUri, kKindTasks);
    keep(args.calendarUri, kKindCalendar);
}

// Read again: a choice made while the run went on is for the next run and stays.
void forgetCompletedChoices(const NextSyncChoice& used, const std::vector<int>& completedKinds) {
    NextSyncChoice stored = NextSyncChoice::load();
    bool changed = false;
    for (const int kind : completedKinds) {
        if (used.mode(kind) == SyncMode::TwoWay || stored.mode(kind) != used.mode(kind)) continue;
        stored.set(kind, SyncMode::TwoWay);
        changed = true;
    }
    if (changed) stored.save();
}

RunCause causeOf(const RunReport& report, const RunWatch& watch, const Transport& transport, const SyncArguments& args,
                 const std::string& exceptionText) {
    if (!report.deviceProblem.empty()) {
        return RunCause{deviceDiskFull() ? CauseKind::DiskFull : CauseKind::StoreNotOpened, {}, 0, {}, {},
                        report.deviceProblem};
    }
    if (report.cancelled) return RunCause{CauseKind::Cancelled, {}, 0, {}, {}, {}};
    // A folder without a store fails a run that otherwise went through; when the session itself
    // failed, what failed it is the cause.
    if (!report.skippedFolders.empty() && report.result == SyncResult::SyncFailed && transport.errorFlag() != 1)
        return RunCause{CauseKind::FolderWithoutStore, {}, 0, {}, {}, {}};
    if (report.result == SyncResult::Done) {
        if (!report.changesUnrecorded) return {};
        return RunCause{deviceDiskFull() ? CauseKind::DiskFull : CauseKind::ChangesNotRecorded, {}, 0, {}, {},
                        "the change databases"};
    }
    return sessionCause(report.result, watch, transport, args.url.empty(), exceptionText);
}

// The engine's failures in words; its message alone is only the numbers.
std::string sessionFailureText(const CSyncClientException& e) {
    std::string what;
    switch (e.subCode()) {
        case kFailedEmptyReply: what = "the server's answer was empty"; break;
        case kFailedReplySize: what = "the server's answer was larger than the client takes"; break;
        case kFailedReplyDecode: what = "the server's answer could not be read as SyncML"; break;
        case kFailedNotFound: what = "the server answered that the address is not found"; break;
        case kFailedServerBusy: what = "the server is busy; try again later"; break;
        default: what = "the message could not be built or exchanged"; break;
    }
    return what + e.what();
}

// One session, from opening the device to recording what it did: the run's result, and true when
// the session completed and its changes are recorded.
bool runPass(RunInputs& in, RunReport& report, RunSessionData& sessionData, std::string& exceptionText) {
    std::optional<SyncResult> engineResult = SyncResult::Exception;
    SessionRun s;
    try {
        engineResult = runSession(s, in, report);
    } catch (const CSyncClientException& e) {
        engineResult = SyncResult::Exception;
        exceptionText = sessionFailureText(e);
    } catch (const std::exception& e) {
        engineResult = SyncResult::Exception;
        exceptionText = e.what();
    } catch (...) {
        engineResult = SyncResult::Exception;
    }
    if (!engineResult) {
        report.result = SyncResult::SyncFailed;  // every chosen folder lacks its store
    } else {
        report.result = *engineResult;
        if (*engineResult != SyncResult::Done && in.transport.transport->errorFlag() == 1) report.result = SyncResult::NotReached;
    }
    if (in.control) {
        in.control->detach();
        report.cancelled = in.control->cancelled();
    }
    if (report.cancelled && report.result == SyncResult::Done) report.result = SyncResult::NotReached;

    const bool complete = report.result == SyncResult::Done;
    if (!complete) discardTrackers();
    // The engine goes before the factory: its stores must not outlive the device session.
    s.session.reset();
    if (complete && s.factory) report.changesUnrecorded = !s.factory->saveChanges();
    s.factory.reset();
    if (complete) sessionData.write();
    // A chosen sync type holds until its folder completed and the change database recorded what
    // it did; a run that dies before this repeats it.
    if (complete && !report.changesUnrecorded) forgetCompletedChoices(*in.nextSync, report.statistics.completedKinds());
    return complete && !report.changesUnrecorded;
}

void logStart(DiagnosticLog* log, const SyncArguments& args) {
    if (log == nullptr) return;
    log->line("sync run starts");
    // Never the password; a URL that carries one is not shown either.
    log->line("server URL: " + (ServerUrl::hasUserInfo(args.url) ? std::string("(holds a user name and password; not shown)")
                                                                   : args.url));
    log->line("user: " + args.user);
    auto folder = [&](const char* name, const std::optional<std::string>& uri) {
        log->line(std::string(name) + ": " + (uri ? "database " + *uri : std::string("not chosen")));
    };
    folder("Contacts", args.contactsUri);
    folder("Calendar", args.calendarUri);
    folder("Tasks", args.tasksUri);
}
}  // namespace

std::string thisDeviceId() {
    return deviceIdFromUniqueId(platform::deviceUniqueId(kDeviceIdApplicationData));
}

RunReport runSync(const SyncArguments& args, const std::optional<ProxyConfig>& proxy, const RunEnvironment& env,
                  RunControl* control) {
    RunReport report;
    auto abort = std::make_shared<AbortRecord>();
    setCurrentAbortRecord(abort);
    const ProxyDescriptor descriptor =
        proxy ? ProxyDescriptor{proxy->address, proxy->user, proxy->password} : ProxyDescriptor{};
    RunTransport transport = env.makeTransport(descriptor);
    const std::unique_ptr<DiagnosticLog> log = DiagnosticLog::start(readLogSettings());
    logStart(log.get(), args);
    LoggedTransport logged(*transport.transport, log.get());
    RunWatch watch(report.statistics, log.get());
    RunSessionData sessionData;
    const NextSyncChoice nextSync = NextSyncChoice::load();
    RunInputs inputs{args, proxy, env, transport, logged, watch, abort, sessionData.store(), control, &nextSync};
    std::string exceptionText;

    const DateWindowScope window(args.calendarWindow);
    const contacts::PictureOriginScope pictures(args.url);
    const bool recorded = runPass(inputs, report, sessionData, exceptionText);
    // A refresh from the device whose server sent items of its own recorded them as deleted from
    // the device: a two-way session of those folders deletes them on the server now rather than at
    // the next run. It starts from what the first session recorded, so a run that dies in it
    // leaves the Deletes to the next one.
    if (recorded && !watch.foldersWithServerItemsToDelete().empty()) {
        RunInputs followUp = inputs;
        keepOnlyFolders(followUp.args, watch.foldersWithServerItemsToDelete());
        const NextSyncChoice twoWay;
        followUp.nextSync = &twoWay;
        runPass(followUp, report, sessionData, exceptionText);
    }
    setCurrentAbortRecord(nullptr);

    if (report.result == SyncResult::Done && !report.skippedFolders.empty()) report.result = SyncResult::SyncFailed;
    report.cause = causeOf(report, watch, *transport.transport, args, exceptionText);
    if (log) {
        if (report.changesUnrecorded) log->line("the change databases could not be written");
        std::string end = "result " + std::to_string(static_cast<int>(report.result));
        if (!report.cause.empty()) end += ": " + causeTextUtf8(report.cause);
        log->line(end);
        report.logPath = log->path();
        report.logProblem = log->finish();
    }
    // For the main screen after a restart; a run that did not complete leaves the last one's.
    if (report.result == SyncResult::Done) saveLastRunCounts(report.statistics);
    return report;
}

}  // namespace orvale
