// The background run, the interactive run and the server test around the run core: what each
// shows, which record fields it changes, and which files it leaves.
#include <algorithm>
#include <gtest/gtest.h>

#include "support/RunDoubles.h"
#include "app/BackgroundSync.h"
#include "app/ConfigRecord.h"
#include "app/InteractiveRun.h"
#include "app/LastSyncText.h"
#include "app/RunControl.h"
#include "app/RunLog.h"
#include "app/ServerTest.h"
#include "platform/DevicePaths.h"
#include "platform/Power.h"
#include "platform/TextConversion.h"
#include "stores/KindRegistry.h"
#include "support/TempDeviceRoot.h"
#include "transport/MessageCapture.h"

namespace orvale {
namespace {

using test::SessionScript;

constexpr const char16_t* kOldText = u"01/01/20 09:00 AM";

ConfigRecord contactsRecord(bool logging) {
    ConfigRecord r;
    r.setText(ConfigText::ServerUrl, u"http://127.0.0.1:1/sync");
    r.setText(ConfigText::UserName, u"orvale");
    r.setText(ConfigText::Password, u"secret");
    r.setFlag(ConfigFlag::ContactsEnabled, true);
    r.setText(ConfigText::ContactsUri, u"contacts");
    r.setFlag(ConfigFlag::LoggingEnabled, logging);
    r.setText(ConfigText::LastSyncText, kOldText);
    return r;
}

std::u16string logText() {
    const std::string bytes = test::readFileBytes(platform::hostPath(kRunLogPath));
    std::u16string out;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            static_cast<unsigned char>(bytes[i + 1]) << 8));
    return out;
}

class RunFormsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int code : {kKindContacts, kKindCalendar, kKindTasks}) registerKind(code, {});
        registerKind(kKindContacts, [] { return new test::StubKind("WinMobileContacts"); });
    }
    void TearDown() override { setCurrentConfig(nullptr); }
    ConfigRecord saved() {
        ConfigRecord r;
        r.load();
        return r;
    }
    test::TempDeviceRoot root;
    SessionScript script;
    KeepAwakeSlot keepAwake;
};

TEST(LastSyncTextTest, TwelveHourClockWithTwoDigitYear) {
    struct Case {
        std::uint16_t y, mo, d, h, mi;
        const char16_t* want;
    };
    for (const Case& c : {Case{2026, 12, 8, 19, 15, u"08/12/26 07:15 PM"}, Case{2000, 1, 31, 0, 5, u"31/01/00 12:05 AM"},
                          Case{2009, 7, 4, 12, 0, u"04/07/09 12:00 PM"}, Case{2031, 10, 9, 11, 59, u"09/10/31 11:59 AM"}}) {
        platform::SystemTime t;
        t.year = c.y;
        t.month = c.mo;
        t.day = c.d;
        t.hour = c.h;
        t.minute = c.mi;
        EXPECT_EQ(formatLastSyncText(t), c.want);
    }
}

TEST_F(RunFormsTest, BackgroundRunUpdatesTheRecordOnlyOnSuccess) {
    for (int engine : {4, 1, 0}) {
        ConfigRecord r = contactsRecord(false);
        ASSERT_TRUE(r.save());
        script.result = static_cast<SyncResult>(engine);
        const auto before = platform::powerCallCounts().powerStateRequests;
        runBackgroundSync(keepAwake, test::scriptedEnvironment(script));
        EXPECT_EQ(platform::powerCallCounts().powerStateRequests, before + 1);
        EXPECT_EQ(platform::powerCallCounts().lastPowerState, platform::kPowerStateOn);
        const std::u16string text = saved().text(ConfigText::LastSyncText);
        if (engine == 0) {
            EXPECT_NE(text, kOldText);
            EXPECT_EQ(text.size(), 17u);
        } else {
            EXPECT_EQ(text, kOldText) << engine;
        }
        EXPECT_FALSE(std::filesystem::exists(platform::hostPath(kRunLogPath)));
        EXPECT_EQ(keepAwake, nullptr);
    }
    EXPECT_EQ(currentConfig(), nullptr);
    EXPECT_EQ(MessageCapture::current(), nullptr);
    EXPECT_TRUE(std::filesystem::is_directory(platform::hostPath(MessageCapture::kLastSessionPath)));
}

TEST_F(RunFormsTest, BackgroundLogHasNoFolderSections) {
    ASSERT_TRUE(contactsRecord(true).save());
    script.during = [](const SessionParts& p) { p.observer.itemResult(SyncSide::Client, "Contacts", 0, false); };
    runBackgroundSync(keepAwake, test::scriptedEnvironment(script));
    EXPECT_EQ(logText(), u"Starting sync\r\n" + saved().text(ConfigText::LastSyncText) + u"\r\n");
}

