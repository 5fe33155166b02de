#include "platform/DevicePaths.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace orvale::platform
