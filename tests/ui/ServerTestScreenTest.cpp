// The server test screen: drawn before the test begins, its lines and the folder URIs from the
// server's device information, and Back while a server stalls.
#include <QElapsedTimer>
#include <QRegularExpression>

#include "ScreenFixture.h"
#include "engine/SessionEvents.h"
#include "platform/TextConversion.h"
#include "support/StalledServer.h"
#include "ui/ServerTestScreen.h"
#include "ui/SoftKeyBar.h"
#include "ui/controls/FocusButton.h"

namespace orvale {
namespace {

using namespace test;

RemoteDataStore store(const char* ref, const char* type) {
    RemoteDataStore s;
    s.sourceRef = ref;
    s.rxPref = ContentType(type);
    return s;
}

QStringList lines(ui::ServerTestScreen& s) {
    return {textOf(&s, "line1"), textOf(&s, "line2"), textOf(&s, "line3")};
}

class ServerTestScreenTest : public ScreenFixture {};

TEST_F(ServerTestScreenTest, FillsTheFolderUrisFromTheServersDeviceInformation) {
    script.deviceInfo.dataStores = {store("Events", "text/x-vcalendar"), store("Jobs", "text/x-vcalendar"),
                                    store("Card", "text/x-vcard")};
    ConfigRecord record = readyRecord();
    ui::ServerTestScreen screen(record, context);
    screen.show();
    EXPECT_EQ(lines(screen), (QStringList{"Testing server...", "", ""}));
    EXPECT_EQ(script.sessionsMade, 0);  // not before the screen is drawn
    keepPicture(&screen, "servertest-running");
    ASSERT_TRUE(waitFor([&] { return !screen.testing() && script.sessionsMade == 1; }));
    EXPECT_EQ(lines(screen), (QStringList{"Authenticated successfully", "Configured Folders", "Done!"}));
    EXPECT_EQ(record.text(ConfigText::CalendarUri), u"Events");
    EXPECT_EQ(record.text(ConfigText::TasksUri), u"Jobs");
    EXPECT_EQ(record.text(ConfigText::ContactsUri), u"Card");
    EXPECT_EQ(textOf(&screen, "databases"),
              "Databases on the server:\nEvents (text/x-vcalendar)\nJobs (text/x-vcalendar)\nCard (text/x-vcard)");
    keepPicture(&screen, "servertest-done");

    EXPECT_EQ(textOf(&screen, "warning"), "");

    // Again, refused over plain http: the record keeps what it had, the cause and the warning are
    // told as a run tells them.
    script.authenticated = false;
    script.during = [](const SessionParts& p) {
        p.observer.event(kEventPasswordInClear);
        p.observer.commandRefused("SyncHdr", "", 401);
    };
    clickChild(&screen, "testServer");
    ASSERT_TRUE(waitFor([&] { return !screen.testing() && script.sessionsMade == 2; }));
    const QStringList refused = lines(screen);
    EXPECT_EQ(refused[0], "Authentication failed");
    EXPECT_TRUE(refused[1].endsWith("Wrong user name or password (the server answered 401): check them in Settings"))
        << refused[1].toStdString();
    EXPECT_TRUE(textOf(&screen, "warning").startsWith("The password goes to the server unencrypted"));
    EXPECT_EQ(textOf(&screen, "databases"), "");
    EXPECT_EQ(record.text(ConfigText::TasksUri), u"Jobs");
    keepPicture(&screen, "servertest-failed");
}

TEST_F(ServerTestScreenTest, BackWhileAServerStallsDoesNotWaitForIt) {
    StalledServer server;
    context.runs = RunEnvironment::standard();
    ConfigRecord record = readyRecord(platform::utf8ToUtf16(server.url()));
    const auto before = record.bytes();
    ui::ServerTestScreen screen(record, context);
    screen.show();
    ASSERT_TRUE(waitFor([&] { return server.connections() > 0; }, 10000));
    QElapsedTimer clock;
    clock.start();
    click(screen.softKeys()->left());
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_FALSE(screen.testing());
    EXPECT_EQ(screen.result(), QDialog::Rejected);
    EXPECT_EQ(record.bytes(), before);

    // A server that does not answer at all: the second line says why, after the attempt's time.
    ConfigRecord closed = readyRecord(u"http://127.0.0.1:1/sync");
    ui::ServerTestScreen refused(closed, context);
    refused.show();
    ASSERT_TRUE(waitFor([&] { return textOf(&refused, "line1") != "Testing server..." && !refused.testing(); }, 10000));
    EXPECT_EQ(textOf(&refused, "line1"), "Could not reach the server");
    EXPECT_TRUE(textOf(&refused, "line2").contains(QRegularExpression(
        "^\\d\\d:\\d\\d:\\d\\d: No answer from 127.0.0.1:1: connection refused")))
        << textOf(&refused, "line2").toStdString();
}

}  // namespace
}  // namespace orvale
