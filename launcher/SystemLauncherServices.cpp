#include <chrono>
#include <thread>

#include "launcher/LauncherRun.h"
#include "platform/Clock.h"
#include "platform/Power.h"
#include "platform/Process.h"
#include "platform/TextConversion.h"
#include "platform/WindowRegistry.h"

namespace orvale::launcher {

namespace {

class SystemLauncherServices : public LauncherServices {
  public:
    void powerOn() override { platform::setSystemPowerState(platform::kPowerStateOn, 0); }
    platform::SystemTime localNow() override { return platform::localTimeNow(); }
    std::u16string ownPath() override { return platform::utf8ToUtf16(platform::startedPath().string()); }
    TimedStartScheduler& scheduler() override { return standardTimedStartScheduler(); }
    bool windowExists(std::u16string_view title) override { return platform::findWindow(title).has_value(); }
    void sleepMs(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
    void startProgram(std::u16string_view path, std::string_view argument) override {
        platform::startProgram(platform::utf16ToUtf8(path), {std::string(argument)});
    }
};

}  // namespace

LauncherServices& systemLauncherServices() {
    static SystemLauncherServices services;
    return services;
}

}  // namespace orvale::launcher
