#include "platform/DevicePaths.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileAccess.h"
#include "support/TempDeviceRoot.h"

namespace orvale::platform {
namespace {

TEST(DevicePaths, MapsDevicePathsBelowTheRoot) {
    test::TempDeviceRoot root;
    struct Case {
        const char* device;
        const char* relative;
    } cases[] = {
        {"\\Application Data\\Orvale\\Conf.dat", "Application Data/Orvale/Conf.dat"},
        {"Application Data\\Orvale\\LastSession", "Application Data/Orvale/LastSession"},
        {"Logs.dat", "Logs.dat"},
        {"\\..\\..\\etc\\passwd", "etc/passwd"},  // never escapes the root
        {"a\\\\.\\b", "a/b"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(hostPath(std::string_view(c.device)), root.path() / c.relative) << c.device;
    }
    EXPECT_EQ(hostPath(std::u16string_view(u"\\Application Data\\Orvale\\syncsessiondata")),
              root.path() / "Application Data/Orvale/syncsessiondata");
}

TEST(DevicePaths, RootFallsBackToXdgDataHome) {
    std::string saved = std::getenv("ORVALE_DEVICE_ROOT") ? std::getenv("ORVALE_DEVICE_ROOT") : "";
    unsetenv("ORVALE_DEVICE_ROOT");
    setenv("XDG_DATA_HOME", "/tmp/xdg-test", 1);
    EXPECT_EQ(deviceRoot(), std::filesystem::path("/tmp/xdg-test/orvale"));
    unsetenv("XDG_DATA_HOME");
    if (!saved.empty()) setenv("ORVALE_DEVICE_ROOT", saved.c_str(), 1);
}

TEST(DevicePaths, NoSharedFallbackAndNoFolderOthersControl) {
    test::TempDeviceRoot root;
    const std::filesystem::path settings = root.path() / "Application Data" / "Orvale";
    ASSERT_TRUE(createPrivateFolders(settings));
    EXPECT_EQ(deviceRootProblem(), "");
    const struct {
        std::filesystem::path folder;
        mode_t mode;
    } writable[] = {{root.path(), 0777}, {root.path(), 0770}, {root.path() / "Application Data", 0757}, {settings, 0775}};
    for (const auto& c : writable) {
        ::chmod(c.folder.c_str(), c.mode);
        EXPECT_NE(deviceRootProblem().find("chmod go-w '" + c.folder.string() + "'"), std::string::npos) << c.folder;
        EXPECT_NE(createDeviceRoot(), "");
        ::chmod(c.folder.c_str(), 0700);
    }
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(settings.c_str(), 1, 1), 0);
        EXPECT_NE(deviceRootProblem().find("belongs to another user"), std::string::npos);
        ASSERT_EQ(::chown(settings.c_str(), 0, 0), 0);
    }

    const std::string saved[] = {std::getenv("ORVALE_DEVICE_ROOT") ? std::getenv("ORVALE_DEVICE_ROOT") : "",
                                 std::getenv("HOME") ? std::getenv("HOME") : ""};
    unsetenv("ORVALE_DEVICE_ROOT");
    unsetenv("XDG_DATA_HOME");
    unsetenv("HOME");
    EXPECT_EQ(deviceRoot(), std::filesystem::path());
    EXPECT_NE(createDeviceRoot().find("set one of them"), std::string::npos);
    setenv("ORVALE_DEVICE_ROOT", saved[0].c_str(), 1);
    if (!saved[1].empty()) setenv("HOME", saved[1].c_str(), 1);
}

}  // namespace
}  // namespace orvale::platform
