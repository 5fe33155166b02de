#include <gtest/gtest.h>

#include "app/ClientApp.h"
#include "app/KeepAwake.h"
#include "platform/NamedMutex.h"
#include "platform/Power.h"
#include "platform/WindowRegistry.h"
#include "support/TempDeviceRoot.h"

namespace orvale {
namespace {

struct FakeDialog : MainDialog {
    explicit FakeDialog(std::string& log) : log_(log) {}
    void runModal() override { log_ += "modal;"; }
    void runBackgroundSync() override { log_ += "background;"; }
    std::string& log_;
};

struct FakeShell : AppShell {
    std::unique_ptr<MainDialog> createMainDialog(ClientApp&) override {
        log += "create;";
        return std::make_unique<FakeDialog>(log);
    }
    void showNotice(std::u16string_view caption, std::u16string_view text) override {
        log += "notice;";
        noticeCaption = caption;
        noticeText = text;
    }
    std::string log;
    std::u16string noticeCaption;
    std::u16string noticeText;
};

struct CountingWindow : platform::WindowHandler {
    void destroyRequested() override { ++destroyed; }
    void closeRequested() override { ++closed; }
    int destroyed = 0;
    int closed = 0;
};

TEST(ClientApp, RunModeIsExactlyLowerCaseAutosync) {
    EXPECT_TRUE(ClientApp::isAutosyncCommandLine(u"autosync"));
    for (auto line : {u"Autosync", u"AUTOSYNC", u"autosync x", u" autosync", u""}) {
        EXPECT_FALSE(ClientApp::isAutosyncCommandLine(line));
    }
    const char* argv[] = {"orvale", "autosync", "x"};
    EXPECT_EQ(ClientApp::commandLineOf(3, argv), u"autosync x");
    EXPECT_EQ(ClientApp::commandLineOf(1, argv), u"");

    // The program's whole command line: anything but these four is a usage error, never the screens.
    using Mode = ClientApp::CommandLine;
    const struct {
        const char16_t* line;
        int count;
        Mode mode;
    } lines[] = {{u"", 0, Mode::Screens},       {u"autosync", 1, Mode::Autosync}, {u"--help", 1, Mode::Help},
                 {u"--version", 1, Mode::Version}, {u"Autosync", 1, Mode::Usage},  {u"-h", 1, Mode::Usage},
                 {u"--hlep", 1, Mode::Usage},     {u"autosync x", 2, Mode::Usage}, {u"", 1, Mode::Usage}};
    for (const auto& l : lines) EXPECT_EQ(ClientApp::classify(l.line, l.count), l.mode) << "row " << (&l - lines);

    test::TempDeviceRoot root;
    for (const auto& [line, expected] :
         {std::pair{u"autosync", "create;background;"}, {u"Autosync", "create;modal;"}}) {
        ClientApp app;
        FakeShell shell;
        EXPECT_FALSE(app.initInstance(line, shell));
        EXPECT_EQ(shell.log, expected);
        EXPECT_EQ(app.platformType(), u"PocketPC");
    }
}

TEST(ClientApp, SecondInstanceWhileABackgroundRunHoldsTheMutex) {
    test::TempDeviceRoot root;
    int err = 0;
    auto running = platform::NamedMutex::create("Orvale_Mutex", true, err);
    ASSERT_EQ(err, 0);
    CountingWindow oldNotice;
    platform::WindowRegistration notice(u"Autosync", oldNotice);

    ClientApp second;
    EXPECT_TRUE(second.anotherInstance());
    FakeShell shell;
    EXPECT_FALSE(second.initInstance(u"", shell));
    EXPECT_EQ(shell.log, "notice;");
    EXPECT_EQ(shell.noticeCaption, u"Autosync");
    EXPECT_EQ(shell.noticeText, u"Orvale is syncing now in background. Please exit and open Orvale later");
    EXPECT_EQ(oldNotice.destroyed, 1);

    ClientApp scheduled;
    FakeShell quiet;
    EXPECT_FALSE(scheduled.initInstance(u"autosync", quiet));
    EXPECT_EQ(quiet.log, "");
}

TEST(ClientApp, SecondInstanceReplacesAnInstanceWithItsWindowOpen) {
    test::TempDeviceRoot root;
    int err = 0;
    auto running = platform::NamedMutex::create("Orvale_Mutex", true, err);
    CountingWindow a;
    CountingWindow b;
    CountingWindow other;
    platform::WindowRegistration wa(u"Orvale", a);
    platform::WindowRegistration wb(u"Orvale", b);
    platform::WindowRegistration wo(u"Orvale settings", other);
    ClientApp second;
    EXPECT_FALSE(second.anotherInstance());
    EXPECT_EQ(a.destroyed + b.destroyed + other.destroyed, 2);
    EXPECT_EQ(other.destroyed, 0);

    EXPECT_FALSE(second.preTranslateKeyUp(0x73));
    EXPECT_EQ(a.closed, 1);
    second.preTranslateKeyUp(0x74);
    EXPECT_EQ(a.closed, 1);
}

TEST(KeepAwake, ResetsIdleTimersWithSilentKeysAndStops) {
    const platform::PowerCallCounts before = platform::powerCallCounts();
    KeepAwakeSlot slot;
    startKeepAwake(slot);
    ASSERT_TRUE(slot);
    platform::PowerCallCounts now = before;
    for (int i = 0; i < 500 && now.keyUpEvents == before.keyUpEvents; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        now = platform::powerCallCounts();
    }
    stopKeepAwake(slot);
    EXPECT_FALSE(slot);
    now = platform::powerCallCounts();
    EXPECT_EQ(now.systemIdleResets - before.systemIdleResets, 1u);
    EXPECT_EQ(now.shellIdleResets - before.shellIdleResets, 1u);
    EXPECT_EQ(now.keyDownEvents - before.keyDownEvents, 1u);
    EXPECT_EQ(now.keyUpEvents - before.keyUpEvents, 1u);
    EXPECT_EQ(now.nonSilentKeyEvents, before.nonSilentKeyEvents);
    stopKeepAwake(slot);  // an empty slot is fine
}

}  // namespace
}  // namespace orvale