TEST_F(RunFormsTest, BackgroundRunWithoutConfigOrFolderMeetsNoServer) {
    runBackgroundSync(keepAwake, test::scriptedEnvironment(script));  // no Conf.dat at all
    ConfigRecord r = contactsRecord(true);
    r.setText(ConfigText::ContactsUri, u"");
    ASSERT_TRUE(r.save());
    runBackgroundSync(keepAwake, test::scriptedEnvironment(script));
    EXPECT_EQ(script.sessionsMade, 0);
    EXPECT_FALSE(std::filesystem::exists(platform::hostPath(kRunLogPath)));
}

class RecordingView : public RunView {
  public:
    void showStatus(const std::u16string& text) override { statuses.push_back(platform::utf16ToUtf8(text)); }
    void itemResult(int side, int kindCode) override { items.emplace_back(side, kindCode); }
    void resetProgress() override { ++resets; }
    void setShownFolders(bool c, bool cal, bool t) override { shown = {c, cal, t}; }
    void showLastSync(const std::u16string& text) override { lastSync = platform::utf16ToUtf8(text); }

    std::vector<std::string> statuses;
    std::vector<std::pair<int, int>> items;
    std::array<bool, 3> shown{};
    int resets = 0;
    std::string lastSync;
};

TEST_F(RunFormsTest, InteractiveRunShowsProgressAndResult) {
    struct Case {
        int engine;
        std::int32_t errorFlag;
        const char* status;
    };
    for (const Case& c : {Case{0, 0, "Done!"}, Case{1, 0, "Authentication failed"},
                          Case{1, 1, "Could not reach the server"}, Case{4, 0, "Sync failed"}}) {
        ConfigRecord record = contactsRecord(false);
        setCurrentConfig(&record);
        script.result = static_cast<SyncResult>(c.engine);
        script.errorFlagAfter = c.errorFlag;
        script.during = [](const SessionParts& p) {
            p.observer.syncStart(SyncSide::Client, "Contacts", 1);
            p.observer.itemResult(SyncSide::Server, "Contacts", kObservedAdd, false);
        };
        RecordingView view;
        RunControl control;
        EXPECT_EQ(static_cast<int>(interactiveRun(keepAwake, view, control, test::scriptedEnvironment(script))),
                  c.errorFlag ? 3 : c.engine);
        EXPECT_EQ(view.statuses, (std::vector<std::string>{"Finding server... ", "Syncing...", c.status}));
        EXPECT_EQ(view.items, (std::vector<std::pair<int, int>>{{1, 1}}));
        EXPECT_EQ(view.resets, 1);
        EXPECT_EQ(view.shown, (std::array<bool, 3>{true, false, false}));
        EXPECT_EQ(currentProgressReporter(), nullptr);
        if (c.engine == 0) {
            EXPECT_EQ(view.lastSync, "Synchronized: " + platform::utf16ToUtf8(record.text(ConfigText::LastSyncText)));
            EXPECT_EQ(saved().text(ConfigText::LastSyncText), record.text(ConfigText::LastSyncText));
        } else {
            EXPECT_EQ(view.lastSync, "");
            EXPECT_EQ(record.text(ConfigText::LastSyncText), kOldText);
        }
    }
}

TEST_F(RunFormsTest, InteractiveLogHasTheShownFoldersCounts) {
    ConfigRecord record = contactsRecord(true);
    record.setFlag(ConfigFlag::TasksEnabled, true);  // shown and logged, though it has no URI
    setCurrentConfig(&record);
    script.during = [](const SessionParts& p) {
        for (int i = 0; i < 3; ++i) p.observer.itemResult(SyncSide::Client, "Contacts", kObservedAdd, false);
        p.observer.itemResult(SyncSide::Server, "Contacts", kObservedReplace, false);
    };
    RecordingView view;
    RunControl control;
    interactiveRun(keepAwake, view, control, test::scriptedEnvironment(script));
    EXPECT_EQ(logText(), u"Starting sync\r\n" + record.text(ConfigText::LastSyncText) +
                             u"\r\nContacts:\r\n1 Received, 3 Sent\r\nTasks:\r\n0 Received, 0 Sent\r\n");
}

