#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>

#include "platform/CodePage.h"
#include "platform/DecimalText.h"
#include "platform/NamedMutex.h"
#include "platform/PlatformType.h"
#include "platform/Process.h"
#include "platform/SystemTime.h"
#include "platform/WindowRegistry.h"
#include "support/TempDeviceRoot.h"

namespace orvale::platform {
namespace {

TEST(NamedMutex, ExistsWhileAnyHolderLivesAndRootsAreSeparate) {
    int err = -1;
    std::unique_ptr<NamedMutex> first;
    {
        test::TempDeviceRoot root;
        first = NamedMutex::create("Orvale_Mutex", true, err);
        ASSERT_TRUE(first);
        EXPECT_EQ(err, 0);
        EXPECT_TRUE(first->owned());
        auto second = NamedMutex::create("Orvale_Mutex", true, err);
        EXPECT_EQ(err, kErrorAlreadyExists);
        EXPECT_FALSE(second->owned());
        first.reset();
        auto third = NamedMutex::create("Orvale_Mutex", true, err);
        EXPECT_EQ(err, kErrorAlreadyExists);  // the second still holds it open
        second.reset();
        third.reset();
        auto fourth = NamedMutex::create("Orvale_Mutex", true, err);
        EXPECT_EQ(err, 0);
        // A holder that dies leaves nothing behind.
        const pid_t child = fork();
        if (child == 0) {
            int e = 0;
            auto held = NamedMutex::create("Other", true, e);
            _exit(e);
        }
        int status = 0;
        waitpid(child, &status, 0);
        auto other = NamedMutex::create("Other", true, err);
        EXPECT_EQ(err, 0);
    }
    test::TempDeviceRoot otherRoot;
    auto elsewhere = NamedMutex::create("Orvale_Mutex", true, err);
    EXPECT_EQ(err, 0);
}

struct Window : WindowHandler {
    void destroyRequested() override { ++destroyed; }
    void closeRequested() override { ++closed; }
    int destroyed = 0;
    int closed = 0;
};

TEST(WindowRegistry, ListsLiveWindowsAndSkipsThoseOfDeadProcesses) {
    test::TempDeviceRoot root;
    Window w;
    auto reg = std::make_unique<WindowRegistration>(u"Orvale", w);
    ASSERT_TRUE(reg->registered());
    ASSERT_TRUE(findWindow(u"Orvale"));
    EXPECT_FALSE(findWindow(u"Orval"));
    EXPECT_EQ(findWindow(u"Orvale")->pid, getpid());
    EXPECT_TRUE(destroyWindow(*findWindow(u"Orvale")));
    EXPECT_EQ(w.destroyed, 1);
    reg.reset();
    EXPECT_TRUE(topLevelWindows().empty());

    // A child registers a window and dies without unregistering (its entry file stays behind).
    const pid_t child = fork();
    if (child == 0) {
        Window cw;
        auto* leaked = new WindowRegistration(u"Ghost", cw);
        (void)leaked;
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_FALSE(findWindow(u"Ghost"));
    EXPECT_FALSE(sendCloseMessage(WindowEntry{"w-" + std::to_string(child) + "-1", child, u"Ghost"}));
}

TEST(SystemTime, FileTimeAndVariantConversions) {
    std::uint64_t ft = 0;
    ASSERT_TRUE(systemTimeToFileTime({1970, 1, 0, 1, 0, 0, 0, 0}, ft));
    EXPECT_EQ(ft, kFileTimeOfUnixEpoch);
    EXPECT_FALSE(systemTimeToFileTime({2007, 2, 0, 29, 0, 0, 0, 0}, ft));
    EXPECT_FALSE(systemTimeToFileTime({1600, 12, 0, 31, 0, 0, 0, 0}, ft));
    ASSERT_TRUE(systemTimeToFileTime({2008, 2, 0, 29, 23, 59, 59, 999}, ft));
    SystemTime st;
    ASSERT_TRUE(fileTimeToSystemTime(ft, st));
    EXPECT_EQ(st.day, 29);
    EXPECT_EQ(st.milliseconds, 999);
    EXPECT_EQ(st.dayOfWeek, 5);  // a Friday
    EXPECT_FALSE(fileTimeToSystemTime(0x8000000000000000ULL, st));

    double v = 0;
    ASSERT_TRUE(systemTimeToVariantTime({1899, 12, 0, 30, 0, 0, 0, 0}, v));
    EXPECT_EQ(v, 0.0);
    ASSERT_TRUE(systemTimeToVariantTime({1899, 12, 0, 29, 6, 0, 0, 0}, v));
    EXPECT_DOUBLE_EQ(v, -1.25);
    ASSERT_TRUE(systemTimeToVariantTime({2007, 2, 0, 31, 0, 0, 0, 0}, v));
    ASSERT_TRUE(variantTimeToSystemTime(v, st));
    EXPECT_EQ(st.month, 3);
    EXPECT_EQ(st.day, 3);
    EXPECT_FALSE(systemTimeToVariantTime({2007, 13, 0, 1, 0, 0, 0, 0}, v));
    EXPECT_FALSE(variantTimeToSystemTime(std::nan(""), st));
    EXPECT_FALSE(variantTimeToSystemTime(3e6, st));
    ASSERT_TRUE(variantTimeToSystemTime(39141.99999999, st));  // rounds into the next day
    EXPECT_EQ(st.day, 1);
    EXPECT_EQ(st.hour, 0);
}

TEST(PlatformText, CodePagesDecimalsAndPlatformType) {
    EXPECT_EQ(multiByteToWide(kCodePageUtf8, "caf\xc3\xa9"), u"caf\u00e9");
    EXPECT_EQ(wideToMultiByte(kCodePageDefault, u"caf\u00e9"), "caf\xc3\xa9");
    EXPECT_EQ(leadingDecimal("  -42abc"), -42);
    EXPECT_EQ(leadingDecimal(u"x1"), 0);
    EXPECT_EQ(leadingDecimal("99999999999"), 2147483647);
    EXPECT_EQ(leadingDecimal("-99999999999"), -2147483647 - 1);
    unsetenv("ORVALE_PLATFORM_TYPE");
    EXPECT_EQ(platformType(), u"PocketPC");
    setenv("ORVALE_PLATFORM_TYPE", "SmartPhone", 1);
    EXPECT_EQ(platformType(), u"SmartPhone");
    unsetenv("ORVALE_PLATFORM_TYPE");
}

TEST(Process, ModulePathAndDetachedStart) {
    EXPECT_TRUE(modulePath().is_absolute());
    test::TempDeviceRoot root;
    const auto marker = root.path() / "started";
    EXPECT_TRUE(startProgram("/bin/sh", {"-c", "touch '" + marker.string() + "'"}));
    for (int i = 0; i < 500 && !std::filesystem::exists(marker); ++i) usleep(10'000);
    EXPECT_TRUE(std::filesystem::exists(marker));
    EXPECT_FALSE(startProgram(root.path() / "no-such-program", {}));
}

}  // namespace
}  // namespace orvale::platform
