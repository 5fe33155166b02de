// The run core: which folders reach the engine, how its outcome becomes the run's result, and which
// end-of-run files a run writes.
#include <gtest/gtest.h>

#include "support/RunDoubles.h"
#include "app/BackgroundSync.h"
#include "app/DiagnosticLog.h"
#include "app/RunControl.h"
#include "app/RunLog.h"
#include "app/SyncArguments.h"
#include "app/SyncRun.h"
#include "engine/StoreTrouble.h"
#include "platform/DevicePaths.h"
#include "platform/FileAccess.h"
#include "stores/ChangeTracker.h"
#include "stores/ChangeTrackerList.h"
#include "stores/KindRegistry.h"
#include "support/TempDeviceRoot.h"

namespace orvale {
namespace {

using test::SessionScript;

void registerStubKinds(std::initializer_list<int> codes) {
    for (int code : {kKindContacts, kKindCalendar, kKindTasks}) registerKind(code, {});
    for (int code : codes) {
        const KindInfo* info = kindInfoByCode(code);
        registerKind(code, [info] { return new test::StubKind(info->name); });
    }
}

SyncArguments allFolders() {
    return SyncArguments{"http://127.0.0.1:1/sync", "u", "p", "card", "tasks", "cal?/dr(-1,2)", std::nullopt};
}

class SyncRunTest : public ::testing::Test {
  protected:
    void SetUp() override { registerStubKinds({kKindContacts, kKindCalendar, kKindTasks}); }
    std::filesystem::path sessionFile() const { return platform::hostPath(kSessionDataPath); }
    test::TempDeviceRoot root;
    SessionScript script;
};

TEST(SyncArgumentsTest, FolderTakesPartOnlyWhenEnabledWithAUri) {
    struct Case {
        bool contacts, tasks, calendar, range;
        const char16_t *contactsUri, *tasksUri, *calendarUri;
        std::optional<std::string> wantContacts, wantTasks, wantCalendar;
    };
    const Case cases[] = {
        {true, true, true, false, u"card", u"task", u"cal", "card", "task", "cal"},
        {false, true, false, true, u"card", u"task", u"cal", std::nullopt, "task", std::nullopt},
        {true, true, true, false, u"", u"", u"", std::nullopt, std::nullopt, std::nullopt},
        // An empty calendar URI gets no range filter either.
        {false, false, true, true, u"", u"", u"", std::nullopt, std::nullopt, std::nullopt},
        {false, false, true, true, u"", u"", u"events", std::nullopt, std::nullopt, "events?/dr(-30,90)"},
        // The days only matter with the range on.
        {false, false, true, false, u"", u"", u"events", std::nullopt, std::nullopt, "events"},
    };
    for (const Case& c : cases) {
        ConfigRecord r;
        r.setText(ConfigText::ServerUrl, u"http://h/s");
        r.setText(ConfigText::UserName, u"\u00e9mile");
        r.setFlag(ConfigFlag::ContactsEnabled, c.contacts);
        r.setFlag(ConfigFlag::TasksEnabled, c.tasks);
        r.setFlag(ConfigFlag::CalendarEnabled, c.calendar);
        r.setFlag(ConfigFlag::CalendarRangeEnabled, c.range);
        r.setText(ConfigText::ContactsUri, c.contactsUri);
        r.setText(ConfigText::TasksUri, c.tasksUri);
        r.setText(ConfigText::CalendarUri, c.calendarUri);
        r.setNumber(ConfigNumber::DaysBack, 30);
        r.setNumber(ConfigNumber::DaysForward, 90);
        const SyncArguments a = prepareSyncArguments(r);
        EXPECT_EQ(a.url, "http://h/s");
        EXPECT_EQ(a.contactsUri, c.wantContacts);
        EXPECT_EQ(a.tasksUri, c.wantTasks);
        EXPECT_EQ(a.calendarUri, c.wantCalendar);
        EXPECT_EQ(a.anyFolder(), c.wantContacts || c.wantTasks || c.wantCalendar);
        // The calendar store keeps to the same window the server is asked for.
        EXPECT_EQ(a.calendarWindow.has_value(), c.range);
        if (a.calendarWindow) {
            EXPECT_EQ(a.calendarWindow->daysBefore, 30);
            EXPECT_EQ(a.calendarWindow->daysAfter, 90);
        }
    }
}

TEST_F(SyncRunTest, EngineOutcomeBecomesTheRunResult) {
    struct Case {
        int engine;
        std::int32_t errorFlag;
        bool throws;
        SyncResult want;
    };
    const Case cases[] = {
        {0, 0, false, SyncResult::Done},
        {0, 1, false, SyncResult::Done},  // a failed exchange after a completed session changes nothing
        {1, 0, false, SyncResult::InitFailed},
        {1, 1, false, SyncResult::NotReached},
        {4, 0, false, SyncResult::SyncFailed},
        {4, 1, false, SyncResult::NotReached},
        {3, -1, false, SyncResult::NotReached},
        {0, 0, true, SyncResult::Exception},
        {0, 1, true, SyncResult::NotReached},  // whatever failed, the last exchange did
    };
    for (const Case& c : cases) {
        script.result = static_cast<SyncResult>(c.engine);
        script.errorFlagAfter = c.errorFlag;
        script.throws = c.throws;
        EXPECT_EQ(runSync(allFolders(), std::nullopt, test::scriptedEnvironment(script)).result, c.want)
            << c.engine << " " << c.errorFlag << " " << c.throws;
    }
}

TEST_F(SyncRunTest, SourcesInFixedOrderWithTheDeviceId) {
    std::string deviceId;
    std::optional<calendar::DateWindow> window;
    script.during = [&](const SessionParts& p) {
        deviceId = p.config.device.deviceId;
        window = calendar::calendarDateWindow();
    };
    SyncArguments args = allFolders();
    args.calendarWindow = calendar::DateWindow{1, 2};
    runSync(args, std::nullopt, test::scriptedEnvironment(script));
    // The calendar's date window holds while the session runs, and only then.
    ASSERT_TRUE(window.has_value());
    EXPECT_EQ(window->daysAfter, 2);
    EXPECT_FALSE(calendar::calendarDateWindow().has_value());
    ASSERT_EQ(script.sources.size(), 3u);
    EXPECT_EQ(script.sources[0].kind, kKindContacts);
    EXPECT_EQ(script.sources[1].kind, kKindTasks);
    EXPECT_EQ(script.sources[2].kind, kKindCalendar);
    EXPECT_EQ(script.sources[2].remote.uri, "cal?/dr(-1,2)");
    // "IMEI:" and 11 bytes in upper-case hex, the same on every run of this device.
    ASSERT_EQ(deviceId.size(), 27u);
    EXPECT_EQ(deviceId.rfind("IMEI:", 0), 0u);
    EXPECT_EQ(deviceId.find_first_not_of("0123456789ABCDEF", 5), std::string::npos);
    EXPECT_EQ(deviceId, thisDeviceId());
}

TEST_F(SyncRunTest, ChosenFolderWithoutStoreIsSkippedAndFailsTheRun) {
    registerStubKinds({kKindContacts});
    const RunReport report = runSync(allFolders(), std::nullopt, test::scriptedEnvironment(script));
    ASSERT_EQ(script.sources.size(), 1u);
    EXPECT_EQ(script.sources[0].kind, kKindContacts);
    EXPECT_EQ(report.skippedFolders, (std::vector<int>{kKindTasks, kKindCalendar}));
    EXPECT_EQ(report.result, SyncResult::SyncFailed);

    // Nothing chosen has a store: the server is not even asked.
    registerStubKinds({});
    const RunReport none = runSync(allFolders(), std::nullopt, test::scriptedEnvironment(script));
    EXPECT_EQ(script.sessionsMade, 1);
    EXPECT_EQ(none.result, SyncResult::SyncFailed);
    EXPECT_EQ(none.skippedFolders.size(), 3u);
}

TEST_F(SyncRunTest, DeviceStoreThatCannotBeOpenedFailsTheRun) {
    // A folder where the database file belongs: it cannot be opened, which used to read as empty.
    std::filesystem::create_directories(platform::hostPath("pim.db"));
    const RunReport report = runSync(allFolders(), std::nullopt, test::scriptedEnvironment(script));
    EXPECT_EQ(report.result, SyncResult::SyncFailed);
    EXPECT_NE(report.deviceProblem.find("pim.db"), std::string::npos) << report.deviceProblem;
    EXPECT_EQ(script.sessionsMade, 0);
}

// A run that completes rewrites "syncsessiondata" and the change databases; one that does not
// leaves both exactly as they were.
TEST_F(SyncRunTest, EndOfRunFilesOnlyAfterACompletedSession) {
    test::writeFileBytes(sessionFile(), "AuthType 0\nNextNonce old\n");
    const std::filesystem::path hdb = platform::hostPath(ChangeTracker::databaseName(10));
    script.during = [](const SessionParts& p) {
        p.sessionData.setString("NextNonce", "fresh");
        registerTracker(new ChangeTracker(TrackerProfile{10, {}, {}}));
    };
    struct Case {
        int engine;
        bool cancel;
        bool written;
    };
    for (const Case c : {Case{4, false, false}, Case{1, false, false}, Case{0, true, false}, Case{0, false, true}}) {
        std::filesystem::remove(hdb);
        script.result = static_cast<SyncResult>(c.engine);
        RunControl control;
        if (c.cancel) control.cancel();
        const RunReport report = runSync(allFolders(), std::nullopt, test::scriptedEnvironment(script), &control);
        EXPECT_EQ(report.cancelled, c.cancel);
        EXPECT_EQ(std::filesystem::exists(hdb), c.written) << c.engine << c.cancel;
        EXPECT_EQ(test::readFileBytes(sessionFile()),
                  c.written ? "AuthType 0\nNextNonce fresh\n" : "AuthType 0\nNextNonce old\n");
    }
    // The engine read the file as the previous run left it.
    std::string seen;
    script.during = [&](const SessionParts& p) { seen = p.sessionData.getString("NextNonce"); };
    runSync(allFolders(), std::nullopt, test::scriptedEnvironment(script));
    EXPECT_EQ(seen, "fresh");
}

// A completed session whose change database cannot be rewritten is still done on the server, but
// the next run sends its changes again: the run says so rather than passing for a clean one.
TEST_F(SyncRunTest, AChangeDatabaseThatCannotBeWrittenIsReported) {
    const std::filesystem::path hdb = platform::hostPath(ChangeTracker::databaseName(10));
    script.during = [](const SessionParts&) { registerTracker(new ChangeTracker(TrackerProfile{10, {}, {}})); };
    script.result = SyncResult::Done;
    EXPECT_FALSE(runSync(allFolders(), std::nullopt, test::scriptedEnvironment(script)).changesUnrecorded);
    std::filesystem::remove(hdb);
    std::filesystem::create_directory(hdb);  // nothing can replace it
    const RunReport report = runSync(allFolders(), std::nullopt, test::scriptedEnvironment(script));
    EXPECT_EQ(report.result, SyncResult::Done);
    EXPECT_TRUE(report.changesUnrecorded);
    const std::u16string log = formatRunLog(RunLogSummary{u"now", {}, {}, {}, {}, report.changesUnrecorded});
    EXPECT_NE(log.find(u"the next sync sends them again"), std::u16string::npos);
}

TEST_F(SyncRunTest, CancelReachesTheEngineAndTheTransfer) {
    RunControl control;
    script.during = [&](const SessionParts&) { control.cancel(); };
    const RunReport report = runSync(allFolders(), std::nullopt, test::scriptedEnvironment(script), &control);
    EXPECT_TRUE(script.abortSeen);
    EXPECT_TRUE(script.transportAborted);
    EXPECT_TRUE(report.cancelled);
    EXPECT_EQ(report.result, SyncResult::NotReached);
    EXPECT_EQ(currentAbortRecord(), nullptr);

    // Cancelled before the session began: the engine starts with its flag already set.
    RunControl early;
    early.cancel();
    script.during = nullptr;
    script.abortSeen = false;
    runSync(allFolders(), std::nullopt, test::scriptedEnvironment(script), &early);
    EXPECT_TRUE(script.abortSeen);
}

TEST_F(SyncRunTest, StatisticsCountItemsPerFolder) {
    script.during = [](const SessionParts& p) {
        p.observer.itemResult(SyncSide::Client, "Contacts", kObservedAdd, false);
        p.observer.itemResult(SyncSide::Client, "Contacts", kObservedReplace, false);
        p.observer.itemResult(SyncSide::Client, "Contacts", kObservedAdd, true);  // failed: not counted
        p.observer.itemResult(SyncSide::Server, "Contacts", kObservedDelete, false);
        p.observer.itemResult(SyncSide::Server, "Tasks", kObservedAdd, false);
        p.observer.itemResult(SyncSide::Server, "Calendar", kObservedFolder, false);  // no item
    };
    const RunReport report = runSync(allFolders(), std::nullopt, test::scriptedEnvironment(script));
    EXPECT_EQ(report.statistics.counts(kKindContacts).sent, 2);
    EXPECT_EQ(report.statistics.counts(kKindContacts).received, 1);
    EXPECT_EQ(report.statistics.counts(kKindTasks).received, 1);
    EXPECT_EQ(report.statistics.counts(kKindCalendar).received, 0);
}

}  // namespace
}  // namespace orvale