TEST_F(RunFormsTest, InteractiveRunWithNothingChosenOrCancelled) {
    ConfigRecord record = contactsRecord(true);
    record.setFlag(ConfigFlag::ContactsEnabled, false);
    setCurrentConfig(&record);
    RecordingView view;
    RunControl control;
    interactiveRun(keepAwake, view, control, test::scriptedEnvironment(script));
    EXPECT_EQ(view.statuses, std::vector<std::string>{"Please choose folder to sync"});
    EXPECT_EQ(script.sessionsMade, 0);

    // Cancelled: no result shown, no record change, no log.
    record.setFlag(ConfigFlag::ContactsEnabled, true);
    RecordingView cancelled;
    script.during = [&](const SessionParts&) { control.cancel(); };
    EXPECT_EQ(interactiveRun(keepAwake, cancelled, control, test::scriptedEnvironment(script)),
              SyncResult::NotReached);
    EXPECT_EQ(cancelled.statuses, std::vector<std::string>{"Finding server... "});
    EXPECT_EQ(record.text(ConfigText::LastSyncText), kOldText);
    EXPECT_FALSE(std::filesystem::exists(platform::hostPath(kRunLogPath)));
    EXPECT_FALSE(std::filesystem::exists(platform::hostPath(kConfigPath)));
}

RemoteDataStore store(const char* ref, const char* rxPref, std::vector<const char*> rx = {}) {
    RemoteDataStore s;
    s.sourceRef = ref;
    s.rxPref = ContentType(rxPref);
    for (const char* t : rx) s.rx.emplace_back(t);
    return s;
}

TEST(ServerTestFolders, StoresArePairedByTypeAndName) {
    RemoteDeviceInfo info;
    info.dataStores = {store("notes", "text/plain"), store("contacts", "text/directory", {"text/x-vcard"}),
                       store("./Tasks", "text/calendar", {"text/x-vcalendar"}),
                       store("MyEvents", "text/x-vcalendar"), store("./Calendar", "text/x-vcalendar"),
                       store("card", "TEXT/X-VCARD")};
    ConfigRecord r;
    EXPECT_TRUE(assignFolderUris(r, info));
    EXPECT_EQ(r.text(ConfigText::ContactsUri), u"card");  // a later store overrides
    EXPECT_EQ(r.text(ConfigText::TasksUri), u"./Tasks");
    EXPECT_EQ(r.text(ConfigText::CalendarUri), u"./Calendar");

    ConfigRecord none;
    RemoteDeviceInfo plain;
    plain.dataStores = {store("notes", "text/plain")};
    EXPECT_FALSE(assignFolderUris(none, plain));
}

TEST_F(RunFormsTest, ServerTestLinesAndUris) {
    struct Case {
        bool authenticated;
        std::int32_t errorFlag;
        bool throws;
        bool withStores;
        std::array<const char*, 3> lines;
    };
    const Case cases[] = {
        {true, 0, false, true, {"Authenticated successfully", "Configured Folders", "Done!"}},
        {true, 0, false, false, {"Authenticated successfully", "Failed to configure folders!", "Please assign them manually"}},
        // A line that begins with '~' follows the time of the attempt ("10:01:07: "). A failure the
        // session gave no words for still says so, as a run's does.
        {false, 0, false, false, {"Authentication failed", "~The session ended: the server's answers did not complete it", ""}},
        {false, 1, false, false, {"Could not reach the server", "~The session ended: the server's answers did not complete it", ""}},
        {true, 0, true, false, {"Could not reach the server", "~The run stopped on an error: scripted failure", ""}},
    };
    for (const Case& c : cases) {
        ConfigRecord r = contactsRecord(false);
        r.setText(ConfigText::TasksUri, u"old-tasks");
        script.authenticated = c.authenticated;
        script.errorFlagAfter = c.errorFlag;
        script.throws = c.throws;
        script.deviceInfo.dataStores.clear();
        if (c.withStores) script.deviceInfo.dataStores = {store("card", "text/x-vcard")};
        const ServerTestOutcome out = runServerTest(r, test::scriptedEnvironment(script));
        for (std::size_t i = 0; i < 3; ++i) {
            const std::string line = platform::utf16ToUtf8(out.lines[i]);
            if (c.lines[i][0] == '~') EXPECT_EQ(line.substr(std::min<std::size_t>(line.size(), 10)), c.lines[i] + 1) << line;
            else EXPECT_EQ(line, c.lines[i]);
        }
        const bool cleared = c.authenticated && !c.throws;
        EXPECT_EQ(r.text(ConfigText::TasksUri), cleared ? u"" : u"old-tasks");
        EXPECT_EQ(r.text(ConfigText::ContactsUri), c.withStores ? u"card" : cleared ? u"" : u"contacts");
        EXPECT_FALSE(std::filesystem::exists(platform::hostPath(kSessionDataPath)));
    }
}

}  // namespace
}  // namespace orvale
