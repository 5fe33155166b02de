// The main screen: one run at a time off the UI thread, what it shows of a run, cancel against a
// server that stalls, and closing from a screen several levels up.
#include <QMenu>
#include <QRegularExpression>
#include <QMessageBox>
#include <QTest>

#include "ScreenFixture.h"
#include "app/ClientApp.h"
#include "app/RunLog.h"
#include "engine/SessionEvents.h"
#include "platform/StringTable.h"
#include "platform/DevicePaths.h"
#include "platform/TextConversion.h"
#include "stores/contacts/ContactsStore.h"
#include "support/StalledServer.h"
#include "ui/EndKeyFilter.h"
#include "ui/MainScreen.h"
#include "ui/SoftKeyBar.h"
#include "ui/controls/DrawCallback.h"
#include "ui/controls/FocusButton.h"

namespace orvale {
namespace {

using namespace test;
using ui::DrawCallback;

QString keys(ui::MainScreen& s) {
    const auto* l = s.softKeys()->left();
    const auto* r = s.softKeys()->right();
    return (l->isVisible() ? l->text() : "-") + "/" + (r->isVisible() ? r->text() : "-");
}

class MainScreenTest : public ScreenFixture {
  protected:
    void ready(ConfigRecord r = readyRecord()) { ASSERT_TRUE(r.save()); }
};

TEST_F(MainScreenTest, OneRunAtATimeAndWhatItShows) {
    ConfigRecord logged = readyRecord();
    logged.setFlag(ConfigFlag::LoggingEnabled, true);
    ready(logged);
    Gate gate;
    script.during = [&](const SessionParts& p) {
        // The password about to go over plain http, with every message: told once, without a stop.
        p.observer.event(kEventPasswordInClear);
        p.observer.event(kEventPasswordInClear);
        p.observer.syncStart(SyncSide::Client, "Contacts", 3);
        for (int i = 0; i < 3; ++i) p.observer.itemResult(SyncSide::Client, "Contacts", kObservedAdd, false);
        p.observer.itemResult(SyncSide::Server, "Contacts", kObservedAdd, false);
        gate.wait();
    };
    ui::MainScreen main(context);
    ASSERT_TRUE(main.openScreen());
    main.show();
    EXPECT_EQ(keys(main), "Sync/Menu");
    keepPicture(&main, "main-idle");

    click(child(&main, "sync"));
    click(child(&main, "sync"));
    main.startSync();
    EXPECT_EQ(keys(main), "Cancel/-");
    ASSERT_TRUE(waitFor([&] { return main.counts()->count(0, DrawCallback::Sent) == 3; }));
    EXPECT_EQ(main.counts()->count(0, DrawCallback::Received), 1);
    EXPECT_EQ(textOf(&main, "status"), "Syncing...");
    keepPicture(&main, "main-syncing");
    gate.open();
    ASSERT_TRUE(waitFor([&] { return !main.running(); }));
    EXPECT_EQ(script.sessionsMade, 1);
    EXPECT_EQ(textOf(&main, "status"), "Done!");
    EXPECT_TRUE(textOf(&main, "lastSync").startsWith("Synchronized: "));
    EXPECT_EQ(keys(main), "Sync/Menu");
    keepPicture(&main, "main-done");
    const QString warning = QString::fromStdU16String(platform::loadString(platform::StringId::PasswordInClear));
    const auto notices = main.findChildren<QMessageBox*>(QStringLiteral("notice"));
    ASSERT_EQ(notices.size(), 1);
    EXPECT_EQ(notices[0]->text(), warning);
    notices[0]->close();
    EXPECT_EQ(QString::fromStdU16String(readRunLog()).count(warning), 1);

    // A failed run says so, and keeps the last successful time.
    const QString last = textOf(&main, "lastSync");
    script.result = SyncResult::SyncFailed;
    script.during = nullptr;
    click(main.softKeys()->left());
    ASSERT_TRUE(waitFor([&] { return !main.running() && !main.workerBusy(); }));
    EXPECT_EQ(textOf(&main, "status"), "Sync failed");
    EXPECT_EQ(textOf(&main, "lastSync"), last);
    EXPECT_EQ(main.counts()->count(0, DrawCallback::Sent), 0);
    keepPicture(&main, "main-failed");

    // After a restart: the last completed run's counts and time, not the failed run's nothing.
    main.close();
    ui::MainScreen again(context);
    ASSERT_TRUE(again.openScreen());
    EXPECT_EQ(again.counts()->count(0, DrawCallback::Sent), 3);
    EXPECT_EQ(again.counts()->count(0, DrawCallback::Received), 1);
    EXPECT_EQ(textOf(&again, "lastSync"), last);
}

// Under the Part's result the screen says why, with the time of the attempt; the line goes while a
// run is under way and after one that worked.
TEST_F(MainScreenTest, AFailureSaysWhyUnderTheResult) {
    ready();
    ui::MainScreen main(context);
    ASSERT_TRUE(main.openScreen());
    main.show();
    struct Case {
        SyncResult result;
        TransportFailure failure;
        int header;
        const char* status;
        const char* cause;
    } cases[] = {
        {SyncResult::NotReached, {TransportFailureKind::Refused, "127.0.0.1:1", 0, {}}, 0, "Could not reach the server",
         "No answer from 127.0.0.1:1: connection refused"},
        {SyncResult::InitFailed, {}, 401, "Authentication failed",
         "Wrong user name or password (the server answered 401): check them in Settings"},
        {SyncResult::NotReached, {TransportFailureKind::BadUrl, {}, 0, {}}, 0, "Could not reach the server",
         "The URL must begin with http:// or https://"},
        {SyncResult::Done, {}, 0, "Done!", ""},
    };
    for (const Case& c : cases) {
        script.result = c.result;
        script.errorFlagAfter = c.failure.kind == TransportFailureKind::None ? 0 : 1;
        script.failureAfter = c.failure;
        script.during = [&c](const SessionParts& p) {
            if (c.header != 0) p.observer.commandRefused("SyncHdr", "", c.header);
        };
        click(main.softKeys()->left());
        ASSERT_TRUE(waitFor([&] { return !main.running() && !main.workerBusy(); }));
        QCoreApplication::processEvents();
        EXPECT_EQ(textOf(&main, "status"), c.status);
        const QString cause = textOf(&main, "cause");
        if (*c.cause == '\0') {
            EXPECT_TRUE(cause.isEmpty()) << cause.toStdString();
        } else {
            EXPECT_TRUE(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d: ").match(cause).hasMatch()) << cause.toStdString();
            EXPECT_TRUE(cause.endsWith(QString::fromUtf8(c.cause))) << cause.toStdString();
        }
    }
}

TEST_F(MainScreenTest, CountsOnlyGrowAndUnknownFoldersAreIgnored) {
    ready();
    ui::MainScreen main(context);
    ASSERT_TRUE(main.openScreen());
    main.reportCount(1, 0, 7);
    main.reportCount(1, 0, 5);
    main.reportCount(8, 0, 9);
    main.reportCount(4, 1, 12345);
    EXPECT_EQ(main.counts()->count(0, DrawCallback::Sent), 7);
    EXPECT_EQ(main.counts()->count(2, DrawCallback::Received), 12345);
    EXPECT_EQ(main.counts()->count(0, DrawCallback::Received), 0);
    EXPECT_EQ(main.counts()->count(1, DrawCallback::Sent), 0);
    main.resetProgress();
    EXPECT_EQ(main.counts()->count(0, DrawCallback::Sent), 0);
}

TEST_F(MainScreenTest, CancelAgainstAStalledServerReactsAtOnce) {
    StalledServer server;
    registerKind(kKindContacts, contacts::makeContactsKind);  // the real store, as the program has it
    context.runs = RunEnvironment::standard();
    ready(readyRecord(platform::utf8ToUtf16(server.url())));
    const std::string confBefore = readFileBytes(platform::hostPath(kConfigPath));
    ui::MainScreen main(context);
    ASSERT_TRUE(main.openScreen());
    main.show();
    click(main.softKeys()->left());
    ASSERT_TRUE(waitFor([&] { return server.connections() > 0; }, 10000));

    QString said;
    ModalScript acks;
    acks.then("message", [&](QWidget* box) {
            said = static_cast<QMessageBox*>(box)->text();
            keepPicture(&main, "main-cancel-message", box);
            static_cast<QDialog*>(box)->accept();
        })
        .start();
    click(main.softKeys()->left());  // Cancel
    EXPECT_EQ(said, "Sync cancelled");
    // At once, before the run has wound down: idle again, saying so.
    EXPECT_FALSE(main.running());
    EXPECT_EQ(textOf(&main, "status"), "Cancelled");
    EXPECT_EQ(keys(main), "Sync/Menu");
    keepPicture(&main, "main-cancelled");
    // The run stops at its next safe point, well before any network time-out.
    EXPECT_TRUE(waitFor([&] { return !main.workerBusy(); }, 5000));
    EXPECT_EQ(textOf(&main, "status"), "Cancelled");
    EXPECT_EQ(readFileBytes(platform::hostPath(kConfigPath)), confBefore);
}

TEST_F(MainScreenTest, TheEndKeyClosesEveryScreen) {
    ready();
    ClientApp app;
    ui::EndKeyFilter filter(app);
    qApp->installEventFilter(&filter);
    ui::MainScreen main(context);
    ASSERT_TRUE(main.openScreen());
    ModalScript walk;
    walk.then("main", [&](QWidget*) { main.menu()->actions().at(1)->trigger(); })  // Settings
        .then("settings", [](QWidget* s) { clickChild(s, "header.about"); })
        .then("about", [](QWidget* s) { QTest::keyRelease(s, Qt::Key_F4); })
        .start();
    main.exec();
    qApp->removeEventFilter(&filter);
    EXPECT_EQ(walk.visited(), (QStringList{"main", "settings", "about"}));
    EXPECT_TRUE(main.closing());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
}  // namespace orvale