namespace orvale {
namespace {

std::string fileText(const std::filesystem::path& p) { return platform::readFilePrefix(p, 1 << 20).value_or(""); }

// What the run's cause is made of, in order of precedence, and the log each run leaves: only the
// last runs kept, the server's words in it, never the password, the exit status of autosync.
TEST_F(SyncRunTest, EachRunLeavesItsCauseAndItsOwnLog) {
    struct Case {
        SyncResult engine;
        std::int32_t errorFlag;
        TransportFailure failure;
        std::function<void(SyncObserver&)> during;
        int exitStatus;
        const char* cause;
    } cases[] = {
        {SyncResult::InitFailed, 0, {}, [](SyncObserver& o) { o.commandRefused("SyncHdr", "", 401); }, 11,
         "Wrong user name or password (the server answered 401): check them in Settings"},
        // The transport's failure comes before anything the engine saw.
        {SyncResult::SyncFailed, 1, {TransportFailureKind::TimedOut, "h:443", 0, {}},
         [](SyncObserver& o) { o.commandRefused("Sync", "card", 500); }, 13, "No answer from h:443: timed out; try again later"},
        {SyncResult::SyncFailed, 0, {}, [](SyncObserver& o) { o.commandRefused("Sync", "card", 510); }, 14,
         "The server refused Sync (card) with status 510"},
        {SyncResult::SyncFailed, 0, {},
         [](SyncObserver& o) {
             o.commandRefused("Add", "7", 500);
             tellStoreTrouble(o, kEventStoreNotWritten, "Device store did not keep the items of the message");
         },
         14, "The device's store cannot be written: Device store did not keep the items of the message"},
        {SyncResult::Done, 0, {}, nullptr, 0, ""},
    };
    LogSettings settings;
    settings.runs = 2;
    ASSERT_TRUE(writeLogSettings(settings));
    for (const Case& c : cases) {
        script.result = c.engine;
        script.errorFlagAfter = c.errorFlag;
        script.failureAfter = c.failure;
        script.during = [&c](const SessionParts& p) {
            if (c.during) c.during(p.observer);
        };
        SyncArguments args = allFolders();
        args.password = "s3cret-pw";
        const RunReport report = runSync(args, std::nullopt, test::scriptedEnvironment(script));
        EXPECT_EQ(backgroundExitStatus(report), c.exitStatus) << c.cause;
        EXPECT_EQ(causeTextUtf8(report.cause), c.cause);
        const std::string log = fileText(report.logPath);
        EXPECT_NE(log.find("server URL: http://127.0.0.1:1/sync"), std::string::npos);
        EXPECT_NE(log.find("result " + std::to_string(static_cast<int>(report.result))), std::string::npos) << log;
        EXPECT_NE(log.find(c.cause), std::string::npos) << log;
        EXPECT_EQ(log.find("s3cret-pw"), std::string::npos);
        EXPECT_EQ(lastRunLogPath(), report.logPath);
        using std::filesystem::perms;
        EXPECT_EQ(std::filesystem::status(report.logPath).permissions(), perms::owner_read | perms::owner_write);
    }
    std::size_t kept = 0;
    for (const auto& e : std::filesystem::directory_iterator(platform::hostPath(kLogFolderPath))) kept += e.is_regular_file();
    EXPECT_EQ(kept, 2u);
}

}  // namespace
}  // namespace orvale
